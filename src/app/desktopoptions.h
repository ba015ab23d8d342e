#pragma once
// "Desktop options": the snap steps and the grid and background colours of the scheme page.
#include "platform/dialogmodel.h"

namespace qv {

class Messages;
class NTBEFizDisp;

class DesktopOptionsDialog : public DialogModel {
  public:
    DesktopOptionsDialog();
    QString caption() const override {
        return QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Desktop options"));
    }
    /// Refuses steps that are not whole numbers of at least 1 with "Invalid snap step".
    bool ok() override;
    void load(const NTBEFizDisp& doc);
    void store(NTBEFizDisp& doc) const;

    Messages* messages = nullptr; ///< set while shown
};

} // namespace qv
