#include "app/potentialcommand.h"

#include <QCoreApplication>
#include <algorithm>

#include "app/solvecommand.h"
#include "app/workbench.h"
#include "diagrams/loop.h"
#include "model/context.h"
#include "model/document.h"
#include "solver/powerbalance.h"

namespace qv {

bool loopPotentialDiagram(NTBEFizDisp& doc, int loopIndex, PotentialDiagram& diagram) {
    if (loopIndex < 0 || loopIndex >= doc.loops().count()) return false;
    NCalcPowerBalance calc;
    calc.owner = &doc;
    calc.loopIndex = loopIndex;
    if (!calc.loopProfile()) return false;
    const int count = std::clamp(calc.profileCount, 0, NCalcPowerBalance::kProfileSize);
    diagram.setProfile(calc.profilePotentials.data(), calc.profileAbscissas.data(), count);
    return true;
}

bool choosePotentialDiagram(NTBEFizDisp& doc, PotentialDiagram& diagram) {
    Context* context = doc.context();
    if (!context) return false;
    auto& dialog = context->dialog<PotentialLoopDialog>();
    dialog.list = &doc.loops();
    context->presenter()->exec(dialog);
    dialog.list = nullptr;
    // Closing the dialog without OK keeps the loop chosen before.
    return loopPotentialDiagram(doc, dialog.chosen, diagram);
}

bool Workbench::potentialDiagram(PotentialDiagram& diagram) {
    cancelEditing();
    return choosePotentialDiagram(*scheme_, diagram);
}

bool solvedPotentialDiagram(NTBEFizDisp& doc, const QString& loopName, PotentialDiagram& diagram,
                            QString& error, bool* refused) {
    if (refused) *refused = false;
    int index = -1;
    QStringList names;
    for (int i = 0; i < doc.loops().count(); ++i) {
        const QString name = QString::fromStdString(doc.loops().get(i)->name);
        names << name;
        if (index < 0 && name == loopName) index = i;
    }
    if (index < 0) {
        error = names.isEmpty()
                    ? QCoreApplication::translate("qv::Message",
                                                  "The scheme has no loops; there is no loop \"%1\".")
                          .arg(loopName)
                    : QCoreApplication::translate("qv::Message",
                                                  "The scheme has no loop \"%1\"; its loops are: %2.")
                          .arg(loopName, names.join(QStringLiteral(", ")));
        return false;
    }
    const SolveResult solved = solveScheme(doc, SolveRequest::fromScheme(doc, "node"));
    if (solved.status == SolveResult::Refused) {
        if (refused) *refused = true;
        error =
            (solved.warnings + QStringList{QStringLiteral(
                                   "The node list cannot be solved as it stands; change the scheme first.")})
                .join('\n');
        return false;
    }
    if (solved.status != SolveResult::Solved) {
        error = solved.errors.join(QStringLiteral(": "));
        return false;
    }
    if (!loopPotentialDiagram(doc, index, diagram)) {
        error = QCoreApplication::translate(
                    "qv::Message",
                    "The potential diagram of loop \"%1\" cannot be drawn: an element on it has no "
                    "direct-current potentials (a capacitor, an inductor, an impedance or an AC "
                    "source).")
                    .arg(loopName);
        return false;
    }
    return true;
}

} // namespace qv
