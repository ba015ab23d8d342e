#include "qtmessages.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace qv::gui {

MsgResult QtMessages::show(const QString& text, const QString& caption, MsgButtons buttons, MsgIcon icon) {
    QMessageBox::StandardButtons std;
    switch (buttons) {
    case MsgButtons::Ok:
        std = QMessageBox::Ok;
        break;
    case MsgButtons::OkCancel:
        std = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case MsgButtons::YesNo:
        std = QMessageBox::Yes | QMessageBox::No;
        break;
    case MsgButtons::YesNoCancel:
        std = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    }
    QMessageBox::Icon qicon = QMessageBox::NoIcon;
    switch (icon) {
    case MsgIcon::None:
        break;
    case MsgIcon::Information:
        qicon = QMessageBox::Information;
        break;
    case MsgIcon::Warning:
        qicon = QMessageBox::Warning;
        break;
    case MsgIcon::Error:
        qicon = QMessageBox::Critical;
        break;
    }
    // The core's fixed messages are marked for translation where they stand (context
    // "qv::Message") and shown here in the interface's language. An empty caption stays empty:
    // the program's messages mostly have none.
    auto shown = [](const QString& s) {
        return s.isEmpty() ? s : QCoreApplication::translate("qv::Message", s.toUtf8().constData());
    };
    QMessageBox box(qicon, shown(caption), shown(text), std, parent_);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return MsgResult::Ok;
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    case QMessageBox::Cancel:
        return MsgResult::Cancel;
    default:
        break;
    }
    // Closing the box by its title bar counts as its escape button.
    return buttons == MsgButtons::Ok      ? MsgResult::Ok
           : buttons == MsgButtons::YesNo ? MsgResult::No
                                          : MsgResult::Cancel;
}

} // namespace qv::gui
