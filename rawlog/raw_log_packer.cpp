// TRawBlockPacker: the raw log's blocks compressed with zstd on a worker thread.
#include "rawlog/raw_log_packer.h"

#include <zstd.h>

#include <stdexcept>
#include <string>
#include <utility>

namespace rawlog {

namespace {

// The fastest level: it keeps up with a flood on one core, and IRC's lines,
// with their prefixes and commands said again and again, still pack to about
// a fifth.
constexpr int kLevel = 1;

}  // namespace

std::shared_ptr<const TRawBlock> PackedBlock(const TRawBlock& block) {
  // A context and an output buffer kept by the thread, rather than made anew
  // for every block.
  thread_local const std::unique_ptr<ZSTD_CCtx, decltype(&ZSTD_freeCCtx)> context(ZSTD_createCCtx(),
                                                                                  &ZSTD_freeCCtx);
  thread_local std::string buffer;
  buffer.resize(ZSTD_compressBound(block.Data.size()));
  const std::size_t size = ZSTD_compressCCtx(context.get(), buffer.data(), buffer.size(),
                                             block.Data.data(), block.Data.size(), kLevel);
  if (ZSTD_isError(size)) throw std::runtime_error(ZSTD_getErrorName(size));
  auto packed = std::make_shared<TRawBlock>();
  packed->First = block.First;
  packed->Lines = block.Lines;
  packed->PackedSize = block.PackedSize;
  packed->Compressed = true;
  packed->Data.assign(buffer.data(), size);
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

}  // namespace rawlog
