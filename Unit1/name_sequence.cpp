// The names list's entries in packed chunks, found through the tree of the
// chunks' greatest entries and the index by hash.
#include "Unit1/name_sequence.h"

#include <QByteArrayView>
#include <QHash>
#include <algorithm>
#include <stdexcept>
#include <utility>

#include "platform/toolkit/text_codec.h"

namespace unit1 {

namespace {

// A chunk this long is split in two: an insertion or removal moves at most
// this many entries' bytes.
constexpr std::size_t kMaxChunk = 128;

// No chunk, in the tree.
constexpr std::uint32_t kNone = ~std::uint32_t{0};

// Seeded per process, so that a server cannot pick nicknames that all fall
// on one hash.
std::uint32_t HashOf(std::string_view nick) {
  return std::uint32_t(
      qHash(QByteArrayView(nick.data(), qsizetype(nick.size())), QHashSeed::globalSeed()));
}

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// Comparisons made so far, for the fuzz target that checks the work per change.
std::uint64_t comparisons = 0;

// By shown text, without regard to case. ASCII shows as itself whether the
// bytes are read as UTF-8 or not, and folds alone to lower case, as it does
// in QString's comparison: the bytes decide until one of them is beyond ASCII.
int Compare(std::string_view x, std::string_view y) {
  ++comparisons;
  const std::size_t common = std::min(x.size(), y.size());
  for (std::size_t i = 0; i < common; ++i) {
    if (static_cast<unsigned char>(x[i]) >= 0x80 || static_cast<unsigned char>(y[i]) >= 0x80) {
      return QString::compare(ShownNick(x), ShownNick(y), Qt::CaseInsensitive);
    }
    const char p = AsciiLower(x[i]);
    const char q = AsciiLower(y[i]);
    if (p != q) return static_cast<unsigned char>(p) < static_cast<unsigned char>(q) ? -1 : 1;
  }
  // Every byte shows as something: the longer one sorts after.
  if (x.size() == y.size()) return 0;
  return x.size() < y.size() ? -1 : 1;
}

int Disordered(std::string_view first, std::string_view second) {
  return Compare(first, second) > 0 ? 1 : 0;
}

}  // namespace

std::uint64_t TNameSequence::Comparisons() {
  return comparisons;
}

QString ShownNick(std::string_view nick) {
  return toolkit::DisplayText(nick);
}

void TNameSequence::TChunk::Insert(std::size_t i, std::string_view nick) {
  const std::size_t begin = Begin(i);
  bytes.insert(begin, nick);
  ends.insert(ends.begin() + std::ptrdiff_t(i), std::uint32_t(begin + nick.size()));
  for (std::size_t j = i + 1; j < ends.size(); ++j) ends[j] += std::uint32_t(nick.size());
}

void TNameSequence::TChunk::Erase(std::size_t i) {
  const std::size_t begin = Begin(i);
  const std::uint32_t length = std::uint32_t(ends[i] - begin);
  bytes.erase(begin, length);
  ends.erase(ends.begin() + std::ptrdiff_t(i));
  for (std::size_t j = i; j < ends.size(); ++j) ends[j] -= length;
}

void TNameSequence::TChunk::Replace(std::size_t i, std::string_view nick) {
  const std::size_t begin = Begin(i);
  const std::size_t old_end = ends[i];
  bytes.replace(begin, old_end - begin, nick);
  const std::size_t new_end = begin + nick.size();
  for (std::size_t j = i; j < ends.size(); ++j)
    ends[j] = std::uint32_t(ends[j] - old_end + new_end);
}

TNameSequence::TChunk TNameSequence::TChunk::SplitAt(std::size_t i) {
  const std::size_t begin = Begin(i);
  TChunk second;
  second.bytes = bytes.substr(begin);
  second.ends.reserve(ends.size() - i);
  for (std::size_t j = i; j < ends.size(); ++j)
    second.ends.push_back(std::uint32_t(ends[j] - begin));
  bytes.resize(begin);
  ends.resize(i);
  return second;
}

std::string_view TNameSequence::At(int row) const {
  if (row < 0 || row >= size_) throw std::out_of_range("List index out of bounds");
  if (row < read_chunk_start_ || read_chunk_ >= chunks_.size()) {
    read_chunk_ = 0;
    read_chunk_start_ = 0;
  }
  while (row >= read_chunk_start_ + int(chunks_[read_chunk_].Count())) {
    read_chunk_start_ += int(chunks_[read_chunk_].Count());
    ++read_chunk_;
  }
  return chunks_[read_chunk_].Nick(std::size_t(row - read_chunk_start_));
}

int TNameSequence::RowOf(Position at) const {
  if (IsEnd(at)) return size_;
  int row = int(at.offset);
  for (std::size_t chunk = 0; chunk < at.chunk; ++chunk) row += int(chunks_[chunk].Count());
  return row;
}

void TNameSequence::Clear() {
  chunks_.clear();
  index_.Clear();
  place_of_id_.clear();
  free_ids_.clear();
  tree_.clear();
  tree_leaves_ = 0;
  size_ = 0;
  disorders_ = 0;
  read_chunk_ = 0;
  read_chunk_start_ = 0;
}

TNameSequence::Position TNameSequence::Next(Position at) const {
  if (++at.offset >= chunks_[at.chunk].Count()) at = Position{at.chunk + 1, 0};
  return at;
}

bool TNameSequence::Before(Position at, Position& before) const {
  if (at.offset > 0) {
    before = Position{at.chunk, at.offset - 1};
  } else if (at.chunk > 0 && at.chunk <= chunks_.size()) {
    before = Position{at.chunk - 1, chunks_[at.chunk - 1].Count() - 1};
  } else {
    return false;
  }
  return true;
}

int TNameSequence::OutOfOrder(Position first, Position second) const {
  return IsEnd(second) ? 0 : Disordered(NickAt(first), NickAt(second));
}

std::uint32_t TNameSequence::Greater(std::uint32_t first, std::uint32_t second) const {
  if (first == kNone) return second;
  if (second == kNone) return first;
  return Compare(TopOf(second), TopOf(first)) > 0 ? second : first;
}

void TNameSequence::ChunksMoved() {
  for (std::size_t chunk = 0; chunk < chunks_.size(); ++chunk) {
    place_of_id_[chunks_[chunk].id] = std::uint32_t(chunk);
  }
  tree_leaves_ = 1;
  while (tree_leaves_ < chunks_.size()) tree_leaves_ *= 2;
  tree_.assign(2 * tree_leaves_, kNone);
  for (std::size_t chunk = 0; chunk < chunks_.size(); ++chunk) {
    tree_[tree_leaves_ + chunk] = std::uint32_t(chunk);
  }
  for (std::size_t node = tree_leaves_ - 1; node >= 1; --node) {
    tree_[node] = Greater(tree_[2 * node], tree_[2 * node + 1]);
  }
}

void TNameSequence::Retop(std::size_t chunk) {
  for (std::size_t node = (tree_leaves_ + chunk) / 2; node >= 1; node /= 2) {
    tree_[node] = Greater(tree_[2 * node], tree_[2 * node + 1]);
  }
}

void TNameSequence::TChunk::FindTop() {
  top = 0;
  for (std::size_t i = 1; i < Count(); ++i) {
    if (Compare(Nick(i), Nick(top)) > 0) top = i;
  }
}

void TNameSequence::Rescan(std::size_t chunk) {
  chunks_[chunk].FindTop();
  Retop(chunk);
}

void TNameSequence::Index(std::string_view nick, std::uint32_t chunk_id) {
  index_.Add(HashOf(nick), chunk_id);
}

void TNameSequence::Unindex(std::string_view nick, std::uint32_t chunk_id) {
  index_.Remove(HashOf(nick), chunk_id);
}

void TNameSequence::Reindex(std::string_view nick, std::uint32_t from_id, std::uint32_t to_id) {
  index_.Move(HashOf(nick), from_id, to_id);
}

std::size_t TNameSequence::FirstChunkAfter(std::string_view nick, bool or_equal) const {
  const auto after = [&](std::uint32_t chunk) {
    if (chunk == kNone) return false;
    const int order = Compare(TopOf(chunk), nick);
    return or_equal ? order >= 0 : order > 0;
  };
  if (chunks_.empty() || !after(tree_[1])) return chunks_.size();
  std::size_t node = 1;
  while (node < tree_leaves_) node = after(tree_[2 * node]) ? 2 * node : 2 * node + 1;
  return node - tree_leaves_;
}

TNameSequence::Position TNameSequence::FirstAfter(std::string_view nick, bool or_equal) const {
  const auto after = [&](std::string_view entry) {
    const int order = Compare(entry, nick);
    return or_equal ? order >= 0 : order > 0;
  };
  const std::size_t chunk = FirstChunkAfter(nick, or_equal);
  if (chunk == chunks_.size()) return Position{chunks_.size(), 0};
  const TChunk& c = chunks_[chunk];
  if (disorders_ != 0) {
    std::size_t first = 0;
    while (!after(c.Nick(first))) ++first;
    return Position{chunk, first};
  }
  std::size_t low = 0;
  std::size_t high = c.Count();
  while (low < high) {
    const std::size_t middle = (low + high) / 2;
    if (after(c.Nick(middle))) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return Position{chunk, low};
}

std::vector<TNameSequence::Position> TNameSequence::FindNicks(std::string_view nick,
                                                              bool first_only) const {
  std::vector<std::size_t> holders;
  index_.ForEach(HashOf(nick), [&](std::uint32_t id) { holders.push_back(place_of_id_[id]); });
  std::sort(holders.begin(), holders.end());
  holders.erase(std::unique(holders.begin(), holders.end()), holders.end());
  std::vector<Position> places;
  for (const std::size_t chunk : holders) {
    for (std::size_t i = 0; i < chunks_[chunk].Count(); ++i) {
      if (chunks_[chunk].Nick(i) != nick) continue;
      places.push_back(Position{chunk, i});
      if (first_only) return places;
    }
  }
  return places;
}

void TNameSequence::Insert(Position at, std::string_view nick) {
  if (chunks_.empty()) {
    chunks_.emplace_back();
    chunks_.back().id = std::uint32_t(place_of_id_.size());
    place_of_id_.push_back(0);
    ChunksMoved();
  }
  if (IsEnd(at)) at = Position{chunks_.size() - 1, chunks_.back().Count()};
  TChunk& chunk = chunks_[at.chunk];
  chunk.Insert(at.offset, nick);
  Index(nick, chunk.id);
  if (chunk.Count() > 1 && at.offset <= chunk.top) ++chunk.top;
  if (Compare(nick, chunk.Nick(chunk.top)) > 0) chunk.top = at.offset;
  if (chunk.Count() > kMaxChunk) {
    TChunk second = chunk.SplitAt(kMaxChunk / 2);
    if (free_ids_.empty()) {
      second.id = std::uint32_t(place_of_id_.size());
      place_of_id_.push_back(0);
    } else {
      second.id = free_ids_.back();
      free_ids_.pop_back();
    }
    for (std::size_t i = 0; i < second.Count(); ++i) Reindex(second.Nick(i), chunk.id, second.id);
    chunk.FindTop();
    second.FindTop();
    chunks_.insert(chunks_.begin() + std::ptrdiff_t(at.chunk) + 1, std::move(second));
    ChunksMoved();
    if (at.offset >= kMaxChunk / 2) at = Position{at.chunk + 1, at.offset - kMaxChunk / 2};
  } else {
    Retop(at.chunk);
  }
  ++size_;
  read_chunk_ = 0;
  read_chunk_start_ = 0;
  if (observer_ != nullptr) observer_->RowInserted(at);
}

void TNameSequence::Erase(Position at) {
  if (observer_ != nullptr) observer_->RowRemoving(at);
  TChunk& chunk = chunks_[at.chunk];
  Unindex(chunk.Nick(at.offset), chunk.id);
  chunk.Erase(at.offset);
  if (chunk.Count() == 0) {
    free_ids_.push_back(chunk.id);
    chunks_.erase(chunks_.begin() + std::ptrdiff_t(at.chunk));
    ChunksMoved();
  } else if (at.offset == chunk.top) {
    Rescan(at.chunk);
  } else if (at.offset < chunk.top) {
    --chunk.top;
  }
  --size_;
  read_chunk_ = 0;
  read_chunk_start_ = 0;
}

void TNameSequence::Replace(Position at, std::string_view nick) {
  TChunk& chunk = chunks_[at.chunk];
  Unindex(chunk.Nick(at.offset), chunk.id);
  chunk.Replace(at.offset, nick);
  Index(nick, chunk.id);
  if (at.offset == chunk.top) {
    Rescan(at.chunk);
  } else if (Compare(nick, chunk.Nick(chunk.top)) > 0) {
    chunk.top = at.offset;
    Retop(at.chunk);
  }
}

void TNameSequence::Add(const std::string& nick) {
  InsertAt(FirstAfter(nick, false), nick);
}

bool TNameSequence::AddIfAbsent(const std::string& nick) {
  if (!FindNicks(nick, true).empty()) return false;
  Add(nick);
  return true;
}

void TNameSequence::InsertAt(Position at, std::string_view nick) {
  Position before;
  const bool has_before = Before(at, before);
  const bool has_after = !IsEnd(at);
  if (has_before) disorders_ += Disordered(NickAt(before), nick);
  if (has_after) disorders_ += Disordered(nick, NickAt(at));
  if (has_before) disorders_ -= OutOfOrder(before, at);
  Insert(at, nick);
}

bool TNameSequence::RemoveFirst(const std::string& nick) {
  const std::vector<Position> found = FindNicks(nick, true);
  if (found.empty()) return false;
  const Position at = found.front();
  const Position after = Next(at);
  Position before;
  if (Before(at, before)) disorders_ += OutOfOrder(before, after) - OutOfOrder(before, at);
  disorders_ -= OutOfOrder(at, after);
  Erase(at);
  return true;
}

int TNameSequence::Rename(const std::string& old_nick, const std::string& new_nick) {
  // The places are gathered first: renaming changes how the entries compare.
  const std::vector<Position> places = FindNicks(old_nick, false);
  for (const Position at : places) {
    const Position after = Next(at);
    Position before;
    const bool has_before = Before(at, before);
    if (has_before) disorders_ -= OutOfOrder(before, at);
    disorders_ -= OutOfOrder(at, after);
    Replace(at, new_nick);
    if (has_before) disorders_ += OutOfOrder(before, at);
    disorders_ += OutOfOrder(at, after);
    if (observer_ != nullptr) observer_->RowRenamed(at);
  }
  return int(places.size());
}

}  // namespace unit1
