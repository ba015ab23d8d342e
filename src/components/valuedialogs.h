#pragma once
// The properties dialogs of the components and the calculator. Every value field is an
// expression for the workbench's evaluator. The dialogs are single, shared instances
// (`Context::dialog`): what a dialog holds from its previous use is still there next time.
#include <QString>
#include <cstdint>
#include <string>

#include "components/expression.h"
#include "model/context.h"
#include "platform/dialogmodel.h"

namespace qv {

/// `v` as a value field shows it, with `digits` significant digits (0: full precision), in a
/// form the evaluator reads back: it splits a number at the sign of its exponent, so
/// "1.2346E-5" is written out in full ("0.000012346", the same digits) while that fits.
QString readableNumber(Extended v, int digits = 0);

/// Base of the dialogs whose fields are expressions. Does not own the evaluator.
class ExpressionDialog : public DialogModel {
  public:
    void setEvaluator(ExpressionEvaluator* evaluator) { evaluator_ = evaluator; }
    ExpressionEvaluator* evaluator() const { return evaluator_; }

  protected:
    /// The value of a field's text; throws EvalError (std::logic_error when no evaluator
    /// was set: a wiring fault, not a user's).
    Extended evaluate(const QString& text) const;

  private:
    ExpressionEvaluator* evaluator_ = nullptr;
};

/// The shared instance of dialog `T` of `ctx`, wired to the workbench's evaluator.
template <class T> T& expressionDialog(Context& ctx) {
    T& d = ctx.dialog<T>();
    d.setEvaluator(&ctx.service<ExpressionEvaluator>());
    return d;
}

/// One value, a name and a red error label: the dialogs of the DC sources, the resistor,
/// the capacitor and the inductor. Fields "value", "name", "error" and, on the two
/// sources, "reverse" ("Change direction", which the component reads and clears).
class DcValueDialog : public ExpressionDialog {
  public:
    QString caption() const override { return caption_; }
    void show() override;
    /// Evaluates the value. On failure shows the dialog's message and stays open, unless
    /// this dialog's OK closes in any case (then it closes with `failed` = 1).
    bool ok() override;

    int failed = 1;           ///< 1 = cancelled or invalid; 0 once OK evaluated the value
    Extended resultValue = 0; ///< valid only when `failed` is 0

    static constexpr Colour kErrorColour = 0x0000FF; ///< red

  protected:
    struct Texts {
        const char* caption;
        const char* valueLabel;
        const char* nameLabel;
        const char* errorMessage;
        bool hasReverse;
        bool clearsErrorOnShow;
        bool okClosesAlways;
    };
    explicit DcValueDialog(const Texts& texts);

  private:
    QString caption_;
    QString errorMessage_;
    bool clearsErrorOnShow_;
    bool okClosesAlways_;
};

/// "DC Voltage source".
class DcVoltageSourceDialog : public DcValueDialog {
  public:
    DcVoltageSourceDialog();
};

/// "DC Current source": OK closes even when the value is invalid.
class DcCurrentSourceDialog : public DcValueDialog {
  public:
    DcCurrentSourceDialog();
};

/// "Resistor".
class ResistorDialog : public DcValueDialog {
  public:
    ResistorDialog();
};

/// "Capacitor" (microfarad).
class CapacitorDialog : public DcValueDialog {
  public:
    CapacitorDialog();
};

/// "Inductance" (henry): OK closes even when the value is invalid.
class InductorDialog : public DcValueDialog {
  public:
    InductorDialog();
};

/// "Impedance": resistance and reactance. Fields "resistance", "reactance", "name", "error".
class ImpedanceDialog : public ExpressionDialog {
  public:
    ImpedanceDialog();
    QString caption() const override { return QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Impedance")); }
    void show() override;
    /// Closes only when both fields evaluate.
    bool ok() override;

    int failed = 1;       ///< 1 = cancelled or invalid; 0 once OK evaluated both fields
    Extended resultR = 0; ///< ohm
    Extended resultX = 0; ///< ohm
};

/// The AC source an AC dialog edits: its name, its value (kept rectangular) and how the
/// value was last typed.
class AcSourceValues {
  public:
    virtual ~AcSourceValues() = default;
    virtual std::string& name() = 0;
    virtual Extended& re() = 0;
    virtual Extended& im() = 0;
    virtual uint8_t& polarInput() = 0;     ///< 1: last typed as module and angle
    virtual uint8_t& angleInDegrees() = 0; ///< 1: that angle was typed in degrees
    virtual Extended module() const = 0;
    virtual Extended angle() const = 0; ///< radians
    virtual void setPolar(Extended module, Extended angle) = 0;
};

/// Presents any source with the public members `name`, `re`, `im`, `polarInput`,
/// `angleInDegrees` and `module()`, `angle()`, `setPolar()` as AcSourceValues.
template <class Source> class AcSourceRef final : public AcSourceValues {
  public:
    explicit AcSourceRef(Source& source) : s_(source) {}
    std::string& name() override { return s_.name; }
    Extended& re() override { return s_.re; }
    Extended& im() override { return s_.im; }
    uint8_t& polarInput() override { return s_.polarInput; }
    uint8_t& angleInDegrees() override { return s_.angleInDegrees; }
    Extended module() const override { return s_.module(); }
    Extended angle() const override { return s_.angle(); }
    void setPolar(Extended module, Extended angle) override { s_.setPolar(module, angle); }

  private:
    Source& s_;
};

/// The AC source dialogs: two value fields read as real and imaginary part or as module and
/// angle. Fields "first", "second", "polar", "degrees", "reverse", "name". Works on
/// `element`, which the source sets before showing.
///
/// `ok()` throws EvalError when a field does not evaluate: the dialog does not catch it, so
/// the presenter must show the error's text in a message box and keep the dialog open. The
/// name, the flags and any value written before the failing field stay written.
class AcSourceDialog : public ExpressionDialog {
  public:
    QString caption() const override { return caption_; }
    QString okText() const override { return QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Dialog", "ОК")); }
    void show() override;
    void changed(const QString& fieldId) override;
    bool ok() override;

    AcSourceValues* element = nullptr;

  protected:
    struct Texts {
        const char* caption;
        const char* polarLabel;
        const char* degreesLabel;
        const char* nameLabel;
        const char* moduleLabel;
        const char* realLabel; ///< after the polar box was cleared
        const char* imaginaryLabel;
        const char* shownRealLabel; ///< on show in rectangular form with the box already clear
        const char* shownImaginaryLabel;
    };
    explicit AcSourceDialog(const Texts& texts);

  private:
    void polarClicked();
    void degreesClicked();

    QString caption_;
    QString moduleLabel_, realLabel_, imaginaryLabel_, shownRealLabel_, shownImaginaryLabel_;
};

/// "AC voltage source".
class AcVoltageSourceDialog : public AcSourceDialog {
  public:
    AcVoltageSourceDialog();
};

/// "AC current source".
class AcCurrentSourceDialog : public AcSourceDialog {
  public:
    AcCurrentSourceDialog();
};

/// "Calculator": an expression and its value. Opened without blocking the main window; OK
/// writes the value into the "result" label and leaves the window open (`ok()` answers
/// false). `ok()` throws EvalError for an invalid expression, which the presenter shows in
/// a message box.
class CalculatorDialog : public ExpressionDialog {
  public:
    CalculatorDialog();
    QString caption() const override { return QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Calculator")); }
    bool ok() override;
    bool hasCancel() const override { return false; }
};

} // namespace qv
