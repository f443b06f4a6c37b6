// TForm1: the client's main window. The user connects to a server, is
// registered, joins and leaves one channel, chats and types raw command lines;
// what the server says is shown in the chat list, the names list and the log pane.
#pragma once

#include <QMainWindow>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "Unit1/identity.h"
#include "Unit1/line_history.h"
#include "Unit1/log_pane.h"
#include "Unit1/names_list.h"
#include "Unit1/nick_completion.h"
#include "Unit1/raw_log.h"
#include "irc/parlane.h"
#include "irc/registration.h"

class QAction;
class QCheckBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSplitter;

namespace il {
class TIndentListBox;
}
namespace sockets {
class TSockCtrl;
class TSocketBase;
}  // namespace sockets
namespace transport {
class TBufferedSocketBase;
class TTextClient;
class TLineSocketBase;
}  // namespace transport

namespace unit1 {

class TRawLogPane;

// The key code of Return (either Return key) in the key handlers.
constexpr int VK_RETURN = 13;

class TForm1 : public QMainWindow {
 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // The controls, named as the window's layout names them.
  QFrame* pnlTop;
  QPushButton* btnConnect;
  QLineEdit* ircServer;
  QLineEdit* ircPort;
  QLineEdit* ircChannel;
  QPushButton* btnJoin;
  QPushButton* btnPart;
  QCheckBox* cbnew;
  QCheckBox* cbdel;
  QCheckBox* cbcng;
  il::TIndentListBox* ilbChat;
  QFrame* pnlNames;
  TNamesList* lbNames;
  QFrame* pnlMessage;
  QLabel* Label1;
  QLabel* Label2;
  QLineEdit* Edit1;
  QLineEdit* Edit2;
  QFrame* Panel1;
  TLogPane* Memo1;
  QMenu* File1;
  QAction* Exit1;
  // Beyond the stored layout: the raw log of the connection, in a pane below
  // the chat list that View > Raw log shows and hides.
  QSplitter* splMiddle;
  TRawLogPane* pnlRawLog;
  QMenu* View1;
  QAction* RawLog1;
  // File > Identity…: who the next connection registers as, and how.
  QAction* Identity1;

  // The two components.
  irc::TParlane IRC;
  std::unique_ptr<transport::TTextClient> IRCClient;
  // Every line received and sent, always recorded.
  TRawLog RawLog;
  // Who the client registers as, read at each Connect; the identity dialog edits it.
  TIdentity Identity;

  // Handlers of the window and its controls.
  void FormCreate();
  void FormResize();
  void FormDestroy();
  void btnConnectClick();
  void IRCClientConnect(sockets::TSockCtrl& Sender, sockets::TSocketBase* Socket);
  void IRCClientDisconnect(sockets::TSockCtrl& Sender, sockets::TSocketBase* Socket);
  void IRCClientLineReceived(transport::TLineSocketBase& Socket, const std::string& Line,
                             bool Complete);
  void IRCClientReadBufferFull(transport::TBufferedSocketBase& Socket);
  void btnJoinClick();
  void btnPartClick();
  void Edit1KeyUp(int Key);
  void Edit2KeyUp(int Key);
  void Exit1Click();
  void Identity1Click();

