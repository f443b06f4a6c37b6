// When the log pane says that the SASL password crosses in clear text: PLAIN's
// credentials answering the server's prompt, without TLS, off this machine.
#include <gtest/gtest.h>

#include <tuple>

#include "Unit1/clear_text_password.h"

namespace unit1 {
namespace {

TEST(ClearTextPassword, OnlyPlainCredentialsWithoutTlsOffTheMachine) {
  using Lines = std::vector<std::string>;
  const Lines plain = {"AUTHENTICATE dG9sdmV4AHRvbHZleABzZWNyZXQ="};
  // What was received, the answer, TLS, the server's address, and whether it is said.
  const std::tuple<const char*, Lines, bool, const char*, bool> cases[] = {
      {"AUTHENTICATE +", plain, false, "192.0.2.7", true},
      {":irc.test AUTHENTICATE +", plain, false, "2001:db8::1", true},
      {"AUTHENTICATE +", plain, true, "192.0.2.7", false},
      {"AUTHENTICATE +", plain, false, "127.8.9.10", false},
      {"AUTHENTICATE +", plain, false, "::1", false},
      {"AUTHENTICATE +", plain, false, "::ffff:127.0.0.1", false},
      {"AUTHENTICATE +", {"AUTHENTICATE +"}, false, "192.0.2.7", false},  // EXTERNAL
      {"AUTHENTICATE +", {}, false, "192.0.2.7", false},
      // The request for the mechanism answers the server's ACK, not a prompt.
      {":irc.test CAP * ACK :sasl", plain, false, "192.0.2.7", false},
      {":irc.test NOTICE * :AUTHENTICATE", plain, false, "192.0.2.7", false},
  };
  for (const auto& [received, answer, tls, address, said] : cases) {
    EXPECT_EQ(PasswordCrossesInClear(received, answer, tls, address), said)
        << received << " " << address << (tls ? " tls" : "");
  }
}

}  // namespace
}  // namespace unit1
