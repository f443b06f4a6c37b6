// Two real IRC servers linked to each other, for netsplits: the first waits for
// the link and knows an operator, the second opens the link by itself and opens it
// again, after the shortest delay the server allows, when it breaks.
//
//   if (!IrcdFixture::Installed()) GTEST_SKIP() << "ngircd is not installed";
//   LinkedIrcds ircds;
//   ASSERT_EQ(ircds.Start(), "");
//   // users on ircds.FirstPort() and ircds.SecondPort() share channels
#pragma once

#include <cstdint>
#include <string>

#include "tests/support/ircd_fixture.h"
#include "tests/support/loopback_socket.h"

namespace testsupport {

class LinkedIrcds {
 public:
  static constexpr const char* kFirstName = "irc1.test.local";
  static constexpr const char* kSecondName = "irc2.test.local";
  // OPER with these on the first server.
  static constexpr const char* kOperatorName = "warden";
  static constexpr const char* kOperatorPassword = "Zeebries";

  // Starts both servers and waits until they are linked: empty then, else what
  // went wrong, with both servers' output.
  std::string Start();
  void Stop();

  std::uint16_t FirstPort() const { return first_.Port(); }
  std::uint16_t SecondPort() const { return second_.Port(); }

  // From this time on, a broken link comes back after the server's short reconnect
  // delay instead of a longer random one.
  Clock::time_point QuickRelinkFrom() const { return quick_relink_from_; }

  // Both servers' logs, for failure messages.
  std::string Logs() const;

 private:
  // Polls the first server's LINKS until the second server is listed.
  std::string WaitForLink();

  IrcdFixture first_;
  IrcdFixture second_;
  Clock::time_point quick_relink_from_;
};

}  // namespace testsupport
