// Name look-ups answered from a file of the test switch.
#include "platform/wsock32/hosts_file.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

namespace wsock32 {
namespace {

struct HostsFile {
  std::mutex mutex;
  std::map<std::string, std::vector<std::string>> names;
};

// Never destroyed: look-up workers may still read it when static destructors run.
HostsFile& TheHostsFile() {
  static auto* file = new HostsFile;
  return *file;
}

std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); });
  return text;
}

}  // namespace

void ReadHostsFile() {
  std::map<std::string, std::vector<std::string>> names;
  const char* path = std::getenv("WSOCK32_HOSTS_FILE");
  std::ifstream file(path && *path ? path : "");
  std::string line;
  while (std::getline(file, line)) {
    std::istringstream words(line);
    std::string name;
    if (!(words >> name) || name.starts_with('#')) continue;
    std::vector<std::string>& addresses = names[Lowered(name)];
    for (std::string address; words >> address;) addresses.push_back(address);
  }
  HostsFile& hosts = TheHostsFile();
  std::lock_guard lock(hosts.mutex);
  hosts.names = std::move(names);
}

std::optional<std::vector<std::string>> HostsFileAddresses(const std::string& name) {
  HostsFile& hosts = TheHostsFile();
  std::lock_guard lock(hosts.mutex);
  const auto found = hosts.names.find(Lowered(name));
  if (found == hosts.names.end()) return std::nullopt;
  return found->second;
}

}  // namespace wsock32
