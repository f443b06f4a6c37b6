// The window started from a command line against the scripted server: fields,
// identity, registration, the channel joined by itself, the script at connect,
// and pinned certificates through the test TLS front.
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdlib>
#include <sstream>

#include "Unit1/certificate_dialog.h"
#include "tests/Unit1/form_fixture.h"
#include "tests/support/test_certificates.h"
#include "tests/support/tls_front.h"

namespace unit1 {
namespace {

using std::chrono::steady_clock;
using Lines = std::vector<std::string>;

class CommandLineFormTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    setenv("SSL_CERT_FILE", certificates_.CaFile().c_str(), 1);
  }
  // Parsed and applied as the program does at start, the URL's port the server's.
  void Start(QStringList arguments) {
    arguments.replaceInStrings("PORT", QString::number(server_.Port()));
    std::istringstream no_input;
    const TCommandLine line = ParseCommandLine(QStringList{"ircclient"} + arguments, no_input);
    ASSERT_EQ(line.Action, TCommandLine::kStart) << line.Text;
    form_.ApplyStartSettings(line.Settings);
  }
  QString Script(const QByteArray& text) {
    QFile file(folder_.filePath("script"));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    return file.fileName();
  }
  Lines Next(int count) {
    Lines lines;
    for (int i = 0; i < count; ++i) lines.push_back(NextLine().value_or("(none)"));
    return lines;
  }

  static constexpr const char* kRefusal =
      "The server's certificate matches none of the trusted fingerprints: ";
  // The fingerprint the refusal names, once nothing went out and no question
  // was asked; the pane is emptied.
  std::string Refused() {
    std::string last;
    EXPECT_TRUE(
        testsupport::WaitUntil([&] { return (last = LogLines().back()).starts_with(kRefusal); }));
    EXPECT_TRUE(IsIdle());
    EXPECT_FALSE(server_.HasLine());
    EXPECT_EQ(form_.findChild<TCertificateDialog*>(), nullptr);
    form_.Memo1->clear();
    return last.substr(std::string(kRefusal).size());
  }

  QTemporaryDir folder_;
  testsupport::TestCertificates certificates_;
  const QString other_ = QString(64, 'a');
};

TEST_F(CommandLineFormTest, AUrlConnectsRegistersAsGivenAndJoinsItsChannelOnceJoinIsEnabled) {
  Start({"irc://Bob@127.0.0.1:PORT/beginner", "--user", "bob"});
  // Connected from the fields, registered with the identity the URL and options gave.
  EXPECT_EQ(Next(3), (Lines{"PASS Mossel", "NICK Bob", "USER Bob X Y :bob"}));
  EXPECT_EQ(Deliver({":irc.test 001 Bob :Welcome"}), Lines{});
  EXPECT_EQ(Deliver({":irc.test 376 Bob :End of MOTD"}), Lines{"JOIN #beginner"});
  // Once a connection.
  EXPECT_EQ(Deliver({":irc.test 376 Bob :End of MOTD"}), Lines{});
}

// Once registered, in order and spaced; Cancel stops it, the next connection
// runs it again, and a line too long for the write buffer stops it for good.
TEST_F(CommandLineFormTest, TheScriptGoesOutOnceRegisteredInOrderSpacedUntilStopped) {
  constexpr auto kInterval = std::chrono::milliseconds(150);
  Start({"irc://Bob@127.0.0.1:PORT", "--script-interval", QString::number(kInterval.count()),
         "--script",
         Script("MODE Bob +i\n# skipped\n\nJOIN #a\nPRIVMSG #a :" + QByteArray(6000, 'x') +
                "\nPART #a\n")});
  const auto welcomed = [&] {
    server_.SendLine(":irc.test 001 Bob :Welcome");
    return Next(2);
  };
  Next(3);
  EXPECT_FALSE(server_.HasLine()) << "the script went out before registration";
  const auto start = steady_clock::now();
  EXPECT_EQ(welcomed(), (Lines{"MODE Bob +i", "JOIN #a"}));
  EXPECT_GE(steady_clock::now() - start, kInterval);
  Click(form_.btnConnect);
  ASSERT_TRUE(BackAtConnect());
  // A script still running would try its next line while nothing is connected.
  testsupport::WaitUntil([&] { return steady_clock::now() - start > 4 * kInterval; });
  EXPECT_EQ(LogLines(), Lines{"Welcome"});

  Click(form_.btnConnect);
  Next(3);
  EXPECT_EQ(welcomed(), (Lines{"MODE Bob +i", "JOIN #a"}));
  EXPECT_TRUE(testsupport::WaitUntil([&] {
    return Contains(LogLines(),
                    "Script stopped at line 5: too long for the write buffer (6014 of 5120 bytes)");
  }));
  EXPECT_EQ(Deliver({":irc.test 001 Bob :Welcome"}), Lines{});
}

TEST_F(CommandLineFormTest, RegisteringByHandTheScriptIsTheRegistration) {
  Start({"irc://127.0.0.1:PORT", "--register", "manual", "--script", Script("NICK Carol\n")});
  EXPECT_EQ(NextLine(), "NICK Carol");
}

// Refused without a question when it matches none, even verified; pinned (lower
// case, no colons), a self-signed one is accepted without a question.
TEST_F(CommandLineFormTest, OnlyAPinnedCertificatePassesAndNoneIsAskedAbout) {
  testsupport::TlsFront verified(certificates_.Trusted(), server_.Port());
  Start({QString("ircs://127.0.0.1:%1").arg(verified.Port()), "--trust", other_});
  std::string fingerprint = Refused();
  // The end of it: no connect event after the connection was closed.
  EXPECT_EQ(Raw().back(), "- " + std::string(kRefusal) + fingerprint);

  testsupport::TlsFront self_signed(certificates_.SelfSigned(), server_.Port());
  const QString url = QString("ircs://127.0.0.1:%1").arg(self_signed.Port());
  Start({url, "--trust", other_});
  fingerprint = Refused();
  ASSERT_TRUE(Contains(
      Raw(), "- SHA-256 fingerprint " + fingerprint + ", not verified: self-signed certificate"));
  Start({url, "--trust", QString::fromStdString(fingerprint).remove(':').toLower()});
  EXPECT_EQ(NextLine(), "PASS Mossel");
  EXPECT_EQ(form_.findChild<TCertificateDialog*>(), nullptr);
  EXPECT_TRUE(Contains(Raw(), "- Certificate pinned on the command line: accepted"));
}

}  // namespace
}  // namespace unit1
