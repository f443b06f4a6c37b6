// TRawLog: the bounded record of the connection's lines in blocks, compressed
// once sealed.
#include "rawlog/raw_log.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

#include "rawlog/raw_log_block.h"
#include "rawlog/raw_log_packer.h"
#include "rawlog/raw_log_reader.h"

namespace rawlog {

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

std::int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
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
  // Wrapping, so that no clock is too far from the last one.
  raw_block::AppendRecord(std::int64_t(std::uint64_t(time) - std::uint64_t(open_last_time_)),
                          direction, bytes, open);
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

}  // namespace rawlog
