// Lines that do not fit the window's buffers: a server line longer than the read
// buffer, and typed lines that cannot be written, or not yet; and a server that
// never pauses: one long burst is read in parts, and between them the window
// repaints and takes the user's keys.
#include <QCoreApplication>
#include <QKeyEvent>
#include <algorithm>
#include <atomic>
#include <thread>

#include "tests/Unit1/form_fixture.h"
#include "tests/support/loopback_socket.h"
#include "transport/buffered_socket.h"
#include "transport/text_client.h"

namespace unit1 {
namespace {

using testsupport::LoopbackSocket;
using testsupport::WaitUntil;
using Lines = std::vector<std::string>;

// The connection stays in use: the over-long line goes, with one log line, and
// everything around it is handled as usual.
TEST_F(FormTest, OverLongServerLinesAreDroppedAndTheConnectionKeepsListening) {
  Register();
  // 5119 bytes and the CR fill the 5120-byte buffer exactly: the LF comes
  // after the buffer was found full.
  for (const std::size_t length : {5119u, 6u * 1024, 64u * 1024, 1024u * 1024}) {
    SCOPED_TRACE(length);
    // The line ends with its CR in one piece and its LF in the next.
    const std::string bytes = "NOTICE Tolvex :before\r\n" + std::string(length, 'x') + "\r";
    // Sent from a thread of its own, since the window reads only while the
    // test's loop runs; the server is not asked anything meanwhile.
    std::atomic<bool> sent = false;
    std::thread sender([&] {
      server_.Send(bytes);
      server_.Send("\nNOTICE Tolvex :after\r\n");
      sent = true;
    });
    const bool done = WaitUntil([&] { return sent.load(); }, 30000);
    sender.join();
    ASSERT_TRUE(done);
    EXPECT_EQ(Deliver({}), Lines{}) << "the PING behind the line is answered";
    const std::string dropped = "Over-long line dropped: " + std::to_string(length) + " bytes";
    EXPECT_EQ(LogLines(), (Lines{"before", dropped, "after"}));
    EXPECT_TRUE(Contains(Raw(), "- " + dropped));
    form_.Memo1->clear();
  }
  EXPECT_TRUE(form_.IRCClient->Connected());
}

// A line typed before any connection, or after one has gone, stays in its
// entry with a note, and so does one too long for the write buffer.
TEST_F(FormTest, TypedLineThatCannotGoStaysInItsEntryWithANote) {
  Type(form_.Edit1, "hello");
  PressReturn(form_.Edit1);
  Enter(form_.Edit2, "WHOIS alice");
  EXPECT_EQ(form_.Edit1->text(), "hello");
  EXPECT_EQ(form_.Edit2->text(), "WHOIS alice");
  EXPECT_EQ(LogLines(), (Lines{"Line not sent: not connected", "Line not sent: not connected"}));
  EXPECT_EQ(Raw(), (Lines{"- Not sent (not connected): PRIVMSG #beginner,Tolvex :hello",
                          "- Not sent (not connected): WHOIS alice"}));

  Register();
  const QString text(10000, 'm');
  Enter(form_.Edit1, text);
  EXPECT_EQ(form_.Edit1->text(), text);
  EXPECT_EQ(LogLines(),
            Lines{"Line not sent: too long for the write buffer (10028 of 5120 bytes)"});
  EXPECT_EQ(Raw().back().substr(0, 71),
            "- Not sent (too long for the write buffer (10028 of 5120 bytes)): PRIVM");
  EXPECT_EQ(Deliver({}), Lines{}) << "nothing of it reaches the server";

  Click(form_.btnConnect);
  form_.Memo1->clear();
  PressReturn(form_.Edit2);
  EXPECT_EQ(form_.Edit2->text(), "WHOIS alice");
  EXPECT_EQ(LogLines(), Lines{"Line not sent: not connected"});
}

// A server that reads nothing: typed lines go until the write buffer is full;
// the one that finds no room stays, and every line that went arrives whole.
TEST_F(FormTest, LineForAFullWriteBufferStaysInItsEntry) {
  const LoopbackSocket listener = LoopbackSocket::Listen();
  ConnectTo(listener.Port());
  const LoopbackSocket server = listener.Accept();
  ASSERT_TRUE(server.Valid());
  ASSERT_TRUE(WaitUntil([&] { return form_.IRCClient->Connected(); }));

  const std::string line(5000, 'w');
  int written = 0;
  for (; written < 5000; ++written) {
    Enter(form_.Edit2, QString::fromStdString(line));
    if (!form_.Edit2->text().isEmpty()) break;
  }
  ASSERT_LT(written, 5000) << "the write buffer never filled";
  EXPECT_EQ(form_.Edit2->text(), QString::fromStdString(line));
  EXPECT_EQ(LogLines(), Lines{"Line not sent: the server is not reading (write buffer full)"});

  // Read now: the registration and exactly the lines that went, all whole.
  std::string received;
  Lines lines;
  const auto all_arrived = [&] {
    received += server.Receive(1 << 20, 10);
    for (std::string& taken : testsupport::TakeCrLfLines(received)) lines.push_back(taken);
    return lines.size() >= std::size_t(3 + written);
  };
  ASSERT_TRUE(WaitUntil(all_arrived, 20000)) << lines.size() << " of " << 3 + written;
  EXPECT_EQ(lines.size(), std::size_t(3 + written));
  EXPECT_EQ(received, "");
  for (std::size_t i = 3; i < lines.size(); ++i) EXPECT_EQ(lines[i], line) << i;
}

// Notes how many chat lines the window had handled whenever an event of `type`
// reached `watched`.
class Recorder : public QObject {
 public:
  Recorder(const int& handled, QObject* watched, QEvent::Type type)
      : handled_(handled), type_(type) {
    watched->installEventFilter(this);
  }
  std::vector<int> at;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == type_) at.push_back(handled_);
    return false;
  }

