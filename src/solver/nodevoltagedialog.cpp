#include "solver/nodevoltagedialog.h"

#include <QCoreApplication>

#include "components/branch.h"
#include "components/components.h"
#include "platform/kindcast.h"
#include "solver/circuitmodel.h"

namespace qv {

namespace {
const QString kUp = QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Up"));
const QString kDown = QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Down"));
const QString kAll = QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "All"));
const QString kDelete = QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Delete"));
} // namespace

NodeVoltageDialog::NodeVoltageDialog() {
    addField({.id = "AllNodes",
              .kind = DialogField::ListBox,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Schem nodes"),
              .choice = -1});
    addField({.id = "nodes",
              .kind = DialogField::Label,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Nodes number"),
              .column = 1});
    addField({.id = "branches",
              .kind = DialogField::Label,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Branches number"),
              .column = 1});
    addField({.id = "currentSources",
              .kind = DialogField::Label,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Current sources\nnumber"),
              .column = 1});
    addField({.id = "equations",
              .kind = DialogField::Label,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Node voltage\nequations number"),
              .column = 1});
    addField({.id = "areas",
              .kind = DialogField::Label,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Isolated areas\nnumbers"),
              .column = 1});
    addField({.id = "WarningMemo",
              .kind = DialogField::Label,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Warnings"),
              .enabled = false,
              .color = rgb(255, 0, 0),
              .column = 1});
}

QStringList NodeVoltageDialog::extraButtons() const {
    QStringList b{kUp, kDown, kAll};
    if (isolatedAreas > 1) b << kDelete;
    return b;
}

void NodeVoltageDialog::fillNodes() {
    listed.clear();
    nodeCount = 0;
    if (!document) return;
    for (NFizObj* obj : document->objects())
        if (auto* n = kindCast<NFUsel>(obj)) {
            listed.push_back(n);
            ++nodeCount;
        }
}

void NodeVoltageDialog::showList() {
    DialogField& f = field("AllNodes");
    const int keep = f.choice;
    f.items.clear();
    for (NFUsel* n : listed)
        f.items << QString::fromStdString(n->name);
    f.choice = keep >= 0 && keep < int(listed.size()) ? keep : -1;
    field("nodes").text = QString::number(nodeCount);
    field("equations").text = QString::number(nodeCount - 1);
}

void NodeVoltageDialog::show() {
    accepted = false;
    calculationPossible = true;
    warnings.clear();
    branchCount = currentSourceCount = 0;
    field("AllNodes").choice = -1;
    fillNodes();
    if (document) {
        for (NFizObj* obj : document->objects()) {
            auto* branch = kindCast<NFVetv>(obj);
            if (!branch) continue;
            ++branchCount;
            int sources = 0, emfs = 0, all = 0;
            for (NSetObj* c : branch->components()) {
                ++all;
                if (kindCast<NUniIst>(c) || kindCast<NUniCompCurSource>(c)) ++sources;
                if (kindCast<NUniEds>(c) || kindCast<NUniCompEDS>(c)) ++emfs;
            }
            currentSourceCount += sources;
            const QString name = QString::fromStdString(branch->name);
            if (emfs > 0 && emfs == all) {
                warnings << QCoreApplication::translate(
                                "qv::Dialog",
                                "Attention! Branch %1 include %2 voltage sources and has nil resistance. "
                                "Transform schem")
                                .arg(name)
                                .arg(emfs);
                calculationPossible = false;
            }
            if (sources > 1) {
                warnings << QCoreApplication::translate(
                                "qv::Dialog",
                                "Attention! Branch %1 include %2 current sources. Calculation impossible")
                                .arg(name)
                                .arg(sources);
                calculationPossible = false;
            }
        }
        isolatedAreas = countConnectedParts(*document);
    }
    if (isolatedAreas > 1)
        warnings << QCoreApplication::translate(
            "qv::Dialog", "Attention! Calculated schem has same isolated area. Please delete spare nodes");
    showList();
    field("branches").text = QString::number(branchCount);
    field("currentSources").text = QString::number(currentSourceCount);
    field("areas").text = QString::number(isolatedAreas);
    field("WarningMemo").text = warnings.join('\n');
}

void NodeVoltageDialog::pressed(const QString& button) {
    DialogField& f = field("AllNodes");
    const int at = f.choice;
    const int n = int(listed.size());
    if (button == kUp && at > 0 && at < n) {
        std::swap(listed[size_t(at)], listed[size_t(at - 1)]);
        f.choice = at - 1;
    } else if (button == kDown && at >= 0 && at < n - 1) {
        std::swap(listed[size_t(at)], listed[size_t(at + 1)]);
        f.choice = at + 1;
    } else if (button == kAll) {
        fillNodes();
        f.choice = -1;
    } else if (button == kDelete && at >= 0 && at < n) {
        listed.erase(listed.begin() + at);
        f.choice = -1;
    } else {
        return;
    }
    showList();
}

bool NodeVoltageDialog::ok() {
    if (!calculationPossible) return false;
    if (solver)
        for (NFUsel* n : listed)
            solver->chosenNodes.add(n);
    accepted = true;
    return true;
}

} // namespace qv
