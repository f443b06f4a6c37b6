// Whether the log pane must say that the SASL password crosses in clear text:
// the registration answers the server's "AUTHENTICATE +" with PLAIN's
// credentials (EXTERNAL answers with an empty "AUTHENTICATE +"), over a
// connection without TLS, to an address that is not this machine's own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace unit1 {

inline constexpr const char* kClearTextPassword =
    "The SASL password crosses in clear text: this connection has no TLS";

bool PasswordCrossesInClear(std::string_view received, const std::vector<std::string>& answer,
                            bool tls, std::string_view address);

}  // namespace unit1
