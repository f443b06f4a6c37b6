// The server component's admission tests: the address filter with numbers,
// "*", prefixes and host names, both filter modes, the reverse look-up of the
// peer, and look-ups that fail.
#include <string>
#include <vector>

#include "sockets/winsock_unit.h"
#include "tests/sockets/component_fixture.h"

namespace sockets_test {
namespace {

TEST_F(ServerTest, AddressMatchesComparesPartByPart) {
  struct Case {
    std::vector<std::string> filter;
    std::string address;
    bool matches;
  };
  const Case cases[] = {
      {{"192.168.*"}, "192.168.5.7", true},
      {{"192.168.*"}, "10.0.0.1", false},
      {{"192.168"}, "192.168.200.1", true},
      {{"192.168.1.5"}, "192.168.1.50", false},
      {{"*.*.*.1"}, "10.2.3.1", true},
      {{"10.*", "192.*"}, "192.1.1.1", true},
      {{}, "10.0.0.1", false},
      {{""}, "10.0.0.1", true},
      {{"10.1.2.3.4"}, "10.1.2.3", false},
      {{"localhost"}, "127.0.0.1", true},
      {{"*"}, "127.0.0.1", true},
      {{"*.example"}, "127.0.0.1", false},
  };
  LoggingServer server;
  for (const Case& c : cases) {
    server.SetAddressFilter(c.filter);
    EXPECT_EQ(server.AddressMatches(c.address), c.matches)
        << c.address << " against " << testing::PrintToString(c.filter);
  }
}

TEST_F(ServerTest, TheFilterModeAndTheReverseLookUpDecideOnEachPeer) {
  struct Case {
    std::vector<std::string> filter;
    std::uint8_t mode;
    bool lookup_peer_name;
    const char* outcome;
  };
  for (const Case& c : {Case{{}, 0, false, "OnReject"}, Case{{"127.*"}, 1, false, "OnReject"},
                        Case{{"localhost"}, 0, true, "OnAccept"}}) {
    LoggingServer server;
    server.SetAddressFilter(c.filter);
    server.SetFilterMode(c.mode);
    server.SetLookupPeerName(c.lookup_peer_name);
    server.OpenOnLoopback();
    LoopbackSocket peer = LoopbackSocket::ConnectTo(server.PortNumber());
    EXPECT_TRUE(WaitUntil([&] { return server.Count(c.outcome) == 1; }))
        << testing::PrintToString(c.filter) << " mode " << int(c.mode);
  }
}

// Look-ups never complete: the listening socket closes while the peer's name is
// looked up, which ends the look-up with an error. Returns the server's log.
Log CloseWhileLookingUp(LoggingServer& server) {
  server.OpenOnLoopback();
  LoopbackSocket peer = LoopbackSocket::ConnectTo(server.PortNumber());
  Poll poll([&] {
    if (sockets::WaitNesting > 0 && server.Listening()) server.Close();
  });
  EXPECT_TRUE(WaitUntil([&] { return !server.Listening() && server.Connections().Count() == 0; }));
  return server.log;
}

TEST_F(StalledServerLookupTest, AFailedReverseLookUpOfThePeerRefusesIt) {
  LoggingServer server;
  server.SetLookupPeerName(true);
  EXPECT_EQ(CloseWhileLookingUp(server),
            (Log{"Closed", "Rejecting Connection", "OnReject", "Closed"}));
  EXPECT_TRUE(reported.empty());
}

// The filter cannot judge the peer: the error reaches the application, and the
// peer is not let in.
TEST_F(StalledServerLookupTest, AFailedLookUpInTheFilterIsReportedAndClosesTheConnection) {
  LoggingServer server;
  server.SetAddressFilter({"localhost"});
  EXPECT_EQ(CloseWhileLookingUp(server), (Log{"Closed", "Closed"}));
  EXPECT_EQ(reported, (Log{"Error 10004 (Interrupted system call) finding host for address"}));
}

}  // namespace
}  // namespace sockets_test
