// The headless stack's pass over a loopback stream.
#include "bench/headless_stack.h"

#include <benchmark/benchmark.h>

#include <chrono>

#include "bench/irc_line_mix.h"
#include "bench/loopback_peer.h"
#include "platform/winsys/winsys.h"
#include "transport/text_client.h"

namespace bench {

TPass RunHeadlessStack(const std::string& stream, std::size_t count, bool ipv6) {
  // Made first, so that it outlives the client: it ends once the client has
  // closed.
  LoopbackPeer peer(stream, {}, ipv6);
  irc::TParlane irc;
  TTouch touch;
  PrepareParlane(irc, touch);
  transport::TTextClient client(nullptr);
  client.SetReadBufferSize(5120);
  client.SetWriteBufferSize(5120);
  client.LineOptions = {transport::lsoAddLineChars, transport::lsoAutoFlushAfterWrite,
                        transport::lsoReturnLineChars, transport::lsoLineReceivedEvents};
  TPass pass;
  bool ended = false;
  client.OnLineReceived = [&](transport::TLineSocketBase&, const std::string& line, bool) {
    irc.ProcessLine(line);
    ++pass.lines;
  };
  client.OnDisconnect = [&](sockets::TSockCtrl&, sockets::TSocketBase*) { ended = true; };
  client.SetAddress(ipv6 ? "::1" : "127.0.0.1");
  client.SetPort(std::to_string(peer.Port()));
  const auto start = std::chrono::steady_clock::now();
  const double cpu = ThreadCpuSeconds();
  client.Open(transport::TTextClient::LineSocketClass());
  while (pass.lines < count && !ended) winsys::Application().HandleMessage();
  pass.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  pass.cpu = ThreadCpuSeconds() - cpu;
  benchmark::DoNotOptimize(touch.sum);
  return pass;
}

}  // namespace bench
