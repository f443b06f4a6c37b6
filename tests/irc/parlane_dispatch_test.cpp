// Cutting a server line (sender, command, trailing text, parameters, kick target),
// which events each command raises in which order with what, and handlers that
// change the component while it calls them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "irc/parlane.h"
#include "tests/irc/event_log.h"

namespace irc::test {
namespace {

// Each line and the log event it raises first, which carries every cut value.
TEST(CutTest, LogEventCarriesTheCutValues) {
  const std::pair<std::string, std::string> cases[] = {
      {":alice!al@host1 PRIVMSG #chan :hi there\r\n",
       R"(OnMsgLog "alice" "alice (al@host1" "***" "PRIVMSG" "hi there" "#chan :hi there\r\n")"},
      {"PING :irc1\r\n", R"(OnMsgLog "" "" "" "PING" "irc1" ":irc1\r\n")"},
      {":irc1 376 me :End\r\n", R"(OnMsgLog "" "irc1" "***" "376" "End" "me :End\r\n")"},
      {"\r\n", R"(OnMsgLog "" "" "" "" "" "\r\n")"},
      {":a X y\r\n", R"(OnMsgLog "" "UNKNOWN" "***" "X" "y" "y\r\n")"},
      {": X y\r\n", R"(OnMsgLog "" "UNKNOWN" "***" "X" "y" "y\r\n")"},
      {":nospace\r\n", R"(OnMsgLog "" "UNKNOWN" "***" "" "nospace" "nospace\r\n")"},
      {":irc1  376 me\r\n", R"(OnMsgLog "" "irc1" "***" "" "376 me" "376 me\r\n")"},
      {":!srv X y\r\n", R"(OnMsgLog "" "srv" "!" "X" "y" "y\r\n")"},
      {":!@srv X y\r\n", R"(OnMsgLog "" "srv" "@" "X" "y" "y\r\n")"},
      {":a!b!c X y\r\n", R"(OnMsgLog "a" "a (b!c" "***" "X" "y" "y\r\n")"},
      {"MODE #chan +o bob\r\n", R"(OnMsgLog "" "" "" "MODE" "#chan +o bob" "#chan +o bob\r\n")"},
      {"X a :b:c\r\n", R"(OnMsgLog "" "" "" "X" "b:c" "a :b:c\r\n")"},
      // A ":" after the carriage return, or no carriage return left after the
      // prefix, gives no trailing text.
      {"X a\r:b\n", R"(OnMsgLog "" "" "" "X" "" "a\r:b\n")"},
      {":a\rb X y\n", R"(OnMsgLog "" "a\rb" "***" "X" "" "y\n")"},
  };
  for (const auto& [line, logged] : cases) {
    TParlane irc;
    TEventLog log(irc);
    irc.ProcessLine(line);
    ASSERT_FALSE(log.entries.empty()) << Quote(line);
    EXPECT_EQ(log.entries.front(), logged) << Quote(line);
  }
}

TEST(CutTest, LineWithoutCarriageReturnRaisesNothing) {
  TParlane irc;
  TEventLog log(irc);
  for (const char* line : {"", "PING :irc1\n", "PING :irc1"}) irc.ProcessLine(line);
  EXPECT_TRUE(log.entries.empty());
}

struct TTargetCase {
  std::string rest, person, reason;
};

TEST(ParseTargetTest, SkipsTheFirstParameterAndDropsBlanksFromTheReason) {
  // The plain KICK and KILL forms are in the dispatch table.
  const TTargetCase cases[] = {
      {"#chan victim\r\n", "", "ictim"},
      {"nothing\r\n", "", "othing"},
      {"#chan  bob\r\n", "", "bob"},
      // No carriage return left after the person: no reason, not the rest.
      {"#c\r bob :x y\n", "bob", ""},
  };
  for (const auto& c : cases) {
    std::string person = "stale", reason = "stale";
    ParseTarget(c.rest, person, reason);
    EXPECT_EQ(person, c.person) << c.rest;
    EXPECT_EQ(reason, c.reason) << c.rest;
  }
}

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
    JoinWithNames(irc, "@me bob carol");
    TEventLog log(irc, false);
    irc.ProcessLine(line);
    EXPECT_EQ(log.entries, events) << Quote(line);
  }
}

// Text long enough to live on the heap, so that a freed handler's copy of it is
// caught by the address sanitizer when the handler reads it afterwards.
const std::string kTag(64, 't');

TEST(ReentryTest, HandlerMayClearOrReplaceItsOwnEvent) {
  TParlane irc;
  std::vector<std::string> seen;
  irc.OnPing = [&seen, &irc, tag = kTag](TParlane&, const std::string&, const std::string&,
                                         const std::string&, const std::string& msg) {
    irc.OnPing = nullptr;
    seen.push_back(tag.substr(0, 1) + msg);
  };
  irc.OnNotice = [&seen, &irc, tag = kTag](TParlane&, const std::string&, const std::string&,
                                           const std::string&, const std::string& msg) {
    irc.OnNotice = [&seen](TParlane&, const std::string&, const std::string&, const std::string&,
                           const std::string& msg) { seen.push_back("second " + msg); };
    seen.push_back(tag.substr(0, 1) + msg);
  };
  irc.ProcessLine("PING :a\r\n");
  irc.ProcessLine("PING :b\r\n");
  irc.ProcessLine(":srv NOTICE me :c\r\n");
  irc.ProcessLine(":srv NOTICE me :d\r\n");
  EXPECT_EQ(seen, (std::vector<std::string>{"ta", "tc", "second d"}));
}

// The nested line reaches the same handler, which clears its event there: the
// outer call's texts and captures are still whole afterwards.
TEST(ReentryTest, HandlerMayHandInANestedLineAndClearItsEventThere) {
  TParlane irc;
  std::vector<std::string> seen;
  irc.OnPing = [&seen, tag = kTag](TParlane& sender, const std::string& from, const std::string&,
                                   const std::string&, const std::string& msg) {
    if (msg == "outer") sender.ProcessLine(":srv PING :inner-and-longer\r\n");
    if (msg != "outer") sender.OnPing = nullptr;
    seen.push_back(tag.substr(0, 1) + from + "|" + msg);
  };
  irc.OnMsgLog = [&seen](TParlane&, const std::string&, const std::string&, const std::string&,
                         const std::string& cmd, const std::string&,
                         const std::string&) { seen.push_back("log " + cmd); };
  irc.ProcessLine(":first PING :outer\r\n");
  irc.ProcessLine("PING :again\r\n");
  EXPECT_EQ(seen, (std::vector<std::string>{"log PING", "log PING", "tsrv|inner-and-longer",
                                            "tfirst|outer", "log PING"}));
}

}  // namespace
}  // namespace irc::test
