#include "app/desktopoptions.h"

#include "model/document.h"
#include "platform/messages.h"

namespace qv {

namespace {
bool stepOf(const QString& text, int32_t& step) {
    bool ok = false;
    int v = text.trimmed().toInt(&ok);
    // A step below 1 would divide by zero when snapping.
    if (!ok || v < 1) return false;
    step = v;
    return true;
}
} // namespace

DesktopOptionsDialog::DesktopOptionsDialog() {
    addField({.id = "stepX",
              .kind = DialogField::Edit,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Snap step By X")});
    addField({.id = "stepY",
              .kind = DialogField::Edit,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Snap step By Y")});
    addField({.id = "gridColor",
              .kind = DialogField::Color,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Snap color")});
    addField({.id = "backColor",
              .kind = DialogField::Color,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Background color")});
}

bool DesktopOptionsDialog::ok() {
    int32_t x = 0, y = 0;
    if (stepOf(field("stepX").text, x) && stepOf(field("stepY").text, y)) return true;
    if (messages)
        messages->show(QStringLiteral(QT_TRANSLATE_NOOP("qv::Message", "Invalid snap step")), QString(),
                       MsgButtons::Ok);
    return false;
}

void DesktopOptionsDialog::load(const NTBEFizDisp& doc) {
    field("stepX").text = QString::number(doc.gridStepX);
    field("stepY").text = QString::number(doc.gridStepY);
    field("gridColor").color = doc.gridColor;
    field("backColor").color = doc.backColor;
}

void DesktopOptionsDialog::store(NTBEFizDisp& doc) const {
    stepOf(field("stepX").text, doc.gridStepX);
    stepOf(field("stepY").text, doc.gridStepY);
    doc.gridColor = field("gridColor").color;
    doc.backColor = field("backColor").color;
}

} // namespace qv
