#include "components/branchdialogs.h"

namespace qv {

NodeDialog::NodeDialog() {
    addField({.id = "name", .kind = DialogField::Edit, .label = QT_TRANSLATE_NOOP("qv::Dialog", "Name")});
    addField({.id = "ungrounded",
              .kind = DialogField::Check,
              .label = QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Dialog", "Убрать заземление")),
              .visible = false});
}

void NodeDialog::show() {
    field("ungrounded").checked = false;
}

BranchDialog::BranchDialog() {
    addField({.id = "name",
              .kind = DialogField::Edit,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Name"),
              .maxLength = 5});
    addField({.id = "arrows",
              .kind = DialogField::Check,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Arrow in branch")});
    addField({.id = "reverse",
              .kind = DialogField::Check,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Change direction")});
}

void BranchDialog::show() {
    field("reverse").checked = false;
}

} // namespace qv
