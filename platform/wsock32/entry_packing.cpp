// Packing hostent and servent into a private copy of the caller's buffer.
#include "platform/wsock32/entry_packing.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace wsock32 {
namespace {

// Places items one after another in an image of the destination buffer, aligned
// as they will be there, and counts the size needed even when it overflows.
class Layout {
 public:
  Layout(char* destination, int capacity)
      : destination_(reinterpret_cast<std::uintptr_t>(destination)),
        image_(std::size_t(capacity > 0 ? capacity : 0)) {}

  std::size_t Reserve(std::size_t size, std::size_t alignment) {
    used_ += (alignment - (destination_ + used_) % alignment) % alignment;
    const std::size_t offset = used_;
    used_ += size;
    return offset;
  }

  void Write(std::size_t offset, const void* data, std::size_t size) {
    if (offset + size <= image_.size()) std::memcpy(image_.data() + offset, data, size);
  }

  // The address `offset` will have in the destination buffer.
  char* At(std::size_t offset) const { return reinterpret_cast<char*>(destination_ + offset); }

  char* String(const std::string& text) {
    const std::size_t offset = Reserve(text.size() + 1, 1);
    Write(offset, text.c_str(), text.size() + 1);
    return At(offset);
  }

  // A null-terminated array of pointers.
  char** Array(const std::vector<char*>& items) {
    const std::size_t offset = Reserve((items.size() + 1) * sizeof(char*), alignof(char*));
    for (std::size_t i = 0; i <= items.size(); ++i) {
      char* item = i < items.size() ? items[i] : nullptr;
      Write(offset + i * sizeof item, &item, sizeof item);
    }
    return reinterpret_cast<char**>(At(offset));
  }

  std::vector<char*> Strings(const std::vector<std::string>& texts) {
    std::vector<char*> placed;
    for (const auto& text : texts) placed.push_back(String(text));
    return placed;
  }

  PackedEntry Finish() {
    PackedEntry packed;
    packed.size = used_;
    if (used_ > image_.size()) {
      packed.error = winsock::WSAENOBUFS;
    } else {
      image_.resize(used_);
      packed.bytes = std::move(image_);
    }
    return packed;
  }

 private:
  const std::uintptr_t destination_;
  std::vector<char> image_;
  std::size_t used_ = 0;
};

}  // namespace

PackedEntry PackHost(const HostEntry& entry, char* destination, int capacity) {
  Layout layout(destination, capacity);
  const std::size_t head = layout.Reserve(sizeof(winsock::hostent), 1);
  winsock::hostent host{};
  host.h_name = layout.String(entry.name);
  const std::vector<char*> aliases = layout.Strings(entry.aliases);
  std::vector<char*> addresses;
  for (const std::uint32_t address : entry.addresses) {
    const std::size_t offset = layout.Reserve(sizeof address, alignof(std::uint32_t));
    layout.Write(offset, &address, sizeof address);
    addresses.push_back(layout.At(offset));
  }
  host.h_aliases = layout.Array(aliases);
  host.h_addrtype = short(kWinsockInet);
  host.h_length = short(sizeof(std::uint32_t));
  host.h_addr_list = layout.Array(addresses);
  layout.Write(head, &host, sizeof host);
  return layout.Finish();
}

PackedEntry PackService(const ServiceEntry& entry, char* destination, int capacity) {
  Layout layout(destination, capacity);
  const std::size_t head = layout.Reserve(sizeof(winsock::servent), 1);
  winsock::servent service{};
  service.s_name = layout.String(entry.name);
  service.s_aliases = layout.Array(layout.Strings(entry.aliases));
  service.s_port = short(entry.port);
  service.s_proto = layout.String(entry.protocol);
  layout.Write(head, &service, sizeof service);
  return layout.Finish();
}

PackedEntry PackAddrInfo(const ResolvedList& list, int flags, char* destination, int capacity) {
  Layout layout(destination, capacity);
  const std::size_t count = list.addresses.size();
  const std::size_t nodes = layout.Reserve(count * sizeof(winsock::ADDRINFOA), alignof(void*));
  char* name = nullptr;
  for (std::size_t i = 0; i < count; ++i) {
    const ResolvedAddress& resolved = list.addresses[i];
    const bool inet6 = resolved.address.family() == AF_INET6;
    winsock::SOCKADDR_STORAGE address;
    int length = sizeof address;
    WriteAddress(resolved.address, reinterpret_cast<winsock::sockaddr*>(&address), &length);
    const std::size_t at = layout.Reserve(std::size_t(length), alignof(std::uint32_t));
    layout.Write(at, &address, std::size_t(length));
    if (i == 0 && !list.canonical_name.empty()) name = layout.String(list.canonical_name);

    winsock::ADDRINFOA node{};
    node.ai_flags = flags;
    node.ai_family = inet6 ? kWinsockInet6 : kWinsockInet;
    node.ai_socktype = resolved.socktype;
    node.ai_protocol = resolved.protocol;
    node.ai_addrlen = std::size_t(length);
    node.ai_canonname = i == 0 ? name : nullptr;
    node.ai_addr = reinterpret_cast<winsock::sockaddr*>(layout.At(at));
    node.ai_next = i + 1 < count ? reinterpret_cast<winsock::ADDRINFOA*>(
                                       layout.At(nodes + (i + 1) * sizeof(winsock::ADDRINFOA)))
                                 : nullptr;
    layout.Write(nodes + i * sizeof node, &node, sizeof node);
  }
  return layout.Finish();
}

}  // namespace wsock32
