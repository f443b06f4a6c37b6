// TRegistration: how the client registers on a new connection, and what it
// learns of the registration from the lines that follow.
//   Automatic: PASS (with a password), NICK and USER at once.
//   SASL: "CAP LS 302" first, then PASS, NICK and USER, which the server holds
//     until CAP END; when it offers sasl, CAP REQ, AUTHENTICATE and the
//     credentials, and CAP END once the login is over, whatever its outcome.
//   By hand: nothing; the user types the lines.
// In each, the nickname that the welcome (001) names is the user's, and a CAP
// REQ sent on the connection, typed or not, turns on the cutting of tags.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace irc {

enum class TRegistrationKind { rkAutomatic, rkSasl, rkByHand };
enum class TSaslMechanism { smPlain, smExternal };

// Who registers, and how.
struct TLogin {
  std::string NickName;
  std::string UserName;
  std::string Password;
  std::string SaslAccount;
  std::string SaslPassword;
  TRegistrationKind Registration = TRegistrationKind::rkAutomatic;
  TSaslMechanism SaslMechanism = TSaslMechanism::smPlain;
};

// What a received line asks of the client.
struct TRegistrationStep {
  std::vector<std::string> Lines;  // to send, in order
  std::string LogLine;             // for the user, when not empty
  std::string WelcomedNick;        // the nickname 001 names, when not empty
};

class TRegistration {
 public:
  // A new connection: forgets the last one and returns the lines to send first.
  std::vector<std::string> Start(const TLogin& login);
  // Every line the client sends on the connection, typed ones included.
  void LineSent(std::string_view line);
  // A received line, its tags already taken off.
  TRegistrationStep LineReceived(std::string_view line);

  // Whether a CAP REQ has gone out on this connection: from then on the server
  // may tag its lines.
  bool CapRequested() const { return cap_requested_; }
  // Whether the SASL login is still under way.
  bool Negotiating() const { return state_ != TState::Done; }

 private:
  enum class TState { Done, AwaitingLs, AwaitingAck, AwaitingChallenge, AwaitingResult };

  void Finish(TRegistrationStep& step, std::string log_line);

  TLogin login_;
  TState state_ = TState::Done;
  // Whether any line of an LS reply, which may come over several, offered sasl.
  bool sasl_offered_ = false;
  bool cap_requested_ = false;
};

}  // namespace irc
