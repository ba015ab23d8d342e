// Editing components through their value dialogs. The dialogs are shared instances: what
// the previous use left in them (a ticked "Change direction", a red message) is still there.
#include "components/components.h"
#include "components/valuedialogs.h"
#include "model/fizdisp.h"
#include "platform/numfmt.h"

namespace qv {

namespace {

/// The DC value dialogs show the value with 5 significant digits.
QString shown(Extended v) { return QString::fromStdString(numfmt::general(v, 5)); }

/// Shows a one-value dialog for `c`; answers the dialog so the caller can read the result.
template <class Dialog>
Dialog& showValueDialog(NUniSetObj& c, Extended value) {
    Context* ctx = c.owner->context();
    Dialog& dlg = expressionDialog<Dialog>(*ctx);
    dlg.field("name").text = QString::fromStdString(c.name);
    dlg.field("value").text = shown(value);
    ctx->presenter()->exec(dlg);
    return dlg;
}

/// The passive one-value components: nothing changes unless OK evaluated the value.
template <class Dialog>
void editValue(NUniSetObj& c, Extended& value) {
    if (!c.owner) return;
    Dialog& dlg = showValueDialog<Dialog>(c, value);
    if (dlg.failed) return;
    c.name = dlg.field("name").text.left(20).toStdString();
    value = dlg.resultValue;
    c.updateLabel();
}

} // namespace

void NUniRes::editProperties() { editValue<TForm9>(*this, resistance); }
void NUniInd::editProperties() { editValue<TFInductanceInput>(*this, inductance); }
void NUniCon::editProperties() { editValue<TUniCapacitorParInput>(*this, capacitance); }

void NUniEds::editProperties() {
    if (!owner) return;
    // "Change direction" keeps whatever the previous use of the dialog left in it.
    TForm3& dlg = showValueDialog<TForm3>(*this, emf);
    if (dlg.failed) return;
    takeName(dlg.field("name").text);
    emf = dlg.resultValue;
    if (dlg.field("reverse").checked) changeDirection();
    updateLabel();
}

void NUniIst::editProperties() {
    if (!owner) return;
    Context* ctx = owner->context();
    TForm5& dlg = expressionDialog<TForm5>(*ctx);
    dlg.field("name").text = QString::fromStdString(name);
    dlg.field("reverse").checked = false;
    dlg.field("value").text = shown(current);
    ctx->presenter()->exec(dlg);
    takeName(dlg.field("name").text);  // taken whichever way the dialog closed
    if (dlg.failed) return;
    if (dlg.field("reverse").checked) changeDirection();
    current = dlg.resultValue;
    updateLabel();
}

void NUniImpedance::editProperties() {
    if (!owner) return;
    Context* ctx = owner->context();
    auto& dlg = expressionDialog<TImpedanceinputDlg>(*ctx);
    dlg.field("name").text = QString::fromStdString(name);
    dlg.field("resistance").text = QString::fromStdString(numfmt::standard(resistance));
    dlg.field("reactance").text = QString::fromStdString(numfmt::standard(reactance));
    ctx->presenter()->exec(dlg);
    if (dlg.failed) return;
    takeName(dlg.field("name").text);
    resistance = dlg.resultR;
    reactance = dlg.resultX;
    updateLabel();
}

void NUniAcSource::editProperties() {
    if (!owner) return;
    Context* ctx = owner->context();
    AcSourceDialog& dlg = dynamic_cast<NUniCompCurSource*>(this)
                              ? static_cast<AcSourceDialog&>(expressionDialog<TCompCSDlg>(*ctx))
                              : static_cast<AcSourceDialog&>(expressionDialog<TCompEMFDlg>(*ctx));
    AcSourceRef<NUniAcSource> ref(*this);
    dlg.element = &ref;
    ctx->presenter()->exec(dlg);  // on OK the dialog writes name, value and flags itself
    dlg.element = nullptr;
    updateLabel();
    // The box counts even when the dialog was cancelled.
    if (dlg.field("reverse").checked) changeDirection();
}

} // namespace qv
