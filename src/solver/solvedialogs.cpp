#include "solver/solvedialogs.h"

#include <QCoreApplication>
#include <algorithm>

#include "components/branch.h"
#include "components/components.h"
#include "diagrams/loop.h"
#include "model/document.h"
#include "solver/circuitmodel.h"

namespace qv {

namespace {

QString u8(const std::string& s) {
    return QString::fromStdString(s);
}

/// What the dialogs count on a scheme: nodes, branches, current sources, isolated parts,
/// and the branches that hold more than one current source.
struct SchemeCounts {
    int nodes = 0;
    int branches = 0;
    int sources = 0;
    int areas = 0;
    std::vector<std::pair<const NFVetv*, int>> crowded;
};

SchemeCounts countScheme(const NTBEFizDisp& doc) {
    SchemeCounts c;
    bool grounded = false;
    for (NFizObj* obj : doc.objects()) {
        // All grounded nodes are one point, as the methods solve them.
        if (auto* node = dynamic_cast<NFUsel*>(obj)) {
            if (!node->isGrounded() || !grounded) ++c.nodes;
            grounded = grounded || node->isGrounded();
        }
        auto* branch = dynamic_cast<NFVetv*>(obj);
        if (!branch) continue;
        int here = 0;
        for (NSetObj* s : branch->components())
            if (auto* set = dynamic_cast<NUniSetObj*>(s); set && set->isCurrentSource()) ++here;
        c.sources += here;
        if (here > 1) c.crowded.push_back({branch, here});
        ++c.branches;
    }
    c.areas = countConnectedParts(doc);
    return c;
}

template <class T> void swapLines(DialogField& list, std::vector<T*>& entries, int by) {
    const int at = list.choice;
    const int to = at + by;
    if (at < 0 || to < 0 || at >= list.items.size() || to >= list.items.size()) return;
    list.items.swapItemsAt(at, to);
    std::swap(entries[size_t(at)], entries[size_t(to)]);
    list.choice = to;
}

template <class T> void deleteLine(DialogField& list, std::vector<T*>& entries) {
    const int at = list.choice;
    if (at < 0 || at >= list.items.size()) return;
    list.items.removeAt(at);
    entries.erase(entries.begin() + at);
    list.choice = -1;
}

void setCount(DialogModel& m, const char* id, int value) {
    m.field(id).text = QString::number(value);
}

} // namespace

// ---- KirchhoffDialog ----

KirchhoffDialog::KirchhoffDialog() {
    auto count = [&](const char* id, const char* label) {
        addField({.id = id, .kind = DialogField::Label, .label = label});
    };
    count("nodeCount", QT_TRANSLATE_NOOP("qv::Dialog", "Nodes number"));
    count("branchCount", QT_TRANSLATE_NOOP("qv::Dialog", "Branches number"));
    count("sourceCount", QT_TRANSLATE_NOOP("qv::Dialog", "Currents sources\r\nnumber"));
    count("currentLaws", QT_TRANSLATE_NOOP("qv::Dialog", "Kirchoff current law\r\nequations number"));
    count("areaCount", QT_TRANSLATE_NOOP("qv::Dialog", "Isolated schem \r\narees number"));
    count("voltageLaws", QT_TRANSLATE_NOOP("qv::Dialog", "Kirchoff voltage law\r\nequations number"));
    addField({.id = "nodes",
              .kind = DialogField::ListBox,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Schem nodes"),
              .choice = -1,
              .column = 1});
    addField({.id = "loops",
              .kind = DialogField::ListBox,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Loops of calculated schem"),
              .choice = -1,
              .column = 1});
    addField({.id = "warnings",
              .kind = DialogField::Label,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Warnings"),
              .color = kWarningColour});
}

QStringList KirchhoffDialog::extraButtons() const {
    QStringList b{kNodeUp, kNodeDown, kNodeAll};
    if (nodeDeleteVisible_) b << kNodeDelete;
    b << kLoopUp << kLoopDown << kLoopAll;
    if (loopDeleteVisible_) b << kLoopDelete;
    return b;
}

void KirchhoffDialog::fillNodes() {
    DialogField& list = field("nodes");
    list.items.clear();
    list.choice = -1;
    nodeEntries.clear();
    for (NFizObj* obj : document ? document->objects() : std::vector<NFizObj*>{})
        if (auto* node = dynamic_cast<NFUsel*>(obj)) {
            list.items << u8(node->name);
            nodeEntries.push_back(node);
        }
}

void KirchhoffDialog::appendLoops() {
    DialogField& list = field("loops");
    for (int i = 0; document && i < document->loops().count(); ++i) {
        auto* loop = dynamic_cast<NFCont*>(document->loops().get(i));
        if (!loop || loop->hasCurrentSource()) continue;
        list.items << u8(loop->name);
        loopEntries.push_back(loop);
    }
}

void KirchhoffDialog::show() {
    field("loops").items.clear();
    field("loops").choice = -1;
    loopEntries.clear();
    accepted = 0;
    solvable = true;
    nodeDeleteVisible_ = false;
    loopDeleteVisible_ = false;
    QStringList warnings;
    const SchemeCounts c = document ? countScheme(*document) : SchemeCounts{};
    for (const auto& [branch, n] : c.crowded) {
        const QString line =
            (QCoreApplication::translate("qv::Dialog", "Attention! Branch ") + u8(branch->name)).left(38) +
            QCoreApplication::translate("qv::Dialog", "\t include ");
        warnings << line.left(47) + QString::number(n) +
                        QCoreApplication::translate("qv::Dialog", " current sources. Calculation impossible");
        solvable = false;
    }
    fillNodes();
    setCount(*this, "nodeCount", c.nodes);
    setCount(*this, "branchCount", c.branches);
    setCount(*this, "sourceCount", c.sources);
    setCount(*this, "currentLaws", c.nodes - 1);
    setCount(*this, "areaCount", c.areas);
    const int needed = c.branches - c.sources - c.nodes + 1;
    setCount(*this, "voltageLaws", needed);
    appendLoops();
    const int listed = int(loopEntries.size());
    if (c.areas > 1) {
        warnings << QCoreApplication::translate(
            "qv::Dialog", "Attention! Calculated schem has same isolated area. Please delete spare nodes");
        nodeDeleteVisible_ = true;
    }
    if (listed > needed) {
        warnings << QCoreApplication::translate(
            "qv::Dialog", "Attention! Number of loops  greater then number of Kirchoff current laws");
        loopDeleteVisible_ = true;
    }
    if (listed < c.branches - c.sources - c.nodes + c.areas)
        warnings << QCoreApplication::translate(
            "qv::Dialog", "Attention! Number of loops  less then number of Kirchoff current laws");
    field("warnings").text = warnings.join(QLatin1Char('\n'));
}

void KirchhoffDialog::pressed(const QString& button) {
    DialogField& nodes = field("nodes");
    DialogField& loops = field("loops");
    if (button == kNodeUp)
        swapLines(nodes, nodeEntries, -1);
    else if (button == kNodeDown)
        swapLines(nodes, nodeEntries, 1);
    else if (button == kNodeAll)
        fillNodes();
    else if (button == kNodeDelete)
        deleteLine(nodes, nodeEntries);
    else if (button == kLoopUp)
        swapLines(loops, loopEntries, -1);
    else if (button == kLoopDown)
        swapLines(loops, loopEntries, 1);
    else if (button == kLoopAll)
        appendLoops();
    else if (button == kLoopDelete)
        deleteLine(loops, loopEntries);
}

bool KirchhoffDialog::ok() {
    if (!solvable) return false;
    if (model) {
        for (NFizObj* node : nodeEntries)
            model->chosenNodes.add(node);
        for (NFCont* loop : loopEntries)
            model->chosenLoops.add(loop);
    }
    accepted = 1;
    return true;
}

// ---- MeshCurrentDialog ----

MeshCurrentDialog::MeshCurrentDialog() {
    auto count = [&](const char* id, const char* label) {
        addField({.id = id, .kind = DialogField::Label, .label = label});
    };
    count("nodeCount", QT_TRANSLATE_NOOP("qv::Dialog", "Nodes number"));
    count("branchCount", QT_TRANSLATE_NOOP("qv::Dialog", "Branches number"));
    count("sourceCount", QT_TRANSLATE_NOOP("qv::Dialog", "Current sources\r\nnumber"));
    count("currentLaws", QT_TRANSLATE_NOOP("qv::Dialog", "Kirchoff current law\r\n equations number"));
    count("voltageLaws", QT_TRANSLATE_NOOP("qv::Dialog", "Kirchoff voltage law\r\nequations number"));
    count("areaCount", QT_TRANSLATE_NOOP("qv::Dialog", "Isolated areas\r\nof schem"));
    addField({.id = "loops",
              .kind = DialogField::ListBox,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Loops without\r\n current sources"),
              .choice = -1,
              .column = 1,
              .buttons = {{kUp, QT_TRANSLATE_NOOP("qv::Dialog", "UP")},
                          {kDown, QT_TRANSLATE_NOOP("qv::Dialog", "Down")},
                          {kAll, QT_TRANSLATE_NOOP("qv::Dialog", "All")},
                          {kDelete, QT_TRANSLATE_NOOP("qv::Dialog", "Delete"), false}}});
    addField({.id = "sourceLoops",
              .kind = DialogField::ListBox,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Loops with current sources"),
              .choice = -1,
              .column = 1,
              .buttons = {{kSourceUp, QT_TRANSLATE_NOOP("qv::Dialog", "Up")},
                          {kSourceDown, QT_TRANSLATE_NOOP("qv::Dialog", "Down")},
                          {kSourceAll, QT_TRANSLATE_NOOP("qv::Dialog", "All")},
                          {kSourceDelete, QT_TRANSLATE_NOOP("qv::Dialog", "Delete"), false}}});
    addField({.id = "warnings",
              .kind = DialogField::Label,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Ошибки"),
              .color = kWarningColour});
}

void MeshCurrentDialog::fillLoops() {
    DialogField& list = field("loops");
    list.items.clear();
    list.choice = -1;
    loopEntries.clear();
    for (int i = 0; document && i < document->loops().count(); ++i) {
        auto* loop = dynamic_cast<NFCont*>(document->loops().get(i));
        if (!loop || loop->hasCurrentSource()) continue;
        list.items << u8(loop->name);
        loopEntries.push_back(loop);
    }
}

void MeshCurrentDialog::fillSourceLoops() {
    DialogField& list = field("sourceLoops");
    list.items.clear();
    list.choice = -1;
    sourceEntries.clear();
    for (int i = 0; document && i < document->loops().count(); ++i) {
        auto* loop = dynamic_cast<NFCont*>(document->loops().get(i));
        if (!loop || !loop->hasCurrentSource()) continue;
        list.items << u8(loop->name);
        sourceEntries.push_back(loop);
    }
}

void MeshCurrentDialog::show() {
    accepted = 0;
    solvable = true;
    DialogButton& deleteLoop = field("loops").buttons.back();
    DialogButton& deleteSourceLoop = field("sourceLoops").buttons.back();
    deleteLoop.visible = deleteSourceLoop.visible = false;
    QStringList warnings;
    const SchemeCounts c = document ? countScheme(*document) : SchemeCounts{};
    for (const auto& [branch, n] : c.crowded) {
        warnings << QCoreApplication::translate("qv::Dialog", "Attention! Branch ") + u8(branch->name) +
                        QCoreApplication::translate("qv::Dialog", " include ") + QString::number(n) +
                        QCoreApplication::translate("qv::Dialog", " current sources. Calculation impossible");
        solvable = false;
    }
    setCount(*this, "nodeCount", c.nodes);
    setCount(*this, "branchCount", c.branches);
    setCount(*this, "sourceCount", c.sources);
    setCount(*this, "currentLaws", c.nodes - 1);
    const int needed = c.branches - c.sources - c.nodes + 1;
    setCount(*this, "voltageLaws", needed);
    setCount(*this, "areaCount", c.areas);
    fillLoops();
    fillSourceLoops();
    const int withSources = int(sourceEntries.size());
    if (withSources > c.sources)
        warnings << QCoreApplication::translate(
            "qv::Dialog",
            "Attention! Number of loops with current sources greater then number of current sources");
    if (withSources < c.sources)
        warnings << QCoreApplication::translate(
            "qv::Dialog",
            "Attention! Number of loops with current sources less then number of current sources");
    if (c.areas > 1) {
        warnings << QCoreApplication::translate(
            "qv::Dialog", "Attention! Calculated schem has same isolated area. Please delete spare nodes");
        deleteSourceLoop.visible = true;
    }
    const int listed = int(loopEntries.size());
    if (listed > needed) {
        warnings << QCoreApplication::translate(
            "qv::Dialog", "Attention! Number of loops  greater then number of Kirchoff current laws");
        deleteLoop.visible = true;
    }
    if (listed < c.branches + c.areas - c.sources - c.nodes)
        warnings << QCoreApplication::translate(
            "qv::Dialog", "Attention! Number of loops less then number of Kirchoff current laws");
    field("warnings").text = warnings.join(QLatin1Char('\n'));
}

void MeshCurrentDialog::pressed(const QString& button) {
    // Each set of buttons acts on the list it stands beside.
    DialogField& loops = field("loops");
    DialogField& sourceLoops = field("sourceLoops");
    if (button == kUp)
        swapLines(loops, loopEntries, -1);
    else if (button == kDown)
        swapLines(loops, loopEntries, 1);
    else if (button == kAll)
        fillLoops();
    else if (button == kDelete)
        deleteLine(loops, loopEntries);
    else if (button == kSourceUp)
        swapLines(sourceLoops, sourceEntries, -1);
    else if (button == kSourceDown)
        swapLines(sourceLoops, sourceEntries, 1);
    else if (button == kSourceAll)
        fillSourceLoops();
    else if (button == kSourceDelete)
        deleteLine(sourceLoops, sourceEntries);
}

bool MeshCurrentDialog::ok() {
    if (!solvable) return false;
    if (model) {
        for (NFCont* loop : loopEntries)
            model->chosenLoops.add(loop);
        for (NFCont* loop : sourceEntries)
            model->chosenLoops.add(loop);
    }
    accepted = 1;
    return true;
}

} // namespace qv
