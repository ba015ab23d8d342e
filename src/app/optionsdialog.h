#pragma once
// "Options": the report options of the scheme document.
#include "platform/dialogmodel.h"

namespace qv {

class NTBEFizDisp;

class OptionsDialog : public DialogModel {
  public:
    OptionsDialog();
    QString caption() const override { return QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Options")); }
    QString pageCaption() const override {
        return QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Reports options"));
    }
    void load(const NTBEFizDisp& doc);
    void store(NTBEFizDisp& doc) const;
};

} // namespace qv
