// The soak peer's model of #beginner: who is on it, as the client's names list
// should show them. Users that stay for the whole run carry a mode prefix;
// users that come and go never do, since the client matches a leaving or
// renamed user by the exact name it listed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace bench {

class SoakChannel {
 public:
  static constexpr const char* kClientNick = "Tolvex";

  SoakChannel(std::mt19937_64& random, std::size_t usual_size);

  // A fresh nickname, never used before in this run.
  std::string NewNick();
  // A user who comes and goes, at random; empty when there is none.
  std::string AnyChurner() const;
  // Anyone on the channel other than the client, without a prefix.
  std::string AnySpeaker() const;
  // A user who stays, with the prefix the names reply gives it.
  const std::string& AnyStayer() const;

  void Join(const std::string& nick);
  void Leave(const std::string& nick);
  void Rename(const std::string& old_nick, const std::string& new_nick);
  // Whether the next membership change should be a join rather than a leave,
  // keeping the channel near its usual size.
  bool JoinIsDue() const;

  void ClientJoined() { client_on_ = true; }
  void ClientLeft() { client_on_ = false; }
  // Every name the names reply lists, the client's own among them while it is
  // on the channel, in random order but never with the client's own first: a
  // reply that begins with it tells the client to start its list afresh.
  std::vector<std::string> Names() const;

 private:
  std::mt19937_64& random_;
  std::size_t usual_size_;
  std::vector<std::string> stayers_;
  // Unordered; a leaver is swapped with the last.
  std::vector<std::string> churners_;
  std::uint64_t next_nick_ = 0;
  bool client_on_ = false;
};

}  // namespace bench
