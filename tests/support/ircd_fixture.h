// A real IRC server for a test: ngircd on a free port of 127.0.0.1 (and ::1), with the
// configuration scripts/ircd-config writes (server name irc.test.local, password
// "Mossel", no look-ups, no flood delays), in a temporary folder that goes with it.
//
//   if (!IrcdFixture::Installed()) GTEST_SKIP() << "ngircd is not installed";
//   IrcdFixture ircd;
//   const std::string error = ircd.Start();
//   ASSERT_EQ(error, "");
#pragma once

#include <string>
#include <string_view>

#include "tests/support/child_process.h"

namespace testsupport {

class IrcdFixture : public ServerProcess {
 public:
  static constexpr const char* kPassword = "Mossel";

  // Whether the server program is there at all.
  static bool Installed() { return !FindProgram("ngircd").empty(); }

  IrcdFixture() : ServerProcess("ngircd") {}

  // With kMissing the server has no message of the day: it ends registration
  // with 422 instead of 376.
  enum class Motd { kPhrase, kMissing };

  // Starts the server and waits until it accepts connections: empty once it runs,
  // else what went wrong, with the server's own output. `extra_config` is a
  // snippet of configuration read after the rest, so that it may also change what
  // the rest set (the server's name, say).
  // `listen` names the addresses to listen on ("::1,127.0.0.1") instead of
  // 127.0.0.1 alone (the server takes only one Listen setting).
  std::string Start(Motd motd = Motd::kPhrase, std::string_view extra_config = {},
                    std::string_view listen = {});

 private:
  // Points the configuration at a message-of-the-day file that does not exist.
  bool DropMotd() const;
  // Replaces the configuration's first line that starts with `key`.
  bool ReplaceConfigLine(std::string_view key, const std::string& line) const;
  bool WriteExtraConfig(std::string_view extra_config) const;
};

}  // namespace testsupport
