// The chat list draws IRC formatting pixel for pixel as QPainter draws the same
// runs by hand: each code and combination, reverse on a selected entry, and
// wrapped lines that keep their styles and their column. Which colour each code
// names is the engine's table (tests/irc/formatting_test.cpp).
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <string>
#include <vector>

#include "Il/indent_list_box.h"
#include "Unit1/irc_styler.h"
#include "platform/toolkit/painter_canvas.h"
#include "platform/toolkit/qt_font.h"
#include "tests/support/format_codes.h"

namespace {

using testsupport::Codes;
using toolkit::TFontStyles;

constexpr int kTextLeft = 48;
constexpr TFontStyles kBold = toolkit::fsBold, kItalic = toolkit::fsItalic;
const QColor kBlack(0, 0, 0), kWhite(255, 255, 255), kPurple(128, 0, 128);
const QColor kHighlight(0, 0, 128), kHighlightText(255, 255, 0);
const QColor kRed(0xFF, 0, 0), kGreen(0, 0x93, 0), kYellow(0xFF, 0xFF, 0);

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

// Opaque text side by side from (x, y); without a painter it only measures.
int DrawPieces(QPainter* painter, int x, int y, const Pieces& pieces) {
  int width = 0;
  for (const Piece& piece : pieces) {
    const QFontMetrics metrics(FontOf(piece.style));
    const QString text = QString::fromUtf8(piece.text);
    const int advance = metrics.horizontalAdvance(text);
    if (painter) {
      painter->fillRect(QRect(x + width, y, advance, metrics.height()), piece.background);
      painter->setFont(FontOf(piece.style));
      painter->setPen(piece.color);
      painter->drawText(x + width, y + metrics.ascent(), text);
    }
    width += advance;
  }
  return width;
}

int WidthOf(const Pieces& pieces) {
  return DrawPieces(nullptr, 0, 0, pieces);
}

// Where two images first differ, for a readable failure.
testing::AssertionResult SameImage(const QImage& drawn, const QImage& reference) {
  for (int y = 0; y < reference.height(); ++y) {
    for (int x = 0; x < reference.width(); ++x) {
      if (drawn.pixel(x, y) == reference.pixel(x, y)) continue;
      return testing::AssertionFailure()
             << "first difference at (" << x << ", " << y << "): drawn "
             << drawn.pixelColor(x, y).name().toStdString() << ", reference "
             << reference.pixelColor(x, y).name().toStdString();
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

  // With a right margin of 20 pixels.
  void SetTextColumn(int width) { box.resize(kTextLeft + width + 20, 200); }

  // Measures and draws the entry as the host does, on an image as high as the entry.
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
    DrawPieces(&painter, 0, 0, title);
    for (std::size_t k = 0; k < lines.size(); ++k) {
      DrawPieces(&painter, kTextLeft, int(k) * box.LineHeight(), lines[k]);
    }
    return image;
  }

  QPalette palette;
  il::TIndentListBox box;
};

const Pieces kBob = {{"bob", kItalic, kPurple}};

struct DrawCase {
  const char* name;
  std::string entry;  // in the readable codes
  Pieces text;
  // A second line: the column is then half-way between the first line without
  // its blank and the two lines side by side, so the cut falls where expected.
  Pieces wrapped = {};
  Pieces title = kBob;
  toolkit::TOwnerDrawState state = 0;
};

TEST_F(FormattedDrawing, EachCodeCombinationAndCut) {
  const QColor light_blue(0, 0, 0xFC);
  // Parsing has its own table.
  const DrawCase cases[] = {
      {"Bold", "bob|a ^Bbold^B b", {{"a "}, {"bold", kBold}, {" b"}}},
      {"Italic", "bob|^Iitalic", {{"italic", kItalic}}},
      {"Underline", "bob|^Uunder", {{"under", toolkit::fsUnderline}}},
      {"Strike", "bob|^Sstruck", {{"struck", toolkit::fsStrikeOut}}},
      {"Monospace", "bob|^Mfixed^M wide", {{"fixed", toolkit::fsMonospace}, {" wide"}}},
      {"AllTogglesLeftOpen",
       "bob|^B^I^U^S^Mall",
       {{"all",
         kBold | kItalic | toolkit::fsUnderline | toolkit::fsStrikeOut | toolkit::fsMonospace}}},
      {"ReverseOfDefaults", "bob|^Rrev^R x", {{"rev", 0, kWhite, kBlack}, {" x"}}},
      {"ReverseOfColours", "bob|^C04,12^Rx", {{"x", 0, light_blue, kRed}}},
      {"HexColours", "bob|^HFF8000,000080x", {{"x", 0, QColor(0xFF, 0x80, 0), QColor(0, 0, 0x80)}}},
      {"ControlSymbol", "bob|a\001b", {{"a\u2401b"}}},
      {"CodesOnly", "bob|^B^C04^O", {}},
      {"StyledTitleOnItsOwnBase", "^B^C03bob|x", {{"x"}}, {}, {{"bob", kItalic | kBold, kGreen}}},
      {"TitleCodesEndWithTheTitle",
       "^Ubob|x",
       {{"x"}},
       {},
       {{"bob", kItalic | toolkit::fsUnderline, kPurple}}},
      // A selected entry's default colours are the highlight's, reversed or not.
      {"SelectedReversesTheHighlight",
       "bob|a^Rb",
       {{"a", 0, kHighlightText, kHighlight}, {"b", 0, kHighlight, kHighlightText}},
       {},
       {{"bob", kItalic, kPurple, kHighlight}},
       toolkit::odSelected},
      {"CodeAtTheCut", "bob|aaaa ^C04,08bbbb", {{"aaaa "}}, {{"bbbb", 0, kRed, kYellow}}},
      {"CodeBeforeTheBlank", "bob|aaaa^B bbbb", {{"aaaa"}, {" ", kBold}}, {{"bbbb", kBold}}},
      {"ContinuationKeepsStyles",
       "bob|^B^C04aaaa bbbb",
       {{"aaaa ", kBold, kRed}},
       {{"bbbb", kBold, kRed}}},
      {"MonospaceWordMovesDown", "bob|aaaa ^Mbbbb", {{"aaaa "}}, {{"bbbb", toolkit::fsMonospace}}},
  };
  for (const DrawCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<Pieces> lines = {c.text};
    SetTextColumn(240);
    if (!c.wrapped.empty()) {
      Pieces first = c.text;
      first.back().text.pop_back();
      SetTextColumn((WidthOf(first) + WidthOf(c.text) + WidthOf(c.wrapped)) / 2);
      lines.push_back(c.wrapped);
    }
    const QImage drawn = Draw(Codes(c.entry), c.state);
    EXPECT_EQ(drawn.height(), int(lines.size()) * box.LineHeight());
    const QColor background = c.state != 0 ? kHighlight : kWhite;
    EXPECT_TRUE(SameImage(drawn, Reference(drawn, c.title, lines, background)));
  }
}

// Bold text is measured bold: a column that the plain text fits on one line
// takes two for the bold one, and nothing is drawn past the column.
TEST_F(FormattedDrawing, BoldTextWrapsToItsOwnWidth) {
  const std::string words = "wide bold words wrap sooner";
  const int plain = WidthOf({{words}});
  const int bold = WidthOf({{words, kBold}});
  ASSERT_LT(plain, bold);
  SetTextColumn((plain + bold) / 2);
  const int plain_height = Draw("bob|" + words).height();  // before LineHeight() is read
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
