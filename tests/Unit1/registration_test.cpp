// Registration through the window against the scripted server: the identity's
// lines, SASL's negotiation in each outcome, registration by hand with the
// welcomed nickname after a 433, and tagged lines once a CAP REQ has gone out.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

#include "Unit1/clear_text_password.h"
#include "Unit1/identity_dialog.h"
#include "irc/sasl_payload.h"
#include "sockets/invalid_cast.h"
#include "tests/Unit1/form_fixture.h"
#include "transport/buffered_socket.h"
#include "transport/text_client.h"

namespace unit1 {
namespace {

using Lines = std::vector<std::string>;

class RegistrationTest : public FormTest {
 protected:
  void TypeCommand(const std::string& line) {
    Enter(form_.Edit2, QString::fromStdString(line));
    ASSERT_EQ(NextLine(), line);
  }
};

TEST_F(RegistrationTest, TaggedLinesReadAsPlainOnesOnlyAfterACapReq) {
  Register();
  const auto read_budget = [this] {
    return sockets::CheckedCast<transport::TBufferedSocketBase>(*form_.IRCClient->Socket())
        .ReadBudget();
  };
  EXPECT_EQ(read_budget(), transport::kReadBudgetBytes);
  const std::string time = "@time=2024-05-01T10:00:00.000Z;msgid=Ab12 ";
  // Before any CAP REQ the engine reads "@time=…" as the command: none of
  // these is understood.
  EXPECT_EQ(Deliver({time + ":irc.test 376 Tolvex :End of MOTD",
                     time + ":alice!a@host PRIVMSG Tolvex :hello", time + "PING :tagged"}),
            Lines{});
  EXPECT_EQ(Usable(), "channel ");
  EXPECT_EQ(ChatEntries(), Lines{});

  TypeCommand("CAP REQ :server-time message-tags");
  Deliver({time + ":irc.test CAP Tolvex ACK :server-time message-tags",
           time + ":irc.test 376 Tolvex :End of MOTD"});
  EXPECT_TRUE(Contains(LogLines(), "Capabilities acknowledged: server-time message-tags"));
  // Cut tags cost next to nothing: a turn reads half again as many bytes.
  EXPECT_EQ(read_budget(), transport::kReadBudgetBytes / 2 * 3);
  Click(form_.btnJoin);
  ASSERT_EQ(NextLine(), "JOIN #beginner");
  const std::string over_long = "@huge=" + std::string(9000, 'v') + " PING :lost";
  const Lines sent = Deliver({
      time + ":Tolvex!q@host JOIN :#beginner",
      // Escapes in values: a blank, a semicolon, a backslash, CR and LF.
      "@a=x\\sy\\:z\\\\\\r\\n;+draft/b :irc.test 353 Tolvex = #beginner :Tolvex @alice",
      "@big=" + std::string(8000, 'v') + " :alice!a@host PRIVMSG #beginner :hello",
      time + "PING :tagged",
      // Beyond 8191 bytes of tags a line is over-long.
      over_long,
  });
  EXPECT_EQ(sent, Lines{"PONG tagged"});
  EXPECT_EQ(Usable(), "part ");
  EXPECT_EQ(Names(), (Lines{"@alice", "Tolvex"}));
  EXPECT_EQ(ChatEntries(), Lines{"alice |hello"});
  EXPECT_TRUE(Contains(LogLines(),
                       "Over-long line dropped: " + std::to_string(over_long.size()) + " bytes"));
  // The raw log keeps the tags.
  EXPECT_TRUE(Contains(Raw(), "< " + time + "PING :tagged"));
}

// What the server sends, then what the client answers to it.
using TSaslStep = std::pair<Lines, Lines>;

TEST_F(RegistrationTest, SaslLoginInEachOutcome) {
  const std::string credentials = irc::Base64(irc::PlainCredentials("acc", "pw"));
  const TSaslStep offered{{":irc CAP * LS :multi-prefix sasl=PLAIN,EXTERNAL"}, {"CAP REQ :sasl"}};
  const TSaslStep acknowledged{{":irc CAP * ACK :sasl"}, {"AUTHENTICATE PLAIN"}};
  const TSaslStep challenged{{"AUTHENTICATE +"}, {"AUTHENTICATE " + credentials}};
  const struct {
    const char* name;
    TSaslMechanism mechanism;
    std::vector<TSaslStep> steps;
    std::string outcome;
  } cases[] = {
      {"success",
       TSaslMechanism::smPlain,
       {offered,
        acknowledged,
        challenged,
        {{":irc 900 Tolvex Tolvex!q@h acc :You are now logged in as acc",
          ":irc 903 Tolvex :SASL authentication successful"},
         {"CAP END"}}},
       "SASL login succeeded"},
      {"failure",
       TSaslMechanism::smPlain,
       {offered,
        acknowledged,
        challenged,
        {{":irc 904 Tolvex :SASL authentication failed"}, {"CAP END"}}},
       "SASL login failed: 904 SASL authentication failed"},
      {"no sasl offered",
       TSaslMechanism::smPlain,
       {{{":irc CAP * LS :multi-prefix server-time"}, {"CAP END"}}},
       "SASL login not tried: the server offers no sasl"},
      {"refused",
       TSaslMechanism::smPlain,
       {offered, {{":irc CAP Tolvex NAK :sasl"}, {"CAP END"}}},
       "SASL login not tried: the server refused the sasl capability"},
      {"LS over several lines, EXTERNAL",
       TSaslMechanism::smExternal,
       {{{":irc CAP * LS * :multi-prefix"}, {}},
        {{":irc CAP * LS :server-time sasl"}, {"CAP REQ :sasl"}},
        {{"@t=2 :irc CAP * ACK :sasl"}, {"AUTHENTICATE EXTERNAL"}},
        {{"AUTHENTICATE +"}, {"AUTHENTICATE +"}},
        {{":irc 903 Tolvex :SASL authentication successful"}, {"CAP END"}}},
       "SASL login succeeded"},
  };
  form_.Identity.Registration = TRegistrationKind::rkSasl;
  form_.Identity.SaslAccount = "acc";
  form_.Identity.SaslPassword = "pw";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    form_.Identity.SaslMechanism = c.mechanism;
    ConnectTo(server_.Port());
    for (const char* line :
         {"CAP LS 302", "PASS Mossel", "NICK Tolvex", "USER Tolvex X Y :Quillamore"}) {
      ASSERT_EQ(NextLine(), line);
    }
    for (const auto& [server, client] : c.steps) EXPECT_EQ(Deliver(server), client);
    EXPECT_TRUE(Contains(LogLines(), c.outcome)) << testing::PrintToString(LogLines());
    // A password to this machine's own address never leaves it.
    EXPECT_FALSE(Contains(LogLines(), kClearTextPassword));
    // The connection stays, so that the tester can look.
    EXPECT_EQ(form_.btnConnect->text(), "&Cancel");
    Click(form_.btnConnect);
    ASSERT_TRUE(server_.WaitForNoClient());
  }
}

// By hand nothing goes out until the user types. After "Nickname is already in
// use" the user types another; the server's welcome names it, and the window
// knows its own JOIN by it.
TEST_F(RegistrationTest, ByHandTheWelcomedNicknameIsTheUsers) {
  form_.Identity.Registration = TRegistrationKind::rkByHand;
  ConnectTo(server_.Port());
  ASSERT_TRUE(server_.WaitForClient());
  EXPECT_EQ(Deliver({}), Lines{});
  for (const char* line : {"CAP LS 302", "NICK Tolvex", "USER Tolvex 0 * :Quillamore", "CAP END"}) {
    TypeCommand(line);
  }
  Deliver({":irc 433 * Tolvex :Nickname is already in use"});
  TypeCommand("NICK Tolvex2");
  Deliver({":irc 001 Tolvex2 :Welcome", ":irc 376 Tolvex2 :End of MOTD"});
  Click(form_.btnJoin);
  ASSERT_EQ(NextLine(), "JOIN #beginner");
  Deliver({":Tolvex2!q@host JOIN :#beginner", ":irc 353 Tolvex2 = #beginner :Tolvex2 alice",
           ":irc 366 Tolvex2 #beginner :End of NAMES list"});
  EXPECT_TRUE(form_.btnPart->isEnabled());
  EXPECT_EQ(Names(), (Lines{"alice", "Tolvex2"}));
}

// File > Identity…: a bad value keeps the dialog open with its reason; OK with
// good values changes the identity, Cancel does not.
TEST_F(RegistrationTest, IdentityDialogIsNamedAndChecksBeforeAnythingChanges) {
  struct TCase {
    QLineEdit* TIdentityDialog::*entry;
    QString text;
    QString problem;
  };
  const TCase bad[] = {
      {&TIdentityDialog::edtNickName, "", "The nickname is empty."},
      {&TIdentityDialog::edtUserName, "", "The user name is empty."},
      {&TIdentityDialog::edtNickName, "Tol vex", "The nickname holds a blank."},
      {&TIdentityDialog::edtUserName, "Quill\namore", "The user name holds a line end."},
      {&TIdentityDialog::edtPassword, "Mos sel", "The server password holds a blank."},
      {&TIdentityDialog::edtSaslAccount, "a\rb", "The SASL account holds a line end."},
      {&TIdentityDialog::edtSaslPassword, "p w", "The SASL password holds a blank."},
      {&TIdentityDialog::edtKey, "/tmp/a\nb.key", "The client key file holds a line end."},
  };
  for (const TCase& c : bad) {
    TIdentityDialog dialog(form_.Identity);
    (dialog.*c.entry)->setText(c.text);
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted) << c.text.toStdString();
    EXPECT_EQ(dialog.lblProblem->text(), c.problem);
  }

