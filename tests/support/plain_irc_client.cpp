// The tests' plain IRC user: registration, joining and reading with deadlines.
#include "tests/support/plain_irc_client.h"

#include <algorithm>
#include <cctype>

namespace testsupport {
namespace {

// The command of a server line: the first word after the optional ":prefix".
std::string_view CommandOf(std::string_view line) {
  if (line.starts_with(':')) {
    const std::size_t blank = line.find(' ');
    line.remove_prefix(blank == std::string_view::npos ? line.size() : blank + 1);
  }
  return line.substr(0, line.find(' '));
}

// Numeric replies from 400 on are the server's refusals.
bool IsErrorReply(std::string_view command) {
  return command.size() == 3 && command[0] >= '4' && command[0] <= '5' &&
         std::isdigit(static_cast<unsigned char>(command[1])) &&
         std::isdigit(static_cast<unsigned char>(command[2]));
}

}  // namespace

PlainIrcClient::PlainIrcClient(std::uint16_t port) : socket_(LoopbackSocket::ConnectTo(port)) {}

bool PlainIrcClient::Register(const std::string& nick, const std::string& password,
                              int timeout_ms) {
  return SendRegistration(nick, password) && WaitForReply({"376", "422"}, timeout_ms);
}

bool PlainIrcClient::SendRegistration(const std::string& nick, const std::string& password) {
  return (password.empty() || SendLine("PASS " + password)) && SendLine("NICK " + nick) &&
         SendLine("USER " + nick + " X Y :" + nick);
}

bool PlainIrcClient::Join(const std::string& channel, int timeout_ms) {
  return SendLine("JOIN " + channel) && WaitForReply({"366"}, timeout_ms);
}

bool PlainIrcClient::WaitForReply(std::initializer_list<std::string_view> successes,
                                  int timeout_ms) {
  const auto succeeds = [successes](std::string_view line) {
    return std::find(successes.begin(), successes.end(), CommandOf(line)) != successes.end();
  };
  const auto end = WaitForLine(
      [&](std::string_view line) {
        const std::string_view command = CommandOf(line);
        return succeeds(line) || command == "ERROR" || IsErrorReply(command);
      },
      Clock::now() + std::chrono::milliseconds(timeout_ms));
  return end && succeeds(*end);
}

bool PlainIrcClient::SendLine(std::string_view line) {
  return socket_.Valid() && socket_.SendAll(std::string(line) + "\r\n");
}

std::optional<std::string> PlainIrcClient::WaitForLineContaining(std::string_view text,
                                                                 int timeout_ms) {
  return WaitForLine([text](std::string_view line) { return line.find(text) != line.npos; },
                     Clock::now() + std::chrono::milliseconds(timeout_ms));
}

std::optional<std::string> PlainIrcClient::WaitForLine(const LineTest& wanted,
                                                       Clock::time_point deadline) {
  for (std::size_t i = next_untaken_;;) {
    if (i == transcript_.size()) {
      if (!Receive(deadline)) return std::nullopt;
    } else if (wanted(transcript_[i++])) {
      next_untaken_ = i;
      return transcript_[i - 1];
    }
  }
}

bool PlainIrcClient::Receive(Clock::time_point deadline) {
  if (!Connected() || !socket_.WaitReadable(MillisecondsLeft(deadline))) return false;
  const std::size_t held = partial_line_.size();
  peer_closed_ = !socket_.ReadWaiting(partial_line_);
  const bool received_any = partial_line_.size() > held;
  for (std::string& line : TakeCrLfLines(partial_line_)) {
    if (line.starts_with("PING ")) SendLine("PONG " + line.substr(5));
    transcript_.push_back(std::move(line));
  }
  return received_any;
}

}  // namespace testsupport
