// The main window's controls: their places, captions, hints, fonts, initial
// states and tab order.
#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "Il/indent_list_box.h"
#include "Unit1/irc_styler.h"
#include "Unit1/raw_log_pane.h"
#include "Unit1/unit1.h"
#include "platform/toolkit/qt_font.h"
#include "platform/winsys/guarded_call.h"
#include "transport/text_client.h"

namespace unit1 {

namespace {

// The client area of the window as it first opens.
constexpr int kClientWidth = 704;
constexpr int kClientHeight = 428;

QFrame* NewPanel(QWidget* parent, QFrame::Shadow bevel) {
  auto* panel = new QFrame(parent);
  panel->setFrameShape(bevel == QFrame::Plain ? QFrame::NoFrame : QFrame::Panel);
  panel->setFrameShadow(bevel);
  return panel;
}

template <typename Widget>
Widget* Place(Widget* widget, int left, int top, int width, int height) {
  widget->setGeometry(left, top, width, height);
  return widget;
}

QCheckBox* NewCheckBox(QWidget* parent, const char* caption, const char* hint) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
  box->setToolTip(QString::fromUtf8(hint));
  return box;
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
  CreateControls();
  CreateRawLogActions();
  NameControls();
  SetTabOrder();
  CreateComponents();
  CreateIdentityMenu();
  CreateAddressFamilyMenu();
  FormCreate();
}

TForm1::~TForm1() {
  FormDestroy();
  // The connection ends while the controls its handlers touch still exist.
  IRCClient.reset();
}

void TForm1::CreateControls() {
  setWindowTitle("IRC - Test Client");
  setFont(toolkit::ToQFont(toolkit::TFont{"MS Sans Serif", -11, toolkit::clWindowText, 0}));

  File1 = menuBar()->addMenu("&File");
  Exit1 = File1->addAction("E&xit");
  winsys::ConnectGuarded(Exit1, &QAction::triggered, this, &TForm1::Exit1Click);
  View1 = menuBar()->addMenu("&View");
  RawLog1 = View1->addAction("Raw log");
  RawLog1->setCheckable(true);
  RawLog1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));

  auto* client = new QWidget(this);
  setCentralWidget(client);
  auto* stack = new QVBoxLayout(client);
  stack->setContentsMargins(0, 0, 0, 0);
  stack->setSpacing(0);

  pnlTop = NewPanel(client, QFrame::Sunken);
  pnlTop->setFixedHeight(57);
  btnConnect = Place(new QPushButton("&Connect", pnlTop), 8, 8, 75, 25);
  ircServer = Place(new QLineEdit(pnlTop), 88, 12, 121, 21);
  ircPort = Place(new QLineEdit(pnlTop), 216, 12, 73, 21);
  cbTls = Place(NewCheckBox(pnlTop, "&TLS", "Connect with TLS"), 216, 36, 73, 17);
  winsys::ConnectGuarded(cbTls, &QCheckBox::clicked, this, &TForm1::cbTlsClick);
  connect(ircPort, &QLineEdit::textEdited, this, [this] { port_typed_ = true; });
  ircChannel = Place(new QLineEdit(pnlTop), 304, 12, 145, 21);
  btnJoin = Place(new QPushButton("&Join", pnlTop), 456, 8, 57, 25);
  btnJoin->setEnabled(false);
  btnPart = Place(new QPushButton("&Part", pnlTop), 520, 8, 49, 25);
  btnPart->setEnabled(false);
  cbnew = Place(NewCheckBox(pnlTop, "New", "Show me new user joined"), 600, 8, 57, 17);
  cbdel = Place(NewCheckBox(pnlTop, "Exit", "show me user part"), 600, 24, 49, 17);
  cbdel->setChecked(true);
  cbcng = Place(NewCheckBox(pnlTop, "Cng", "show me nick changes"), 656, 8, 97, 17);

  // The chat band, and the raw log below it when shown.
  splMiddle = new QSplitter(Qt::Vertical, client);
  splMiddle->setChildrenCollapsible(false);
  auto* band_panel = new QWidget(splMiddle);
  auto* band = new QHBoxLayout(band_panel);
  band->setContentsMargins(0, 0, 0, 0);
  band->setSpacing(0);
  ilbChat = new il::TIndentListBox(band_panel);
  ilbChat->SetFont(toolkit::TFont{"Arial", -11, toolkit::clBlack, 0});
  ilbChat->SetItemHeight(16);
  ilbChat->SetIndent(il::itab);
  ilbChat->SetDrawLines(true);
  ilbChat->SetDrawLineColor(toolkit::clSilver);
  ilbChat->SetPosIndent(100);
  ilbChat->SetTitleFontColor(toolkit::clPurple);
  ilbChat->SetTitleFontStyle(toolkit::fsItalic);
  ilbChat->SetStyler(IrcStyledText);
  ilbChat->SetAnnounceNewRows(true);
  pnlNames = NewPanel(band_panel, QFrame::Raised);
  pnlNames->setFixedWidth(126);
  auto* names = new QVBoxLayout(pnlNames);
  names->setContentsMargins(1, 1, 1, 1);
  lbNames = new TNamesList(pnlNames);
  names->addWidget(lbNames);
  band->addWidget(ilbChat, 1);
  band->addWidget(pnlNames);
  pnlRawLog = new TRawLogPane(RawLog, splMiddle);
  pnlRawLog->hide();
  splMiddle->addWidget(band_panel);
  splMiddle->addWidget(pnlRawLog);
  connect(RawLog1, &QAction::toggled, pnlRawLog, &QWidget::setVisible);

  pnlMessage = NewPanel(client, QFrame::Raised);
  pnlMessage->setFixedHeight(66);
  Label1 = Place(new QLabel("&Message:", pnlMessage), 8, 16, 46, 13);
  Label2 = Place(new QLabel("C&ommands:", pnlMessage), 8, 40, 55, 13);
  // The system's font may be wider than the one the sizes were made for.
  for (QLabel* label : {Label1, Label2}) {
    label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
  }
  Edit1 = Place(new QLineEdit(pnlMessage), 104, 12, 593, 21);
  Edit2 = Place(new QLineEdit(pnlMessage), 104, 36, 593, 21);
  // The labels name their lines, and Alt with the underlined letter goes there.
  Label1->setBuddy(Edit1);
  Label2->setBuddy(Edit2);
  pnlMessage->installEventFilter(this);
  Edit1->installEventFilter(this);
  Edit2->installEventFilter(this);

  Panel1 = NewPanel(client, QFrame::Plain);
  Panel1->setFixedHeight(125);
  auto* log = new QVBoxLayout(Panel1);
  log->setContentsMargins(0, 0, 0, 0);
  Memo1 = new TLogPane(Panel1);
  Memo1->setFont(toolkit::ToQFont(toolkit::TFont{"Terminal", -12, toolkit::clWindowText, 0}));
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setTabChangesFocus(true);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  log->addWidget(Memo1);

  stack->addWidget(pnlTop);
  stack->addWidget(splMiddle, 1);
  stack->addWidget(pnlMessage);
  stack->addWidget(Panel1);

  winsys::ConnectGuarded(btnConnect, &QPushButton::clicked, this, &TForm1::btnConnectClick);
  winsys::ConnectGuarded(btnJoin, &QPushButton::clicked, this, &TForm1::btnJoinClick);
  winsys::ConnectGuarded(btnPart, &QPushButton::clicked, this, &TForm1::btnPartClick);

  resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
  btnConnect->setFocus();
}

