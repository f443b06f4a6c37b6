// The names list's entries in chunks, found by bisection while they are sorted.
#include "Unit1/name_sequence.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "platform/toolkit/text_codec.h"

namespace unit1 {

namespace {

// A chunk this long is split in two: an insertion or removal moves at most
// this many entries.
constexpr std::size_t kMaxChunk = 256;

int Compare(const QString& a, const QString& b) {
  return QString::compare(a, b, Qt::CaseInsensitive);
}

int OutOfOrder(const TNameEntry* first, const TNameEntry* second) {
  return first != nullptr && second != nullptr && Compare(first->Shown, second->Shown) > 0 ? 1 : 0;
}

}  // namespace

const TNameEntry& TNameSequence::At(int row) const {
  if (row < 0 || row >= size_) throw std::out_of_range("List index out of bounds");
  if (row < read_chunk_start_ || read_chunk_ >= chunks_.size()) {
    read_chunk_ = 0;
    read_chunk_start_ = 0;
  }
  while (row >= read_chunk_start_ + int(chunks_[read_chunk_].size())) {
    read_chunk_start_ += int(chunks_[read_chunk_].size());
    ++read_chunk_;
  }
  return chunks_[read_chunk_][std::size_t(row - read_chunk_start_)];
}

void TNameSequence::Clear() {
  chunks_.clear();
  size_ = 0;
  disorders_ = 0;
  read_chunk_ = 0;
  read_chunk_start_ = 0;
}

TNameSequence::Position TNameSequence::Next(Position at) const {
  if (++at.offset >= chunks_[at.chunk].size()) at = Position{at.chunk + 1, 0};
  return at;
}

const TNameEntry* TNameSequence::Before(Position at) const {
  if (at.offset > 0) return &chunks_[at.chunk][at.offset - 1];
  if (at.chunk == 0) return nullptr;
  return &chunks_[at.chunk - 1].back();
}

const TNameEntry* TNameSequence::AtOrNull(Position at) const {
  return IsEnd(at) ? nullptr : &chunks_[at.chunk][at.offset];
}

TNameSequence::Position TNameSequence::FirstAfter(const QString& shown, bool or_equal) const {
  const auto after = [&](const TNameEntry& entry) {
    const int order = Compare(entry.Shown, shown);
    return or_equal ? order >= 0 : order > 0;
  };
  const auto chunk = std::partition_point(
      chunks_.begin(), chunks_.end(),
      [&](const std::vector<TNameEntry>& entries) { return !after(entries.back()); });
  if (chunk == chunks_.end()) return Position{chunks_.size(), 0};
  const auto entry = std::partition_point(chunk->begin(), chunk->end(),
                                          [&](const TNameEntry& e) { return !after(e); });
  return Position{std::size_t(chunk - chunks_.begin()), std::size_t(entry - chunk->begin())};
}

TNameSequence::Position TNameSequence::FindNick(const std::string& nick,
                                                const QString& shown) const {
  // In a sorted list every entry with these bytes lies among those shown alike.
  const bool sorted = disorders_ == 0;
  Position at = sorted ? FirstAfter(shown, true) : Position{};
  for (; !IsEnd(at); at = Next(at)) {
    const TNameEntry& entry = chunks_[at.chunk][at.offset];
    if (entry.Nick == nick) return at;
    if (sorted && Compare(entry.Shown, shown) != 0) break;
  }
  return Position{chunks_.size(), 0};
}

int TNameSequence::RowOf(Position at) const {
  if (IsEnd(at)) return size_;
  int row = int(at.offset);
  for (std::size_t chunk = 0; chunk < at.chunk; ++chunk) row += int(chunks_[chunk].size());
  return row;
}

void TNameSequence::Insert(Position at, TNameEntry entry) {
  if (observer_ != nullptr) observer_->RowInserting(RowOf(at));
  if (chunks_.empty()) chunks_.emplace_back();
  if (IsEnd(at)) at = Position{chunks_.size() - 1, chunks_.back().size()};
  std::vector<TNameEntry>& chunk = chunks_[at.chunk];
  chunk.insert(chunk.begin() + std::ptrdiff_t(at.offset), std::move(entry));
  if (chunk.size() > kMaxChunk) {
    std::vector<TNameEntry> second(std::make_move_iterator(chunk.begin() + kMaxChunk / 2),
                                   std::make_move_iterator(chunk.end()));
    chunk.erase(chunk.begin() + kMaxChunk / 2, chunk.end());
    chunks_.insert(chunks_.begin() + std::ptrdiff_t(at.chunk) + 1, std::move(second));
  }
  ++size_;
  read_chunk_ = 0;
  read_chunk_start_ = 0;
  if (observer_ != nullptr) observer_->RowInserted();
}

void TNameSequence::Erase(Position at) {
  if (observer_ != nullptr) observer_->RowRemoving(RowOf(at));
  std::vector<TNameEntry>& chunk = chunks_[at.chunk];
  chunk.erase(chunk.begin() + std::ptrdiff_t(at.offset));
  if (chunk.empty()) chunks_.erase(chunks_.begin() + std::ptrdiff_t(at.chunk));
  --size_;
  read_chunk_ = 0;
  read_chunk_start_ = 0;
  if (observer_ != nullptr) observer_->RowRemoved();
}

void TNameSequence::Add(const std::string& nick) {
  TNameEntry entry{nick, toolkit::DisplayText(nick)};
  Position at = Position{chunks_.size(), 0};
  if (disorders_ == 0) {
    at = FirstAfter(entry.Shown, false);
  } else {
    for (Position p{}; !IsEnd(p); p = Next(p)) {
      if (Compare(chunks_[p.chunk][p.offset].Shown, entry.Shown) > 0) {
        at = p;
        break;
      }
    }
  }
  InsertAt(at, std::move(entry));
}

bool TNameSequence::AddIfAbsent(const std::string& nick) {
  TNameEntry entry{nick, toolkit::DisplayText(nick)};
  if (disorders_ != 0) {
    if (!IsEnd(FindNick(nick, entry.Shown))) return false;
    Add(nick);
    return true;
  }
  // Past the entries shown alike, which is where Add puts it, looking at each.
  Position at = FirstAfter(entry.Shown, true);
  for (; !IsEnd(at) && Compare(EntryAt(at).Shown, entry.Shown) == 0; at = Next(at)) {
    if (EntryAt(at).Nick == nick) return false;
  }
  InsertAt(at, std::move(entry));
  return true;
}

void TNameSequence::InsertAt(Position at, TNameEntry entry) {
  const TNameEntry* before = Before(at);
  const TNameEntry* after = AtOrNull(at);
  disorders_ += OutOfOrder(before, &entry) + OutOfOrder(&entry, after) - OutOfOrder(before, after);
  Insert(at, std::move(entry));
}

bool TNameSequence::RemoveFirst(const std::string& nick) {
  const Position at = FindNick(nick, toolkit::DisplayText(nick));
  if (IsEnd(at)) return false;
  const TNameEntry* before = Before(at);
  const TNameEntry* after = AtOrNull(Next(at));
  const TNameEntry* gone = &chunks_[at.chunk][at.offset];
  disorders_ += OutOfOrder(before, after) - OutOfOrder(before, gone) - OutOfOrder(gone, after);
  Erase(at);
  return true;
}

int TNameSequence::Rename(const std::string& old_nick, const std::string& new_nick) {
  const QString old_shown = toolkit::DisplayText(old_nick);
  // The places are gathered first: renaming changes how the entries compare.
  std::vector<Position> places;
  const bool sorted = disorders_ == 0;
  for (Position at = sorted ? FirstAfter(old_shown, true) : Position{}; !IsEnd(at); at = Next(at)) {
    const TNameEntry& entry = chunks_[at.chunk][at.offset];
    if (sorted && Compare(entry.Shown, old_shown) != 0) break;
    if (entry.Nick == old_nick) places.push_back(at);
  }
  const QString new_shown = toolkit::DisplayText(new_nick);
  for (const Position at : places) {
    const TNameEntry* before = Before(at);
    const TNameEntry* after = AtOrNull(Next(at));
    TNameEntry& entry = EntryAt(at);
    disorders_ -= OutOfOrder(before, &entry) + OutOfOrder(&entry, after);
    entry.Nick = new_nick;
    entry.Shown = new_shown;
    disorders_ += OutOfOrder(before, &entry) + OutOfOrder(&entry, after);
    if (observer_ != nullptr) observer_->RowRenamed(RowOf(at));
  }
  return int(places.size());
}

}  // namespace unit1
