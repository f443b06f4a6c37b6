// The user who does not wait: a second press of Connect, Cancel and File > Exit
// while the window waits for a look-up, which the socket library holds back.
#include <QTimer>
#include <cstdlib>

#include "tests/Unit1/form_fixture.h"
#include "transport/text_client.h"

namespace unit1 {
namespace {

using testsupport::WaitUntil;

// Every look-up's completion comes this much later: long enough that a step
// queued for the next loop turn always runs inside the wait.
constexpr const char* kLookupDelay = "WSOCK32_LOOKUP_DELAY_MS";
constexpr const char* kHeldFor = "500";

// Set before the window starts the socket library, which reads it then.
struct LookupDelay {
  LookupDelay() { setenv(kLookupDelay, kHeldFor, 1); }
  ~LookupDelay() { unsetenv(kLookupDelay); }
};

class HeldLookupTest : private LookupDelay, public FormTest {
 protected:
  void TearDown() override {
    FormTest::TearDown();
    winsys::Application().ResetTerminated();
  }

  // Runs `step` on the next loop turn after the client starts to look up the
  // server's host name, that is inside that look-up's wait.
  void WhileResolvingHost(std::function<void()> step) {
    form_.IRCClient->OnInfo = [step](sockets::TSockCtrl&, sockets::TSockInfo code,
                                     sockets::TSocketBase*) {
      if (code == sockets::siLookUp) QTimer::singleShot(0, step);
    };
  }
  void ConnectToHost(const char* host) {
    Type(form_.ircServer, host);
    Type(form_.ircPort, QString::number(server_.Port()));
    Click(form_.btnConnect);
  }
};

TEST_F(HeldLookupTest, SecondPressDuringTheLookUpCancelsInsteadOfConnectingAgain) {
  // Queued before the press, so it comes while the port setter waits.
  QTimer::singleShot(0, [&] {
    EXPECT_EQ(form_.btnConnect->text(), "&Cancel");
    Click(form_.btnConnect);
  });
  ConnectTo(server_.Port());
  EXPECT_TRUE(IsIdle());
  EXPECT_FALSE(form_.IRCClient->Connected());

  // The next attempt is the only connection the server sees.
  Register();
  EXPECT_EQ(server_.ClientsAccepted(), 1u);
}

TEST_F(HeldLookupTest, CancelDuringTheHostLookUpIsNoError) {
  WhileResolvingHost([&] { Click(form_.btnConnect); });
  ConnectToHost("localhost");
  EXPECT_TRUE(IsIdle());
  EXPECT_FALSE(form_.IRCClient->Connected());
  EXPECT_FALSE(server_.HasClient());
}

TEST_F(HeldLookupTest, ExitDuringTheHostLookUpEndsTheProgramWithoutAnError) {
  bool gave_up = false;
  QTimer give_up;
  give_up.setSingleShot(true);
  QObject::connect(&give_up, &QTimer::timeout, [&] {
    gave_up = true;
    winsys::Application().Terminate();
  });
  give_up.start(5000);
  WhileResolvingHost([&] { form_.Exit1->trigger(); });
  QTimer::singleShot(0, [&] { ConnectToHost("localhost"); });

  winsys::Application().Run();
  EXPECT_FALSE(gave_up) << "the loop did not end with the window";
  EXPECT_FALSE(form_.isVisible());
}

// Only the user's own giving up is quiet.
TEST_F(HeldLookupTest, UnknownHostIsStillReported) {
  ConnectToHost("no-such-host.invalid");
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_NE(errors_[0].find("finding address for host"), std::string::npos) << errors_[0];
  errors_.clear();
}

}  // namespace
}  // namespace unit1
