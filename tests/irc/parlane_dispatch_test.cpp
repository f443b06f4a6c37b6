// The dispatch table: which events each command raises, in which order, with what.
#include <gtest/gtest.h>

#include "irc/parlane.h"
#include "tests/irc/event_log.h"

namespace irc::test {
namespace {

// Each line and the events it raises after the log event, on channel #c as "me" with
// @me, bob and carol listed.
TEST(DispatchTest, EveryRowRaisesItsEventsInOrder) {
  const std::pair<std::string, std::vector<std::string>> rows[] = {
      {":srv KILL bob :Killed (by x)\r\n", {R"-(OnKill ":Killed" "(byx)")-"}},
      {":op KILL x bob :gone\r\n", {R"(OnNickDel "bob")", R"(OnKill "bob" ":gone")"}},
      {":srv 465 me :You are banned\r\n", {R"(OnBan ":You" "arebanned")"}},
      {":srv 473 me #c :Cannot join\r\n", {R"(OnBan "#c" ":Cannotjoin")"}},
      {":srv 474 me #c :Cannot join\r\n", {R"(OnBan "#c" ":Cannotjoin")"}},
      {":srv 475 me #c :Cannot join\r\n", {R"(OnBan "#c" ":Cannotjoin")"}},
      {":op!u@h KICK #c bob :bye now\r\n", {R"(OnNickDel "bob")", R"(OnKick "bob" ":byenow")"}},
      {":srv NOTICE me :hi\r\n", {R"(OnNotice "srv" "***" "NOTICE" "hi")"}},
      {":bob!u@h PRIVMSG #c :hi :)\r\n", {R"-(OnPrivMsg "bob (u@h" "***" "PRIVMSG" "hi :)")-"}},
      {":bob!u@h QUIT :gone\r\n",
       {R"(OnNickDel "bob")", R"(OnQuit "bob (u@h" "***" "QUIT" "gone")"}},
      {":carol!u@h PART #c :bye\r\n",
       {R"(OnNickDel "carol")", R"(OnPart "carol (u@h" "***" "PART" "bye")"}},
      {":bob!u@h NICK :rob\r\n",
       {R"(OnNickCng "bob" "rob")", R"(OnNick "bob (u@h" "***" "NICK" "rob")"}},
      {":bob!u@h NICK rob\r\n",
       {R"(OnNickCng "bob" "rob")", R"(OnNick "bob (u@h" "***" "NICK" "rob")"}},
      {":op!u@h MODE #c +o bob\r\n", {R"(OnMode "op (u@h" "***" "MODE" "#c +o bob")"}},
      {"PING :irc1\r\n", {R"(OnPing "" "" "PING" "irc1")"}},
      {"ERROR :Closing\r\n", {R"(OnError "" "" "ERROR" "Closing")"}},
      {":dave!u@h JOIN :#c\r\n",
       {R"(OnNickAdd "dave")", R"(OnJoin "dave" "dave (u@h" "***" "JOIN" "#c")"}},
      {":op!u@h INVITE me :#d\r\n", {R"(OnInvite "op (u@h" "***" "INVITE" "#d")"}},
      {":srv 353 me = #c :dave bob\r\n",
       {R"(OnNickSet "dave")", R"(OnNames "dave")", R"(OnNames "bob")"}},
      // Only a list behind the parameters starts afresh: bob stays listed here.
      {":srv 353 :me bob\r\n", {R"(OnNickSet "me")", R"(OnNames "me")", R"(OnNames "bob")"}},
      // Names after the carriage return are no names.
      {":srv 353 me = #c\r:dave\n", {}},
      {":srv 366 me #c :End\r\n", {}},
      {":srv 372 me :- hi\r\n", {R"(OnReply "srv" "***" "372" "- hi")"}},
      {":srv 375 me :- start\r\n", {R"(OnReply "srv" "***" "375" "- start")"}},
      {":srv 376 me :End\r\n", {R"(OnReply "srv" "***" "376" "")"}},
      {":srv 324 me #c +nt\r\n", {R"(OnReply "srv" "***" "324" "me #c +nt")"}},
      {":srv 341 me bob #c\r\n", {}},
      {":srv 482 me #c :Not op\r\n", {R"(OnReply "srv" "***" "482" "Not op")"}},
      // A rejected nickname is no kill: person and reason stay empty.
      {":bob!u@h 436 me bob :Collision\r\n", {R"(OnNickDel "bob")", R"(OnKill "" "")"}},
      {":srv 432 me b@d :Erroneous\r\n", {R"(OnKill "" "")"}},
      {":srv 401 me x :No such\r\n", {R"(OnReply "srv" "***" "401" "No such")"}},
      {":srv 332 me #c :Topic\r\n", {R"(OnReply "srv" "***" "332" "Topic")"}},
      {":srv 001 me :Welcome\r\n", {R"(OnReply "srv" "***" "001" "Welcome")"}},
      {":bob!u@h privmsg #c :hi\r\n", {R"(OnReply "bob (u@h" "***" "privmsg" "hi")"}},
      {"\r\n", {R"(OnReply "" "" "" "")"}},
  };
  for (const auto& [line, events] : rows) {
    TParlane irc;
    irc.SetNickName("me");
    irc.SetChannelName("#c");
    irc.ProcessLine(":me!u@h JOIN :#c\r\n");
    irc.ProcessLine(":srv 353 me = #c :@me bob carol\r\n");
    TEventLog log(irc, false);
    irc.ProcessLine(line);
    EXPECT_EQ(log.entries, events) << Quote(line);
  }
}

}  // namespace
}  // namespace irc::test
