// TRawLog: the bounded record of the connection's lines in blocks, compressed
// once sealed, and their shown text.
#include "Unit1/raw_log.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <stdexcept>

#include "Unit1/byte_escapes.h"
#include "Unit1/raw_log_block.h"
#include "Unit1/raw_log_packer.h"
#include "Unit1/raw_log_reader.h"
#include "platform/toolkit/utf8.h"

namespace unit1 {

namespace {

// A block is sealed once its lines take this many bytes: enough for the
// compression to find what repeats, little to unpack for a row.
constexpr std::size_t kBlockBytes = 256 * 1024;

// What a sealed block costs besides its compressed bytes: itself, the
// shared pointer's count and its place in the list.
constexpr std::size_t kBlockOverhead = sizeof(TRawBlock) + 32 + 16;

// Buffers of blocks compressed, kept for the next blocks to open.
constexpr std::size_t kSpareBlocks = 2;

std::size_t BlockCost(const TRawBlock& block) {
  return block.Data.capacity() + kBlockOverhead;
}

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

// "hh:mm:ss.mmm < " in local time. Lines come many to a second: the clock
// text of the last second is kept, so that a run of lines looks it up once.
void AppendTimeAndDirection(const TRawLine& line, std::string& shown) {
  thread_local std::int64_t kept_second = -1;
  thread_local char kept_clock[8];
  const std::int64_t second = line.Time / 1000;
  if (second != kept_second) {
    const std::time_t seconds = std::time_t(second);
    std::tm local{};
    localtime_r(&seconds, &local);
    std::string clock;
    AppendTwoDigits(local.tm_hour, clock);
    clock += ':';
    AppendTwoDigits(local.tm_min, clock);
    clock += ':';
    AppendTwoDigits(local.tm_sec, clock);
    std::copy(clock.begin(), clock.end(), kept_clock);
    kept_second = second;
  }
  shown.append(kept_clock, sizeof kept_clock);
  shown += '.';
  const int ms = int(line.Time % 1000);
  shown += char('0' + ms / 100);
  AppendTwoDigits(ms % 100, shown);
  shown += ' ';
  shown += char(line.Direction);
  shown += ' ';
}

// Printable ASCII other than the backslash shows as itself.
bool ShowsAsItself(unsigned char byte) {
  return byte >= 0x20 && byte < kDelete && byte != '\\';
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
    : lines_kept_(lines_kept),
      bytes_kept_(bytes_kept),
      packer_(std::make_unique<TRawBlockPacker>()),
      line_reader_(std::make_unique<TRawLogReader>(blocks_)) {}

TRawLog::~TRawLog() = default;

void TRawLog::Add(TRawDirection direction, std::string_view bytes) {
  Add(NowMs(), direction, bytes);
}

void TRawLog::Clear() {
  const std::uint64_t end = EndNumber();
  packer_->Drop();
  blocks_.Sealed.clear();
  blocks_.Open = std::string();
  spare_.clear();
  blocks_.OpenFirst = blocks_.FirstNumber = end;
  blocks_.OpenLines = 0;
  sealed_bytes_ = 0;
  CountBytes();
}

TRawLine TRawLog::Line(std::uint64_t number) const {
  TRawLine line;
  line_reader_->Seek(number);
  if (number < FirstNumber() || !line_reader_->Next(line)) {
    throw std::out_of_range("raw log line " + std::to_string(number) + " is not kept");
  }
  return line;
}

void TRawLog::Add(std::int64_t time, TRawDirection direction, std::string_view bytes) {
  if (packer_->HasPacked()) TakeCompressed();
  std::string& open = blocks_.Open;
  if (blocks_.OpenLines > 0 &&
      open.size() + raw_block::kMaxRecordHead + bytes.size() > kBlockBytes) {
    Seal();
  }
  if (blocks_.OpenLines == 0) {
    open_last_time_ = 0;
    if (open.capacity() < kBlockBytes) open.reserve(kBlockBytes);
  }
  raw_block::AppendRecord(time - open_last_time_, direction, bytes, open);
  open_last_time_ = time;
  ++blocks_.OpenLines;
  if (open.size() >= kBlockBytes) Seal();
  if (Size() > lines_kept_) {
    blocks_.FirstNumber = EndNumber() - lines_kept_;
    while (!blocks_.Sealed.empty() &&
           blocks_.Sealed.front()->First + blocks_.Sealed.front()->Lines <= blocks_.FirstNumber) {
      DropOldestBlock();
    }
  }
  CountBytes();
  while (bytes_ > bytes_kept_ && !blocks_.Sealed.empty()) {
    DropOldestBlock();
    CountBytes();
  }
}

void TRawLog::CountBytes() {
  bytes_ = sealed_bytes_ + blocks_.Open.capacity() + spare_.size() * kBlockBytes;
}

// The open block goes as it is, to be compressed; a new one opens.
void TRawLog::Seal() {
  auto block = std::make_shared<TRawBlock>();
  block->First = blocks_.OpenFirst;
  block->Lines = blocks_.OpenLines;
  block->PackedSize = std::uint32_t(blocks_.Open.size());
  block->Data = std::move(blocks_.Open);
  if (spare_.empty()) {
    blocks_.Open = std::string();
    blocks_.Open.reserve(kBlockBytes);
  } else {
    blocks_.Open = std::move(spare_.back());
    spare_.pop_back();
  }
  sealed_bytes_ += BlockCost(*block);
  blocks_.Sealed.push_back(block);
  blocks_.OpenFirst += blocks_.OpenLines;
  blocks_.OpenLines = 0;
  packer_->Pack(std::move(block));
}

std::size_t TRawLog::BlocksNotCompressed() const {
  return std::size_t(std::count_if(
      blocks_.Sealed.begin(), blocks_.Sealed.end(),
      [](const std::shared_ptr<const TRawBlock>& block) { return !block->Compressed; }));
}

// Each compressed block takes the place of its lines as they were, unless they
// have gone meanwhile.
void TRawLog::TakeCompressed() {
  auto& sealed = blocks_.Sealed;
  for (std::shared_ptr<const TRawBlock>& packed : packer_->TakePacked()) {
    const auto at = std::lower_bound(sealed.begin(), sealed.end(), packed->First,
                                     [](const std::shared_ptr<const TRawBlock>& block,
                                        std::uint64_t first) { return block->First < first; });
    if (at == sealed.end() || (*at)->First != packed->First || (*at)->Compressed) continue;
    sealed_bytes_ = sealed_bytes_ - BlockCost(**at) + BlockCost(*packed);
    // Held by the log alone, its bytes become the next open block rather
    // than going back to the heap, which would give them up and fault them
    // in again a moment later.
    if (at->use_count() == 1 && spare_.size() < kSpareBlocks &&
        (*at)->Data.capacity() <= 2 * kBlockBytes) {
      std::string& bytes = const_cast<TRawBlock&>(**at).Data;
      bytes.clear();
      spare_.push_back(std::move(bytes));
    }
    *at = std::move(packed);
  }
  CountBytes();
}

// The oldest block goes with every line it holds.
void TRawLog::DropOldestBlock() {
  const TRawBlock& oldest = *blocks_.Sealed.front();
  blocks_.FirstNumber = std::max(blocks_.FirstNumber, oldest.First + oldest.Lines);
  sealed_bytes_ -= BlockCost(oldest);
  blocks_.Sealed.pop_front();
}

std::string ShownRawLine(const TRawLine& line) {
  std::string shown;
  shown.reserve(15 + line.Bytes.size());
  ShowRawLine(line, shown);
  return shown;
}

void ShowRawLine(const TRawLine& line, std::string& shown) {
  shown.clear();
  AppendTimeAndDirection(line, shown);
  AppendVisibleBytes(line.Bytes, shown);
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
    // Most of a line is plain text: copied a run at a time.
    std::size_t plain = pos;
    while (plain < bytes.size() && ShowsAsItself(static_cast<unsigned char>(bytes[plain]))) ++plain;
    shown.append(bytes.substr(pos, plain - pos));
    pos = plain;
    if (pos == bytes.size()) break;
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
