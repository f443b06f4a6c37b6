// inet_addr, inet_ntoa and the 16-bit byte order swap, without the C library's
// versions (whose names this library exports).
#include "platform/wsock32/address_text.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <optional>

namespace wsock32 {
namespace {

bool IsDigit(char c, unsigned base) {
  if (c >= '0' && c <= '9') return unsigned(c - '0') < base;
  if (base != 16) return false;
  return (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

unsigned DigitValue(char c) {
  if (c >= '0' && c <= '9') return unsigned(c - '0');
  if (c >= 'a' && c <= 'f') return unsigned(c - 'a' + 10);
  return unsigned(c - 'A' + 10);
}

// One part at `text`: advances past it; nothing for a part without digits or
// one above 32 bits.
std::optional<std::uint32_t> ReadPart(const char*& text) {
  unsigned base = 10;
  if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text += 2;
  } else if (text[0] == '0') {
    base = 8;
  }
  if (!IsDigit(*text, base)) return std::nullopt;
  std::uint64_t value = 0;
  for (; IsDigit(*text, base); ++text) {
    value = value * base + DigitValue(*text);
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  return std::uint32_t(value);
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::uint32_t ToNetworkOrder(std::uint32_t value) {
  if constexpr (std::endian::native == std::endian::big) return value;
  return (value >> 24) | ((value >> 8) & 0xFF00u) | ((value << 8) & 0xFF0000u) | (value << 24);
}

}  // namespace

winsock::u_long InetAddr(const char* text) {
  if (!text) return kWinsockNoAddress;
  std::uint32_t parts[4];
  int count = 0;
  for (;;) {
    const auto part = ReadPart(text);
    if (!part) return kWinsockNoAddress;
    parts[count++] = *part;
    if (*text != '.') break;
    if (count == 4) return kWinsockNoAddress;
    ++text;
  }
  if (*text != '\0' && !IsBlank(*text)) return kWinsockNoAddress;

  // The last part fills all the bytes the earlier parts leave.
  const std::uint32_t last_limit[] = {0xFFFFFFFFu, 0xFFFFFFu, 0xFFFFu, 0xFFu};
  if (parts[count - 1] > last_limit[count - 1]) return kWinsockNoAddress;
  std::uint32_t value = parts[count - 1];
  for (int i = 0; i < count - 1; ++i) {
    if (parts[i] > 0xFF) return kWinsockNoAddress;
    value |= parts[i] << (24 - 8 * i);
  }
  return ToNetworkOrder(value);
}

char* InetNtoa(winsock::in_addr address) {
  // Static TLS for the reason error_state.cpp gives.
  [[gnu::tls_model("initial-exec")]] thread_local char text[16];
  unsigned char bytes[4];
  static_assert(sizeof bytes == sizeof address.s_addr);
  std::memcpy(bytes, &address.s_addr, sizeof bytes);
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
  return text;
}

winsock::u_short SwapShort(winsock::u_short value) {
  if constexpr (std::endian::native == std::endian::big) return value;
  return winsock::u_short((value >> 8) | (value << 8));
}

}  // namespace wsock32
