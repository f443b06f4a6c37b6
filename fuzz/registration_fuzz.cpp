// Feeds arbitrary bytes, cut into lines, to the registration as a SASL login sees
// them: each line's tags cut off as once a CAP REQ is out, the rest handed to the
// registration and to the engine. Stops at once when something that must hold for
// any input does not.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_checks.h"
#include "irc/cap_reply.h"
#include "irc/message_tags.h"
#include "irc/parlane.h"
#include "irc/registration.h"
#include "irc/sasl_payload.h"
#include "irc/server_message.h"

namespace {

using fuzz::Require;

bool HoldsLineEnd(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// What the client sends is one line: no line end inside it, and no longer than a
// server takes (an AUTHENTICATE piece with its command).
void RequireSendable(const std::string& line) {
  Require(!HoldsLineEnd(line));
  Require(line.size() <= 13 + irc::kAuthenticatePiece);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  irc::TRegistration registration;
  const irc::TLogin login{"Tolvex", "Quillamore", "Mossel",
                          "acc",    "pw",         irc::TRegistrationKind::rkSasl};
  for (const std::string& line : registration.Start(login)) {
    RequireSendable(line);
    registration.LineSent(line);
  }
  irc::TParlane engine;
  engine.SetNickName("Tolvex");

  fuzz::ForEachLine(input, [&](std::string_view whole) {
    // The cut leaves the end of the line, and takes something off a tagged one.
    const std::string_view cut = irc::WithoutTags(whole);
    Require(whole.ends_with(cut));
    Require(!whole.starts_with('@') || cut.size() < whole.size());
    const std::string line(cut);
    // The quick look at the command, taken for every line, agrees with the full cut.
    Require(irc::CommandOf(line) == irc::CutMessage(line).Command);

    const irc::TRegistrationStep step = registration.LineReceived(line);
    for (const std::string& answer : step.Lines) {
      RequireSendable(answer);
      registration.LineSent(answer);
    }
    Require(!HoldsLineEnd(step.LogLine) && !HoldsLineEnd(step.WelcomedNick));
    Require(!HoldsLineEnd(irc::CapReplyLogLine(line)));
    engine.ProcessLine(line);
  });
  return 0;
}
