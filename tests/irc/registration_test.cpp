// Registration's IRC knowledge on its own: the tag cut, the CAP replies as log
// lines, the SASL payload, tags after a CAP REQ, and the welcome's nickname. The
// lines sent on connect and the SASL negotiation are driven through the window
// against the scripted server (tests/Unit1/registration_test.cpp, form_test.cpp).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "irc/cap_reply.h"
#include "irc/message_tags.h"
#include "irc/registration.h"
#include "irc/sasl_payload.h"
#include "tests/irc/event_log.h"

namespace irc::test {
namespace {

using Lines = std::vector<std::string>;

TEST(MessageTagsTest, CutsTheTagsAtTheFirstBlank) {
  const std::string long_tags = "@x=" + std::string(8000, 'v');
  const std::pair<std::string, std::string> cases[] = {
      {"@time=2024-01-01T00:00:00.000Z;msgid=a1 :n!u@h PRIVMSG #c :hi\r\n",
       ":n!u@h PRIVMSG #c :hi\r\n"},
      // Escaped values hold no blank: "\s" is one, "\:" a semicolon.
      {"@a=b\\sc\\:d\\\\;e :n!u@h JOIN #c\r\n", ":n!u@h JOIN #c\r\n"},
      {"@a=1   PING :x\r\n", "PING :x\r\n"},
      {"@a=1\r\n", "\r\n"},
      {"@a=1", ""},
      {long_tags + " PING :x\r\n", "PING :x\r\n"},
      // Only a line that begins with "@" has tags.
      {":n!u@h PRIVMSG #c :@a b\r\n", ":n!u@h PRIVMSG #c :@a b\r\n"},
      {" @a=1 PING\r\n", " @a=1 PING\r\n"},
  };
  for (const auto& [line, cut] : cases) {
    EXPECT_EQ(WithoutTags(line), cut) << Quote(line.substr(0, 80));
  }
}

TEST(CapReplyTest, NamesTheSubcommandInAPlainSentence) {
  const std::pair<std::string, std::string> cases[] = {
      {"* LS :multi-prefix sasl=PLAIN,EXTERNAL server-time \r\n",
       "Capabilities offered: multi-prefix sasl=PLAIN,EXTERNAL server-time"},
      {"* LS * :away-notify batch\r\n", "Capabilities offered: away-notify batch (more follow)"},
      {"Tolvex ACK :server-time message-tags\r\n",
       "Capabilities acknowledged: server-time message-tags"},
      {"Tolvex NAK :sasl\r\n", "Capabilities refused: sasl"},
      {"Tolvex LIST :server-time\r\n", "Capabilities enabled: server-time"},
      {"Tolvex NEW :batch\r\n", "Capabilities now offered: batch"},
      {"Tolvex DEL :batch\r\n", "Capabilities withdrawn: batch"},
      {"Tolvex XYZ :q\r\n", "Capabilities reply XYZ: q"},
  };
  for (const auto& [params, logged] : cases) {
    EXPECT_EQ(CapReplyLogLine(params), logged) << Quote(params);
  }
}

TEST(CapReplyTest, FindsACapabilityWithOrWithoutAValue) {
  EXPECT_TRUE(OffersCapability("a sasl=PLAIN,EXTERNAL b", "sasl"));
  EXPECT_TRUE(OffersCapability("sasl", "sasl"));
  EXPECT_FALSE(OffersCapability("saslx sas a=sasl", "sasl"));
  EXPECT_FALSE(OffersCapability("", "sasl"));
}

TEST(SaslPayloadTest, Base64OfTheStandardExamples) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foobar", "Zm9vYmFy"},
      {std::string("\xff\xfe\x00", 3), "//4A"},
      {PlainCredentials("jil", "sesame"), "amlsAGppbABzZXNhbWU="},
  };
  for (const auto& [bytes, encoded] : cases) {
    EXPECT_EQ(Base64(bytes), encoded) << Quote(bytes);
  }
}

// Each piece as its size, "+" as itself.
TEST(SaslPayloadTest, SendsPiecesOf400BytesAndAPlusAfterAFullLastPiece) {
  const std::pair<std::size_t, Lines> cases[] = {{0, {"+"}},
                                                 {399, {"399"}},
                                                 {400, {"400", "+"}},
                                                 {801, {"400", "400", "1"}},
                                                 {800, {"400", "400", "+"}}};
  for (const auto& [size, pieces] : cases) {
    Lines sizes;
    for (const std::string& line : AuthenticateLines(std::string(size, 'A'))) {
      ASSERT_TRUE(line.starts_with("AUTHENTICATE ")) << line;
      const std::string piece = line.substr(std::string("AUTHENTICATE ").size());
      sizes.push_back(piece == "+" ? piece : std::to_string(piece.size()));
    }
    EXPECT_EQ(sizes, pieces) << size << " bytes";
  }
}

TEST(RegistrationTest, AnyCapReqTurnsTagsOnUntilTheNextConnection) {
  TRegistration registration;
  registration.Start({});
  for (const char* line : {"CAP LS 302", "NICK CAP", "PRIVMSG #c :CAP REQ", "CAPREQ"}) {
    registration.LineSent(line);
    EXPECT_FALSE(registration.CapRequested()) << line;
  }
  registration.LineSent("cap req :server-time");
  EXPECT_TRUE(registration.CapRequested());
  registration.Start({});
  EXPECT_FALSE(registration.CapRequested());
}

TEST(RegistrationTest, TheWelcomeNamesTheNicknameAndEndsAnUnansweredLogin) {
  TRegistration registration;
  registration.Start({"Tolvex", "Quillamore", "", "acc", "pw", TRegistrationKind::rkSasl});
  const TRegistrationStep step = registration.LineReceived(":irc 001 Tolvex2 :Welcome\r\n");
  EXPECT_EQ(step.WelcomedNick, "Tolvex2");
  EXPECT_EQ(step.Lines, Lines{});
  EXPECT_EQ(step.LogLine, "SASL login not done: the server registered the client without it");
  EXPECT_FALSE(registration.Negotiating());
  // Other lines pass untouched, and so does a later CAP reply.
  EXPECT_EQ(registration.LineReceived(":irc CAP Tolvex2 LS :sasl\r\n").Lines, Lines{});
}

}  // namespace
}  // namespace irc::test
