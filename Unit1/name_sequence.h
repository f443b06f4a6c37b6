// The nicknames of the names list in list order: sorted by their shown text
// without regard to case as they are added, a renamed entry keeping its place.
// While the order holds (no rename has broken it), adding, removing and
// renaming find their place by bisection and move only the entries of one
// small chunk; once a rename has put an entry out of order, they walk the list
// as the plain list would, so the order and content are always the same.
#pragma once

#include <QString>
#include <cstddef>
#include <string>
#include <vector>

namespace unit1 {

// Told of each row as it changes, before and after, so that a view can follow
// row by row.
class TNameSequenceObserver {
 public:
  virtual void RowInserting(int row) = 0;
  virtual void RowInserted() = 0;
  virtual void RowRemoving(int row) = 0;
  virtual void RowRemoved() = 0;
  virtual void RowRenamed(int row) = 0;

 protected:
  ~TNameSequenceObserver() = default;
};

struct TNameEntry {
  std::string Nick;  // the bytes, since two byte strings can look alike once shown
  QString Shown;
};

class TNameSequence {
 public:
  // Null for none.
  void SetObserver(TNameSequenceObserver* observer) { observer_ = observer; }

  int Size() const { return size_; }
  // Rows count from 0; sequential reading is cheap.
  const TNameEntry& At(int row) const;
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

 private:
  struct Position {
    std::size_t chunk = 0;
    std::size_t offset = 0;
  };

  TNameEntry& EntryAt(Position at) { return chunks_[at.chunk][at.offset]; }
  // Puts the entry at `at`, counting the neighbours it leaves out of order.
  void InsertAt(Position at, TNameEntry entry);
  bool IsEnd(Position at) const { return at.chunk >= chunks_.size(); }
  Position Next(Position at) const;
  // The entry before `at`, or null at the front.
  const TNameEntry* Before(Position at) const;
  const TNameEntry* AtOrNull(Position at) const;
  // The first entry that sorts after `shown` (`or_equal`: at or after).
  Position FirstAfter(const QString& shown, bool or_equal) const;
  // The first entry with these bytes, or the end.
  Position FindNick(const std::string& nick, const QString& shown) const;
  // The row of a place: the entries in the chunks before it and its offset.
  int RowOf(Position at) const;
  void Insert(Position at, TNameEntry entry);
  void Erase(Position at);

  std::vector<std::vector<TNameEntry>> chunks_;
  int size_ = 0;
  TNameSequenceObserver* observer_ = nullptr;
  // Neighbouring pairs out of order; 0 while the list is sorted.
  int disorders_ = 0;
  // Where the last read by row was, for cheap sequential reading.
  mutable std::size_t read_chunk_ = 0;
  mutable int read_chunk_start_ = 0;
};

}  // namespace unit1
