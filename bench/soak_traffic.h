// What the soak peer says to the client on #beginner, drawn at random from a
// seed: the mix of a busy network, with the peer's channel model kept in step
// with every join, part, quit, nick change and kick it sends.
#pragma once

#include <cstddef>
#include <random>
#include <string>
#include <vector>

#include "bench/soak_channel.h"

namespace bench {

constexpr const char* kSoakServer = "irc.soak.test";

// A names reply (353 lines of up to 40 names, then 366); returns its line count.
std::size_t AppendNamesReply(const std::vector<std::string>& names, std::string& out);

class SoakTraffic {
 public:
  SoakTraffic(std::mt19937_64& random, SoakChannel& channel);

  // Appends the next piece of traffic, a line or a burst, each line ending in
  // CR LF; returns how many lines it holds.
  std::size_t Next(std::string& out);

 private:
  std::string From(const std::string& nick) const;
  std::string Words(std::size_t min_bytes, std::size_t max_bytes) const;
  std::size_t Membership(std::string& out);
  std::size_t ChannelList(std::string& out);
  std::size_t Odd(std::string& out);

  std::mt19937_64& random_;
  SoakChannel& channel_;
  std::discrete_distribution<int> kind_;
};

}  // namespace bench
