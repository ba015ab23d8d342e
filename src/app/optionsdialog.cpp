#include "app/optionsdialog.h"

#include "model/document.h"

namespace qv {

OptionsDialog::OptionsDialog() {
    addField({.id = "image",
              .kind = DialogField::Check,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Insert Schem image to report")});
    addField({.id = "initial",
              .kind = DialogField::Check,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Insert inital data to report")});
    addField({.id = "zero",
              .kind = DialogField::Check,
              .label = QString::fromUtf8(QT_TRANSLATE_NOOP(
                  "qv::Dialog", "Delete branches with zero resistance\r\nперед расчетом"))});
    addField({.id = "target",
              .kind = DialogField::Radio,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Out put report to "),
              .items = {QT_TRANSLATE_NOOP("qv::Dialog", "Microsoft Word 7.0"),
                        QT_TRANSLATE_NOOP("qv::Dialog", "Microsoft Word 97"),
                        QT_TRANSLATE_NOOP("qv::Dialog", "Internal editor")},
              .itemEnabled = {false, false, true}});
    // No word processor can be driven from here: the two choices stay visible but greyed.
    addField({.id = "targetNote",
              .kind = DialogField::Label,
              .text = "Word processors cannot be driven on this system; the report goes to the internal "
                      "editor."});
    addField({.id = "acResults",
              .kind = DialogField::Radio,
              .label = kAcResultsCaption,
              .items = {kAcPolarCaption, kAcRectangularCaption}});
    field("acResults").choice = 0;
}

void OptionsDialog::loadAcFormat(AcResultFormat format) {
    field("acResults").choice = format == AcResultFormat::Rectangular ? 1 : 0;
}

AcResultFormat OptionsDialog::acFormat() const {
    return field("acResults").choice == 1 ? AcResultFormat::Rectangular : AcResultFormat::Polar;
}

void OptionsDialog::load(const NTBEFizDisp& doc) {
    field("image").checked = doc.insertSchemeImage != 0;
    field("initial").checked = doc.insertInitialData != 0;
    field("zero").checked = doc.deleteZeroBranches != 0;
    field("target").choice = doc.reportTarget <= 2 ? doc.reportTarget : 2;
}

void OptionsDialog::store(NTBEFizDisp& doc) const {
    doc.insertSchemeImage = field("image").checked ? 1 : 0;
    doc.insertInitialData = field("initial").checked ? 1 : 0;
    doc.deleteZeroBranches = field("zero").checked ? 1 : 0;
    const DialogField& target = field("target");
    const int c = target.choice;
    if (c >= 0 && c <= 2 && (size_t(c) >= target.itemEnabled.size() || target.itemEnabled[size_t(c)]))
        doc.reportTarget = uint8_t(c);
}

} // namespace qv
