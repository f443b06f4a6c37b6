// The chat list draws IRC formatting pixel for pixel as QPainter draws the same
// runs by hand: each code and combination, every colour code, reverse on a
// selected entry, and wrapped lines that keep their styles and their column.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <optional>
#include <string>
#include <vector>

#include "Il/indent_list_box.h"
#include "Unit1/irc_styler.h"
#include "irc/formatting.h"
#include "platform/toolkit/painter_canvas.h"
#include "platform/toolkit/qt_font.h"
#include "tests/support/format_codes.h"

namespace {

using testsupport::Codes;
using toolkit::TFontStyles;

constexpr int kTextLeft = 48;
constexpr int kRightMargin = 20;
const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kPurple(128, 0, 128);
const QColor kHighlight(0, 0, 128);
const QColor kHighlightText(255, 255, 0);

// A run as the reference draws it.
struct Piece {
  std::string text;
  TFontStyles style = 0;
  QColor color = kBlack;
  QColor background = kWhite;
};

using Pieces = std::vector<Piece>;

QFont FontOf(TFontStyles style) {
  return toolkit::ToQFont({"Arial", -11, toolkit::clBlack, style});
}

int WidthOf(const Piece& piece) {
  return QFontMetrics(FontOf(piece.style)).horizontalAdvance(QString::fromUtf8(piece.text));
}

int WidthOf(const Pieces& pieces) {
  int width = 0;
  for (const Piece& piece : pieces) width += WidthOf(piece);
  return width;
}

// Opaque text, side by side from (x, y).
void DrawPieces(QPainter& painter, int x, int y, const Pieces& pieces) {
  for (const Piece& piece : pieces) {
    const QFont font = FontOf(piece.style);
    const QFontMetrics metrics(font);
    const QString text = QString::fromUtf8(piece.text);
    const int width = metrics.horizontalAdvance(text);
    painter.fillRect(QRect(x, y, width, metrics.height()), piece.background);
    painter.setFont(font);
    painter.setPen(piece.color);
    painter.drawText(x, y + metrics.ascent(), text);
    x += width;
  }
}

QColor ColourOr(int code, QColor fallback) {
  const irc::TTextColour colour = irc::ColourOfCode(code);
  return colour ? QColor(colour->Red, colour->Green, colour->Blue) : fallback;
}

// Where two images first differ, for a readable failure.
testing::AssertionResult SameImage(const QImage& drawn, const QImage& reference) {
  for (int y = 0; y < reference.height(); ++y) {
    for (int x = 0; x < reference.width(); ++x) {
      if (drawn.pixel(x, y) != reference.pixel(x, y)) {
        return testing::AssertionFailure()
               << "first difference at (" << x << ", " << y << "): drawn "
               << drawn.pixelColor(x, y).name().toStdString() << ", reference "
               << reference.pixelColor(x, y).name().toStdString();
      }
    }
  }
  return testing::AssertionSuccess();
}

class FormattedDrawing : public testing::Test {
 protected:
  FormattedDrawing() {
    palette.setColor(QPalette::Base, kWhite);
    palette.setColor(QPalette::Text, kBlack);
    palette.setColor(QPalette::Highlight, kHighlight);
    palette.setColor(QPalette::HighlightedText, kHighlightText);
    box.SetStyler(unit1::IrcStyledText);
    box.SetTitleFontColor(toolkit::clPurple);
    box.SetTitleFontStyle(toolkit::fsItalic);
    box.SetDrawLines(false);
    box.SetPosIndent(kTextLeft);
    SetTextColumn(240);
  }

  void SetTextColumn(int width) { box.resize(kTextLeft + width + kRightMargin, 200); }

  // Measures and draws the entry as the host does; the image is as high as
  // the entry.
  QImage Draw(const std::string& entry, toolkit::TOwnerDrawState state = 0) {
    box.ClearItems();
    box.AddItem(entry);
    toolkit::TPainterCanvas measure(nullptr, palette);
    int height = box.ItemHeight();
    box.MeasureItem(measure, 0, height);
    QImage image(box.width(), height, QImage::Format_RGB32);
    image.fill(kWhite);
    QPainter painter(&image);
    toolkit::TPainterCanvas canvas(&painter, palette);
    box.PaintItem(canvas, 0, {0, 0, box.width(), height}, state);
    return image;
  }

