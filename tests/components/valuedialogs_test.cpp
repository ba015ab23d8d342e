#include "components/valuedialogs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

#include "platform/numfmt.h"

namespace qv {
namespace {

constexpr Extended kPi = std::numbers::pi_v<Extended>;

bool hasField(const DialogModel& m, const char* id) {
    for (const DialogField& f : m.fields())
        if (f.id == QLatin1String(id)) return true;
    return false;
}

struct DcCase {
    std::function<DcValueDialog&(Context&)> dialog;
    const char* caption;
    const char* valueLabel;
    const char* nameLabel;
    const char* errorMessage;
    bool hasReverse;
    bool clearsErrorOnShow;
    bool okClosesAlways;
};

template <class T> std::function<DcValueDialog&(Context&)> make() {
    return [](Context& c) -> DcValueDialog& { return expressionDialog<T>(c); };
}

TEST(DcValueDialogs, FollowTheirTable) {
    const DcCase cases[] = {
        {make<DcVoltageSourceDialog>(), "DC Voltage source", " EMF, V", "Object name",
         "Ошибка при вводе величины ЭДС", true, true, false},
        {make<DcCurrentSourceDialog>(), "DC Current source", "Current, Amps ", "Name",
         "Ошибка при вводе величины тока", true, false, true},
        {make<ResistorDialog>(), "Resistor", "Resistance, Ohm", "Name",
         "Ошибка при вводе величины сопротивления", false, true, false},
        {make<CapacitorDialog>(), "Capacitor", "Capacity, mkF", "Name", "Input error", false, false, false},
        {make<InductorDialog>(), "Inductance", "Inductance, Gn", "Name", "Input error", false, false, true},
    };
    for (const DcCase& c : cases) {
        SCOPED_TRACE(c.caption);
        Context ctx;
        DcValueDialog& d = c.dialog(ctx);
        EXPECT_EQ(d.caption(), QString::fromUtf8(c.caption));
        EXPECT_EQ(d.field("value").label, QString::fromUtf8(c.valueLabel));
        EXPECT_EQ(d.field("name").label, QString::fromUtf8(c.nameLabel));
        EXPECT_EQ(hasField(d, "reverse"), c.hasReverse);
        if (c.hasReverse) {
            EXPECT_EQ(d.field("reverse").label, "Change direction");
        }

        // A valid expression closes with its value.
        d.show();
        EXPECT_EQ(d.failed, 1);
        d.field("value").text = "2*sqrt(9)";
        EXPECT_TRUE(d.ok());
        EXPECT_EQ(d.failed, 0);
        EXPECT_EQ(d.resultValue, 6);

        // An invalid one shows the red message; the value stays.
        d.show();
        EXPECT_EQ(d.failed, 1);
        d.field("value").text = "2E-5";
        EXPECT_EQ(d.ok(), c.okClosesAlways);
        EXPECT_EQ(d.failed, 1);
        EXPECT_EQ(d.resultValue, 6);
        EXPECT_EQ(d.field("error").text, QString::fromUtf8(c.errorMessage));
        EXPECT_EQ(d.field("error").color, rgb(255, 0, 0));

        // The message is still there on the next show unless the dialog clears it.
        d.show();
        EXPECT_EQ(d.failed, 1);
        EXPECT_EQ(d.field("error").text.isEmpty(), c.clearsErrorOnShow);
    }
}

TEST(DcValueDialogs, AcceptAnyValueWithoutRangeChecks) {
    Context ctx;
    ResistorDialog& d = expressionDialog<ResistorDialog>(ctx);
    for (const char* text : {"0", "-5", "1E300*1E300", " 5 "}) {
        SCOPED_TRACE(text);
        d.show();
        d.field("value").text = text;
        EXPECT_TRUE(d.ok());
        EXPECT_EQ(d.failed, 0);
    }
    EXPECT_EQ(d.resultValue, 5);
}

TEST(DcValueDialogs, ShareTheWorkbenchsEvaluatorAndKeepTheirState) {
    Context ctx;
    DcVoltageSourceDialog& first = expressionDialog<DcVoltageSourceDialog>(ctx);
    first.field("reverse").checked = true;
    DcVoltageSourceDialog& again = expressionDialog<DcVoltageSourceDialog>(ctx);
    EXPECT_EQ(&first, &again);
    EXPECT_EQ(again.evaluator(), &ctx.service<ExpressionEvaluator>());
    again.show();
    EXPECT_TRUE(again.field("reverse").checked); // the component decides when to clear it
}

TEST(ImpedanceDialog, ClosesOnlyWhenBothPartsEvaluate) {
    Context ctx;
    ImpedanceDialog& d = expressionDialog<ImpedanceDialog>(ctx);
    EXPECT_EQ(d.caption(), "Impedance");
    EXPECT_EQ(d.field("resistance").label, "Resistance, Ohms");
    EXPECT_EQ(d.field("reactance").label, "Reactance,  Ohms");
    EXPECT_EQ(d.field("name").label, "Name");

    d.show();
    d.field("resistance").text = "10";
    d.field("reactance").text = "+5";
    EXPECT_FALSE(d.ok());
    EXPECT_EQ(d.failed, 1);
    EXPECT_EQ(d.field("error").text, "Input error");
    EXPECT_EQ(d.field("error").color, rgb(255, 0, 0));

    d.field("resistance").text = "abc";
    d.field("reactance").text = "5";
    EXPECT_FALSE(d.ok());
    EXPECT_EQ(d.failed, 1);

    d.field("resistance").text = "10";
    d.field("reactance").text = "-2*3";
    EXPECT_TRUE(d.ok());
    EXPECT_EQ(d.failed, 0);
    EXPECT_EQ(d.resultR, 10);
    EXPECT_EQ(d.resultX, -6);

    d.field("error").text = "Input error";
    d.show();
    EXPECT_EQ(d.failed, 1);
    EXPECT_TRUE(d.field("error").text.isEmpty());
}

/// An AC source as the dialogs see it; Angle() as the components define it.
struct FakeSource {
    std::string name = "1";
    Extended re = 0, im = 0;
    uint8_t polarInput = 0, angleInDegrees = 0;
    Extended module() const { return std::sqrt(re * re + im * im); }
    Extended angle() const {
        if (re != 0) return std::atan(im / re) + (re < 0 ? kPi : 0);
        return im > 0 ? kPi / 2 : -kPi / 2;
    }
    void setPolar(Extended m, Extended a) {
        re = std::cos(a) * m;
        im = std::sin(a) * m;
    }
};

/// One AC dialog of a fresh workbench editing `source`.
template <class T> struct AcFixture {
    explicit AcFixture(FakeSource s) : source(std::move(s)), ref(source) {
        dialog.element = &ref;
        dialog.show();
    }
    QString label(const char* id) { return dialog.field(id).label; }
    void click(const char* id) {
        dialog.field(id).checked = !dialog.field(id).checked;
        dialog.changed(id);
    }
    Context ctx;
    T& dialog = expressionDialog<T>(ctx);
    FakeSource source;
    AcSourceRef<FakeSource> ref;
};

const QString kCyrillicActive = QString::fromUtf8("Active part, \u0412");
const QString kCyrillicReactive = QString::fromUtf8("Reactive part, \u0412");

TEST(AcSourceDialogs, CarryTheirOwnTexts) {
    AcFixture<AcVoltageSourceDialog> emf({.polarInput = 1});
    EXPECT_EQ(emf.dialog.caption(), "AC voltage source");
    EXPECT_EQ(emf.dialog.okText(), QString::fromUtf8("\u041e\u041a"));
    EXPECT_EQ(emf.label("polar"), "Polar form");
    EXPECT_EQ(emf.label("degrees"), "Angle in degree");
    EXPECT_EQ(emf.label("name"), "Object index");
    EXPECT_EQ(emf.label("reverse"), "Change direction");
    EXPECT_EQ(emf.label("first"), "Module, V");

    AcFixture<AcCurrentSourceDialog> cs({.polarInput = 1});
    EXPECT_EQ(cs.dialog.caption(), "AC current source");
    EXPECT_EQ(cs.dialog.okText(), QString::fromUtf8("\u041e\u041a"));
    EXPECT_EQ(cs.label("polar"), "Polar");
    EXPECT_EQ(cs.label("degrees"), "Angle in degry");
    EXPECT_EQ(cs.label("name"), "Index");
    EXPECT_EQ(cs.label("first"), "Module, Amps");
    cs.click("polar");
    EXPECT_EQ(cs.label("first"), "Active part, Amps");
    EXPECT_EQ(cs.label("second"), "Reactive part, Amps");
}

TEST(AcSourceDialogs, ShowTheValueAsItWasLastTyped) {
    AcFixture<AcVoltageSourceDialog> f({.name = "7", .re = 0, .im = 2, .polarInput = 1, .angleInDegrees = 1});
    EXPECT_EQ(f.dialog.field("name").text, "7");
    EXPECT_TRUE(f.dialog.field("polar").checked);
    EXPECT_TRUE(f.dialog.field("degrees").visible);
    EXPECT_TRUE(f.dialog.field("degrees").checked);
    EXPECT_EQ(f.dialog.field("first").text, "2");
    EXPECT_EQ(f.dialog.field("second").text, "90");
    EXPECT_EQ(f.label("second"), QString::fromUtf8("Angle\u00b0"));

    f.source.angleInDegrees = 0;
    f.dialog.field("reverse").checked = true;
    f.dialog.show();
    EXPECT_FALSE(f.dialog.field("reverse").checked);
    EXPECT_FALSE(f.dialog.field("degrees").checked);
    EXPECT_EQ(f.dialog.field("second").text, QString::fromStdString(numfmt::standard(kPi / 2)));
    EXPECT_EQ(f.label("second"), "Angle rad");

    // Rectangular again: the ticked polar box had to be cleared, which relabels (Cyrillic В).
    f.source = {.re = 3, .im = -4};
    f.dialog.show();
    EXPECT_FALSE(f.dialog.field("polar").checked);
    EXPECT_FALSE(f.dialog.field("degrees").visible);
    EXPECT_EQ(f.dialog.field("first").text, "3");
    EXPECT_EQ(f.dialog.field("second").text, "-4");
    EXPECT_EQ(f.label("first"), kCyrillicActive);
    EXPECT_EQ(f.label("second"), kCyrillicReactive);

    // With the box already clear the form's own labels show (Latin V).
    f.dialog.show();
    EXPECT_EQ(f.label("first"), "Active part, V");
    EXPECT_EQ(f.label("second"), "Reactive part, V");
}

TEST(AcSourceDialogs, TickingRelabelsWithoutConvertingTheNumbers) {
    AcFixture<AcVoltageSourceDialog> f({.re = 3, .im = 4});
    EXPECT_EQ(f.label("first"), "Active part, V");
    f.click("polar");
    EXPECT_EQ(f.label("first"), "Module, V");
    EXPECT_EQ(f.label("second"), "Angle rad");
    EXPECT_TRUE(f.dialog.field("degrees").visible);
    f.click("degrees");
    EXPECT_EQ(f.label("second"), QString::fromUtf8("Angle\u00b0"));
    f.click("degrees");
    EXPECT_EQ(f.label("second"), "Angle rad");
    EXPECT_EQ(f.dialog.field("first").text, "3");
    EXPECT_EQ(f.dialog.field("second").text, "4");
    f.click("polar");
    EXPECT_FALSE(f.dialog.field("degrees").visible);
    EXPECT_EQ(f.label("first"), kCyrillicActive);
    EXPECT_EQ(f.label("second"), kCyrillicReactive);
}

TEST(AcSourceDialogs, OkWritesTheElement) {
    // Polar in degrees: module 2 at 90°.
    AcFixture<AcVoltageSourceDialog> f({.re = 1, .im = 1});
    f.click("polar");
    f.click("degrees");
    f.dialog.field("first").text = "2";
    f.dialog.field("second").text = "45*2";
    f.dialog.field("name").text = QString::fromUtf8("ЭДС123456789012345678901");
    EXPECT_TRUE(f.dialog.ok());
    EXPECT_EQ(f.source.name, "ЭДС12345678901234567");
    EXPECT_EQ(f.source.polarInput, 1);
    EXPECT_EQ(f.source.angleInDegrees, 1);
    EXPECT_NEAR(double(f.source.re), 0, 1e-15);
    EXPECT_NEAR(double(f.source.im), 2, 1e-15);

    // Switching polar off without retyping: the module becomes the real part, the angle the
    // imaginary one.
    f.dialog.show();
    EXPECT_EQ(f.dialog.field("first").text, "2");
    EXPECT_EQ(f.dialog.field("second").text, "90");
    f.click("polar");
    EXPECT_TRUE(f.dialog.ok());
    EXPECT_EQ(f.source.polarInput, 0);
    EXPECT_EQ(f.source.angleInDegrees, 1); // only a polar OK sets it
    EXPECT_EQ(f.source.re, 2);
    EXPECT_EQ(f.source.im, 90);
}

TEST(AcSourceDialogs, AFailingFieldEscapesAndKeepsWhatWasWrittenBefore) {
    AcFixture<AcCurrentSourceDialog> f({.name = "1", .re = 1, .im = 1});
    f.dialog.field("name").text = "2";
    f.dialog.field("first").text = "7";
    f.dialog.field("second").text = "bad";
    try {
        f.dialog.ok();
        ADD_FAILURE() << "no error";
    } catch (const EvalError& e) {
        EXPECT_EQ(std::string(e.what()), "'bad' is not a valid floating point value");
    }
    EXPECT_EQ(f.source.name, "2");
    EXPECT_EQ(f.source.re, 7);
    EXPECT_EQ(f.source.im, 1);

    // In polar form nothing of the value is written until both fields evaluated.
    f.click("polar");
    f.dialog.field("first").text = "5";
    EXPECT_THROW(f.dialog.ok(), EvalError);
    EXPECT_EQ(f.source.polarInput, 1);
    EXPECT_EQ(f.source.re, 7);
    EXPECT_EQ(f.source.im, 1);
}

TEST(Calculator, ShowsTheValueAndStaysOpen) {
    Context ctx;
    CalculatorDialog& d = expressionDialog<CalculatorDialog>(ctx);
    EXPECT_EQ(d.caption(), "Calculator");
    EXPECT_EQ(d.okText(), "OK");
    d.show();
    d.field("expression").text = "2*sqrt(9)+1/4";
    EXPECT_FALSE(d.ok());
    EXPECT_EQ(d.field("result").text, "6.25");

    d.field("expression").text = "1/0";
    try {
        d.ok();
        ADD_FAILURE() << "no error";
    } catch (const EvalError& e) {
        EXPECT_EQ(std::string(e.what()), "Division by zero");
    }
    EXPECT_EQ(d.field("result").text, "6.25");
}

} // namespace
} // namespace qv
