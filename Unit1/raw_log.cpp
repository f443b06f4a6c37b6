// TRawLog: the bounded record of the connection's lines, and their shown text.
#include "Unit1/raw_log.h"

#include <chrono>
#include <ctime>

#include "platform/toolkit/utf8.h"

namespace unit1 {

namespace {

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

}  // namespace

TRawLog::TRawLog(std::size_t lines_kept, std::size_t bytes_kept)
    : lines_kept_(lines_kept), bytes_kept_(bytes_kept) {}

std::size_t TRawLog::CostOf(const TRawLine& line) {
  return sizeof(TRawLine) + line.Bytes.capacity();
}

void TRawLog::Add(TRawDirection direction, std::string_view bytes) {
  Add(NowMs(), direction, bytes);
}

void TRawLog::Add(std::int64_t time, TRawDirection direction, std::string_view bytes) {
  TRawLine& line = lines_.emplace_back(TRawLine{time, direction, std::string(bytes)});
  bytes_ += CostOf(line);
  while (!lines_.empty() && (lines_.size() > lines_kept_ || bytes_ > bytes_kept_)) {
    bytes_ -= CostOf(lines_.front());
    lines_.pop_front();
    ++first_number_;
  }
}

std::string ShownRawLine(const TRawLine& line) {
  const std::time_t seconds = std::time_t(line.Time / 1000);
  std::tm local{};
  localtime_r(&seconds, &local);
  std::string shown;
  shown.reserve(15 + line.Bytes.size());
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
  AppendVisibleBytes(line.Bytes, shown);
  return shown;
}

void AppendVisibleBytes(std::string_view bytes, std::string& shown) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (std::size_t pos = 0; pos < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[pos]);
    if (byte < 0x20 || byte == kDelete) {
      AppendUtf8(byte == kDelete ? kDeletePicture : kControlPictures + byte, shown);
      ++pos;
    } else if (byte < 0x80) {
      shown += char(byte);
      ++pos;
    } else if (const std::size_t length = toolkit::Utf8SequenceLength(bytes, pos); length > 0) {
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
