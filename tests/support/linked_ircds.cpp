// Starting two linked test servers: each gets its name and its half of the link
// as extra configuration, and the link is seen up from a user's point of view.
#include "tests/support/linked_ircds.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "tests/support/plain_irc_client.h"

namespace testsupport {
namespace {

using namespace std::chrono_literals;

// The lowest ConnectRetry the server accepts, in seconds. After a link that lasted
// longer than this breaks, the server opens it again within a few seconds; after a
// shorter one it waits this long plus up to a quarter of a minute at random.
constexpr int kConnectRetrySeconds = 5;
// Without a limit, the server breaks its compressed link ("Compression error") once
// it holds about 94 connections; with one set, it kept the link with 450 users.
constexpr int kMaxConnections = 512;
constexpr auto kLinkLimit = 10s;
constexpr auto kPollStep = 10ms;

// What each server sends the other to be let in.
constexpr const char* kFirstLinkPassword = "Ebbe";
constexpr const char* kSecondLinkPassword = "Vloed";

std::string CommonConfig(const std::string& name) {
  return "[Global]\nName = " + name +
         "\n[Limits]\nConnectRetry = " + std::to_string(kConnectRetrySeconds) +
         "\nMaxConnections = " + std::to_string(kMaxConnections) + "\n";
}

// A [Server] block for the peer; with a port, this side opens the link.
std::string PeerConfig(const std::string& peer, const std::string& my_password,
                       const std::string& peer_password, std::uint16_t port = 0) {
  std::string block = "[Server]\nName = " + peer +
                      "\nHost = 127.0.0.1\nMyPassword = " + my_password +
                      "\nPeerPassword = " + peer_password + "\n";
  if (port != 0) block += "Port = " + std::to_string(port) + "\n";
  return block;
}

// Whether the server that `observer` is on lists `server` among its links now.
bool ListsLink(PlainIrcClient& observer, const std::string& server) {
  const std::size_t seen = observer.Transcript().size();
  if (!observer.SendLine("LINKS") || !observer.WaitForReply({"365"})) return false;
  const auto& lines = observer.Transcript();
  return std::any_of(lines.begin() + std::ptrdiff_t(seen), lines.end(), [&](const auto& line) {
    return line.find(" 364 ") != std::string::npos && line.find(server) != std::string::npos;
  });
}

}  // namespace

std::string LinkedIrcds::Start() {
  Stop();
  const std::string first_config = CommonConfig(kFirstName) +
                                   "[Operator]\nName = " + kOperatorName +
                                   "\nPassword = " + kOperatorPassword + "\n" +
                                   PeerConfig(kSecondName, kFirstLinkPassword, kSecondLinkPassword);
  if (std::string error = first_.Start(IrcdFixture::Motd::kPhrase, first_config); !error.empty()) {
    return "first server: " + error;
  }
  const std::string second_config =
      CommonConfig(kSecondName) +
      PeerConfig(kFirstName, kSecondLinkPassword, kFirstLinkPassword, first_.Port());
  if (std::string error = second_.Start(IrcdFixture::Motd::kPhrase, second_config);
      !error.empty()) {
    Stop();
    return "second server: " + error;
  }
  if (std::string error = WaitForLink(); !error.empty()) {
    error += Logs();
    Stop();
    return error;
  }
  // The link was opened before it was seen; one second more covers the server's
  // clock counting whole seconds.
  quick_relink_from_ = Clock::now() + std::chrono::seconds(kConnectRetrySeconds + 1);
  return "";
}

std::string LinkedIrcds::WaitForLink() {
  PlainIrcClient observer(first_.Port());
  if (!observer.Register("linkwatch", IrcdFixture::kPassword)) {
    return "no user could register on the first server\n";
  }
  const auto deadline = Clock::now() + kLinkLimit;
  while (!ListsLink(observer, kSecondName)) {
    if (Clock::now() >= deadline) return "the servers did not link within 10 s\n";
    std::this_thread::sleep_for(kPollStep);
  }
  return "";
}

void LinkedIrcds::Stop() {
  second_.Stop();
  first_.Stop();
}

std::string LinkedIrcds::Logs() const {
  return "first server's log:\n" + first_.Log() + "second server's log:\n" + second_.Log();
}

}  // namespace testsupport
