// The log pane's colours: drawn pixel for pixel as formats in the document
// would draw them, also after the user edits a coloured line, while a flood of
// ever-new colours leaves the document's formats bounded.
#include <gtest/gtest.h>

#include <QImage>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <string>

#include "Il/styled_run.h"
#include "Unit1/irc_styler.h"
#include "Unit1/log_pane.h"
#include "Unit1/log_pane_format.h"
#include "platform/toolkit/text_codec.h"
#include "tests/support/wait_until.h"

namespace unit1 {
namespace {

using testsupport::WaitUntil;

// A line of `count` words, each in a hex colour never used before.
std::string NewColours(int& next, int count) {
  std::string line;
  for (int i = 0; i < count; ++i) {
    line += QString::asprintf("\x04%06X,%06Xw%d ", unsigned(next) & 0xFFFFFFu,
                              (unsigned(next) * 7919u) & 0xFFFFFFu, i)
                .toStdString();
    ++next;
  }
  return line;
}

// The pane as it was drawn with every colour in the document's formats.
void FillReference(QPlainTextEdit& reference, const std::vector<std::string>& lines) {
  QTextCursor cursor(reference.document());
  for (const std::string& line : lines) {
    if (&line != &lines.front()) cursor.insertBlock();
    if (!il::NeedsStyler(line)) {
      cursor.insertText(toolkit::DisplayText(line), QTextCharFormat());
      continue;
    }
    for (const il::TStyledRun& run : IrcStyledText(line)) {
      QTextCharFormat format = StyleFormatOf(run);
      format.merge(ColourFormatOf(ColoursOf(run, reference.palette())));
      cursor.insertText(QString::fromUtf8(run.Text), format);
    }
  }
}

QTextCursor Selection(QPlainTextEdit& edit, int position, int length) {
  QTextCursor cursor(edit.document());
  cursor.setPosition(position);
  cursor.setPosition(position + length, QTextCursor::KeepAnchor);
  return cursor;
}

QImage Shown(QWidget& widget) {
  QTest::qWait(0);
  QCoreApplication::processEvents();
  return widget.grab().toImage();
}

TEST(LogPaneColours, DrawnAsFormatsInTheDocumentWouldBe) {
  int next = 0x102030;
  const std::vector<std::string> lines = {
      "plain first",
      "\x02"
      "bold\x02 \x03"
      "04,12red on blue\x0F \x1Ditalic\x1D \x1Funder\x16rev\x0F end",
      NewColours(next, 6),
      "\x03"
      "3green\x1E strike\x03 \x11mono\x07 bell",
      "plain last"};
  TLogPane pane;
  QPlainTextEdit reference;
  for (QPlainTextEdit* edit : {static_cast<QPlainTextEdit*>(&pane), &reference}) {
    edit->resize(420, 160);
    edit->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(edit));
  }
  for (const std::string& line : lines) pane.AppendLine(line);
  FillReference(reference, lines);
  ASSERT_EQ(pane.toPlainText(), reference.toPlainText());
  EXPECT_EQ(Shown(pane), Shown(reference));

  // Typed into a coloured word, the text is plain, and the colours around it
  // stay on their characters; a word taken out takes its colours along. The
  // reference takes the same edits as plain text.
  const int red = int(pane.toPlainText().indexOf("red on"));
  const int w2 = int(pane.toPlainText().indexOf("w2"));
  pane.setTextCursor(Selection(pane, w2 + 1, 3));
  QTest::keyClick(&pane, Qt::Key_Delete);
  pane.setTextCursor(Selection(pane, red + 1, 0));
  QTest::keyClicks(&pane, "XY");
  Selection(reference, w2 + 1, 3).removeSelectedText();
  Selection(reference, red + 1, 0).insertText("XY", QTextCharFormat());
  ASSERT_EQ(pane.toPlainText(), reference.toPlainText());
  // Without the caret, which the reference lacks.
  pane.setTextCursor(Selection(pane, 0, 0));
  pane.clearFocus();
  EXPECT_EQ(Shown(pane), Shown(reference));
}

// More lines than the pane keeps, each with colours never seen before, shown
// and drawn batch by batch on a tall pane: the formats stop growing once the
// pane is full, the pane follows the newest lines and shows their colours, and
// a user's selection stays where it was.
TEST(LogPaneColours, AFloodOfNewColoursKeepsTheFormatsBounded) {
  TLogPane pane;
  pane.resize(500, 1000);
  pane.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
  int next = 1, most_formats = 0;
  QString selected;
  const int batches = 6 * kLogLinesKept / 5 / 500;
  for (int batch = 0; batch < batches; ++batch) {
    pane.HoldLines();
    for (int i = 0; i < 500; ++i) pane.AppendLine(NewColours(next, 24));
    pane.ShowHeldLines();
    pane.repaint();
    QCoreApplication::processEvents();
    if (batch == batches - 4) {
      pane.setTextCursor(Selection(pane, pane.document()->lastBlock().position() + 3, 8));
      selected = pane.textCursor().selectedText();
    }
    most_formats = std::max(most_formats, int(pane.document()->allFormats().size()));
    // Built afresh or not, the pane stays on the newest line until the user
    // selects.
    const QScrollBar& bar = *pane.verticalScrollBar();
    ASSERT_TRUE(!selected.isEmpty() || bar.value() == bar.maximum())
        << batch << ": " << bar.value() << " of " << bar.maximum();
  }
  EXPECT_LE(most_formats, 2 * kLogFormatsKept);
  EXPECT_EQ(pane.document()->blockCount(), kLogLinesKept);
  // The newest line's last word in the newest colour.
  const QTextBlock last = pane.document()->lastBlock();
  EXPECT_EQ(pane.ShownFormatAt(last.position() + last.length() - 3).foreground().color().rgb(),
            QRgb(0xFF000000 | ((next - 1) & 0xFFFFFF)));
  EXPECT_EQ(pane.textCursor().selectedText(), selected);
}

}  // namespace
}  // namespace unit1
