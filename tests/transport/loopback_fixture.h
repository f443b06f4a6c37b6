// Fixture of the transport's loopback tests: failures that reach the
// application's exception handler are collected and fail the test, and a text
// client connects to a port of 127.0.0.1.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/winsys/winsys.h"
#include "sockets/invalid_cast.h"
#include "tests/support/wait_until.h"
#include "transport/text_client.h"

namespace transport_test {

class LoopbackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_handler_ = winsys::Application().SetExceptionHandler(
        [this](const std::exception& error) { reported_.push_back(error.what()); });
  }
  void TearDown() override {
    winsys::Application().SetExceptionHandler(previous_handler_);
    EXPECT_EQ(reported_, std::vector<std::string>{});
  }

  // Opens `client` to `port` and waits until it is connected.
  static transport::TLineSocket& Connect(transport::TTextClient& client, std::uint16_t port) {
    client.SetAddress("127.0.0.1");
    client.SetPort(std::to_string(port));
    client.Open(transport::TTextClient::LineSocketClass());
    EXPECT_TRUE(testsupport::WaitUntil([&] { return client.Connected(); }));
    return sockets::CheckedCast<transport::TLineSocket>(*client.GetSocket());
  }

  // The seed of the random tests: TRANSPORT_SEED when set, so that a failure
  // can be repeated.
  static std::uint32_t Seed() {
    const char* given = std::getenv("TRANSPORT_SEED");
    return given != nullptr ? std::uint32_t(std::strtoul(given, nullptr, 10)) : 20240611u;
  }

 private:
  std::vector<std::string> reported_;
  winsys::TApplication::ExceptionHandler previous_handler_;
};

}  // namespace transport_test
