// Writing the raw log to a file: every line reads back to its bytes, and a
// cancelled save leaves the file that was there.
#include "Unit1/raw_log_save.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <fstream>
#include <sstream>

#include "Unit1/byte_escapes.h"
#include "platform/toolkit/utf8.h"

namespace unit1 {
namespace {

using namespace std::string_literals;

// Invalid UTF-8, control bytes, backslashes, and text that looks like escapes.
std::string LineBytes(std::size_t i) {
  static const std::string pieces[] = {
      R"(C:\x41 \\ \r)", "\0\r\n\t\x01\x7F"s, "\xFF\xFE caf\xE9",
      "\xE2\x90\x80 \\", "caf\xC3\xA9",       "",
  };
  return "PRIVMSG #a :" + std::to_string(i) + " " + pieces[i % std::size(pieces)];
}

TRawDirection DirectionOf(std::size_t i) {
  constexpr TRawDirection kDirections[] = {TRawDirection::rdReceived, TRawDirection::rdSent,
                                           TRawDirection::rdSentBytes, TRawDirection::rdNote};
  return kDirections[i % std::size(kDirections)];
}

TSaveOutcome Write(const TRawLinesToSave& lines, const QString& path, bool cancelled = false) {
  std::atomic<std::size_t> written = 0;
  const std::atomic<bool> cancel = cancelled;
  return WriteRawLines(lines, path, written, cancel);
}

TEST(RawLogSave, EveryLineReadsBackToItsBytes) {
  constexpr std::size_t kLines = 100'000;
  TRawLog log;
  for (std::size_t i = 0; i < kLines; ++i) {
    log.Add(1796648645007 + std::int64_t(i), DirectionOf(i), LineBytes(i));
  }
  const TRawLinesToSave lines{log.Snapshot(), {}};
  // The log goes on, and lets its blocks go, while the file is written.
  log.Clear();
  QTemporaryDir dir;
  const QString path = dir.filePath("raw.log");
  const TSaveOutcome outcome = Write(lines, path);
  ASSERT_EQ(outcome.Kind, TSaveOutcome::skSaved) << outcome.Error.toStdString();
  EXPECT_EQ(outcome.Lines, kLines);

  std::ifstream file(path.toStdString(), std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  EXPECT_TRUE(toolkit::IsValidUtf8(content.str()));
  std::size_t i = 0;
  for (std::string saved; std::getline(content, saved); ++i) {
    ASSERT_LT(i, kLines);
    const TRawLine line{1796648645007 + std::int64_t(i), DirectionOf(i), {}};
    // Time and direction as the pane shows them, then the escaped bytes.
    ASSERT_EQ(saved.substr(0, 15), ShownRawLine(line).substr(0, 15)) << i;
    const TUnescapedBytes read = UnescapeBytes(std::string_view(saved).substr(15));
    ASSERT_TRUE(read.Ok()) << i << ": " << saved;
    ASSERT_EQ(read.Bytes, LineBytes(i)) << i << ": " << saved;
  }
  EXPECT_EQ(i, kLines);
}

TEST(RawLogSave, CancelledLeavesTheFileThatWasThere) {
  TRawLog log;
  log.Add(0, TRawDirection::rdReceived, "PING :x");
  const TRawLinesToSave lines{log.Snapshot(), {}};
  QTemporaryDir dir;
  const QString path = dir.filePath("raw.log");
  QFile before(path);
  ASSERT_TRUE(before.open(QIODevice::WriteOnly));
  before.write("kept\n");
  before.close();
  EXPECT_EQ(Write(lines, path, true).Kind, TSaveOutcome::skCancelled);
  QFile after(path);
  ASSERT_TRUE(after.open(QIODevice::ReadOnly));
  EXPECT_EQ(after.readAll(), "kept\n");
}

}  // namespace
}  // namespace unit1
