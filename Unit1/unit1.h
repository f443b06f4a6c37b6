// TForm1: the client's main window. The user connects to a server, is
// registered, joins and leaves one channel, chats and types raw command lines;
// what the server says is shown in the chat list, the names list and the log pane.
#pragma once

#include <QMainWindow>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "Unit1/command_line.h"
#include "Unit1/identity.h"
#include "Unit1/line_history.h"
#include "Unit1/log_pane.h"
#include "Unit1/names_list.h"
#include "Unit1/nick_completion.h"
#include "irc/parlane.h"
#include "irc/registration.h"
#include "rawlog/raw_log.h"
#include "sockets/socket_class.h"

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
namespace tls {
class TClientCertificate;
class TTlsLineSocket;
struct TTlsFacts;
}  // namespace tls
namespace transport {
class TBufferedSocketBase;
class TTextClient;
class TLineSocketBase;
}  // namespace transport

namespace unit1 {

class TCertificateDialog;
class TRawLogPane;
using rawlog::TRawDirection;
using rawlog::TRawLog;

// The key code of Return (either Return key) in the key handlers.
constexpr int VK_RETURN = 13;

class TForm1 : public QMainWindow {
 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;
  // Tests wait less for a TLS server that does not finish its handshake.
  void SetTlsHandshakeTimeOut(unsigned ms) { tls_handshake_time_out_ms_ = ms; }

  // The controls, named as the window's layout names them.
  QFrame* pnlTop;
  QPushButton* btnConnect;
  QLineEdit* ircServer;
  QLineEdit* ircPort;
  // Beyond the stored layout: TLS for the next Connect, under the port.
  QCheckBox* cbTls;
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
  // File > Save raw log… and View > Clear raw log.
  QAction* SaveRawLog1;
  QAction* ClearRawLog1;
  // File > Identity…: who the next connection registers as, and how.
  QAction* Identity1;
  // Connection > Address family: Any, IPv4 only, IPv6 only.
  QMenu* Connection1;
  QMenu* AddressFamily1;

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
  void cbTlsClick();
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
  // The raw log: saving asks for a file, then writes the lines the pane shows
  // without holding the window (SaveRawLog); Clear empties it; Send bytes
  // sends exact bytes and is true when they went out.
  void SaveRawLog1Click();
  void SaveRawLog(const QString& path);
  void ClearRawLog1Click();
  bool SendBytes(const QString& text);
  void Identity1Click();
  // The command line's settings: the fields and the identity as if typed, and
  // Connect pressed once the loop runs when it asks to connect.
  void ApplyStartSettings(const TStartSettings& settings);

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
  void CreateRawLogActions();
  void BindIRCEvents();
  void CreateIdentityMenu();
  void CreateAddressFamilyMenu();
  // False, with the reason in both logs, for a server entry that is no address.
  bool ServerAddressReadable(const std::string& server);

  void OpenConnection();
  // TLS: the socket class of the next connection; the TLS socket's settings
  // and events (false when the client certificate cannot be had); the
  // handshake's report and the question about an untrusted certificate.
  sockets::TSocketClass ConnectionClass() const;
  bool PrepareTls(const std::string& server);
  bool ClientCertificateFor(std::shared_ptr<const tls::TClientCertificate>& certificate);
  void TlsHandshake(tls::TTlsLineSocket& Socket, const tls::TTlsFacts& Facts);
  void CloseCertificateDialog();
  // True when the whole line went into the write buffer; otherwise the log pane
  // says why it was not sent, and nothing of it reaches the server.
  bool SendLine(const std::string& line);
  // Puts the bytes, with the line end or without, into the write buffer, all
  // or nothing, and records them as sent; otherwise says why they did not go.
  std::optional<std::string> WriteOut(std::string_view bytes, bool add_line_end);
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

  // What the command line asks of each connection: the script once registered,
  // Join once enabled, and only the pinned certificates (true when they decided).
  void CommandLineConnected();
  void CommandLineRegistered();
  void CommandLineJoinEnabled();
  bool CommandLinePinnedCertificate(tls::TTlsLineSocket& Socket, const tls::TTlsFacts& Facts);
  TStartSettings start_settings_;
  TScriptRunner script_runner_;
  bool script_started_ = false;
  bool auto_joined_ = false;

  // Counts the connect attempts; Cancel moves it on, which tells an attempt
  // still waiting for a look-up that it was abandoned.
  std::uint64_t connect_attempt_ = 0;
  // From the connect event to the end of the connection: lines may be sent,
  // and the lines received are counted (none at all from a plain connection
  // that ends hints at a TLS port).
  bool connection_open_ = false;
  std::uint64_t lines_received_ = 0;
  // The port entry was typed in since the TLS box last put a port there.
  bool port_typed_ = false;
  // Certificates the user chose to trust, by "server port PORT", for this run.
  std::map<std::string, std::string> trusted_certificates_;
  TCertificateDialog* certificate_dialog_ = nullptr;
  std::shared_ptr<const tls::TClientCertificate> client_certificate_;
  std::string client_certificate_files_;
  // The log pane's line on the last handshake: version and cipher.
  std::string tls_summary_;

  // How long a TLS server may take to finish its handshake.
  unsigned tls_handshake_time_out_ms_ = 15000;
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