  // Handlers of the IRC component's events.
  void IRCKill(irc::TParlane& Sender, const std::string& PersonKicked,
               const std::string& ReasonMsg);
  void IRCBan(irc::TParlane& Sender, const std::string& PersonKicked, const std::string& ReasonMsg);
  void IRCKick(irc::TParlane& Sender, const std::string& PersonKicked,
               const std::string& ReasonMsg);
  void IRCQuit(irc::TParlane& Sender, const std::string& RcvdFrom, const std::string& RcvdID,
               const std::string& RcvdCmd, const std::string& RcvdMsg);
  void IRCPart(irc::TParlane& Sender, const std::string& RcvdFrom, const std::string& RcvdID,
               const std::string& RcvdCmd, const std::string& RcvdMsg);
  void IRCReply(irc::TParlane& Sender, const std::string& RcvdFrom, const std::string& RcvdID,
                const std::string& RcvdCmd, const std::string& RcvdMsg);
  void IRCPrivMsg(irc::TParlane& Sender, const std::string& RcvdFrom, const std::string& RcvdID,
                  const std::string& RcvdCmd, const std::string& RcvdMsg);
  void IRCNotice(irc::TParlane& Sender, const std::string& RcvdFrom, const std::string& RcvdID,
                 const std::string& RcvdCmd, const std::string& RcvdMsg);
  void IRCMode(irc::TParlane& Sender, const std::string& RcvdFrom, const std::string& RcvdID,
               const std::string& RcvdCmd, const std::string& RcvdMsg);
  void IRCPing(irc::TParlane& Sender, const std::string& RcvdFrom, const std::string& RcvdID,
               const std::string& RcvdCmd, const std::string& RcvdMsg);
  void IRCError(irc::TParlane& Sender, const std::string& RcvdFrom, const std::string& RcvdID,
                const std::string& RcvdCmd, const std::string& RcvdMsg);
  void IRCJoin(irc::TParlane& Sender, const std::string& RcvdNick, const std::string& RcvdFrom,
               const std::string& RcvdID, const std::string& RcvdCmd, const std::string& RcvdMsg);
  void IRCInvite(irc::TParlane& Sender, const std::string& RcvdFrom, const std::string& RcvdID,
                 const std::string& RcvdCmd, const std::string& RcvdMsg);
  void IRCNick(irc::TParlane& Sender, const std::string& RcvdFrom, const std::string& RcvdID,
               const std::string& RcvdCmd, const std::string& RcvdMsg);
  void IRCNames(irc::TParlane& Sender, const std::string& RcvdName);
  void IRCMsgLog(irc::TParlane& Sender, const std::string& RcvdNick, const std::string& RcvdFrom,
                 const std::string& RcvdID, const std::string& RcvdCmd, const std::string& RcvdMsg,
                 const std::string& RcvdLine);
  void IRCNickAdd(irc::TParlane& Sender, const std::string& RcvdNick);
  void IRCNickSet(irc::TParlane& Sender, const std::string& RcvdNick);
  void IRCNickDel(irc::TParlane& Sender, const std::string& RcvdNick);
  void IRCNickCng(irc::TParlane& Sender, const std::string& OldNick, const std::string& NewNick);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Closing the main window ends the program, also when it closes during a
  // look-up wait that runs the loop from inside a handler.
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateControls();
  // Names for assistive technology where no caption names a control.
  void NameControls();
  void SetTabOrder();
  void CreateComponents();
  void BindIRCEvents();
  void CreateIdentityMenu();

  void OpenConnection();
  // True when the whole line went into the write buffer; otherwise the log pane
  // says why it was not sent, and nothing of it reaches the server.
  bool SendLine(const std::string& line);
  // A line that did not go out: the log pane says why, the raw log says which.
  void LineNotSent(const std::string& why, std::string_view line);
  void RecordLine(TRawDirection direction, std::string_view bytes);
  void ForwardLine(const std::string& line);
  // Registration: the lines sent on connect with the identity's values; each
  // received line, without its tags once a CAP REQ has gone out, to the engine
  // and then to the registration; each line sent, to the registration.
  void StartRegistration();
  void ReceiveLine(const std::string& line);
  void FollowRegistration(std::string_view line);
  void RegistrationLineSent(std::string_view line);
  void ResetConnection();
  // The over-long server line being dropped: true for its last piece, which
  // the log pane reports instead of the line.
  bool EndOfDroppedLine(const std::string& line);
  void ForgetDroppedLine();
  void AddChatEntry(const std::string& title, const std::string& text);
  // The entry lines' own keys: Up and Down bring back the lines sent from the
  // line, Tab in the message line completes a nickname. True when the key was
  // one of theirs.
  bool EntryKeyPress(QLineEdit* edit, const QKeyEvent& key);
  bool CompleteNick();

  // Log pane and names list, in the bytes the components carry.
  void AddLogLine(const std::string& line);
  void AddName(const std::string& nick);
  // The ban, kick and kill of the user: the log line, then QUIT and Idle.
  void PersonRemoved(const std::string& kind, const std::string& PersonKicked,
                     const std::string& ReasonMsg, const std::string& quit_line);

  // Counts the connect attempts; Cancel moves it on, which tells an attempt
  // still waiting for a look-up that it was abandoned.
  std::uint64_t connect_attempt_ = 0;
  // The bytes of an over-long server line dropped so far, while it lasts.
  bool dropping_line_ = false;
  std::size_t dropped_line_bytes_ = 0;
  // The lines sent from the message and the command line.
  TLineHistory message_history_;
  TLineHistory command_history_;
  TNickCompletion nick_completion_;
  irc::TRegistration registration_;
  // The received line without its tags, while the engine reads it.
  std::string untagged_line_;
  bool untagged_in_use_ = false;
};

}  // namespace unit1
