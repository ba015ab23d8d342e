#pragma once
// The small name dialogs of nodes and branches. Both close through OK only.
#include "platform/dialogmodel.h"

namespace qv {

/// "Node": the node's name. The check box "Убрать заземление" is hidden and unused.
class NodeDialog : public DialogModel {
  public:
    NodeDialog();
    QString caption() const override { return QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Node")); }
    void show() override;
    bool hasCancel() const override { return false; }
};

/// "Branch": the branch's name, its arrows and a request to reverse it.
class BranchDialog : public DialogModel {
  public:
    BranchDialog();
    QString caption() const override { return QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Branch")); }
    void show() override;
    bool hasCancel() const override { return false; }
};

} // namespace qv
