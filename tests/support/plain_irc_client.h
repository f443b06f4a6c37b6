// A second IRC user for the tests, on a plain blocking socket: it registers, joins,
// talks and reads the server's lines with deadlines, and answers PING by itself.
//
// Every call blocks: while the client under test lives on the test thread's event
// loop, wait for it with testsupport::WaitUntil first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/loopback_socket.h"

namespace testsupport {

class PlainIrcClient {
 public:
  // Connects to 127.0.0.1:port at once; Connected() tells whether that worked.
  explicit PlainIrcClient(std::uint16_t port);

  bool Connected() const { return socket_.Valid() && !peer_closed_; }
  void Close() { socket_.Close(); }

  // PASS (unless the password is empty), NICK and "USER <nick> X Y :<nick>", then
  // waits for the end of the greeting (376, or 422 without a message of the day).
  // False on an error reply, ERROR, the end of the connection or time up.
  bool Register(const std::string& nick, const std::string& password, int timeout_ms = 5000);
  // The lines of Register without the wait, for registering many users at once.
  bool SendRegistration(const std::string& nick, const std::string& password);
  // JOIN, then waits for the end of the channel's names list (366).
  bool Join(const std::string& channel, int timeout_ms = 5000);
  bool SendLine(std::string_view line);
  // Reads until a reply with one of the `successes` commands, an error reply or
  // ERROR; true for the first.
  bool WaitForReply(std::initializer_list<std::string_view> successes, int timeout_ms = 5000);

  // The first line not yet taken that contains `text`, read until the deadline;
  // the lines before it are passed over.
  std::optional<std::string> WaitForLineContaining(std::string_view text, int timeout_ms = 5000);

  // Every line received so far, taken or not, without CR LF.
  const std::vector<std::string>& Transcript() const { return transcript_; }

 private:
  using LineTest = std::function<bool(std::string_view)>;

  // The first untaken line that passes `wanted`, reading on until the deadline.
  std::optional<std::string> WaitForLine(const LineTest& wanted, Clock::time_point deadline);
  // Reads what arrives before the deadline (nothing more than is there when the
  // deadline has passed); false when nothing came.
  bool Receive(Clock::time_point deadline);

  LoopbackSocket socket_;
  std::string partial_line_;
  std::vector<std::string> transcript_;
  std::size_t next_untaken_ = 0;
  bool peer_closed_ = false;
};

}  // namespace testsupport
