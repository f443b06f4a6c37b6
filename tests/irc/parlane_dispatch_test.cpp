// The dispatch table: which events each command raises, in which order, with what.
#include <gtest/gtest.h>

#include "irc/parlane.h"
#include "tests/irc/event_log.h"

namespace irc::test {
namespace {

struct TRowCase {
  std::string line;
  std::vector<std::string> events;  // after the log event
};

void PrintTo(const TRowCase& c, std::ostream* out) {
  *out << Quote(c.line);
}

class DispatchTest : public testing::TestWithParam<TRowCase> {};

// On channel #c as "me", with bob and carol listed.
TEST_P(DispatchTest, RaisesTheEventsOfItsRow) {
  TParlane irc;
  irc.SetNickName("me");
  irc.SetChannelName("#c");
  irc.ProcessLine(":me!u@h JOIN :#c\r\n");
  irc.ProcessLine(":srv 353 me = #c :@me bob carol\r\n");
  TEventLog log(irc, false);
  irc.ProcessLine(GetParam().line);
  EXPECT_EQ(log.entries, GetParam().events) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DispatchTest,
    testing::Values(
        TRowCase{":srv KILL bob :Killed (by x)\r\n", {R"-(OnKill ":Killed" "(byx)")-"}},
        TRowCase{":op KILL x bob :gone\r\n", {R"(OnNickDel "bob")", R"(OnKill "bob" ":gone")"}},
        TRowCase{":srv 465 me :You are banned\r\n", {R"(OnBan ":You" "arebanned")"}},
        TRowCase{":srv 473 me #c :Cannot join\r\n", {R"(OnBan "#c" ":Cannotjoin")"}},
        TRowCase{":srv 474 me #c :Cannot join\r\n", {R"(OnBan "#c" ":Cannotjoin")"}},
        TRowCase{":srv 475 me #c :Cannot join\r\n", {R"(OnBan "#c" ":Cannotjoin")"}},
        TRowCase{":op!u@h KICK #c bob :bye now\r\n",
                 {R"(OnNickDel "bob")", R"(OnKick "bob" ":byenow")"}},
        TRowCase{":srv NOTICE me :hi\r\n", {R"(OnNotice "srv" "***" "NOTICE" "hi")"}},
        TRowCase{":bob!u@h PRIVMSG #c :hi :)\r\n",
                 {R"-(OnPrivMsg "bob (u@h" "***" "PRIVMSG" "hi :)")-"}},
        TRowCase{":bob!u@h QUIT :gone\r\n",
                 {R"(OnNickDel "bob")", R"(OnQuit "bob (u@h" "***" "QUIT" "gone")"}},
        TRowCase{":carol!u@h PART #c :bye\r\n",
                 {R"(OnNickDel "carol")", R"(OnPart "carol (u@h" "***" "PART" "bye")"}},
        TRowCase{":bob!u@h NICK :rob\r\n",
                 {R"(OnNickCng "bob" "rob")", R"(OnNick "bob (u@h" "***" "NICK" "rob")"}},
        TRowCase{":bob!u@h NICK rob\r\n",
                 {R"(OnNickCng "bob" "rob")", R"(OnNick "bob (u@h" "***" "NICK" "rob")"}},
        TRowCase{":op!u@h MODE #c +o bob\r\n", {R"(OnMode "op (u@h" "***" "MODE" "#c +o bob")"}},
        TRowCase{"PING :irc1\r\n", {R"(OnPing "" "" "PING" "irc1")"}},
        TRowCase{"ERROR :Closing\r\n", {R"(OnError "" "" "ERROR" "Closing")"}},
        TRowCase{":dave!u@h JOIN :#c\r\n",
                 {R"(OnNickAdd "dave")", R"(OnJoin "dave" "dave (u@h" "***" "JOIN" "#c")"}},
        TRowCase{":op!u@h INVITE me :#d\r\n", {R"(OnInvite "op (u@h" "***" "INVITE" "#d")"}},
        TRowCase{":srv 353 me = #c :dave bob\r\n",
                 {R"(OnNickSet "dave")", R"(OnNames "dave")", R"(OnNames "bob")"}},
        // Names after the carriage return are no names.
        TRowCase{":srv 353 me = #c\r:dave\n", {}}, TRowCase{":srv 366 me #c :End\r\n", {}},
        TRowCase{":srv 372 me :- hi\r\n", {R"(OnReply "srv" "***" "372" "- hi")"}},
        TRowCase{":srv 375 me :- start\r\n", {R"(OnReply "srv" "***" "375" "- start")"}},
        TRowCase{":srv 376 me :End\r\n", {R"(OnReply "srv" "***" "376" "")"}},
        TRowCase{":srv 324 me #c +nt\r\n", {R"(OnReply "srv" "***" "324" "me #c +nt")"}},
        TRowCase{":srv 341 me bob #c\r\n", {}},
        TRowCase{":srv 482 me #c :Not op\r\n", {R"(OnReply "srv" "***" "482" "Not op")"}},
        // A rejected nickname is no kill: person and reason stay empty.
        TRowCase{":bob!u@h 436 me bob :Collision\r\n", {R"(OnNickDel "bob")", R"(OnKill "" "")"}},
        TRowCase{":srv 432 me b@d :Erroneous\r\n", {R"(OnKill "" "")"}},
        TRowCase{":srv 401 me x :No such\r\n", {R"(OnReply "srv" "***" "401" "No such")"}},
        TRowCase{":srv 332 me #c :Topic\r\n", {R"(OnReply "srv" "***" "332" "Topic")"}},
        TRowCase{":srv 001 me :Welcome\r\n", {R"(OnReply "srv" "***" "001" "Welcome")"}},
        TRowCase{":bob!u@h privmsg #c :hi\r\n", {R"(OnReply "bob (u@h" "***" "privmsg" "hi")"}},
        TRowCase{"\r\n", {R"(OnReply "" "" "" "")"}}));

}  // namespace
}  // namespace irc::test