  // The title at the left, and each line of text in its column below the other.
  QImage Reference(const QImage& drawn, const Pieces& title, const std::vector<Pieces>& lines,
                   QColor background = kWhite) {
    QImage image(drawn.size(), QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    DrawPieces(painter, 0, 0, title);
    for (std::size_t k = 0; k < lines.size(); ++k) {
      DrawPieces(painter, kTextLeft, static_cast<int>(k) * box.LineHeight(), lines[k]);
    }
    return image;
  }

  QPalette palette;
  il::TIndentListBox box;
};

struct DrawCase {
  const char* name;
  std::string entry;  // in the readable codes
  Pieces title;
  Pieces text;
};

constexpr TFontStyles kItalic = toolkit::fsItalic;

TEST_F(FormattedDrawing, EachCodeAndCombination) {
  const QColor red(0xFF, 0, 0);
  const QColor green(0, 0x93, 0);
  const QColor light_blue(0, 0, 0xFC);
  const QColor yellow(0xFF, 0xFF, 0);
  const Pieces bob = {{"bob", kItalic, kPurple}};
  const DrawCase cases[] = {
      {"Plain", "bob|just text", bob, {{"just text"}}},
      {"Bold", "bob|a ^Bbold^B b", bob, {{"a "}, {"bold", toolkit::fsBold}, {" b"}}},
      {"Italic", "bob|^Iitalic", bob, {{"italic", toolkit::fsItalic}}},
      {"Underline", "bob|^Uunder", bob, {{"under", toolkit::fsUnderline}}},
      {"Strike", "bob|^Sstruck", bob, {{"struck", toolkit::fsStrikeOut}}},
      {"Monospace", "bob|^Mfixed^M wide", bob, {{"fixed", toolkit::fsMonospace}, {" wide"}}},
      {"AllTogglesLeftOpen",
       "bob|^B^I^U^S^Mall",
       bob,
       {{"all", toolkit::fsBold | toolkit::fsItalic | toolkit::fsUnderline | toolkit::fsStrikeOut |
                    toolkit::fsMonospace}}},
      {"Colours", "bob|^C04red ^C3green", bob, {{"red ", 0, red}, {"green", 0, green}}},
      {"Background", "bob|^C12,08blue on yellow", bob, {{"blue on yellow", 0, light_blue, yellow}}},
      {"ReverseOfDefaults", "bob|^Rrev^R x", bob, {{"rev", 0, kWhite, kBlack}, {" x"}}},
      {"ReverseOfColours", "bob|^C04,12^Rx", bob, {{"x", 0, light_blue, red}}},
      {"HexColours",
       "bob|^HFF8000,000080x",
       bob,
       {{"x", 0, QColor(0xFF, 0x80, 0), QColor(0, 0, 0x80)}}},
      {"Reset", "bob|^B^C04a^Ob", bob, {{"a", toolkit::fsBold, red}, {"b"}}},
      {"NinetyNine", "bob|^C04,08a^C99b", bob, {{"a", 0, red, yellow}, {"b", 0, kBlack, yellow}}},
      {"DigitsAfterAColour", "bob|^C0312", bob, {{"12", 0, green}}},
      {"ControlSymbol", "bob|a\001b", bob, {{"a\u2401b"}}},
      {"CodesOnly", "bob|^B^C04^O", bob, {}},
      {"StyledTitleOnItsOwnBase",
       "^B^C03bob|x",
       {{"bob", kItalic | toolkit::fsBold, green}},
       {{"x"}}},
      {"TitleCodesEndWithTheTitle",
       "^Ubob|x",
       {{"bob", kItalic | toolkit::fsUnderline, kPurple}},
       {{"x"}}},
  };
  for (const DrawCase& c : cases) {
    const QImage drawn = Draw(Codes(c.entry));
    EXPECT_EQ(drawn.height(), box.LineHeight()) << c.name;
    EXPECT_TRUE(SameImage(drawn, Reference(drawn, c.title, {c.text}))) << c.name;
  }
}

// A selected entry's default colours are the highlight's, reversed or not.
TEST_F(FormattedDrawing, SelectedEntryReversesTheHighlight) {
  const QImage drawn = Draw(Codes("bob|a^Rb"), toolkit::odSelected);
  const QImage reference = Reference(
      drawn, {{"bob", kItalic, kPurple, kHighlight}},
      {{{"a", 0, kHighlightText, kHighlight}, {"b", 0, kHighlight, kHighlightText}}}, kHighlight);
  EXPECT_TRUE(SameImage(drawn, reference));
}

// Every colour code as foreground and as background, 99 the defaults.
TEST_F(FormattedDrawing, EveryColourCode) {
  for (int code = 0; code <= 99; ++code) {
    const int background = (code + 50) % 100;
    char entry[32];
    std::snprintf(entry, sizeof entry, "bob|^C%02d,%02dWm", code, background);
    const QImage drawn = Draw(Codes(entry));
    const Piece piece{"Wm", 0, ColourOr(code, kBlack), ColourOr(background, kWhite)};
    EXPECT_TRUE(SameImage(drawn, Reference(drawn, {{"bob", kItalic, kPurple}}, {{piece}}))) << code;
  }
}

struct WrapCase {
  const char* name;
  std::string entry;
  std::vector<Pieces> lines;
};

// The column is as wide as half-way between the first line without its blank
// and the two lines side by side, so the cut falls where each case expects.
TEST_F(FormattedDrawing, WrappedLinesKeepStylesAndCutBetweenRuns) {
  const QColor red(0xFF, 0, 0);
  const QColor yellow(0xFF, 0xFF, 0);
  const WrapCase cases[] = {
      {"CodeAtTheCut", "bob|aaaa ^C04,08bbbb", {{{"aaaa "}}, {{"bbbb", 0, red, yellow}}}},
      {"CodeBeforeTheBlank",
       "bob|aaaa^B bbbb",
       {{{"aaaa"}, {" ", toolkit::fsBold}}, {{"bbbb", toolkit::fsBold}}}},
      {"ContinuationKeepsStyles",
       "bob|^B^C04aaaa bbbb",
       {{{"aaaa ", toolkit::fsBold, red}}, {{"bbbb", toolkit::fsBold, red}}}},
      {"MonospaceWordMovesDown",
       "bob|aaaa ^Mbbbb",
       {{{"aaaa "}}, {{"bbbb", toolkit::fsMonospace}}}},
  };
  for (const WrapCase& c : cases) {
    Pieces first = c.lines[0];
    first.back().text.pop_back();
    SetTextColumn((WidthOf(first) + WidthOf(c.lines[0]) + WidthOf(c.lines[1])) / 2);
    const QImage drawn = Draw(Codes(c.entry));
    EXPECT_EQ(drawn.height(), 2 * box.LineHeight()) << c.name;
    EXPECT_TRUE(SameImage(drawn, Reference(drawn, {{"bob", kItalic, kPurple}}, c.lines))) << c.name;
  }
}

// Bold text is measured bold: a column that the plain text fits on one line
// takes two for the bold one, and nothing is drawn past the column.
TEST_F(FormattedDrawing, BoldTextWrapsToItsOwnWidth) {
  const std::string words = "wide bold words wrap sooner";
  const int plain = WidthOf(Piece{words});
  const int bold = WidthOf(Piece{words, toolkit::fsBold});
  ASSERT_LT(plain, bold);
  SetTextColumn((plain + bold) / 2);
  const int plain_height = Draw("bob|" + words).height();
  EXPECT_EQ(plain_height, box.LineHeight());
  const QImage drawn = Draw(Codes("bob|^B" + words));
  EXPECT_EQ(drawn.height(), 2 * box.LineHeight());
  for (int y = 0; y < drawn.height(); ++y) {
    for (int x = kTextLeft + (plain + bold) / 2; x < drawn.width(); ++x) {
      ASSERT_EQ(drawn.pixelColor(x, y).name().toStdString(), "#ffffff") << x << ", " << y;
    }
  }
}

}  // namespace
