#pragma once
// The dialogs of loops: the list of a document's loops and the properties of one loop.
#include <vector>

#include "platform/dialogmodel.h"

namespace qv {

class NContDisp;
class NFCont;
class NTBEFizDisp;

/// "Loops List": one line per listed loop, with "Delete" and "View" acting on the selected
/// line. Closes through OK only. The caller names the list before showing it.
class LoopListDialog : public DialogModel {
  public:
    LoopListDialog();
    QString caption() const override { return QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Loops List")); }
    void show() override;
    QStringList extraButtons() const override {
        return {QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Delete")),
                QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "View"))};
    }
    /// "Delete" removes the selected loop; "View" shows its properties. The front end hides
    /// this dialog while "View" runs.
    void pressed(const QString& button) override;
    /// "View" shows the chosen loop on the drawing with this list out of the way.
    bool hidesDuring(const QString& button) const override { return button == QLatin1String("View"); }
    bool hasCancel() const override { return false; }

    /// The loop a line of "loops" stands for, or null.
    NFCont* loopAt(int line) const;

    NContDisp* list = nullptr; ///< not owned; set only while the dialog is shown

  private:
    void refill();
    std::vector<NFCont*> lineLoops_; ///< the loop of each line
};

/// "Loop propertes": the name, branches and colour of one loop. "Change direction" turns the
/// list of branches round; when the dialog closes with it turned, the loop is reversed.
class LoopPropertiesDialog : public DialogModel {
  public:
    LoopPropertiesDialog();
    QString caption() const override {
        return QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Loop propertes"));
    }
    void show() override { direction_ = 1; }
    QStringList extraButtons() const override {
        return {QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Change direction"))};
    }
    void pressed(const QString& button) override;
    /// "View" shows the chosen loop on the drawing with this list out of the way.
    bool hidesDuring(const QString& button) const override { return button == QLatin1String("View"); }
    bool hasCancel() const override { return false; }
    /// The loop shows on the drawing meanwhile.
    bool showsDrawing() const override { return true; }

    /// True when "Change direction" was pressed an odd number of times since the last show.
    bool directionChanged() const { return direction_ == 0; }

  private:
    uint8_t direction_ = 1; ///< 1: the loop's own direction; 0: the reverse
};

/// The "Loops List" command of the scheme.
void showLoopsList(NTBEFizDisp& doc);

} // namespace qv
