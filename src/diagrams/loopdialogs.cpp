#include "diagrams/loopdialogs.h"

#include <algorithm>

#include "diagrams/loop.h"
#include "diagrams/looplist.h"
#include "model/document.h"

namespace qv {

// ---- LoopListDialog ----

LoopListDialog::LoopListDialog() {
    addField({.id = "info", .kind = DialogField::Label, .text = "Loop info"});
    addField({.id = "maxQuantity",
              .kind = DialogField::Label,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Max quantity of loopd")});
    addField(
        {.id = "formed", .kind = DialogField::Label, .label = QT_TRANSLATE_NOOP("qv::Dialog", "Formed")});
    addField({.id = "loops", .kind = DialogField::ListBox, .choice = -1});
}

void LoopListDialog::show() {
    refill();
}

NFCont* LoopListDialog::loopAt(int line) const {
    return line >= 0 && line < int(lineLoops_.size()) ? lineLoops_[size_t(line)] : nullptr;
}

void LoopListDialog::refill() {
    lineLoops_.clear();
    QStringList lines;
    for (int i = 0; list && i < list->count(); ++i) {
        NFCont* loop = list->get(i);
        lineLoops_.push_back(loop);
        lines << (QStringLiteral("Loop ") + QString::fromStdString(loop->name)).left(25);
    }
    DialogField& f = field("loops");
    f.items = lines;
    f.choice = -1;
    field("maxQuantity").text = QString::number(NContDisp::kMaxLoops);
    field("formed").text = QString::number(lineLoops_.size());
}

void LoopListDialog::pressed(const QString& button) {
    NFCont* loop = loopAt(field("loops").choice);
    if (!loop || !list) return;
    if (button == QLatin1String("Delete"))
        list->remove(loop);
    else if (button == QLatin1String("View"))
        loop->editProperties();
    else
        return;
    refill();
}

// ---- LoopPropertiesDialog ----

LoopPropertiesDialog::LoopPropertiesDialog() {
    addField(
        {.id = "name", .kind = DialogField::Edit, .label = QT_TRANSLATE_NOOP("qv::Dialog", "Loop name")});
    addField({.id = "branches",
              .kind = DialogField::ListBox,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Loop Branches"),
              .choice = -1});
    addField(
        {.id = "color", .kind = DialogField::ColorBox, .label = QT_TRANSLATE_NOOP("qv::Dialog", "Color")});
}

void LoopPropertiesDialog::pressed(const QString& button) {
    if (button != QLatin1String("Change direction")) return;
    direction_ = direction_ ? 0 : 1;
    QStringList& lines = field("branches").items;
    std::reverse(lines.begin(), lines.end());
}

// ---- commands ----

void showLoopsList(NTBEFizDisp& doc) {
    doc.loops().showList();
}

} // namespace qv
