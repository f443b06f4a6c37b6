// Writes the manual page, ircclient(1), from the option table the program's
// parser uses, so that the page lists exactly the options the program takes.
//   ircclient_manual_page VERSION > ircclient.1
#include <cstdio>
#include <string>
#include <string_view>

#include "Unit1/command_line_options.h"

namespace {

// Text for the page: hyphens as minus signs, backslashes escaped.
std::string Roff(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '-') {
      out += "\\-";
    } else if (c == '\\') {
      out += "\\e";
    } else {
      out += c;
    }
  }
  return out;
}

void Put(const std::string& text) {
  std::fputs(text.c_str(), stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string version = argc > 1 ? argv[1] : "";
  Put(".TH IRCCLIENT 1 \"\" \"ircclient " + version + "\" \"User Commands\"\n");
  Put(".SH NAME\nircclient \\- interactive IRC client for testing IRC servers\n");
  Put(".SH SYNOPSIS\n.B ircclient\n[\\fIOPTIONS\\fR] [\\fIURL\\fR]\n");
  Put(".SH DESCRIPTION\n"
      "A small IRC client for people who test IRC servers: it connects to a server, "
      "registers, joins and leaves one channel, chats and sends raw IRC command lines, "
      "and keeps a raw log of every line that crossed the connection.\n"
      ".PP\nStarted without arguments it opens its window and waits for the user. "
      "Given a URL, or \\fB\\-\\-connect\\fR, it fills the window's fields and identity "
      "as if typed and connects at start. Options override the URL's parts.\n");
  Put(".SH URL\n.B " + Roff(unit1::kUrlForm) + "\n.br\n" + Roff(unit1::kUrlHelp) +
      "\n.PP\nA password in the URL is visible to other users of the machine; "
      "\\fB\\-\\-password\\-file\\fR is not.\n");
  Put(".SH OPTIONS\n");
  for (const unit1::TOptionEntry& option : unit1::kCommandLineOptions) {
    Put(".TP\n.B ");
    if (!option.Short.empty()) Put("\\-" + Roff(option.Short) + ", ");
    Put("\\-\\-" + Roff(option.Long));
    if (!option.Value.empty()) Put(" \\fI" + Roff(option.Value) + "\\fR");
    Put("\n" + Roff(option.Help) + "\n");
  }
  Put(".SH EXIT STATUS\n"
      "0 when the window was closed, or after \\fB\\-\\-help\\fR or \\fB\\-\\-version\\fR; "
      "1 when the window could not be made; 2 for a command line that cannot be used, "
      "named on standard error, before any window opens.\n");
  Put(".SH EXAMPLES\n"
      ".nf\nircclient irc://127.0.0.1:7000/beginner\n"
      "ircclient \\-\\-nick alice \\-\\-password\\-file pw.txt \\-\\-script join.irc "
      "ircs://irc.test:6697/%23beginner\n.fi\n");
  return 0;
}
