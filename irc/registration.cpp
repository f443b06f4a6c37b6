// The registration's state machine: the lines sent on connect, the capability
// negotiation around SASL, and the welcome.
#include "irc/registration.h"

#include <algorithm>
#include <cctype>

#include "irc/cap_reply.h"
#include "irc/sasl_payload.h"
#include "irc/server_message.h"

namespace irc {

namespace {

// The numerics that end a SASL login without success: nickname locked,
// failed, too long, aborted, already logged in, mechanisms not supported.
constexpr std::string_view kFailures[] = {"902", "904", "905", "906", "907", "908"};
constexpr std::string_view kSuccess = "903";
constexpr std::string_view kWelcome = "001";

bool SameWord(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) ==
           std::toupper(static_cast<unsigned char>(y));
  });
}

bool IsFailure(std::string_view command) {
  return std::ranges::find(kFailures, command) != std::end(kFailures);
}

// The commands whose lines the registration reads; every other line passes
// with one look at its command.
bool Concerns(std::string_view command) {
  return command == kWelcome || command == "CAP" || command == "AUTHENTICATE" ||
         command == kSuccess || IsFailure(command);
}

std::string_view MechanismName(TSaslMechanism mechanism) {
  return mechanism == TSaslMechanism::smExternal ? "EXTERNAL" : "PLAIN";
}

}  // namespace

std::vector<std::string> TRegistration::Start(const TLogin& login) {
  login_ = login;
  sasl_offered_ = false;
  cap_requested_ = false;
  state_ = TState::Done;
  std::vector<std::string> lines;
  if (login.Registration == TRegistrationKind::rkByHand) return lines;
  if (login.Registration == TRegistrationKind::rkSasl) {
    lines.push_back("CAP LS 302");
    state_ = TState::AwaitingLs;
  }
  if (!login.Password.empty()) lines.push_back("PASS " + login.Password);
  lines.push_back("NICK " + login.NickName);
  // The blank before the colon makes the user name the fourth parameter, as
  // servers require; without it they answer "not enough parameters".
  lines.push_back("USER " + login.NickName + " X Y :" + login.UserName);
  return lines;
}

void TRegistration::LineSent(std::string_view line) {
  if (cap_requested_) return;
  const TServerMessage message = CutMessage(line);
  // Servers take commands in any case, and so may a user typing them.
  cap_requested_ = SameWord(message.Command, "CAP") && !message.Params.empty() &&
                   SameWord(message.Params[0], "REQ");
}

TRegistrationStep TRegistration::LineReceived(std::string_view line) {
  TRegistrationStep step;
  if (!Concerns(CommandOf(line))) return step;
  const TServerMessage message = CutMessage(line);
  const std::string_view command = message.Command;
  const auto& params = message.Params;

  if (command == kWelcome) {
    if (!params.empty()) step.WelcomedNick = params[0];
    // A server that knows no CAP registers the client at once; there is
    // nothing left to end.
    if (state_ != TState::Done) {
      step.LogLine = "SASL login not done: the server registered the client without it";
      state_ = TState::Done;
    }
    return step;
  }
  if (state_ == TState::Done) return step;

  if (command == "CAP") {
    const TCapReply reply = CutCapReply(params);
    if (state_ == TState::AwaitingLs && reply.Subcommand == "LS") {
      sasl_offered_ = sasl_offered_ || OffersCapability(reply.Capabilities, "sasl");
      if (reply.More) return step;
      if (sasl_offered_) {
        step.Lines.push_back("CAP REQ :sasl");
        state_ = TState::AwaitingAck;
      } else {
        Finish(step, "SASL login not tried: the server offers no sasl");
      }
    } else if (state_ == TState::AwaitingAck && reply.Subcommand == "ACK" &&
               OffersCapability(reply.Capabilities, "sasl")) {
      step.Lines.push_back("AUTHENTICATE " + std::string(MechanismName(login_.SaslMechanism)));
      state_ = TState::AwaitingChallenge;
    } else if (state_ == TState::AwaitingAck && reply.Subcommand == "NAK") {
      Finish(step, "SASL login not tried: the server refused the sasl capability");
    }
    return step;
  }
  if (command == "AUTHENTICATE") {
    if (state_ != TState::AwaitingChallenge || params.empty() || params[0] != "+") return step;
    const std::string payload =
        login_.SaslMechanism == TSaslMechanism::smExternal
            ? std::string()
            : Base64(PlainCredentials(login_.SaslAccount, login_.SaslPassword));
    step.Lines = AuthenticateLines(payload);
    state_ = TState::AwaitingResult;
    return step;
  }
  if (command == kSuccess) {
    Finish(step, "SASL login succeeded");
  } else {
    // The server's words after the nickname: "904 SASL authentication failed".
    std::string why(command);
    for (std::size_t i = 1; i < params.size(); ++i) why.append(" ").append(params[i]);
    Finish(step, "SASL login failed: " + why);
  }
  return step;
}

void TRegistration::Finish(TRegistrationStep& step, std::string log_line) {
  step.Lines.push_back("CAP END");
  step.LogLine = std::move(log_line);
  state_ = TState::Done;
}

}  // namespace irc
