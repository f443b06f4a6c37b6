// Connection > Address family: which addresses a server's name may give the
// next connects, for the rest of the run; and the words for a server entry
// that holds no address.
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "Unit1/unit1.h"
#include "platform/toolkit/text_codec.h"
#include "platform/winsys/guarded_call.h"
#include "sockets/address_text.h"
#include "transport/text_client.h"

namespace unit1 {

void TForm1::CreateAddressFamilyMenu() {
  Connection1 = new QMenu("Co&nnection", this);
  menuBar()->insertMenu(View1->menuAction(), Connection1);
  AddressFamily1 = Connection1->addMenu("Address &family");
  auto* group = new QActionGroup(AddressFamily1);
  const struct {
    const char* caption;
    sockets::TAddressFamily family;
  } choices[] = {{"&Any", sockets::afAny},
                 {"IPv&4 only", sockets::afIPv4Only},
                 {"IPv&6 only", sockets::afIPv6Only}};
  for (const auto& choice : choices) {
    QAction* action = AddressFamily1->addAction(choice.caption);
    action->setCheckable(true);
    action->setChecked(IRCClient->AddressFamily() == choice.family);
    group->addAction(action);
    winsys::ConnectGuarded(action, &QAction::triggered, this,
                           [this, family = choice.family] { IRCClient->SetAddressFamily(family); });
  }
}

bool TForm1::ServerAddressReadable(const std::string& server) {
  if (sockets::AddressForm(server) != sockets::TAddressForm::afUnreadable) return true;
  const std::string why = "\"" + server +
                          "\" is no address: an IPv6 address is written like ::1, "
                          "[2001:db8::7] or fe80::1%eth0, with an interface that exists";
  AddLogLine("Not connected: " + why);
  RecordLine(TRawDirection::rdNote, "Not connected: " + why);
  return false;
}

}  // namespace unit1
