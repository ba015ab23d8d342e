#pragma once
// "Options": the report options of the scheme document.
#include "app/operatingpoint.h"
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
    /// How AC values are written beside the scheme: a setting of the window, not of the scheme.
    void loadAcFormat(AcResultFormat format);
    AcResultFormat acFormat() const;
};

} // namespace qv
