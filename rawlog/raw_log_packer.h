// TRawBlockPacker: compresses the raw log's sealed blocks on a thread of its
// own, so that recording a line costs the window's thread no more than
// copying it. The log keeps a sealed block as it is until its compressed form
// comes back, and reads either alike.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "rawlog/raw_log.h"

namespace rawlog {

class TRawBlockPacker {
 public:
  // The thread starts at once, so that the process has as many threads from
  // the start as it keeps.
  TRawBlockPacker();
  // Waits for the block being compressed, and drops the others.
  ~TRawBlockPacker();
  TRawBlockPacker(const TRawBlockPacker&) = delete;
  TRawBlockPacker& operator=(const TRawBlockPacker&) = delete;

  void Pack(std::shared_ptr<const TRawBlock> block);
  // Compressed blocks are waiting to be taken.
  bool HasPacked() const { return has_packed_.load(std::memory_order_acquire); }
  std::vector<std::shared_ptr<const TRawBlock>> TakePacked();
  // Forgets the blocks not compressed yet, and those not taken.
  void Drop();

 private:
  void Run();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::shared_ptr<const TRawBlock>> to_pack_;
  std::vector<std::shared_ptr<const TRawBlock>> packed_;
  std::atomic<bool> has_packed_ = false;
  bool stop_ = false;
  std::thread thread_;
};

// The compressed form of a block kept as it is.
std::shared_ptr<const TRawBlock> PackedBlock(const TRawBlock& block);

}  // namespace rawlog
