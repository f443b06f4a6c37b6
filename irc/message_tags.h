// IRCv3 message tags: the "@key=value;..." block in front of a server line, sent
// once the client has asked for capabilities. The engine reads a leading "@" as
// the marker before a sender, so the block is taken off before a line reaches it.
#pragma once

#include <cstddef>
#include <string_view>

namespace irc {

// The tags may take 8191 bytes ("@" and the blank after them included); the rest
// of the line keeps the 512 bytes of a line without tags, CR LF included.
constexpr std::size_t kMaxTagBytes = 8191;
constexpr std::size_t kMaxTaggedLine = kMaxTagBytes + 512;

// The line without its tags: for a line that begins with "@", everything up to the
// first blank (escaped values hold no blank) and the blanks after it. A line of
// tags alone keeps only its line end. Any other line is returned whole.
std::string_view WithoutTags(std::string_view line);

}  // namespace irc
