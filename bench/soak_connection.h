// One client connection of the soak peer, without blocking: lines written go
// to a buffer that Pump hands to the socket as it takes them, and what the
// client writes is cut into lines.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace bench {

class SoakConnection {
 public:
  explicit SoakConnection(int fd);
  ~SoakConnection();
  SoakConnection(const SoakConnection&) = delete;
  SoakConnection& operator=(const SoakConnection&) = delete;

  // Waits up to `timeout_ms` for the socket, then reads and writes what it can.
  // False once the client has closed or the connection failed.
  bool Pump(int timeout_ms);
  // The next whole line from the client, without its line end.
  std::optional<std::string> TakeLine();
  std::string& Out() { return out_; }
  std::size_t Pending() const { return out_.size() - sent_; }
  // Writes what is pending, ends the sending side, and reads until the client
  // closes (or `timeout_ms` passes).
  void CloseAfterDrain(int timeout_ms);

 private:
  bool Flush();

  int fd_;
  std::string in_;
  std::string out_;
  // How much of out_ the socket took already.
  std::size_t sent_ = 0;
};

}  // namespace bench
