// The names list's entries in packed chunks, found by bisection while they are
// sorted.
#include "Unit1/name_sequence.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "platform/toolkit/text_codec.h"

namespace unit1 {

namespace {

// A chunk this long is split in two: an insertion or removal moves at most
// this many entries' bytes.
constexpr std::size_t kMaxChunk = 128;

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// By shown text, without regard to case. ASCII shows as itself whether the
// bytes are read as UTF-8 or not, and folds alone to lower case, as it does
// in QString's comparison: the bytes decide until one of them is beyond ASCII.
int Compare(std::string_view x, std::string_view y) {
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

TNameSequence::Position TNameSequence::FirstAfter(std::string_view nick, bool or_equal) const {
  const auto after = [&](std::string_view entry) {
    const int order = Compare(entry, nick);
    return or_equal ? order >= 0 : order > 0;
  };
  const auto chunk = std::partition_point(chunks_.begin(), chunks_.end(), [&](const TChunk& c) {
    return !after(c.Nick(c.Count() - 1));
  });
  if (chunk == chunks_.end()) return Position{chunks_.size(), 0};
  std::size_t low = 0;
  std::size_t high = chunk->Count();
  while (low < high) {
    const std::size_t middle = (low + high) / 2;
    if (after(chunk->Nick(middle))) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return Position{std::size_t(chunk - chunks_.begin()), low};
}

TNameSequence::Position TNameSequence::FindNick(std::string_view nick) const {
  // In a sorted list every entry with these bytes lies among those shown alike.
  const bool sorted = disorders_ == 0;
  Position at = sorted ? FirstAfter(nick, true) : Position{};
  for (; !IsEnd(at); at = Next(at)) {
    const std::string_view entry = NickAt(at);
    if (entry == nick) return at;
    if (sorted && Compare(entry, nick) != 0) break;
  }
  return Position{chunks_.size(), 0};
}

void TNameSequence::Insert(Position at, std::string_view nick) {
  if (chunks_.empty()) chunks_.emplace_back();
  if (IsEnd(at)) at = Position{chunks_.size() - 1, chunks_.back().Count()};
  TChunk& chunk = chunks_[at.chunk];
  chunk.Insert(at.offset, nick);
  if (chunk.Count() > kMaxChunk) {
    TChunk second = chunk.SplitAt(kMaxChunk / 2);
    chunks_.insert(chunks_.begin() + std::ptrdiff_t(at.chunk) + 1, std::move(second));
    if (at.offset >= kMaxChunk / 2) at = Position{at.chunk + 1, at.offset - kMaxChunk / 2};
  }
  ++size_;
  read_chunk_ = 0;
  read_chunk_start_ = 0;
  if (observer_ != nullptr) observer_->RowInserted(at);
}

void TNameSequence::Erase(Position at) {
  if (observer_ != nullptr) observer_->RowRemoving(at);
  TChunk& chunk = chunks_[at.chunk];
  chunk.Erase(at.offset);
  if (chunk.Count() == 0) chunks_.erase(chunks_.begin() + std::ptrdiff_t(at.chunk));
  --size_;
  read_chunk_ = 0;
  read_chunk_start_ = 0;
}

void TNameSequence::Add(const std::string& nick) {
  Position at = Position{chunks_.size(), 0};
  if (disorders_ == 0) {
    at = FirstAfter(nick, false);
  } else {
    for (Position p{}; !IsEnd(p); p = Next(p)) {
      if (Compare(NickAt(p), nick) > 0) {
        at = p;
        break;
      }
    }
  }
  InsertAt(at, nick);
}

bool TNameSequence::AddIfAbsent(const std::string& nick) {
  if (disorders_ != 0) {
    if (!IsEnd(FindNick(nick))) return false;
    Add(nick);
    return true;
  }
  // Past the entries shown alike, which is where Add puts it, looking at each.
  Position at = FirstAfter(nick, true);
  for (; !IsEnd(at) && Compare(NickAt(at), nick) == 0; at = Next(at)) {
    if (NickAt(at) == nick) return false;
  }
  InsertAt(at, nick);
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
  const Position at = FindNick(nick);
  if (IsEnd(at)) return false;
  const Position after = Next(at);
  Position before;
  if (Before(at, before)) disorders_ += OutOfOrder(before, after) - OutOfOrder(before, at);
  disorders_ -= OutOfOrder(at, after);
  Erase(at);
  return true;
}

int TNameSequence::Rename(const std::string& old_nick, const std::string& new_nick) {
  // The places are gathered first: renaming changes how the entries compare.
  std::vector<Position> places;
  const bool sorted = disorders_ == 0;
  for (Position at = sorted ? FirstAfter(old_nick, true) : Position{}; !IsEnd(at); at = Next(at)) {
    const std::string_view entry = NickAt(at);
    if (sorted && Compare(entry, old_nick) != 0) break;
    if (entry == old_nick) places.push_back(at);
  }
  for (const Position at : places) {
    const Position after = Next(at);
    Position before;
    const bool has_before = Before(at, before);
    if (has_before) disorders_ -= OutOfOrder(before, at);
    disorders_ -= OutOfOrder(at, after);
    chunks_[at.chunk].Replace(at.offset, new_nick);
    if (has_before) disorders_ += OutOfOrder(before, at);
    disorders_ += OutOfOrder(at, after);
    if (observer_ != nullptr) observer_->RowRenamed(at);
  }
  return int(places.size());
}

}  // namespace unit1
