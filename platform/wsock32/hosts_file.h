// The test switch that answers name look-ups from a file, so that tests need
// not depend on the machine's hosts file or name servers.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace wsock32 {

// Reads the file that WSOCK32_HOSTS_FILE names, at the start of the library (the
// first WSAStartup, or the first after the last WSACleanup). Each line is a name
// and its addresses, in the order the look-ups give them, separated by blanks:
// "dual.test ::1 127.0.0.1". A line starting with '#' and an empty line are
// skipped. Unset, empty or unreadable: no name is answered from a file.
void ReadHostsFile();

// The addresses the file gives `name` (letter case ignored), as written; nothing
// when the file does not list it.
std::optional<std::vector<std::string>> HostsFileAddresses(const std::string& name);

}  // namespace wsock32
