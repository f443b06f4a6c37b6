// The nicknames of the names list in list order: sorted by their shown text
// without regard to case as they are added, a renamed entry keeping its place.
// Entries sit in small chunks, each chunk packing its nicknames' bytes one
// behind the other, so that a name costs little more than its bytes and a slot
// of the index. A tree over the chunks knows each one's greatest entry, so the
// first entry that sorts after a name is found in logarithmic time whether or
// not a rename has broken the order; the index, by the nicknames' hashes,
// finds an entry's chunk without walking the list. Inside a chunk, a sorted
// list bisects, any other is scanned (a chunk is short).
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Unit1/nick_index.h"

namespace unit1 {

// Where an entry lies: its chunk and its place in it.
struct TNamePlace {
  std::size_t chunk = 0;
  std::size_t offset = 0;
};

// Told of each change as it happens, with the place of the entry, so that a
// view can follow; the row of a place (TNameSequence::RowOf) costs a walk over
// the chunks, and is worked out only by an observer that needs it, at once.
class TNameSequenceObserver {
 public:
  virtual void RowInserted(TNamePlace at) = 0;
  virtual void RowRemoving(TNamePlace at) = 0;
  virtual void RowRenamed(TNamePlace at) = 0;

 protected:
  ~TNameSequenceObserver() = default;
};

// How a nickname's bytes show: kept as bytes, since two byte strings can look
// alike once shown, and shown when asked.
QString ShownNick(std::string_view nick);

class TNameSequence {
 public:
  // Null for none.
  void SetObserver(TNameSequenceObserver* observer) { observer_ = observer; }

  int Size() const { return size_; }
  // Rows count from 0; sequential reading is cheap. The bytes stay valid
  // until the next change.
  std::string_view At(int row) const;
  // The row of a place that holds an entry.
  int RowOf(TNamePlace at) const;
  void Clear();

  // After the last entry that sorts before or with it.
  void Add(const std::string& nick);
  // The same, unless an entry has exactly these bytes already; false then.
  bool AddIfAbsent(const std::string& nick);
  // The first entry with exactly these bytes; false when there is none.
  bool RemoveFirst(const std::string& nick);
  // Every entry with exactly `old_nick`'s bytes takes `new_nick`, in place;
  // returns how many did.
  int Rename(const std::string& old_nick, const std::string& new_nick);

  // How many times two entries were compared in all sequences so far: what a
  // change costs, without a clock.
  static std::uint64_t Comparisons();

 private:
  using Position = TNamePlace;

  // Nicknames packed one behind the other, with where each one ends.
  struct TChunk {
    std::string bytes;
    std::vector<std::uint32_t> ends;
    // Names the chunk in the index; stays while the chunk moves in the list.
    std::uint32_t id = 0;
    // The offset of its greatest entry.
    std::size_t top = 0;

    std::size_t Count() const { return ends.size(); }
    std::size_t Begin(std::size_t i) const { return i == 0 ? 0 : ends[i - 1]; }
    std::string_view Nick(std::size_t i) const {
      return std::string_view(bytes).substr(Begin(i), ends[i] - Begin(i));
    }
    void Insert(std::size_t i, std::string_view nick);
    void Erase(std::size_t i);
    void Replace(std::size_t i, std::string_view nick);
    // Moves the entries from `i` on into a chunk of their own.
    TChunk SplitAt(std::size_t i);
    // Finds the greatest entry again.
    void FindTop();
  };

  std::string_view NickAt(Position at) const { return chunks_[at.chunk].Nick(at.offset); }
  // Puts the nickname at `at`, counting the neighbours it leaves out of order.
  void InsertAt(Position at, std::string_view nick);
  bool IsEnd(Position at) const { return at.chunk >= chunks_.size(); }
  Position Next(Position at) const;
  // The place before `at`, false at the front.
  bool Before(Position at, Position& before) const;
  // Whether the entries at two places (the second may be the end) are out of
  // order.
  int OutOfOrder(Position first, Position second) const;
  // The first entry that sorts after `nick` (`or_equal`: at or after).
  Position FirstAfter(std::string_view nick, bool or_equal) const;
  // The first chunk whose greatest entry sorts after `nick`, or the end.
  std::size_t FirstChunkAfter(std::string_view nick, bool or_equal) const;
  // The places of the entries with these bytes, in list order; the first only
  // when `first_only`.
  std::vector<Position> FindNicks(std::string_view nick, bool first_only) const;
  void Insert(Position at, std::string_view nick);
  void Erase(Position at);
  void Replace(Position at, std::string_view nick);

  // The index: one entry per nickname, by its hash, naming its chunk.
  void Index(std::string_view nick, std::uint32_t chunk_id);
  void Unindex(std::string_view nick, std::uint32_t chunk_id);
  void Reindex(std::string_view nick, std::uint32_t from_id, std::uint32_t to_id);
  // A chunk was added or taken away: the ids' places and the tree follow.
  void ChunksMoved();
  // A chunk's entries changed: its greatest entry and the tree follow.
  void Rescan(std::size_t chunk);
  void Retop(std::size_t chunk);
  // The one of two chunks (either may be none) with the greater top entry.
  std::uint32_t Greater(std::uint32_t first, std::uint32_t second) const;
  std::string_view TopOf(std::uint32_t chunk) const {
    return chunks_[chunk].Nick(chunks_[chunk].top);
  }

  std::vector<TChunk> chunks_;
  // By the hash of a nickname's bytes, the ids of the chunks that hold it, once
  // per entry.
  TNickIndex index_;
  // Where each chunk id sits in chunks_; ids given back are used again.
  std::vector<std::uint32_t> place_of_id_;
  std::vector<std::uint32_t> free_ids_;
  // A tree of chunk numbers over the chunks, leaves from tree_leaves_ on: each
  // node holds the chunk with the greatest top entry below it.
  std::vector<std::uint32_t> tree_;
  std::size_t tree_leaves_ = 0;
  int size_ = 0;
  TNameSequenceObserver* observer_ = nullptr;
  // Neighbouring pairs out of order; 0 while the list is sorted.
  int disorders_ = 0;
  // Where the last read by row was, for cheap sequential reading.
  mutable std::size_t read_chunk_ = 0;
  mutable int read_chunk_start_ = 0;
};

}  // namespace unit1
