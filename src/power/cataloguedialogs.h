#pragma once
// The dialogs of the catalogues: the catalogue window, a wire, a transformer type and a
// voltage class. Numbers are read with the standard conversion; a field that is not a number
// is named in a message and the dialog stays open with nothing stored, so an entry is never
// left half-edited.
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogmodel.h"
#include "platform/extended.h"

namespace qv {

struct Context;
class NSprOrginizer;
class NWireSpr;
class NTransSpr;
class NUnomSpr;

/// Base of the power dialogs: the workbench they run in and the number fields.
class PowerDialog : public DialogModel {
  public:
    Context* ctx = nullptr;

  protected:
    DialogField& addEdit(const QString& id, const QString& label, int maxLength = 0);
    void setNumber(const QString& id, Extended v);
    /// The values of the fields `ids`, in order; at the first text that is not a number the
    /// user is told (when there is a context) and the answer is false.
    bool readNumbers(std::initializer_list<const char*> ids, std::vector<Extended>& out);
    /// The same for one integer field.
    bool readInteger(const QString& id, int32_t& out);
    /// The number in field `id`, or nothing; tells no one.
    std::optional<Extended> numberIn(const QString& id) const;
    /// The text of the row chosen in list `id`, or nothing when no row is chosen.
    std::optional<QString> chosenItem(const QString& id) const;
    /// The text of field `id` cut to `length` characters, as the records keep it.
    std::string textIn(const QString& id, int length) const;
    /// List `id` offers taps 1 to `count` (at most 1000) with `selected` chosen, none when
    /// `selected` is not among them.
    void setTaps(const QString& id, int32_t count, int32_t selected);
    /// Opens the transformer data dialog on `data` (needs a context).
    void editTransformerData(NTransSpr& data);

  private:
    /// The one way a typed value is read: `parse` takes the field's text and answers whether
    /// it is a `what` value; when not, the user is told (when there is a context).
    bool readField(const QString& id, const std::function<bool(const QString&)>& parse, const char* what);
};

/// "Параметры сечения": one wire.
class WireDialog : public PowerDialog {
  public:
    WireDialog();
    QString caption() const override {
        return QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Dialog", "Параметры сечения"));
    }
    QString cancelText() const override {
        return QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Dialog", "Отмена"));
    }
    void show() override;
    bool ok() override;
    NWireSpr* entry = nullptr;
};

/// "Ввод параметров 2-х обмоточного тр-ра": one transformer type on three pages (nameplate,
/// voltage regulation, equivalent circuit), with the equivalent circuit computed from the
/// nameplate by "Рассчитать Параметры".
class TransformerDataDialog : public PowerDialog {
  public:
    TransformerDataDialog();
    QString caption() const override {
        return QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Dialog", "Ввод параметров 2-х обмоточного тр-ра"));
    }
    QStringList pageCaptions() const override;
    QString cancelText() const override {
        return QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Dialog", "Отмена"));
    }
    QStringList extraButtons() const override {
        return {QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Dialog", "Рассчитать Параметры"))};
    }
    void show() override;
    void pressed(const QString& button) override;
    bool ok() override;
    NTransSpr* entry = nullptr;
};

/// "Напряжение": one voltage class. Its name is the nominal voltage's text.
class VoltageClassDialog : public PowerDialog {
  public:
    VoltageClassDialog();
    QString caption() const override {
        return QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Dialog", "Напряжение"));
    }
    void show() override;
    bool ok() override;
    NUnomSpr* entry = nullptr;
};

/// "Справочник": the entries of a catalogue, with adding, deleting and editing. Every change
/// is made at once; OK and Cancel only close.
class CatalogueWindow : public PowerDialog {
  public:
    CatalogueWindow();
    QString caption() const override {
        return QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Dialog", "Справочник"));
    }
    QStringList extraButtons() const override;
    void show() override;
    void pressed(const QString& button) override;
    NSprOrginizer* organizer = nullptr;

    static QString addButton() { return QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Dialog", "Добавить")); }
    static QString deleteButton() { return QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Dialog", "Удалить")); }
    static QString changeButton() { return QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Dialog", "Изменить")); }

  private:
    void refill();
};

} // namespace qv
