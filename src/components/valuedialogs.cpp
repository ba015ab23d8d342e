#include "components/valuedialogs.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

#include "components/circuitelement.h"
#include "platform/numfmt.h"

namespace qv {

namespace {

constexpr Extended kPi = std::numbers::pi_v<Extended>;

QString u8(const char* s) {
    return QString::fromUtf8(s);
}
/// `formatted` as the evaluator can read it back. The evaluator splits a number at the sign
/// of its exponent, so "1.2346E-5" would not confirm unchanged; it is written out in full
/// ("0.000012346", the same digits) while that fits into a field.
QString readableText(const std::string& formatted) {
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
    if (out.size() > size_t(ExpressionEvaluator::kMaxLength)) return QString::fromStdString(formatted);
    return QString::fromStdString(out);
}

QString text(Extended v) {
    return readableNumber(v);
}

DialogField errorLabel() {
    return {.id = "error", .kind = DialogField::Label, .color = DcValueDialog::kErrorColour};
}

} // namespace

QString readableNumber(Extended v, int digits) {
    return readableText(digits > 0 ? numfmt::general(v, digits) : numfmt::standard(v));
}

Extended ExpressionDialog::evaluate(const QString& text) const {
    if (!evaluator_) throw std::logic_error("dialog \"" + caption().toStdString() + "\" has no evaluator");
    return evaluator_->evaluate(text.toStdString());
}

// ---------------------------------------------------------------------------------------

DcValueDialog::DcValueDialog(const Texts& t)
    : caption_(u8(t.caption)), errorMessage_(u8(t.errorMessage)), clearsErrorOnShow_(t.clearsErrorOnShow),
      okClosesAlways_(t.okClosesAlways) {
    addField({.id = "value", .kind = DialogField::Edit, .label = u8(t.valueLabel)});
    addField({.id = "name", .kind = DialogField::Edit, .label = u8(t.nameLabel)});
    if (t.hasReverse)
        addField({.id = "reverse",
                  .kind = DialogField::Check,
                  .label = QT_TRANSLATE_NOOP("qv::Dialog", "Change direction")});
    addField(errorLabel());
}

void DcValueDialog::show() {
    failed = 1;
    if (clearsErrorOnShow_) field("error").text.clear();
}

bool DcValueDialog::ok() {
    failed = 0;
    try {
        resultValue = evaluate(field("value").text);
        return true;
    } catch (const EvalError&) {
        failed = 1;
        DialogField& error = field("error");
        error.text = errorMessage_;
        error.color = kErrorColour;
        return okClosesAlways_;
    }
}

DcVoltageSourceDialog::DcVoltageSourceDialog()
    : DcValueDialog({"DC Voltage source", " EMF, V", "Object name", "Ошибка при вводе величины ЭДС", true,
                     true, false}) {}

DcCurrentSourceDialog::DcCurrentSourceDialog()
    : DcValueDialog({"DC Current source", "Current, Amps ", "Name", "Ошибка при вводе величины тока", true,
                     false, true}) {}

ResistorDialog::ResistorDialog()
    : DcValueDialog({"Resistor", "Resistance, Ohm", "Name", "Ошибка при вводе величины сопротивления", false,
                     true, false}) {}

CapacitorDialog::CapacitorDialog()
    : DcValueDialog({"Capacitor", "Capacity, mkF", "Name", "Input error", false, false, false}) {}

InductorDialog::InductorDialog()
    : DcValueDialog({"Inductance", "Inductance, Gn", "Name", "Input error", false, false, true}) {}

// ---------------------------------------------------------------------------------------

ImpedanceDialog::ImpedanceDialog() {
    addField({.id = "resistance",
              .kind = DialogField::Edit,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Resistance, Ohms")});
    addField({.id = "reactance",
              .kind = DialogField::Edit,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Reactance,  Ohms")});
    addField({.id = "name", .kind = DialogField::Edit, .label = QT_TRANSLATE_NOOP("qv::Dialog", "Name")});
    addField(errorLabel());
}

void ImpedanceDialog::show() {
    field("error").text.clear();
    failed = 1;
}

bool ImpedanceDialog::ok() {
    try {
        resultR = evaluate(field("resistance").text);
        resultX = evaluate(field("reactance").text);
    } catch (const EvalError&) {
        field("error").text = QStringLiteral("Input error");
        return false;
    }
    failed = 0;
    return true;
}

// ---------------------------------------------------------------------------------------

AcSourceDialog::AcSourceDialog(const Texts& t)
    : caption_(u8(t.caption)), moduleLabel_(u8(t.moduleLabel)), realLabel_(u8(t.realLabel)),
      imaginaryLabel_(u8(t.imaginaryLabel)), shownRealLabel_(u8(t.shownRealLabel)),
      shownImaginaryLabel_(u8(t.shownImaginaryLabel)) {
    addField({.id = "first", .kind = DialogField::Edit, .label = shownRealLabel_});
    addField({.id = "second", .kind = DialogField::Edit, .label = shownImaginaryLabel_});
    addField({.id = "polar", .kind = DialogField::Check, .label = u8(t.polarLabel)});
    addField({.id = "degrees", .kind = DialogField::Check, .label = u8(t.degreesLabel), .visible = false});
    addField({.id = "reverse",
              .kind = DialogField::Check,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Change direction")});
    addField({.id = "name", .kind = DialogField::Edit, .label = u8(t.nameLabel)});
}

void AcSourceDialog::show() {
    if (!element) throw std::logic_error("dialog \"" + caption().toStdString() + "\" has no element");
    field("name").text = QString::fromStdString(element->name());
    field("reverse").checked = false;
    DialogField& polar = field("polar");
    const bool wasPolar = polar.checked;
    if (element->polarInput()) {
        polar.checked = true;
        const bool degrees = element->angleInDegrees() != 0;
        field("degrees").checked = degrees;
        field("first").text = text(element->module());
        const Extended angle = element->angle();
        field("second").text = text(degrees ? angle * 180 / kPi : angle);
        polarClicked();
    } else {
        polar.checked = false;
        field("first").text = text(element->re());
        field("second").text = text(element->im());
        // Only clearing a ticked box relabels; otherwise the labels are the form's own.
        if (wasPolar) {
            polarClicked();
        } else {
            field("first").label = shownRealLabel_;
            field("second").label = shownImaginaryLabel_;
            field("degrees").visible = false;
        }
    }
}

void AcSourceDialog::changed(const QString& fieldId) {
    if (fieldId == QLatin1String("polar"))
        polarClicked();
    else if (fieldId == QLatin1String("degrees"))
        degreesClicked();
}

// Relabels only: the numbers in the fields stay as typed.
void AcSourceDialog::polarClicked() {
    const bool polar = field("polar").checked;
    field("degrees").visible = polar;
    if (polar) {
        field("first").label = moduleLabel_;
        degreesClicked();
    } else {
        field("first").label = realLabel_;
        field("second").label = imaginaryLabel_;
    }
}

void AcSourceDialog::degreesClicked() {
    field("second").label = field("degrees").checked ? u8("Angle°") : QStringLiteral("Angle rad");
}

bool AcSourceDialog::ok() {
    if (!element) throw std::logic_error("dialog \"" + caption().toStdString() + "\" has no element");
    element->name() = field("name").text.left(kNameLength).toStdString();
    if (field("polar").checked) {
        element->polarInput() = 1;
        const bool degrees = field("degrees").checked;
        element->angleInDegrees() = degrees ? 1 : 0;
        const Extended module = evaluate(field("first").text);
        Extended angle = evaluate(field("second").text);
        if (degrees) angle = angle / 180 * kPi; // divided first: a huge angle must not overflow
        element->setPolar(module, angle);
    } else {
        element->polarInput() = 0;
        element->re() = evaluate(field("first").text);
        element->im() = evaluate(field("second").text);
    }
    return true;
}

AcVoltageSourceDialog::AcVoltageSourceDialog()
    : AcSourceDialog({"AC voltage source", "Polar form", "Angle in degree", "Object index", "Module, V",
                      "Active part, В", "Reactive part, В", "Active part, V", "Reactive part, V"}) {}

// The current source's labels name the unit "Amps" whichever way they were set.
AcCurrentSourceDialog::AcCurrentSourceDialog()
    : AcSourceDialog({"AC current source", "Polar", "Angle in degry", "Index", "Module, Amps",
                      "Active part, Amps", "Reactive part, Amps", "Active part, Amps",
                      "Reactive part, Amps"}) {}

// ---------------------------------------------------------------------------------------

CalculatorDialog::CalculatorDialog() {
    addField({.id = "expression", .kind = DialogField::Edit});
    addField({.id = "result", .kind = DialogField::Label});
}

bool CalculatorDialog::ok() {
    field("result").text = text(evaluate(field("expression").text));
    return false;
}

} // namespace qv
