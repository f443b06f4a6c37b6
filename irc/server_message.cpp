// Cutting a server line into its command and parameters.
#include "irc/server_message.h"

namespace irc {

namespace {

std::string_view SkipBlanks(std::string_view text) {
  const std::size_t start = text.find_first_not_of(' ');
  return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

// The next word and what follows it.
std::string_view TakeWord(std::string_view& text) {
  const std::size_t end = std::min(text.find(' '), text.size());
  const std::string_view word = text.substr(0, end);
  text = SkipBlanks(text.substr(end));
  return word;
}

std::string_view BeforeLineEnd(std::string_view line) {
  return line.substr(0, std::min(line.find_first_of("\r\n"), line.size()));
}

// The text from the command on.
std::string_view FromCommand(std::string_view line) {
  line = SkipBlanks(BeforeLineEnd(line));
  if (line.starts_with(':')) TakeWord(line);
  return line;
}

}  // namespace

// Called for every received line: it looks no further than the command's end.
std::string_view CommandOf(std::string_view line) {
  std::size_t start = 0;
  const auto skip_blanks = [&] {
    while (start < line.size() && line[start] == ' ') ++start;
  };
  const auto word_end = [&] {
    std::size_t end = start;
    while (end < line.size() && line[end] != ' ' && line[end] != '\r' && line[end] != '\n') ++end;
    return end;
  };
  skip_blanks();
  if (start < line.size() && line[start] == ':') {
    start = word_end();
    skip_blanks();
  }
  return line.substr(start, word_end() - start);
}

std::vector<std::string_view> ParamsOf(std::string_view params) {
  std::vector<std::string_view> cut;
  params = SkipBlanks(BeforeLineEnd(params));
  while (!params.empty()) {
    if (params.starts_with(':')) {
      cut.push_back(params.substr(1));
      break;
    }
    cut.push_back(TakeWord(params));
  }
  return cut;
}

TServerMessage CutMessage(std::string_view line) {
  line = FromCommand(line);
  TServerMessage message;
  message.Command = TakeWord(line);
  message.Params = ParamsOf(line);
  return message;
}

}  // namespace irc
