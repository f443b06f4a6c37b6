// The soak peer's traffic mix.
#include "bench/soak_traffic.h"

#include <algorithm>
#include <string_view>

namespace bench {

namespace {

using namespace std::string_view_literals;

const char* const kWords[] = {"the",   "build", "is",    "green", "again", "who",  "broke",
                              "main",  "lunch", "?",     "lol",   "ok",    "ping", "server",
                              "patch", "looks", "fine",  "to",    "me",    "brb",  "käse",
                              "naïve", "日本",  "emoji", "🙂",  "done",  "yes",  "no"};

// Bold, colour (whose digits start a literal of their own, or they would join
// the escape), italic, underline and reset codes.
const char* const kFormatted[] = {
    "\x02loud\x02 words",
    "\x03"
    "04,12red on blue\x03 back",
    "\x1Dslanted\x1D and plain",
    "\x1Funderlined\x1F text",
    "\x02\x03"
    "9mixed\x0F reset",
    "\x03"
    "3green\x03"
    "5,1 odd",
};

const char* const kInvalidUtf8[] = {
    "\xff\xfe", "\xc3\x28",    "\xe2\x82", "\xed\xa0\x80", "\xf8\x88\x80\x80\x80",
    "\xc0\xaf", "\x80\x80\x80"};

// Lines a server never should send; none of them may name a user joining or
// leaving, since the model could not follow that.
constexpr std::string_view kMalformed[] = {
    ""sv,
    ":"sv,
    ": "sv,
    ":irc.soak.test"sv,
    "PRIVMSG"sv,
    ":ghost!g@h PRIVMSG"sv,
    ":ghost!g@h PRIVMSG #beginner"sv,
    "@tag=1;x :ghost!g@h PRIVMSG #beginner :tagged"sv,
    "   "sv,
    ":irc.soak.test 005"sv,
    ":irc.soak.test 999 Tolvex :unknown numeric"sv,
    "!!!@@@ ::: :::"sv,
    ":ghost!g@h PRIVMSG #beginner :cut\rshort"sv,
    ":ghost!g@h NOTICE #beginner :with a \0 zero byte"sv,
};

enum Kind : int {
  kChat,
  kFormattedChat,
  kAction,
  kVersion,
  kNotice,
  kMembership,
  kMode,
  kTopic,
  kInvalidText,
  kOverlong,
  kMalformedLine,
  kNamesBurst,
  kListBurst,
};

}  // namespace

std::size_t AppendNamesReply(const std::vector<std::string>& names, std::string& out) {
  std::size_t lines = 0;
  for (std::size_t at = 0; at < names.size(); at += 40) {
    out += std::string(":") + kSoakServer + " 353 Tolvex = #beginner :";
    for (std::size_t i = at; i < std::min(names.size(), at + 40); ++i) {
      if (i > at) out += ' ';
      out += names[i];
    }
    out += "\r\n";
    ++lines;
  }
  out += std::string(":") + kSoakServer + " 366 Tolvex #beginner :End of /NAMES list.\r\n";
  return lines + 1;
}

SoakTraffic::SoakTraffic(std::mt19937_64& random, SoakChannel& channel)
    : random_(random),
      channel_(channel),
      // Weights per line kind, in the order of Kind.
      kind_({520, 60, 50, 4, 50, 120, 25, 5, 15, 4, 8, 0.4, 0.2}) {}

std::string SoakTraffic::From(const std::string& nick) const {
  return ":" + nick + "!~" + nick.substr(0, 4) + "@host-" + std::to_string(nick.size() * 7) +
         ".example ";
}

std::string SoakTraffic::Words(std::size_t min_bytes, std::size_t max_bytes) const {
  const std::size_t length = min_bytes + random_() % (max_bytes - min_bytes + 1);
  std::string text;
  while (text.size() < length) {
    if (!text.empty()) text += ' ';
    text += kWords[random_() % std::size(kWords)];
  }
  return text;
}

std::size_t SoakTraffic::Next(std::string& out) {
  const std::string speaker = channel_.AnySpeaker();
  switch (kind_(random_)) {
    case kChat:
      out += From(speaker) + "PRIVMSG #beginner :" + Words(10, 200) + "\r\n";
      return 1;
    case kFormattedChat:
      out += From(speaker) + "PRIVMSG #beginner :" + kFormatted[random_() % std::size(kFormatted)] +
             " " + Words(5, 60) + "\r\n";
      return 1;
    case kAction:
      out += From(speaker) +
             "PRIVMSG #beginner :\x01"
             "ACTION " +
             Words(5, 80) + "\x01\r\n";
      return 1;
    case kVersion:
      out += From(speaker) + "PRIVMSG " + (random_() % 2 ? "#beginner" : "Tolvex") +
             " :\x01VERSION\x01\r\n";
      return 1;
    case kNotice:
      if (random_() % 3 == 0) {
        out += std::string(":") + kSoakServer + " NOTICE * :*** " + Words(10, 80) + "\r\n";
      } else {
        out += From(speaker) + "NOTICE " + (random_() % 2 ? "#beginner" : "Tolvex") + " :" +
               Words(10, 120) + "\r\n";
      }
      return 1;
    case kMembership:
      return Membership(out);
    case kMode: {
      static const char* const kModes[] = {"+o", "-o", "+v", "-v", "+b", "-b", "+m", "-m", "+k"};
      const std::string mode = kModes[random_() % std::size(kModes)];
      const std::string target = mode[1] == 'b'   ? channel_.AnyChurner() + "!*@*"
                                 : mode[1] == 'm' ? ""
                                 : mode[1] == 'k' ? "hunter2"
                                                  : channel_.AnyChurner();
      out += From(channel_.AnyStayer().substr(1)) + "MODE #beginner " + mode +
             (target.empty() ? "" : " " + target) + "\r\n";
      return 1;
    }
    case kTopic:
      out += From(channel_.AnyStayer().substr(1)) + "TOPIC #beginner :" + Words(10, 150) + "\r\n";
      return 1;
    case kInvalidText:
      out += From(speaker) + "PRIVMSG #beginner :" + Words(5, 40) + " " +
             kInvalidUtf8[random_() % std::size(kInvalidUtf8)] + " " + Words(5, 40) + "\r\n";
      return 1;
    case kOverlong:
      out += From(speaker) + "PRIVMSG #beginner :" + Words(5200, 20000) + "\r\n";
      return 1;
    case kMalformedLine:
      return Odd(out);
    case kNamesBurst:
      return AppendNamesReply(channel_.Names(), out);
    case kListBurst:
      return ChannelList(out);
  }
  return 0;
}

std::size_t SoakTraffic::Membership(std::string& out) {
  const unsigned roll = unsigned(random_() % 10);
  if (channel_.JoinIsDue() || channel_.AnyChurner().empty()) {
    const std::string nick = channel_.NewNick();
    channel_.Join(nick);
    out += From(nick) + "JOIN :#beginner\r\n";
    return 1;
  }
  const std::string nick = channel_.AnyChurner();
  if (roll < 4) {
    out += From(nick) + "PART #beginner :" + Words(0, 30) + "\r\n";
    channel_.Leave(nick);
  } else if (roll < 7) {
    out += From(nick) + "QUIT :" + (roll == 6 ? "*.net *.split" : "Quit: " + Words(0, 30)) + "\r\n";
    channel_.Leave(nick);
  } else if (roll < 9) {
    // The user stays, under a new name: a leave and a join in one line.
    const std::string renamed = channel_.NewNick();
    out += From(nick) + "NICK :" + renamed + "\r\n";
    channel_.Rename(nick, renamed);
  } else {
    out += From(channel_.AnyStayer().substr(1)) + "KICK #beginner " + nick + " :" + Words(0, 40) +
           "\r\n";
    channel_.Leave(nick);
  }
  return 1;
}

std::size_t SoakTraffic::ChannelList(std::string& out) {
  const std::size_t count = 200 + random_() % 600;
  const std::string server = std::string(":") + kSoakServer;
  out += server + " 321 Tolvex Channel :Users  Name\r\n";
  for (std::size_t i = 0; i < count; ++i) {
    out += server + " 322 Tolvex #room" + std::to_string(i) + " " +
           std::to_string(random_() % 900) + " :" + Words(0, 120) + "\r\n";
  }
  out += server + " 323 Tolvex :End of /LIST\r\n";
  return count + 2;
}

std::size_t SoakTraffic::Odd(std::string& out) {
  out.append(kMalformed[random_() % std::size(kMalformed)]);
  out += "\r\n";
  return 1;
}

}  // namespace bench
