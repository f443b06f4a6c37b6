// The chat list's styler for IRC text: the parser's runs in the list's terms.
#include "Unit1/irc_styler.h"

#include <optional>
#include <string>

#include "bytes/utf8.h"
#include "irc/formatting.h"
#include "platform/toolkit/text_codec.h"

namespace unit1 {

namespace {

std::optional<toolkit::TColor> ColorOf(const irc::TTextColour& colour) {
  if (!colour) return std::nullopt;
  return toolkit::RGB(colour->Red, colour->Green, colour->Blue);
}

toolkit::TFontStyles FontStylesOf(const irc::TTextStyle& style) {
  toolkit::TFontStyles styles = 0;
  if (style.Bold) styles |= toolkit::fsBold;
  if (style.Italic) styles |= toolkit::fsItalic;
  if (style.Underline) styles |= toolkit::fsUnderline;
  if (style.Strike) styles |= toolkit::fsStrikeOut;
  if (style.Monospace) styles |= toolkit::fsMonospace;
  return styles;
}

}  // namespace

il::TStyledText IrcStyledText(std::string_view text) {
  std::string utf8;
  if (!bytes::IsValidUtf8(text)) {
    utf8 = toolkit::TypedText(toolkit::DisplayText(text));
    text = utf8;
  }
  il::TStyledText styled;
  for (irc::TFormattedRun& run : irc::FormattedRuns(text)) {
    const irc::TTextStyle& style = run.Style;
    styled.push_back({std::move(run.Text), FontStylesOf(style), ColorOf(style.Foreground),
                      ColorOf(style.Background), style.Reverse});
  }
  return styled;
}

}  // namespace unit1
