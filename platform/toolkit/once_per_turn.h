// TOncePerTurn: runs an action once at the next turn of the event loop, however
// often it was asked for before then. It queues behind the window's repaints
// and the socket messages already waiting, so that coalesced updates neither
// starve the repaint nor get ahead of it.
#pragma once

#include <QObject>
#include <functional>

namespace toolkit {

class TOncePerTurn : public QObject {
 public:
  explicit TOncePerTurn(std::function<void()> action, QObject* parent = nullptr);

  // Queues the action unless it is queued already.
  void Request();

 protected:
  bool event(QEvent* event) override;

 private:
  std::function<void()> action_;
  bool requested_ = false;
};

}  // namespace toolkit