  // Its controls are named and reached from the File menu.
  {
    TIdentityDialog dialog(form_.Identity);
    dialog.show();
    ExpectNamedControls(dialog);
    int buddies = 0;
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
      if (label->buddy() != nullptr) {
        ++buddies;
        EXPECT_TRUE(label->text().contains('&')) << label->text().toStdString();
      }
    }
    EXPECT_EQ(buddies, 9);
    EXPECT_TRUE(form_.File1->actions().contains(form_.Identity1));
  }

  const TIdentity before = form_.Identity;
  // Acts on the dialog once its modal loop runs.
  const auto in_dialog = [this](const std::function<void(TIdentityDialog&)>& act) {
    auto* timer = new QTimer(&form_);
    QObject::connect(timer, &QTimer::timeout, [this, timer, act] {
      auto* dialog = form_.findChild<TIdentityDialog*>();
      if (dialog == nullptr || !dialog->isVisible()) return;
      timer->deleteLater();
      timer->stop();
      act(*dialog);
      // A dialog still open would hold the test for good.
      if (dialog->isVisible()) dialog->reject();
    });
    timer->start(10);
  };
  in_dialog([](TIdentityDialog& dialog) {
    dialog.edtNickName->setText("");
    dialog.accept();
  });
  form_.Identity1->trigger();
  EXPECT_EQ(form_.Identity, before);
  in_dialog([](TIdentityDialog& dialog) {
    dialog.edtNickName->setText("Other");
    dialog.edtCertificate->setText("/tmp/my certs/client.pem");
    dialog.cbxRegistration->setCurrentIndex(2);
    dialog.accept();
  });
  form_.Identity1->trigger();
  EXPECT_EQ(form_.Identity.NickName, "Other");
  EXPECT_EQ(form_.Identity.ClientCertificateFile, "/tmp/my certs/client.pem");
  EXPECT_EQ(form_.Identity.Registration, TRegistrationKind::rkByHand);
  EXPECT_EQ(form_.Identity.Password, before.Password);
}

}  // namespace
}  // namespace unit1
