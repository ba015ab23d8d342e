#pragma once
// The dialogs of the power network elements. Each works on a copy of what it edits and
// stores it on OK only, so Cancel leaves the element as it was; a field that is not a number
// is named in a message and keeps the dialog open.
#include <memory>
#include <vector>

#include "power/catalogue.h"
#include "power/cataloguedialogs.h"

namespace qv {

class NPowerNode;
class NTransStat;
class NPowerLine;
class NFBreaker;
class NFTransForm;

/// "Параметры узла": a network node's name, loads, generation, shunt and voltage. The voltage
/// is typed or taken from the list of voltage classes ("unomClasses").
class PowerNodeDialog : public PowerDialog {
  public:
    PowerNodeDialog();
    QString caption() const override {
        return QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Dialog", "Параметры узла"));
    }
    void show() override;
    void changed(const QString& id) override;
    bool ok() override;
    NPowerNode* node = nullptr;
};

/// "Трансформаторная подстанция": name, transformer type, count and tap; opens the node dialog
/// on the low-voltage side and the transformer data dialog.
class SubstationDialog : public PowerDialog {
  public:
    SubstationDialog();
    QString caption() const override {
        return QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Dialog", "Трансформаторная подстанция"));
    }
    QStringList extraButtons() const override { return {loadButton(), transformerButton()}; }
    void show() override;
    void changed(const QString& id) override;
    void pressed(const QString& button) override;
    bool ok() override;
    NTransStat* station = nullptr;

    static QString loadButton() {
        return QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Dialog", "Параметры нагрузки"));
    }
    static QString transformerButton() {
        return QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Dialog", "Параметры трансформатора"));
    }

  private:
    void rebuildTaps(int32_t selected);
    NTransSpr working_;
    Extended highUnom_ = 0, lowUnom_ = 0;
};

/// "Ввод параметров линии": a line's data, filled from a wire of the catalogue (those of the
/// line's voltage class), its length and its number of circuits.
class LineDialog : public PowerDialog {
  public:
    LineDialog();
    QString caption() const override {
        return QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Dialog", "Ввод параметров линии"));
    }
    void show() override;
    void changed(const QString& id) override;
    bool ok() override;
    void cancel() override { wires_.clear(); }
    NPowerLine* line = nullptr;

  private:
    void fillFromWire();
    std::vector<const NWireSpr*> wires_; ///< entries of the catalogue; not owned
};

/// "Circuite breaker": the breaker's name and state.
class BreakerDialog : public PowerDialog {
  public:
    BreakerDialog();
    QString caption() const override {
        return QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Circuite breaker"));
    }
    void show() override;
    bool ok() override;
    NFBreaker* breaker = nullptr;
};

/// "Трансформатор": a transformer's name, type (those matching its nodes' voltages) and tap.
class TransformerDialog : public PowerDialog {
  public:
    TransformerDialog();
    QString caption() const override {
        return QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Dialog", "Трансформатор"));
    }
    QStringList extraButtons() const override { return {parametersButton()}; }
    void show() override;
    void changed(const QString& id) override;
    void pressed(const QString& button) override;
    bool ok() override;
    void cancel() override { types_.clear(); }
    NFTransForm* transformer = nullptr;

    static QString parametersButton() {
        return QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Dialog", "Параметры"));
    }

  private:
    void rebuildTaps(int32_t selected);
    NTransSpr working_;
    std::vector<const NTransSpr*> types_; ///< entries of the catalogue; not owned
};

/// Copies a transformer record as the elements do, through its stream record.
void copyTransformer(const NTransSpr& from, NTransSpr& to);

} // namespace qv
