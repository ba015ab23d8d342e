#pragma once
// "Calculation by node voltage method": the nodes of the scheme in the order the user wants
// (the last one is the reference unless the scheme is grounded), the counts, and the warnings
// about branches the method cannot handle.
#include <vector>

#include "platform/dialogmodel.h"

namespace qv {

class NFUsel;
class CircuitModel;
class NTBEFizDisp;

class NodeVoltageDialog : public DialogModel {
  public:
    NodeVoltageDialog();
    QString caption() const override {
        return QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Calculation by node voltage method"));
    }
    void show() override;
    /// Refused (false) while a branch warning stands; otherwise hands the listed nodes, in
    /// their order, to the solver's chosen nodes.
    bool ok() override;
    bool okEnabled() const override { return calculationPossible; }
    QStringList extraButtons() const override;
    void pressed(const QString& button) override;

    /// Set by the command before showing.
    NTBEFizDisp* document = nullptr;
    CircuitModel* solver = nullptr;

    /// The nodes listed, in the list's order.
    std::vector<NFUsel*> listed;
    bool calculationPossible = true;
    bool accepted = false;
    int nodeCount = 0, branchCount = 0, currentSourceCount = 0, isolatedAreas = 0;
    QStringList warnings;

  private:
    void fillNodes();
    void showList();
};

} // namespace qv
