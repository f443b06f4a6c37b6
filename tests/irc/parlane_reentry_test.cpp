// Handlers that change the component while it calls them: clearing or replacing
// their own event, or handing in a nested line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "irc/parlane.h"

namespace irc::test {
namespace {

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

TEST(ReentryTest, HandlerMayClearItsEventAndHandInANestedLine) {
  TParlane irc;
  std::vector<std::string> seen;
  irc.OnPing = [&seen, tag = kTag](TParlane& sender, const std::string&, const std::string&,
                                   const std::string&, const std::string& msg) {
    sender.OnPing = nullptr;
    sender.ProcessLine("PING :" + tag.substr(0, 2) + "\r\n");
    seen.push_back(tag.substr(0, 1) + msg);
  };
  irc.OnMsgLog = [&seen](TParlane&, const std::string&, const std::string&, const std::string&,
                         const std::string& cmd, const std::string&,
                         const std::string&) { seen.push_back("log " + cmd); };
  irc.ProcessLine("PING :outer\r\n");
  EXPECT_EQ(seen, (std::vector<std::string>{"log PING", "log PING", "touter"}));
}

}  // namespace
}  // namespace irc::test