void TForm1::NameControls() {
  // The labels' captions end in a colon, which is not read as part of a name.
  const std::pair<QWidget*, const char*> names[] = {
      {ircServer, "Server"},   {ircPort, "Port"},  {cbTls, "TLS"},
      {ircChannel, "Channel"}, {Edit1, "Message"}, {Edit2, "Commands"},
      {ilbChat, "Chat"},       {lbNames, "Names"}, {Memo1, "Log"}};
  for (const auto& [control, name] : names) control->setAccessibleName(name);
}

// One chain through the panels in the order of their tab positions: the log
// pane, the entry lines, the top row, the names and the chat list; then the
// raw log when it shows.
void TForm1::SetTabOrder() {
  const QWidget* chain[] = {Memo1,
                            Edit1,
                            Edit2,
                            btnConnect,
                            ircServer,
                            ircPort,
                            cbTls,
                            ircChannel,
                            btnJoin,
                            btnPart,
                            cbnew,
                            cbdel,
                            cbcng,
                            lbNames,
                            ilbChat,
                            pnlRawLog->Filter(),
                            pnlRawLog->View(),
                            pnlRawLog->SendBytes()};
  for (std::size_t i = 1; i < std::size(chain); ++i) {
    setTabOrder(const_cast<QWidget*>(chain[i - 1]), const_cast<QWidget*>(chain[i]));
  }
}

// The entry lines follow the message panel, whose width is settled by the
// time it hears of its own resize.
bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize && watched == pnlMessage) {
    winsys::CallGuarded([this] { FormResize(); });
  } else if (event->type() == QEvent::KeyPress && (watched == Edit1 || watched == Edit2)) {
    bool taken = false;
    winsys::CallGuarded([&] {
      taken = EntryKeyPress(static_cast<QLineEdit*>(watched), *static_cast<QKeyEvent*>(event));
    });
    if (taken) return true;
  } else if (event->type() == QEvent::KeyRelease && (watched == Edit1 || watched == Edit2)) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (!key->isAutoRepeat()) {
      winsys::CallGuarded([this, watched, key] {
        // Both Return keys are the one Return of the window's key codes.
        const bool is_return = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const int code = is_return ? VK_RETURN : key->key();
        if (watched == Edit1) {
          Edit1KeyUp(code);
        } else {
          Edit2KeyUp(code);
        }
      });
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace unit1
