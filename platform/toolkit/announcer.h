// TAnnouncer: says a short text to assistive technology, politely (after what
// is being read) and without moving the focus. Qt has an announcement event
// from 6.8 on; before that the announcer stands as a notification whose name
// is the text, shown anew with each text, which screen readers present as it
// comes.
#pragma once

#include <QAccessibleObject>
#include <QObject>
#include <QString>

class QWidget;

namespace toolkit {

class TAnnouncer : public QObject {
 public:
  // The announcements come from `source`, which owns the announcer.
  explicit TAnnouncer(QWidget* source);

  QWidget* Source() const;
  // The latest text announced.
  const QString& Text() const { return text_; }
  void Announce(const QString& text);

 private:
  QString text_;
};

// The announcer as a notification, beside its source.
class TAnnouncementAccessible : public QAccessibleObject {
 public:
  explicit TAnnouncementAccessible(TAnnouncer* announcer);

  QAccessibleInterface* parent() const override;
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QString text(QAccessible::Text t) const override;
  QAccessible::Role role() const override { return QAccessible::Notification; }
  QAccessible::State state() const override { return {}; }
};

}  // namespace toolkit
