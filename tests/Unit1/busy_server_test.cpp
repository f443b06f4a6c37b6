// The window against a server that never pauses: one long burst is read in
// parts, and between them the window repaints and takes the user's keys.
#include <QCoreApplication>
#include <QKeyEvent>
#include <algorithm>
#include <thread>

#include "tests/Unit1/form_fixture.h"
#include "transport/buffered_socket.h"

namespace unit1 {
namespace {

// Notes how many chat lines the window had handled when a key reached the
// message entry and when the chat list was painted.
class Recorder : public QObject {
 public:
  Recorder(const int& handled, QObject* keys, QObject* paints)
      : handled_(handled), keys_(keys), paints_(paints) {}

  std::vector<int> keys_at;
  std::vector<int> paints_at;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == keys_ && event->type() == QEvent::KeyPress) keys_at.push_back(handled_);
    if (watched == paints_ && event->type() == QEvent::Paint) paints_at.push_back(handled_);
    return false;
  }

 private:
  const int& handled_;
  QObject* keys_;
  QObject* paints_;
};

std::string ChatText(int number) {
  return std::to_string(number) + " " + std::string(80, 'x');
}

std::string ChatLine(int number) {
  return ":alice!a@host PRIVMSG #beginner :" + ChatText(number) + "\r\n";
}

bool Between(int value, int low, int high) {
  return value > low && value < high;
}

TEST_F(FormTest, TheWindowRepaintsAndTakesKeysBetweenPartsOfABurst) {
  Register();
  constexpr int kLines = 4000;
  std::string burst;
  for (int i = 1; i <= kLines; ++i) burst += ChatLine(i);
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
  Recorder recorder(handled, form_.Edit1, form_.ilbChat->viewport());
  form_.Edit1->installEventFilter(&recorder);
  form_.ilbChat->viewport()->installEventFilter(&recorder);

  // The burst is written at once from another thread, so that it waits on the
  // connection while the window reads.
  std::thread sender([&] { server_.Send(burst); });
  const bool all_shown = testsupport::WaitUntil([&] { return handled == kLines; }, 60000);
  sender.join();
  ASSERT_TRUE(all_shown) << handled << " of " << kLines << " lines shown";

  ASSERT_EQ(recorder.keys_at.size(), 1u);
  EXPECT_TRUE(Between(recorder.keys_at[0], 0, kLines)) << recorder.keys_at[0];
  EXPECT_EQ(form_.Edit1->text(), "q");
  EXPECT_TRUE(std::any_of(recorder.paints_at.begin(), recorder.paints_at.end(),
                          [](int at) { return Between(at, 0, kLines); }))
      << "no paint while the burst came in; key at " << recorder.keys_at[0] << ", paints at "
      << testing::PrintToString(recorder.paints_at);

  // Every line once, in order: the list holds the newest ones.
  const std::vector<std::string> entries = ChatEntries();
  ASSERT_FALSE(entries.empty());
  const int first = kLines - int(entries.size()) + 1;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i], "alice |" + ChatText(first + int(i)));
  }
  EXPECT_EQ(Deliver({}), std::vector<std::string>{});
}

}  // namespace
}  // namespace unit1
