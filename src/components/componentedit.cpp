// Editing components through their value dialogs. The dialogs are shared instances: what
// the previous use left in them (a ticked "Change direction", a red message) is still there.
#include <string>

#include "components/components.h"
#include "components/komproc.h"
#include "components/valuedialogs.h"
#include "model/fizdisp.h"
#include "platform/numfmt.h"

namespace qv {

namespace {

/// `formatted` as the evaluator can read it back. The evaluator splits a number at the sign
/// of its exponent, so "1.2346E-5" would not confirm unchanged; it is written out in full
/// ("0.000012346", the same digits) while that fits into a field.
QString readable(const std::string& formatted) {
    const size_t e = formatted.find("E-");
    if (e == std::string::npos) return QString::fromStdString(formatted);
    const bool negative = formatted[0] == '-';
    std::string digits; // the mantissa has one digit before its point
    for (size_t i = negative ? 1 : 0; i < e; ++i)
        if (formatted[i] != '.') digits += formatted[i];
    const int exponent = std::stoi(formatted.substr(e + 2));
    std::string out = negative ? "-0." : "0.";
    out.append(size_t(exponent - 1), '0');
    out += digits;
    if (out.size() > size_t(komproc::kMaxLength)) return QString::fromStdString(formatted);
    return QString::fromStdString(out);
}

/// The one-value dialogs show the value with 5 significant digits.
QString shown(Extended v) {
    return readable(numfmt::general(v, 5));
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
    dlg.field("resistance").text = readable(numfmt::standard(resistance));
    dlg.field("reactance").text = readable(numfmt::standard(reactance));
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

} // namespace qv