 private:
  const int& handled_;
  QEvent::Type type_;
};

TEST_F(FormTest, TheWindowRepaintsAndTakesKeysBetweenPartsOfABurst) {
  Register();
  constexpr int kLines = 4000;
  const auto text_of = [](int number) {
    return std::to_string(number) + " " + std::string(80, 'x');
  };
  const auto amid_burst = [](int at) { return at > 0 && at < kLines; };
  std::string burst;
  for (int i = 1; i <= kLines; ++i)
    burst += ":alice!a@host PRIVMSG #beginner :" + text_of(i) + "\r\n";
  ASSERT_GT(burst.size(), 4 * std::size_t(transport::kReadBudgetBytes));

  // The first chat line of the burst posts a key for the message entry, as if
  // the user typed while the burst came in.
  int handled = 0;
  const irc::TPrivMsgRcvd shown = form_.IRC.OnPrivMsg;
  form_.IRC.OnPrivMsg = [&](irc::TParlane& sender, const std::string& from, const std::string& id,
                            const std::string& command, const std::string& text) {
    shown(sender, from, id, command, text);
    if (++handled == 1) {
      QCoreApplication::postEvent(form_.Edit1,
                                  new QKeyEvent(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, "q"));
    }
  };
  const Recorder keys(handled, form_.Edit1, QEvent::KeyPress);
  const Recorder paints(handled, form_.ilbChat->viewport(), QEvent::Paint);

  // The burst is written at once from another thread, so that it waits on the
  // connection while the window reads.
  std::thread sender([&] { server_.Send(burst); });
  const bool all_shown = WaitUntil([&] { return handled == kLines; }, 60000);
  sender.join();
  ASSERT_TRUE(all_shown) << handled << " of " << kLines << " lines shown";

  ASSERT_EQ(keys.at.size(), 1u);
  EXPECT_TRUE(amid_burst(keys.at[0])) << keys.at[0];
  EXPECT_EQ(form_.Edit1->text(), "q");
  EXPECT_TRUE(std::any_of(paints.at.begin(), paints.at.end(), amid_burst))
      << "no paint while the burst came in; key at " << keys.at[0] << ", paints at "
      << testing::PrintToString(paints.at);

  // Every line once, in order: the list holds the newest 201, and the newest
  // is scrolled into view.
  const Lines entries = ChatEntries();
  ASSERT_EQ(entries.size(), 201u);
  EXPECT_LE(form_.ilbChat->ItemRect(200).Bottom, form_.ilbChat->viewport()->height());
  const int first = kLines - int(entries.size()) + 1;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i], "alice |" + text_of(first + int(i)));
  }
  EXPECT_EQ(Deliver({}), Lines{});
}

}  // namespace
}  // namespace unit1
