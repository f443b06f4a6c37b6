// What the window benchmarks do before they press Connect: aim the real window
// at the loopback peer and note when its connection ends, keeping the window's
// own disconnect handling.
#pragma once

#include <QLineEdit>
#include <QString>
#include <cstdint>

#include "Unit1/unit1.h"
#include "transport/text_client.h"

namespace bench {

inline void AimWindowAt(unit1::TForm1& form, std::uint16_t port, bool& ended) {
  const sockets::TSocketEvent disconnect = form.IRCClient->OnDisconnect;
  form.IRCClient->OnDisconnect = [&ended, disconnect](sockets::TSockCtrl& sender,
                                                      sockets::TSocketBase* socket) {
    ended = true;
    disconnect(sender, socket);
  };
  form.ircServer->setText("127.0.0.1");
  form.ircPort->setText(QString::number(port));
}

}  // namespace bench
