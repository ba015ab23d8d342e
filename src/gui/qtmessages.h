#pragma once
// Message boxes of the core, shown as Qt message boxes.
#include <QList> // messages.h uses QList without including it

#include "platform/messages.h"

class QWidget;

namespace qv::gui {

class QtMessages : public Messages {
  public:
    explicit QtMessages(QWidget* parent = nullptr) : parent_(parent) {}
    MsgResult show(const QString& text, const QString& caption, MsgButtons buttons,
                   MsgIcon icon = MsgIcon::None) override;

  private:
    QWidget* parent_;
};

} // namespace qv::gui
