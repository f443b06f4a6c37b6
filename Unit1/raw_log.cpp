// TRawLog: the bounded record of the connection's lines, and their shown text.
#include "Unit1/raw_log.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "Unit1/byte_escapes.h"
#include "platform/toolkit/utf8.h"

namespace unit1 {

namespace {

// The size of a block of line bytes; a longer line has a block of its own.
constexpr std::size_t kBlockBytes = 64 * 1024;

constexpr unsigned char kDelete = 0x7F;
constexpr char32_t kControlPictures = 0x2400;
constexpr char32_t kDeletePicture = 0x2421;

std::int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

void AppendUtf8(char32_t code, std::string& out) {
  // Control pictures lie in U+2400..U+2421: three bytes each.
  out += char(0xE0 | (code >> 12));
  out += char(0x80 | ((code >> 6) & 0x3F));
  out += char(0x80 | (code & 0x3F));
}

void AppendTwoDigits(int value, std::string& out) {
  out += char('0' + value / 10);
  out += char('0' + value % 10);
}

// "hh:mm:ss.mmm < " in local time.
void AppendTimeAndDirection(const TRawLine& line, std::string& shown) {
  const std::time_t seconds = std::time_t(line.Time / 1000);
  std::tm local{};
  localtime_r(&seconds, &local);
  AppendTwoDigits(local.tm_hour, shown);
  shown += ':';
  AppendTwoDigits(local.tm_min, shown);
  shown += ':';
  AppendTwoDigits(local.tm_sec, shown);
  shown += '.';
  const int ms = int(line.Time % 1000);
  shown += char('0' + ms / 100);
  AppendTwoDigits(ms % 100, shown);
  shown += ' ';
  shown += char(line.Direction);
  shown += ' ';
}

// The UTF-8 of a control picture the bytes hold themselves, which would read
// as the control character it stands for.
bool IsControlPicture(std::string_view bytes, std::size_t pos, std::size_t length) {
  if (length != 3) return false;
  const char32_t code = char32_t(bytes[pos] & 0x0F) << 12 | char32_t(bytes[pos + 1] & 0x3F) << 6 |
                        char32_t(bytes[pos + 2] & 0x3F);
  return (code >= kControlPictures && code < kControlPictures + 0x20) || code == kDeletePicture;
}

}  // namespace

TRawLog::TRawLog(std::size_t lines_kept, std::size_t bytes_kept)
    : lines_kept_(lines_kept), bytes_kept_(bytes_kept) {}

void TRawLog::Add(TRawDirection direction, std::string_view bytes) {
  Add(NowMs(), direction, bytes);
}

void TRawLog::Clear() {
  first_number_ += lines_.size();
  lines_.clear();
  blocks_.clear();
  bytes_ = 0;
}

void TRawLog::Add(std::int64_t time, TRawDirection direction, std::string_view bytes) {
  lines_.push_back(TRawLine{time, direction, Store(bytes)});
  bytes_ += sizeof(TRawLine);
  while (!lines_.empty() && (lines_.size() > lines_kept_ || bytes_ > bytes_kept_)) DropOldest();
}

std::string_view TRawLog::Store(std::string_view bytes) {
  if (blocks_.empty() || blocks_.back().capacity - blocks_.back().used < bytes.size()) {
    const std::size_t capacity = std::max(kBlockBytes, bytes.size());
    blocks_.push_back(TBlock{std::make_unique<char[]>(capacity), capacity});
    bytes_ += capacity;
  }
  TBlock& block = blocks_.back();
  char* stored = block.data.get() + block.used;
  std::copy(bytes.begin(), bytes.end(), stored);
  block.used += bytes.size();
  ++block.lines;
  return {stored, bytes.size()};
}

// Lines lie in their blocks in order: the oldest line is in the oldest block,
// which goes with the last line that it holds.
void TRawLog::DropOldest() {
  lines_.pop_front();
  bytes_ -= sizeof(TRawLine);
  ++first_number_;
  if (--blocks_.front().lines > 0) return;
  bytes_ -= blocks_.front().capacity;
  blocks_.pop_front();
}

std::string ShownRawLine(const TRawLine& line) {
  std::string shown;
  shown.reserve(15 + line.Bytes.size());
  AppendTimeAndDirection(line, shown);
  AppendVisibleBytes(line.Bytes, shown);
  return shown;
}

std::string SavedRawLine(const TRawLine& line) {
  std::string saved;
  saved.reserve(15 + line.Bytes.size());
  AppendTimeAndDirection(line, saved);
  AppendEscapedBytes(line.Bytes, saved);
  return saved;
}

void AppendVisibleBytes(std::string_view bytes, std::string& shown) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (std::size_t pos = 0; pos < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[pos]);
    if (byte < 0x20 || byte == kDelete) {
      AppendUtf8(byte == kDelete ? kDeletePicture : kControlPictures + byte, shown);
      ++pos;
    } else if (byte == '\\') {
      shown += "\\\\";
      ++pos;
    } else if (byte < 0x80) {
      shown += char(byte);
      ++pos;
    } else if (const std::size_t length = toolkit::Utf8SequenceLength(bytes, pos);
               length > 0 && !IsControlPicture(bytes, pos, length)) {
      shown.append(bytes.substr(pos, length));
      pos += length;
    } else {
      shown += "\\x";
      shown += kHex[byte >> 4];
      shown += kHex[byte & 0xF];
      ++pos;
    }
  }
}

}  // namespace unit1
