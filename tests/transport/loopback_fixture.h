// Fixture of the transport's loopback tests: the socket components' fixture, with
// failures that reach the application's exception handler failing the test, a
// text client that connects to a port of 127.0.0.1, and a far end on a thread of
// its own.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include "sockets/invalid_cast.h"
#include "tests/sockets/component_fixture.h"
#include "transport/text_client.h"

namespace transport_test {

using testsupport::LoopbackSocket;
using testsupport::Outcome;
using testsupport::WaitUntil;

class LoopbackTest : public sockets_test::ClientTest {
 protected:
  void TearDown() override {
    EXPECT_EQ(reported, sockets_test::Log{});
    ClientTest::TearDown();
  }

  // Opens `client` to `port` and waits until it is connected.
  static transport::TLineSocket& Connect(transport::TTextClient& client, std::uint16_t port) {
    client.SetAddress("127.0.0.1");
    client.SetPort(std::to_string(port));
    client.Open(transport::TTextClient::LineSocketClass());
    EXPECT_TRUE(WaitUntil([&] { return client.Connected(); }));
    return sockets::CheckedCast<transport::TLineSocket>(*client.GetSocket());
  }

  // The seed of the random tests: TRANSPORT_SEED when set, so that a failure
  // can be repeated.
  static std::uint32_t Seed() {
    const char* given = std::getenv("TRANSPORT_SEED");
    return given != nullptr ? std::uint32_t(std::strtoul(given, nullptr, 10)) : 20240611u;
  }
};

// Accepts one connection within a few seconds on a thread of its own and runs
// `script` with it there, its transfers cut into pieces drawn from `seed`. Waits
// for the script when it goes.
class PeerThread {
 public:
  PeerThread(std::uint32_t seed, std::function<void(const LoopbackSocket&)> script)
      : thread_([this, seed, script = std::move(script)] {
          LoopbackSocket connection = listener_.Accept();
          connection.CutIntoPieces(seed);
          if (connection.Valid()) script(connection);
        }) {}
  std::uint16_t Port() const { return listener_.Port(); }

 private:
  const LoopbackSocket listener_ = LoopbackSocket::Listen();
  std::jthread thread_;
};

}  // namespace transport_test
