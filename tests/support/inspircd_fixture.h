// A real IRCv3 server for a test: InspIRCd 3 on a free port of 127.0.0.1, with the
// configuration scripts/inspircd-config writes (server name irc.test.local, no
// password, server-time, message-tags, echo-message, batch, labeled-response), in
// a temporary folder that goes with it. The server refuses to run as root: a test
// run as root starts it as the user "nobody".
//
//   if (!InspircdFixture::Installed()) GTEST_SKIP() << "inspircd is not installed";
//   InspircdFixture ircd;
//   ASSERT_EQ(ircd.Start(), "");
#pragma once

#include <string>

#include "tests/support/child_process.h"

namespace testsupport {

class InspircdFixture : public ServerProcess {
 public:
  static bool Installed() { return !FindProgram("inspircd").empty(); }

  InspircdFixture() : ServerProcess("inspircd") {}

  // Starts the server and waits until it accepts connections: empty once it runs,
  // else what went wrong, with the server's output. It sends a quiet client a PING
  // after `ping_seconds`.
  std::string Start(int ping_seconds = 120);

 private:
  // Hands the folder to the user the server runs as, when that is not us.
  bool HandOverFolder() const;
};

}  // namespace testsupport
