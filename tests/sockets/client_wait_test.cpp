// Look-up waits with look-ups that never complete: what ends them, the time-out,
// and the readiness notifications held back while they last.
#include <QDeadlineTimer>
#include <memory>

#include "sockets/exceptions.h"
#include "sockets/socket_messages.h"
#include "sockets/winsock_unit.h"
#include "tests/sockets/component_fixture.h"

namespace sockets_test {
namespace {

using sockets::DeferredQueue;

const std::string kInterrupted = "Error 10004 (Interrupted system call) finding address for host";

// `other` connects to `listener` while `waiting` looks "localhost" up; `step`
// runs once the connect's notifications are held back, or after a deadline,
// and must end the wait.
std::string ConnectDuringAWait(const LoopbackSocket& listener, LoggingClient& other,
                               LoggingClient& waiting, const std::function<void()>& step) {
  other.OpenTo(listener.Port());
  waiting.SetAddress("localhost");
  waiting.StoreListeningPort(listener.Port());
  const QDeadlineTimer deadline(5000);
  bool done = false;
  Poll poll([&] {
    if (!done && (DeferredQueue.Size() >= 2 || deadline.hasExpired())) {
      done = true;
      step();
    }
  });
  return Outcome([&] { waiting.Open(kStream); });
}

TEST_F(StalledLookupTest, NotificationsDuringAWaitComeAfterItInArrivalOrderOnePerTurn) {
  LoggingClient other, waiting;
  Log during_wait;
  std::size_t queued_at_connect = 0;
  other.OnConnect = [&](TSockCtrl&, TSocketBase*) {
    other.log.push_back("OnConnect");
    queued_at_connect = DeferredQueue.Size();
  };
  EXPECT_EQ(ConnectDuringAWait(listener, other, waiting,
                               [&] {
                                 during_wait = other.log;
                                 waiting.Close();
                               }),
            kInterrupted);
  EXPECT_EQ(during_wait, (Log{"Looking-up a host name", "Connecting"}));
  ASSERT_TRUE(WaitUntil([&] { return other.Count("OnWrite") == 1; }));
  EXPECT_EQ(other.log,
            (Log{"Looking-up a host name", "Connecting", "Connection", "OnConnect", "OnWrite"}));
  EXPECT_EQ(queued_at_connect, 1u);
}

TEST_F(ClientTest, AHandlerThatRaisesOnADeferredNotificationDoesNotStallTheQueue) {
  struct RaisingOnce : TSockCtrl {
    using TSockCtrl::TSockCtrl;
    void SelectEvent(sockets::TMessage&) override {
      if (++calls == 1) throw sockets::Exception("handler failed");
    }
    int calls = 0;
  } control(nullptr);
  DeferredQueue.Append({sockets::SM_SELECT, 0, 0, 0}, &control);
  DeferredQueue.Append({sockets::SM_SELECT, 0, 0, 0}, &control);
  winsys::PostMessage(control.WindowHandle(), sockets::SM_DRAIN, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return control.calls == 2; }));
  EXPECT_EQ(reported, (Log{"handler failed"}));
}

TEST_F(StalledLookupTest, HeldBackNotificationsOfAClosedSocketAreSkipped) {
  LoggingClient other, waiting;
  EXPECT_EQ(ConnectDuringAWait(listener, other, waiting,
                               [&] {
                                 other.Close();
                                 waiting.Close();
                               }),
            kInterrupted);
  ASSERT_TRUE(WaitUntil([&] { return DeferredQueue.Empty() && other.closed_notices == 1; }));
  EXPECT_EQ(other.select_events, 0);
  EXPECT_EQ(other.log, (Log{"Looking-up a host name", "Connecting", "Closed"}));
}

TEST_F(StalledLookupTest, TimeOutEndsTheWaitOnlyWithAnOnTimeOutHandler) {
  for (bool with_handler : {true, false}) {
    LoggingClient client;
    client.SetTimeOut(1);
    bool listed = false;
    if (with_handler)
      client.OnTimeOut = [&](TSockCtrl&, TSocketBase*) { client.log.push_back("OnTimeOut"); };
    client.SetAddress("localhost");
    client.StoreListeningPort(1);
    // Without a time-out the wait ends when its socket closes; the deadline
    // also keeps a broken time-out from hanging the test.
    const QDeadlineTimer deadline(with_handler ? 10000 : 0);
    Poll poll([&] {
      listed = listed || client.InTimerList();
      if (deadline.hasExpired()) client.Close();
    });
    const std::string message = Outcome([&] { client.Open(kStream); });
    if (with_handler) {
      EXPECT_EQ(message, "Error 10060 (Connection timed out) finding address for host");
      EXPECT_EQ(client.log,
                (Log{"Looking-up a host name", "Connection timed out", "OnTimeOut", "Closed"}));
    } else {
      EXPECT_EQ(message, kInterrupted);
      EXPECT_FALSE(listed);
    }
    // The failed look-up closed the socket it was for.
    EXPECT_EQ(client.Socket()->Handle(), winsock::INVALID_SOCKET);
  }
}

TEST_F(StalledLookupTest, TerminatingTheApplicationEndsAWait) {
  LoggingClient client;
  client.SetAddress("localhost");
  winsys::Application().Terminate();
  EXPECT_EQ(Outcome([&] { client.Open(kStream); }), kInterrupted);
}

TEST_F(StalledLookupTest, DestroyingTheControlDuringItsWaitEndsItsOperations) {
  auto client = std::make_unique<LoggingClient>();
  LoggingClient* raw = client.get();
  raw->SetAddress("localhost");
  Poll poll([&] { client.reset(); });
  EXPECT_EQ(Outcome([&] { raw->Open(kStream); }), "Socket control destroyed during a look-up");
  EXPECT_EQ(sockets::WaitNesting, 0);
}

}  // namespace
}  // namespace sockets_test
