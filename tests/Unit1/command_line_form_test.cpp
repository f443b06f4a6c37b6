// The window started from a command line against the scripted server: the
// fields and identity it fills, registration with that identity, the channel
// joined by itself, and the script at connect (in order, spaced, stopped by a
// line that cannot go out, by Cancel, and run again on the next connection).
#include <QCheckBox>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <sstream>

#include "tests/Unit1/form_fixture.h"

namespace unit1 {
namespace {

using testsupport::WaitUntil;

class CommandLineFormTest : public FormTest {
 protected:
  // The command line parsed and applied, as the program does at start.
  void Start(const QStringList& arguments) {
    std::istringstream no_input;
    const TCommandLine line = ParseCommandLine(QStringList{"ircclient"} + arguments, no_input);
    ASSERT_EQ(line.Action, TCommandLine::kStart) << line.Text;
    form_.ApplyStartSettings(line.Settings);
  }
  QString Url(const QString& rest = "") const {
    return QString("irc://Bob@127.0.0.1:%1").arg(server_.Port()) + rest;
  }
  QString Script(const QByteArray& text) {
    const QString path = folder_.filePath("script");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    return path;
  }
  std::vector<std::string> Lines(int count) {
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) lines.push_back(NextLine().value_or("(none)"));
    return lines;
  }

  QTemporaryDir folder_;
};

TEST_F(CommandLineFormTest, AUrlConnectsRegistersAsGivenAndJoinsItsChannelOnceJoinIsEnabled) {
  Start({Url("/beginner"), "--user", "bob"});
  EXPECT_EQ(form_.ircServer->text(), "127.0.0.1");
  EXPECT_EQ(form_.ircPort->text(), QString::number(server_.Port()));
  EXPECT_EQ(form_.ircChannel->text(), "#beginner");
  // What File > Identity… shows.
  EXPECT_EQ(form_.Identity.NickName, "Bob");
  EXPECT_EQ(form_.Identity.UserName, "bob");

  EXPECT_EQ(Lines(3), (std::vector<std::string>{"PASS Mossel", "NICK Bob", "USER Bob X Y :bob"}));
  EXPECT_EQ(Deliver({":irc.test 001 Bob :Welcome"}), std::vector<std::string>{});
  EXPECT_EQ(Deliver({":irc.test 376 Bob :End of MOTD"}),
            std::vector<std::string>{"JOIN #beginner"});
  Deliver({":Bob!b@host JOIN :#beginner"});
  EXPECT_EQ(Usable(), "part ");
  // Once a connection: a second end of the message of the day joins nothing.
  EXPECT_EQ(Deliver({":irc.test 376 Bob :End of MOTD"}), std::vector<std::string>{});
}

TEST_F(CommandLineFormTest, TheScriptGoesOutInOrderOnceRegisteredAtMostOneAnInterval) {
  constexpr int kIntervalMs = 150;
  Start({Url(), "--script", Script("MODE Bob +i\n# skipped\n\nJOIN #a\nPRIVMSG #a :hello\n"),
         "--script-interval", QString::number(kIntervalMs)});
  Lines(3);
  EXPECT_FALSE(server_.HasLine()) << "the script went out before registration";
  const auto start = std::chrono::steady_clock::now();
  server_.SendLine(":irc.test 001 Bob :Welcome");
  EXPECT_EQ(Lines(3), (std::vector<std::string>{"MODE Bob +i", "JOIN #a", "PRIVMSG #a :hello"}));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2 * kIntervalMs));
  // Once a connection.
  EXPECT_EQ(Deliver({":irc.test 001 Bob :Welcome"}), std::vector<std::string>{});
}

TEST_F(CommandLineFormTest, ALineThatCannotGoOutStopsTheScriptAndTheLogPaneSaysWhichAndWhy) {
  Start(
      {Url(), "--script", Script("JOIN #a\nPRIVMSG #a :" + QByteArray(6000, 'x') + "\nPART #a\n")});
  Lines(3);
  EXPECT_EQ(Deliver({":irc.test 001 Bob :Welcome"}), std::vector<std::string>{"JOIN #a"});
  EXPECT_TRUE(WaitUntil([&] {
    return Contains(LogLines(),
                    "Script stopped at line 2: too long for the write buffer "
                    "(6014 of 5120 bytes)");
  }));
  EXPECT_EQ(Deliver({}), std::vector<std::string>{});
}

TEST_F(CommandLineFormTest, CancelStopsTheScriptAndTheNextConnectionRunsItAgain) {
  Start({Url(), "--script", Script("JOIN #a\nPART #a\n"), "--script-interval", "100"});
  Lines(3);
  server_.SendLine(":irc.test 001 Bob :Welcome");
  EXPECT_EQ(NextLine(), "JOIN #a");
  Click(form_.btnConnect);
  ASSERT_TRUE(BackAtConnect());
  // A script still running would try its next line while nothing is connected.
  const auto cancelled = std::chrono::steady_clock::now();
  WaitUntil([&] {
    return std::chrono::steady_clock::now() - cancelled > std::chrono::milliseconds(400);
  });
  EXPECT_FALSE(Contains(LogLines(), "Script stopped at line 2: not connected"));

  Click(form_.btnConnect);
  Lines(3);
  EXPECT_EQ(Deliver({":irc.test 001 Bob :Welcome"}), std::vector<std::string>{"JOIN #a"});
}

TEST_F(CommandLineFormTest, RegisteringByHandTheScriptIsTheRegistration) {
  Start({Url(), "--register", "manual", "--script", Script("NICK Carol\nUSER c 0 * :C\n")});
  EXPECT_EQ(Lines(2), (std::vector<std::string>{"NICK Carol", "USER c 0 * :C"}));
  EXPECT_EQ(Deliver({":irc.test 001 Carol :Welcome"}), std::vector<std::string>{});
}

TEST_F(CommandLineFormTest, WithoutAUrlOrConnectNothingStarts) {
  Start({"--nick", "Bob", "--tls", "--channel", "test"});
  EXPECT_EQ(form_.ircPort->text(), "6697");
  EXPECT_EQ(form_.ircChannel->text(), "#test");
  EXPECT_TRUE(form_.cbTls->isChecked());
  QCoreApplication::processEvents();
  EXPECT_TRUE(IsIdle());
  EXPECT_FALSE(server_.HasClient());
}

}  // namespace
}  // namespace unit1
