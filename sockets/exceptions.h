// The exception classes: one general exception that carries a message, and the
// socket layer's own ESockError derived from it.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace sockets {

// The general exception: a message text and nothing else. Failures to load the
// socket library are raised as this class, so that a caller catching only
// ESockError lets them through.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const noexcept { return message_; }

 private:
  std::string message_;
};

// A socket failure, with its message formed by RaiseSockError. The error number
// is not kept here: the socket that failed keeps it as its last error.
class ESockError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace sockets
