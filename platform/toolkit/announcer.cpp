// TAnnouncer: the announcement event where Qt has one, else a notification.
#include "platform/toolkit/announcer.h"

#include <QWidget>
#include <QtGlobal>

#include "platform/toolkit/accessibility_events.h"
#include "platform/toolkit/list_box_accessible.h"

namespace toolkit {

TAnnouncer::TAnnouncer(QWidget* source) : QObject(source) {
  InstallAccessibleFactory();
}

QWidget* TAnnouncer::Source() const {
  return static_cast<QWidget*>(parent());
}

void TAnnouncer::Announce(const QString& text) {
  text_ = text;
  if (!AccessibilityHeard()) return;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
  QAccessibleAnnouncementEvent event(Source(), text);
  event.setPoliteness(QAccessible::AnnouncementPoliteness::Polite);
  RaiseAccessibilityEvent(event);
#else
  QAccessibleEvent renamed(this, QAccessible::NameChanged);
  RaiseAccessibilityEvent(renamed);
  QAccessibleEvent shown(this, QAccessible::ObjectShow);
  RaiseAccessibilityEvent(shown);
#endif
}

TAnnouncementAccessible::TAnnouncementAccessible(TAnnouncer* announcer)
    : QAccessibleObject(announcer) {}

QAccessibleInterface* TAnnouncementAccessible::parent() const {
  return QAccessible::queryAccessibleInterface(static_cast<TAnnouncer*>(object())->Source());
}

QString TAnnouncementAccessible::text(QAccessible::Text t) const {
  return t == QAccessible::Name ? static_cast<TAnnouncer*>(object())->Text() : QString();
}

}  // namespace toolkit
