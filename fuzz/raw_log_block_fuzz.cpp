// Feeds arbitrary bytes to the raw log's blocks and checks what the log relies
// on: every record appended to a block reads back whole, in order; and a
// damaged block, packed or compressed, is refused or read within its bounds,
// never beyond (the address sanitizer sees a read past the end).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "fuzz/fuzz_checks.h"
#include "rawlog/raw_log_block.h"
#include "rawlog/raw_log_packer.h"
#include "rawlog/raw_log_reader.h"

using fuzz::Require;

namespace {

struct Record {
  std::int64_t time;
  rawlog::TRawDirection direction;
  std::string bytes;
};

// Reads `block` as one sealed block of `lines` lines through a reader; false
// when the reader refuses it.
bool ReadSealed(const std::shared_ptr<const rawlog::TRawBlock>& block) {
  rawlog::TRawBlocks blocks;
  blocks.Sealed.push_back(block);
  blocks.OpenFirst = block->First + block->Lines;
  rawlog::TRawLogReader reader(blocks);
  rawlog::TRawLine line;
  try {
    while (reader.Next(line)) {
    }
  } catch (const std::runtime_error&) {
    return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The input itself as a block's packed records, in memory of its exact size.
  {
    const std::unique_ptr<char[]> packed(new char[size]);
    std::copy(data, data + size, packed.get());
    const char* at = packed.get();
    const char* const end = at + size;
    std::int64_t time = 0;
    rawlog::TRawLine line;
    while (at < end && rawlog::raw_block::ReadRecord(at, end, time, line)) {
      Require(line.Bytes.data() >= packed.get() && line.Bytes.data() + line.Bytes.size() <= end);
    }
  }

  // Records appended to a block read back whole.
  FuzzedDataProvider input(data, size);
  std::vector<Record> records;
  auto block = std::make_shared<rawlog::TRawBlock>();
  std::int64_t last_time = 0;
  while (input.remaining_bytes() > 0 && records.size() < 1000) {
    Record record{input.ConsumeIntegral<std::int64_t>(),
                  rawlog::TRawDirection(input.ConsumeIntegral<char>()),
                  input.ConsumeRandomLengthString(600)};
    rawlog::raw_block::AppendRecord(
        std::int64_t(std::uint64_t(record.time) - std::uint64_t(last_time)), record.direction,
        record.bytes, block->Data);
    last_time = record.time;
    records.push_back(std::move(record));
  }
  block->Lines = std::uint32_t(records.size());
  block->PackedSize = std::uint32_t(block->Data.size());
  const char* at = block->Data.data();
  const char* const end = at + block->Data.size();
  std::int64_t time = 0;
  for (const Record& record : records) {
    rawlog::TRawLine line;
    Require(rawlog::raw_block::ReadRecord(at, end, time, line));
    Require(line.Time == record.time && line.Direction == record.direction &&
            line.Bytes == record.bytes);
  }
  Require(at == end);
  Require(ReadSealed(block));

  // Compressed, then damaged in one byte: refused, or read within its bounds.
  if (records.empty()) return 0;
  std::shared_ptr<const rawlog::TRawBlock> compressed = rawlog::PackedBlock(*block);
  Require(ReadSealed(compressed));
  auto damaged = std::make_shared<rawlog::TRawBlock>(*compressed);
  const std::size_t where = std::size_t(records.front().time) % damaged->Data.size();
  damaged->Data[where] = char(damaged->Data[where] ^ (1 + records.back().bytes.size() % 255));
  ReadSealed(damaged);
  // Cut short as well.
  damaged->Data.resize(where);
  ReadSealed(damaged);
  return 0;
}
