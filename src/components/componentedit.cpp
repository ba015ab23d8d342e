// Editing components through their value dialogs. The dialogs are shared instances: what
// the previous use left in them (a ticked "Change direction", a red message) is still there.
#include <string>

#include "components/components.h"
#include "components/expression.h"
#include "components/valuedialogs.h"
#include "model/document.h"
#include "platform/numfmt.h"

namespace qv {

namespace {

/// The one-value dialogs show the value with 5 significant digits.
QString shown(Extended v) {
    return readableNumber(v, 5);
}

/// Shows a one-value dialog for `c`; answers the dialog so the caller can read the result.
template <class Dialog> Dialog& showValueDialog(NUniSetObj& c, Extended value) {
    Context* ctx = c.owner->context();
    Dialog& dlg = expressionDialog<Dialog>(*ctx);
    dlg.field("name").text = QString::fromStdString(c.name);
    dlg.field("value").text = shown(value);
    ctx->presenter()->exec(dlg);
    return dlg;
}

/// The passive one-value components: nothing changes unless OK evaluated the value.
template <class Dialog> void editValue(NUniSetObj& c, Extended& value) {
    if (!c.owner) return;
    Dialog& dlg = showValueDialog<Dialog>(c, value);
    if (dlg.failed) return;
    c.name = storableName(dlg.field("name").text.toStdString());
    value = dlg.resultValue;
    c.updateLabel();
}

} // namespace

void NUniRes::editProperties() {
    editValue<ResistorDialog>(*this, resistance);
}
void NUniInd::editProperties() {
    editValue<InductorDialog>(*this, inductance);
}
void NUniCon::editProperties() {
    editValue<CapacitorDialog>(*this, capacitance);
}

void NUniEds::editProperties() {
    if (!owner) return;
    // "Change direction" keeps whatever the previous use of the dialog left in it.
    DcVoltageSourceDialog& dlg = showValueDialog<DcVoltageSourceDialog>(*this, emf);
    if (dlg.failed) return;
    takeName(dlg.field("name").text);
    emf = dlg.resultValue;
    if (dlg.field("reverse").checked) changeDirection();
    updateLabel();
}

void NUniIst::editProperties() {
    if (!owner) return;
    Context* ctx = owner->context();
    DcCurrentSourceDialog& dlg = expressionDialog<DcCurrentSourceDialog>(*ctx);
    dlg.field("name").text = QString::fromStdString(name);
    dlg.field("reverse").checked = false;
    dlg.field("value").text = shown(current);
    ctx->presenter()->exec(dlg);
    takeName(dlg.field("name").text); // taken whichever way the dialog closed
    if (dlg.failed) return;
    if (dlg.field("reverse").checked) changeDirection();
    current = dlg.resultValue;
    updateLabel();
}

void NUniImpedance::editProperties() {
    if (!owner) return;
    Context* ctx = owner->context();
    auto& dlg = expressionDialog<ImpedanceDialog>(*ctx);
    dlg.field("name").text = QString::fromStdString(name);
    dlg.field("resistance").text = readableNumber(resistance);
    dlg.field("reactance").text = readableNumber(reactance);
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
                              ? static_cast<AcSourceDialog&>(expressionDialog<AcCurrentSourceDialog>(*ctx))
                              : static_cast<AcSourceDialog&>(expressionDialog<AcVoltageSourceDialog>(*ctx));
    AcSourceRef<NUniAcSource> ref(*this);
    dlg.element = &ref;
    struct Release { // the shared dialog must not keep pointing at `ref`, however exec ends
        AcSourceDialog& d;
        ~Release() { d.element = nullptr; }
    } release{dlg};
    ctx->presenter()->exec(dlg); // on OK the dialog writes name, value and flags itself
    // The dialog wrote the name as typed; keep it as a saved scheme would give it back.
    name = storableName(name);
    updateLabel();
    // The box counts even when the dialog was cancelled.
    if (dlg.field("reverse").checked) changeDirection();
}

void NEDSObj::editProperties() {
    if (!owner) return;
    Context* ctx = owner->context();
    auto& dlg = expressionDialog<DcVoltageSourceDialog>(*ctx);
    dlg.field("name").text = QString::fromStdString(name);
    dlg.field("value").text = readableNumber(emf);
    dlg.field("reverse").checked = orientation != 0;
    ctx->presenter()->exec(dlg);
    // Whichever button closed it: the value (when it reads), the name and the direction.
    if (!dlg.failed) {
        emf = dlg.resultValue;
    } else {
        try {
            emf = ctx->service<ExpressionEvaluator>().evaluate(dlg.field("value").text.toStdString());
        } catch (const EvalError&) {
        }
    }
    name = cutToCharacters(dlg.field("name").text.toStdString(), kNameLength);
    orientation = dlg.field("reverse").checked ? 1 : 0;
}

} // namespace qv
