// The window's two components with the values the window gives them, and their
// events bound to the window's handlers.
#include "Unit1/unit1.h"
#include "transport/text_client.h"

namespace unit1 {

// A public IRC network that takes plain connections on port 7000.
constexpr const char* kDefaultServer = "irc.oftc.net";

void TForm1::CreateComponents() {
  IRC.SetUserName("Quillamore");
  IRC.SetNickName("Tolvex");
  IRC.SetPassword("Mossel");
  IRC.SetChannelName("#beginner");
  BindIRCEvents();

  IRCClient = std::make_unique<transport::TTextClient>(nullptr);
  IRCClient->SetAddress(kDefaultServer);
  IRCClient->SetPort("7000");
  IRCClient->SetProtocol("tcp");
  IRCClient->SetTimeOut(0);
  IRCClient->SetReadBufferSize(5120);
  IRCClient->SetWriteBufferSize(5120);
  IRCClient->SetRecordSize(16);
  IRCClient->LineType = transport::lstCRLF;
  IRCClient->LineOptions = {transport::lsoAddLineChars, transport::lsoAutoFlushAfterWrite,
                            transport::lsoReturnLineChars, transport::lsoLineReceivedEvents};
  IRCClient->OnConnect = [this](sockets::TSockCtrl& Sender, sockets::TSocketBase* Socket) {
    IRCClientConnect(Sender, Socket);
  };
  IRCClient->OnDisconnect = [this](sockets::TSockCtrl& Sender, sockets::TSocketBase* Socket) {
    IRCClientDisconnect(Sender, Socket);
  };
  IRCClient->OnAttempt = [this](sockets::TSockCtrl&, const std::string& Note) {
    RecordLine(TRawDirection::rdNote, Note);
  };
  // The log lines of one read notification are shown together at its end, or
  // a little later while the server keeps sending.
  IRCClient->OnLineReceived = [this](transport::TLineSocketBase& Socket, const std::string& Line,
                                     bool Complete) {
    Memo1->HoldLines();
    IRCClientLineReceived(Socket, Line, Complete);
  };
  IRCClient->OnRead = [this](sockets::TSockCtrl&, sockets::TSocketBase*) { Memo1->EndHold(); };
  IRCClient->OnReadBufferFull = [this](transport::TBufferedSocketBase& Socket) {
    IRCClientReadBufferFull(Socket);
  };
}

}  // namespace unit1
