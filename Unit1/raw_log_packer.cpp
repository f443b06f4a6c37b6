// TRawBlockPacker: the raw log's blocks compressed with LZ4 on a worker thread.
#include "Unit1/raw_log_packer.h"

#include <lz4.h>

#include <utility>

namespace unit1 {

std::shared_ptr<const TRawBlock> PackedBlock(const TRawBlock& block) {
  const int bound = LZ4_compressBound(int(block.Data.size()));
  const std::unique_ptr<char[]> buffer(new char[std::size_t(bound)]);
  const int size =
      LZ4_compress_default(block.Data.data(), buffer.get(), int(block.Data.size()), bound);
  auto packed = std::make_shared<TRawBlock>();
  packed->First = block.First;
  packed->Lines = block.Lines;
  packed->PackedSize = block.PackedSize;
  packed->Compressed = true;
  packed->Data.assign(buffer.get(), std::size_t(size));
  return packed;
}

TRawBlockPacker::TRawBlockPacker() : thread_([this] { Run(); }) {}

TRawBlockPacker::~TRawBlockPacker() {
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
    to_pack_.clear();
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
}

void TRawBlockPacker::Pack(std::shared_ptr<const TRawBlock> block) {
  {
    const std::lock_guard lock(mutex_);
    to_pack_.push_back(std::move(block));
  }
  wake_.notify_one();
}

std::vector<std::shared_ptr<const TRawBlock>> TRawBlockPacker::TakePacked() {
  std::vector<std::shared_ptr<const TRawBlock>> taken;
  const std::lock_guard lock(mutex_);
  taken.swap(packed_);
  has_packed_.store(false, std::memory_order_release);
  return taken;
}

void TRawBlockPacker::Drop() {
  const std::lock_guard lock(mutex_);
  to_pack_.clear();
  packed_.clear();
  has_packed_.store(false, std::memory_order_release);
}

void TRawBlockPacker::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stop_ || !to_pack_.empty(); });
    if (stop_) return;
    const std::shared_ptr<const TRawBlock> block = std::move(to_pack_.front());
    to_pack_.pop_front();
    lock.unlock();
    std::shared_ptr<const TRawBlock> packed = PackedBlock(*block);
    lock.lock();
    packed_.push_back(std::move(packed));
    has_packed_.store(true, std::memory_order_release);
  }
}

}  // namespace unit1
