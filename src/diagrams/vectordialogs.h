#pragma once
// The dialogs of the vector diagram: the options of a build, the options of the page and
// the properties of one vector. Each is made once and reused; the caller names what it edits.
#include "platform/dialogmodel.h"
#include "platform/extended.h"

namespace qv {

struct Context;
class NVector;
class NVectDiaDisp;

/// "Vectory output options": the two scales of a build and which vectors to make. The edit
/// fields keep their texts between showings; the check boxes are ticked on every showing.
class VectorOutputOptionsDialog : public DialogModel {
  public:
    VectorOutputOptionsDialog();
    QString caption() const override {
        return QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Vectory output options"));
    }
    void show() override;
    /// Takes the two scales when both are numbers other than 0; otherwise "Invalid input"
    /// and the dialog stays open.
    bool ok() override;

    Context* ctx = nullptr; ///< message boxes; none: refusals are silent
    bool accepted = false;
    Extended currentScale = 1.0L, voltageScale = 10.0L;
    bool makeCurrents = true, makeVoltages = true;
};

/// "Vectory editor options": snap, colours, scales and tick distances of the page.
class VectorEditorOptionsDialog : public DialogModel {
  public:
    VectorEditorOptionsDialog();
    QString caption() const override {
        return QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Vectory editor options"));
    }
    void show() override;
    /// Stores everything, or, when a field is not a number or gives a step or scale of 0,
    /// nothing: "Invalid input" and the dialog stays open.
    bool ok() override;

    Context* ctx = nullptr;
    NVectDiaDisp* document = nullptr; ///< not owned
};

/// "Vector propertes": kind, texts, colour and width of one vector.
class VectorPropertiesDialog : public DialogModel {
  public:
    VectorPropertiesDialog();
    QString caption() const override {
        return QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Vector propertes"));
    }
    void show() override;
    bool ok() override;

    static constexpr int kMaxPenWidth = 100000;
    NVector* target = nullptr; ///< not owned
};

} // namespace qv
