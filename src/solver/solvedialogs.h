#pragma once
// The parameter dialogs of the Kirchhoff-laws and mesh-current methods: the counts of the
// scheme, warnings about what the method cannot handle, and the order of the nodes and loops
// the method is to use. The caller sets the scheme and the model before showing one; OK puts
// the chosen lists into the model.
#include <vector>

#include "platform/dialogmodel.h"

namespace qv {

class NFCont;
class NFizObj;
class CircuitModel;
class NTBEFizDisp;

/// Red text of the warnings.
inline constexpr Colour kWarningColour = 0x0000FF;

/// "Calculation by Kirchoff laws": the scheme's nodes and its loops without current sources,
/// each list with its own "Up", "Down", "All" and (when a warning calls for it) "Delete".
class KirchhoffDialog : public DialogModel {
  public:
    KirchhoffDialog();
    QString caption() const override {
        return QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Calculation by Kirchoff laws"));
    }
    void show() override;
    /// Refused (the dialog stays open) while a branch holds more than one current source.
    bool ok() override;
    bool okEnabled() const override { return solvable; }
    QStringList extraButtons() const override;
    void pressed(const QString& button) override;

    // The buttons: those of the node list and those of the loop list.
    static inline const QString kNodeUp = QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Up"));
    static inline const QString kNodeDown = QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Down"));
    static inline const QString kNodeAll = QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "All"));
    static inline const QString kNodeDelete = QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Delete"));
    static inline const QString kLoopUp = QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Loop Up"));
    static inline const QString kLoopDown = QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Loop Down"));
    static inline const QString kLoopAll = QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "All Loops"));
    static inline const QString kLoopDelete = QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Delete Loop"));

    NTBEFizDisp* document = nullptr; ///< not owned; set before showing
    CircuitModel* model = nullptr;   ///< not owned; gets the chosen lists on OK
    int accepted = 0;                ///< 1 once OK has taken the lists
    bool solvable = true;            ///< false: OK is refused

    std::vector<NFizObj*> nodeEntries; ///< what each line of "nodes" stands for
    std::vector<NFCont*> loopEntries;  ///< what each line of "loops" stands for

  private:
    void fillNodes();
    void appendLoops();
    bool nodeDeleteVisible_ = false;
    bool loopDeleteVisible_ = false;
};

/// "Calculate By Mesh Current method": the loops without current sources (whose mesh
/// currents are the unknowns) and those with them, each list with "Up", "Down", "All" and a
/// "Delete" that a warning shows beside it.
class MeshCurrentDialog : public DialogModel {
  public:
    MeshCurrentDialog();
    QString caption() const override {
        return QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Calculate By Mesh Current method"));
    }
    void show() override;
    /// Refused (the dialog stays open) while a branch holds more than one current source.
    bool ok() override;
    bool okEnabled() const override { return solvable; }
    void pressed(const QString& button) override;

    // The buttons beside the first list, and those beside the second, which read the same.
    static inline const QString kUp = QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "UP"));
    static inline const QString kDown = QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Down"));
    static inline const QString kAll = QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "All"));
    static inline const QString kDelete = QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Delete"));
    static inline const QString kSourceUp = QStringLiteral("sourceUp");
    static inline const QString kSourceDown = QStringLiteral("sourceDown");
    static inline const QString kSourceAll = QStringLiteral("sourceAll");
    static inline const QString kSourceDelete = QStringLiteral("sourceDelete");

    NTBEFizDisp* document = nullptr;
    CircuitModel* model = nullptr;
    int accepted = 0;
    bool solvable = true;

    std::vector<NFCont*> loopEntries;   ///< the first list: loops without current sources
    std::vector<NFCont*> sourceEntries; ///< the second list: loops with current sources

  private:
    void fillLoops();
    void fillSourceLoops();
};

} // namespace qv
