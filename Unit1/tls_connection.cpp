// The window's side of TLS: the check box and its port, the client certificate,
// the handshake's report, the question about a certificate that is not trusted,
// and the failures, each back at Connect with the reason in both logs.
#include <QCheckBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>

#include "Unit1/certificate_dialog.h"
#include "Unit1/unit1.h"
#include "platform/toolkit/text_codec.h"
#include "platform/winsys/guarded_call.h"
#include "sockets/invalid_cast.h"
#include "tls/tls_line_socket.h"
#include "transport/text_client.h"

namespace unit1 {

namespace {

constexpr const char* kPlainPort = "7000";
constexpr const char* kTlsPort = "6697";

}  // namespace

void TForm1::cbTlsClick() {
  // Only the port the program put there follows the box; a typed one stays.
  const QString port = ircPort->text();
  if (cbTls->isChecked() && port == kPlainPort) {
    ircPort->setText(kTlsPort);
  } else if (!cbTls->isChecked() && port == kTlsPort && !port_typed_) {
    ircPort->setText(kPlainPort);
  }
}

sockets::TSocketClass TForm1::ConnectionClass() const {
  return cbTls->isChecked() ? sockets::TSocketClass::Of<tls::TTlsLineSocket>()
                            : transport::TTextClient::LineSocketClass();
}

bool TForm1::PrepareTls(const std::string& server) {
  if (!cbTls->isChecked()) return true;
  std::shared_ptr<const tls::TClientCertificate> certificate;
  if (!ClientCertificateFor(certificate)) return false;
  auto& socket = sockets::CheckedCast<tls::TTlsLineSocket>(*IRCClient->Socket());
  socket.ServerName = server;
  socket.ClientCertificate = std::move(certificate);
  socket.HandshakeTimeOutMs = tls_handshake_time_out_ms_;
  socket.OnHandshake = [this](tls::TTlsLineSocket& Socket, const tls::TTlsFacts& Facts) {
    TlsHandshake(Socket, Facts);
  };
  socket.OnFailure = [this](tls::TTlsLineSocket&, const std::string& Reason) {
    AddLogLine(Reason);
    RecordLine(TRawDirection::rdNote, Reason);
    ResetConnection();
  };
  return true;
}

// The certificate is read once a run for the files given; a passphrase is asked
// for then. False when it cannot be had: the log pane says why, and the user's
// cancel of the passphrase is no error.
bool TForm1::ClientCertificateFor(std::shared_ptr<const tls::TClientCertificate>& certificate) {
  const std::string& file = Identity.ClientCertificateFile;
  const std::string& key_file = Identity.ClientKeyFile;
  if (file.empty()) return true;
  if (client_certificate_ && client_certificate_files_ == file + '\n' + key_file) {
    certificate = client_certificate_;
    return true;
  }
  std::string passphrase;
  for (;;) {
    tls::TClientCertificateLoad load = tls::LoadClientCertificate(file, key_file, passphrase);
    if (load.Outcome == tls::TClientCertificateLoad::kLoaded) {
      client_certificate_ = certificate = std::move(load.Certificate);
      client_certificate_files_ = file + '\n' + key_file;
      return true;
    }
    if (load.Outcome == tls::TClientCertificateLoad::kFailed && passphrase.empty()) {
      AddLogLine("Client certificate not used: " + load.Error);
      RecordLine(TRawDirection::rdNote, "Client certificate not used: " + load.Error);
      return false;
    }
    const QString prompt = load.Outcome == tls::TClientCertificateLoad::kFailed
                               ? toolkit::DisplayText(load.Error + ". Passphrase:")
                               : "Passphrase of the key in " +
                                     toolkit::DisplayText(key_file.empty() ? file : key_file) + ":";
    bool given = false;
    const QString typed = QInputDialog::getText(this, "Client certificate", prompt,
                                                QLineEdit::Password, QString(), &given);
    if (!given) {
      RecordLine(TRawDirection::rdNote, "Cancelled");
      return false;
    }
    passphrase = toolkit::TypedText(typed);
  }
}

void TForm1::TlsHandshake(tls::TTlsLineSocket& Socket, const tls::TTlsFacts& Facts) {
  RecordLine(TRawDirection::rdNote,
             "TLS handshake done: " + Facts.Protocol + ", cipher " + Facts.Cipher);
  RecordLine(TRawDirection::rdNote, "Server certificate: subject " + Facts.Subject + "; issuer " +
                                        Facts.Issuer + "; valid from " + Facts.NotBefore +
                                        " until " + Facts.NotAfter);
  RecordLine(TRawDirection::rdNote,
             "SHA-256 fingerprint " + Facts.Fingerprint +
                 (Facts.Verified ? ", verified" : ", not verified: " + Facts.VerifyError));
  // The log pane hears of it with the connect, which starts it afresh.
  tls_summary_ = "TLS " + Facts.Protocol + " with " + Facts.Cipher;
  if (CommandLinePinnedCertificate(Socket, Facts)) return;
  if (Facts.Verified) return;
  const std::string where =
      toolkit::TypedText(ircServer->text()) + " port " + toolkit::TypedText(ircPort->text());
  const auto trusted = trusted_certificates_.find(where);
  if (trusted != trusted_certificates_.end() && trusted->second == Facts.Fingerprint) {
    RecordLine(TRawDirection::rdNote, "Certificate trusted earlier in this run");
    Socket.Proceed();
    return;
  }
  RecordLine(TRawDirection::rdNote, "Waiting for the user's decision on the certificate");
  auto* dialog = new TCertificateDialog(this, where, Facts);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  certificate_dialog_ = dialog;
  const std::uint64_t attempt = connect_attempt_;
  winsys::ConnectGuarded(
      dialog, &QDialog::finished, this,
      [this, dialog, attempt, where, fingerprint = Facts.Fingerprint](int result) {
        if (certificate_dialog_ == dialog) certificate_dialog_ = nullptr;
        // The connection ended while the question was open.
        if (attempt != connect_attempt_) return;
        auto* socket = dynamic_cast<tls::TTlsLineSocket*>(IRCClient->Socket());
        if (socket == nullptr || !socket->AwaitingDecision()) return;
        if (result != QDialog::Accepted) {
          RecordLine(TRawDirection::rdNote, "Cancelled");
          ResetConnection();
          return;
        }
        trusted_certificates_[where] = fingerprint;
        RecordLine(TRawDirection::rdNote, "Certificate trusted until the program ends");
        socket->Proceed();
      });
  dialog->open();
}

void TForm1::CloseCertificateDialog() {
  if (certificate_dialog_ == nullptr) return;
  QDialog* dialog = certificate_dialog_;
  certificate_dialog_ = nullptr;
  dialog->close();
}

}  // namespace unit1
