// When the log pane says that the SASL password crosses in clear text: PLAIN's
// credentials answering the server's prompt, without TLS, off this machine.
#include <gtest/gtest.h>

#include "Unit1/clear_text_password.h"

namespace unit1 {
namespace {

TEST(ClearTextPassword, OnlyPlainCredentialsWithoutTlsOffTheMachine) {
  const std::vector<std::string> plain = {"AUTHENTICATE dG9sdmV4AHRvbHZleABzZWNyZXQ="};
  const std::vector<std::string> external = {"AUTHENTICATE +"};
  struct Case {
    const char* received;
    const std::vector<std::string>* answer;
    bool tls;
    const char* address;
    bool said;
  };
  const Case cases[] = {
      {"AUTHENTICATE +", &plain, false, "192.0.2.7", true},
      {":irc.test AUTHENTICATE +", &plain, false, "2001:db8::1", true},
      {"AUTHENTICATE +", &plain, true, "192.0.2.7", false},
      {"AUTHENTICATE +", &plain, false, "127.0.0.1", false},
      {"AUTHENTICATE +", &plain, false, "127.8.9.10", false},
      {"AUTHENTICATE +", &plain, false, "::1", false},
      {"AUTHENTICATE +", &plain, false, "::ffff:127.0.0.1", false},
      {"AUTHENTICATE +", &external, false, "192.0.2.7", false},
      // The request for the mechanism answers the server's ACK, not a prompt.
      {":irc.test CAP * ACK :sasl", &plain, false, "192.0.2.7", false},
      {":irc.test NOTICE * :AUTHENTICATE", &plain, false, "192.0.2.7", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PasswordCrossesInClear(c.received, *c.answer, c.tls, c.address), c.said)
        << c.received << " " << c.address << (c.tls ? " tls" : "");
  }
  EXPECT_FALSE(PasswordCrossesInClear("AUTHENTICATE +", {}, false, "192.0.2.7"));
}

}  // namespace
}  // namespace unit1
