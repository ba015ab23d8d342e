// The Kirchhoff-laws method: the branch currents are the unknowns; the current law is written
// for every node but the last of the order, the voltage law for every loop.
#include <QCoreApplication>
#include <string>
#include <vector>

#include "model/context.h"
#include "model/document.h"
#include "platform/numfmt.h"
#include "report/writers.h"
#include "solver/circuitchecks.h"
#include "solver/kirchhoff.h"
#include "solver/linear.h"
#include "solver/modelwriters.h"
#include "solver/solutionerror.h"
#include "solver/solvefailure.h"

namespace qv {

namespace {

/// Room of the DC tables: the matrix holds 2001 entries and the right-hand side 501, so at
/// most 44 unknowns (44 x 44 = 1936).
constexpr int kDcMatrixRoom = 2001;
constexpr int kDcRhsRoom = 501;
constexpr int kDcMaxUnknowns = 44;

/// A loop through a branch with a current source has no equation of its own in this method:
/// the voltage across the source is not known. Such loops are left out of the voltage law.
bool throughCurrentSource(const NCont& loop, bool direct) {
    for (int k = 0; k < loop.branches.count(); ++k) {
        const NVetv* b = loop.branches.get(k);
        if (direct ? b->currentSource != nullptr : b->complexCurrentSource != nullptr) return true;
    }
    return false;
}

std::vector<NCont*> voltageLawLoops(const NSContAr& loops, bool direct) {
    std::vector<NCont*> kept;
    for (int i = 0; i < loops.count(); ++i)
        if (!throughCurrentSource(*loops.get(i), direct)) kept.push_back(loops.get(i));
    return kept;
}

/// Numbers the unknown branch currents in branch order; a branch with a current source gets
/// -1. Answers their count.
int numberUnknowns(const NSVetvAr& branches, bool direct) {
    int n = 0;
    for (int i = 0; i < branches.count(); ++i) {
        NVetv* b = branches.get(i);
        const bool source = direct ? b->currentSource != nullptr : b->complexCurrentSource != nullptr;
        b->column = source ? -1 : n++;
    }
    return n;
}

void writeIntro(CircuitModel& model, ReportTarget& t) {
    const NTBEFizDisp* doc = model.document;
    if (doc && doc->insertSchemeImage) insertSchemePicture(model, t);
    if (doc && doc->insertInitialData) writeInitialData(model, t);
}

bool hasSource(const NVetv& b, bool direct) {
    return direct ? b.currentSource != nullptr : b.complexCurrentSource != nullptr;
}

/// The nodes whose current law is written: all but the last of each part that the unknown
/// branches join (the law of a whole part follows from those of its other nodes).
std::vector<NUsel*> currentLawNodes(const CircuitModel& m, bool direct) {
    std::vector<int> part;
    const int parts = connectedParts(
        m.nodes, m.branches, [direct](const NVetv& b) { return !hasSource(b, direct); }, &part);
    std::vector<int> last(size_t(parts), -1);
    for (int i = 0; i < m.nodeCount(); ++i)
        last[size_t(part[size_t(i)])] = i;
    std::vector<NUsel*> kept;
    for (int i = 0; i < m.nodeCount(); ++i)
        if (last[size_t(part[size_t(i)])] != i) kept.push_back(m.nodes.get(i));
    return kept;
}

/// The rows of the voltage law after the `kcl` rows of the current law: the first `needed`
/// loops that add to the loops before them take the rows the system is solved with, the
/// others follow (a loop that a merge has made the same as another adds nothing).
std::vector<int> voltageLawRows(const std::vector<NCont*>& loops, int kcl, int needed, int& used) {
    std::vector<bool> adds;
    loopRank(loops, nullptr, &adds);
    std::vector<int> rows(loops.size());
    used = 0;
    int extra = 0;
    for (size_t i = 0; i < loops.size(); ++i)
        rows[i] = adds[i] && used < needed ? kcl + used++ : kcl + needed + extra++;
    return rows;
}

/// Fails the solution unless the voltage law has as many independent loops as the branch
/// currents need beside the current law.
void requireEnoughLoops(const CircuitModel& m, const std::vector<NCont*>& loops, int needed, int used) {
    if (used >= needed) return;
    bool throughOpen = false;
    for (int i = 0; i < m.removedLoops.count() && !throughOpen; ++i)
        for (int k = 0; k < m.removedLoops.get(i)->branches.count(); ++k)
            throughOpen = throughOpen || m.removedLoops.get(i)->branches.get(k)->kind == BranchOpen;
    const std::string written =
        int(loops.size()) == used
            ? std::to_string(loops.size()) + " loops"
            : std::to_string(loops.size()) + " loops, of which " + std::to_string(used) + " are independent";
    failSolution(
        "the voltage law is written for " + written + ", but the branch currents need " +
        std::to_string(needed) + " independent ones" +
        (throughOpen ? "; the loops through an open branch (a capacitor in DC) were left out" : "") +
        (m.loopCount() > int(loops.size()) ? "; a loop through a current source has no equation" : ""));
}

/// Fails the solution when the currents found break Kirchhoff's laws.
void requireLawsHold(const CircuitModel& m, bool direct) {
    if (auto broken = currentsBreakKirchhoff(m, direct)) failSolution(*broken);
}

/// A DC branch current of the results: three decimals, or the general format where these
/// would show a current that is not zero as 0.000.
std::string shownCurrent(Extended current) {
    const std::string fixed = numfmt::fixed(current, 5, 3);
    if (current == 0 || fixed.find_first_of("123456789") != std::string::npos) return fixed;
    return numfmt::general(current, 5);
}

/// Whether `b` is at the node's list before position `at`.
bool listedBefore(const NUsel* node, int at, const NVetv* b) {
    for (int i = 0; i < at; ++i)
        if (node->branches.get(i) == b) return true;
    return false;
}

} // namespace

Extended KirchhoffMethod::writeNodeEquation(NUsel* node, ReportTarget& t, std::vector<double>& matrix,
                                            int rowStart) {
    Extended sum = 0;
    bool first = true;
    for (int i = 0; i < node->branches.count(); ++i) {
        NVetv* b = node->branches.get(i);
        if (NIst* j = b->currentSource) {
            const bool leaving =
                (node == b->startNode && j->orientation == 1) || (node == b->endNode && j->orientation == 0);
            if (leaving) {
                writeIndexed(t, first ? "J" : "+J", j->name);
                sum -= j->value;
            } else {
                writeIndexed(t, "-J", j->name);
                sum += j->value;
            }
        } else if (node == b->startNode && (b->endNode != node || !listedBefore(node, i, b))) {
            writeIndexed(t, first ? "I" : "+I", b->name);
            matrix[size_t(rowStart + b->column)] += 1;
        } else {
            // A branch closed on the node is listed twice: it leaves and enters.
            writeIndexed(t, "-I", b->name);
            matrix[size_t(rowStart + b->column)] -= 1;
        }
        first = false;
    }
    writeIndexed(t, "=0", "");
    return sum;
}

Extended KirchhoffMethod::writeLoopEquation(NCont* loop, ReportTarget& t, std::vector<double>& matrix,
                                            int rowStart) {
    for (int k = 0; k < loop->branches.count(); ++k)
        matrix[size_t(rowStart + loop->branches.get(k)->column)] = 0;
    for (int k = 0; k < loop->branches.count(); ++k) {
        NVetv* b = loop->branches.get(k);
        const bool along = loop->runsAlong(k);
        writeIndexed(t, along ? (k == 0 ? "I" : "+I") : "-I", b->name);
        double& cell = matrix[size_t(rowStart + b->column)];
        const int sign = along ? 1 : -1;
        if (b->resistors.count() == 0) {
            // No resistor: the branch adds no voltage drop to the loop.
            t.insert(kMultiplySign + "0");
        } else if (b->resistors.count() < 2) {
            writeIndexed(t, kMultiplySign + "R", b->resistors.get(0)->name);
            cell = double(sign * b->resistors.get(0)->value);
        } else {
            t.insert(kMultiplySign + "(");
            for (int r = 0; r < b->resistors.count(); ++r) {
                writeIndexed(t, "R", b->resistors.get(r)->name);
                t.insert("+");
                cell += double(sign * b->resistors.get(r)->value);
            }
            t.editClear(-1);
            t.insert(")");
        }
    }
    t.insert("=");
    Extended sum = 0;
    bool written = false;
    for (int k = 0; k < loop->branches.count(); ++k) {
        NVetv* b = loop->branches.get(k);
        for (int e = 0; e < b->emfs.count(); ++e) {
            NEds* emf = b->emfs.get(e);
            const bool positive = loop->runsAlong(k) == (emf->orientation == 1);
            if (!positive) {
                writeIndexed(t, "-E", emf->name);
                sum -= emf->value;
            } else {
                writeIndexed(t, written ? "+E" : "E", emf->name);
                sum += emf->value;
            }
            written = true;
        }
    }
    if (!written) t.insert("0");
    return sum;
}

void KirchhoffMethod::solveDirect(ReportTarget& t) {
    joinGroundedNodes();
    requireDeterminedCurrents(*this, true);
    // A capacitor passes no direct current whether or not the shorts are merged.
    if (document && document->deleteZeroBranches)
        removeZeroBranches();
    else
        removeOpenBranches();
    t.font(kReportBodyFont);
    writeIntro(*this, t);
    t.fontSize(14);
    t.font(kReportBodyFont);
    t.insert(QCoreApplication::translate("qv::Report", "Решение").toStdString() + "\r");

    const int n = numberUnknowns(branches, true);
    const std::vector<NCont*> kvlLoops = voltageLawLoops(loops, true);
    const std::vector<NUsel*> kclNodes = currentLawNodes(*this, true);
    const int kcl = int(kclNodes.size());
    const int parts = nodeCount() - kcl;
    const int rows = kcl + int(kvlLoops.size());
    if (n > kDcMaxUnknowns)
        failSolution("more than " + std::to_string(kDcMaxUnknowns) + " unknowns (" + std::to_string(n) + ")");
    if (rows > kDcRhsRoom || size_t(std::max(rows, 0)) * size_t(n) > size_t(kDcMatrixRoom))
        failSolution("more equations than the tables hold (" + std::to_string(rows) + " of " +
                     std::to_string(n) + " unknowns)");
    std::vector<double> matrix(kDcMatrixRoom, 0.0);
    std::vector<double> b(kDcRhsRoom, 0.0);

    int sourceBranches = 0;
    for (int i = 0; i < branchCount(); ++i)
        if (branches.get(i)->currentSource) ++sourceBranches;
    t.fontSize(14);
    t.font(kReportBodyFont);
    t.insert(QCoreApplication::translate("qv::Report", "Writing Kirchoff current law for").toStdString() +
             std::to_string(nodeCount()) + "-" + std::to_string(parts) +
             QCoreApplication::translate("qv::Report", " nodes").toStdString() + "\r");
    t.font(kReportBodyFont);
    for (int a = 0; a < kcl; ++a) {
        b[size_t(a)] = double(writeNodeEquation(kclNodes[size_t(a)], t, matrix, a * n));
        t.insert("\r");
        t.font(kReportBodyFont);
    }
    t.font(kReportBodyFont);
    t.fontSize(14);
    t.insert(QCoreApplication::translate("qv::Report", "Wrining Kirchoff voltage law for ").toStdString() +
             std::to_string(branchCount()) + "-" + std::to_string(sourceBranches) + "-(" +
             std::to_string(nodeCount()) + "-" + std::to_string(parts) + ")" +
             QCoreApplication::translate("qv::Report", " loops").toStdString() + "\r");
    t.font(kReportBodyFont);
    int used = 0;
    const std::vector<int> loopRows = voltageLawRows(kvlLoops, kcl, n - kcl, used);
    for (size_t i = 0; i < kvlLoops.size(); ++i) {
        const int row = loopRows[i];
        b[size_t(row)] = double(writeLoopEquation(kvlLoops[i], t, matrix, row * n));
        t.insert("\r");
        t.font(kReportBodyFont);
    }

    std::vector<std::string> letters, indexes;
    for (int i = 0; i < branchCount(); ++i)
        if (branches.get(i)->column >= 0) {
            letters.push_back("I");
            indexes.push_back(branches.get(i)->name);
        }
    const std::vector<Extended> a(matrix.begin(), matrix.begin() + size_t(n) * size_t(n));
    const std::vector<Extended> rhs(b.begin(), b.begin() + n);
    std::vector<double> x;
    {
        Sistema sistema(t);
        sistema.writeSystem(a, letters, indexes, n, 5, 5, rhs);
        requireEnoughLoops(*this, kvlLoops, n - kcl, used);
        CramerSolve(matrix, b, n, x);
    }

    for (int i = 0; i < branchCount(); ++i) {
        NVetv* br = branches.get(i);
        if (NIst* j = br->currentSource)
            // The source drives its current against the branch direction when turned round.
            br->current = j->orientation == 1 ? j->value : -j->value;
        else
            br->current = x[size_t(br->column)];
    }
    recoverRemovedCurrents(*this, true);
    requireLawsHold(*this, true);

    t.font(kReportBodyFont);
    for (int i = 0; i < builtBranches.count(); ++i) {
        NVetv* br = builtBranches.get(i);
        if (br->currentSource)
            writeIndexedValue(t, "I", br->name, numfmt::general(br->current, 18) + "\r");
        else
            writeIndexedValue(t, "I", br->name, shownCurrent(br->current) + "\r");
        t.font(kReportBodyFont);
    }
}

void KirchhoffMethod::writeNodeEquationAC(NUsel* node, ReportTarget& t, std::span<Complex> row,
                                          Complex& rhs) {
    Complex sum;
    bool written = false;
    bool along = true;
    for (int i = 0; i < node->branches.count(); ++i) {
        NVetv* b = node->branches.get(i);
        // A branch closed on the node is listed twice: it leaves and enters.
        if (node == b->startNode && (b->endNode != node || !listedBefore(node, i, b)))
            along = true;
        else if (node == b->endNode)
            along = false;
        if (NCompIst* j = b->complexCurrentSource) {
            const bool leaving = (j->orientation == 1) == along;
            if (leaving) {
                if (written) t.insert("+");
                sum = CSub(sum, CMake(j->re, j->im));
            } else {
                t.insert("-");
                sum = CAdd(sum, CMake(j->re, j->im));
            }
            writeIndexed(t, "J", j->name);
        } else {
            if (along) {
                if (written) t.insert("+");
                row[size_t(b->column)] = CAdd(row[size_t(b->column)], CMake(1, 0));
            } else {
                t.insert("-");
                row[size_t(b->column)] = CSub(row[size_t(b->column)], CMake(1, 0));
            }
            writeIndexed(t, "I", b->name);
        }
        written = true;
    }
    t.insert("=0");
    rhs = sum;
}

void KirchhoffMethod::writeLoopEquationAC(NCont* loop, ReportTarget& t, std::span<Complex> row,
                                          Complex& rhs) {
    Complex sum;
    for (int k = 0; k < loop->branches.count(); ++k) {
        NVetv* b = loop->branches.get(k);
        const bool along = loop->runsAlong(k);
        if (along) {
            if (k > 0) t.insert("+");
            row[size_t(b->column)] = b->impedance;
        } else {
            t.insert("-");
            row[size_t(b->column)] = CMake(-b->impedance.re, -b->impedance.im);
        }
        writeIndexed(t, "I", b->name);
        t.insert(kMultiplySign);
        writeIndexed(t, "Z", b->name);
    }
    t.insert("=");
    bool before = false;
    for (int k = 0; k < loop->branches.count(); ++k) {
        NVetv* b = loop->branches.get(k);
        const bool along = loop->runsAlong(k);
        writeBranchEmfTerms(*b, t, along, before);
        sum = along ? CAdd(sum, b->complexEmfSum()) : CSub(sum, b->complexEmfSum());
    }
    if (sum.re == 0 && sum.im == 0) t.insert(before ? "=0" : "0");
    rhs = sum;
}

void KirchhoffMethod::solveAlternate(ReportTarget& t) {
    joinGroundedNodes();
    requireDeterminedCurrents(*this, false);
    if (document && document->deleteZeroBranches) removeZeroBranches();
    writeIntro(*this, t);
    t.fontSize(14);
    t.insert(QCoreApplication::translate("qv::Report", "Solution").toStdString() + "\r");
    t.font(kReportBodyFont);
    t.fontSize(14);
    t.insert(QCoreApplication::translate("qv::Report", "Branches impedance calculation").toStdString() +
             "\r");
    for (int i = 0; i < branchCount(); ++i) {
        t.font(kReportBodyFont);
        writeBranchImpedance(*this, *branches.get(i), t);
    }

    const int n = numberUnknowns(branches, false);
    const std::vector<NCont*> kvlLoops = voltageLawLoops(loops, false);
    const std::vector<NUsel*> kclNodes = currentLawNodes(*this, false);
    const int kcl = int(kclNodes.size());
    // Room for every equation written; the system is solved with the first n.
    const size_t rows = size_t(std::max(kcl + int(kvlLoops.size()), n + 1));
    std::vector<Complex> matrix(rows * size_t(n + 1));
    std::vector<Complex> b(rows);
    auto row = [&](int r) { return std::span<Complex>(matrix).subspan(size_t(r) * size_t(n), size_t(n)); };

    for (int a = 0; a < kcl; ++a) {
        t.font(kReportBodyFont);
        writeNodeEquationAC(kclNodes[size_t(a)], t, row(a), b[size_t(a)]);
        t.insert("\r");
    }
    int used = 0;
    const std::vector<int> loopRows = voltageLawRows(kvlLoops, kcl, n - kcl, used);
    for (size_t i = 0; i < kvlLoops.size(); ++i) {
        t.font(kReportBodyFont);
        const int r = loopRows[i];
        writeLoopEquationAC(kvlLoops[i], t, row(r), b[size_t(r)]);
        t.insert("\r");
    }

    std::vector<ComplexValue> shownMatrix, shownRhs;
    for (size_t k = 0; k < size_t(n) * size_t(n); ++k)
        shownMatrix.push_back(shown(matrix[k]));
    for (int r = 0; r < n; ++r)
        shownRhs.push_back(shown(b[size_t(r)]));
    std::vector<std::string> indexes;
    for (int i = 0; i < branchCount(); ++i)
        if (branches.get(i)->column >= 0) indexes.push_back(branches.get(i)->name);
    writeComplexSystem(t, shownRhs, shownMatrix, n, indexes, "I", kReportBodyFont, context().numberPrecision);

    requireEnoughLoops(*this, kvlLoops, n - kcl, used);
    std::vector<Complex> x(size_t(std::max(n, 0)));
    ComplexCramerSolve(std::span<const Complex>(matrix).first(size_t(n) * size_t(n)), b, x, n);

    for (int i = 0; i < branchCount(); ++i) {
        NVetv* br = branches.get(i);
        if (NCompIst* j = br->complexCurrentSource)
            // Turned round, the source drives its current against the branch direction.
            br->complexCurrent = j->orientation == 1 ? CMake(j->re, j->im) : CMake(-j->re, -j->im);
        else
            br->complexCurrent = x[size_t(br->column)];
    }
    recoverRemovedCurrents(*this, false);
    requireLawsHold(*this, false);

    for (int i = 0; i < builtBranches.count(); ++i) {
        NVetv* br = builtBranches.get(i);
        t.font(kReportBodyFont);
        writeIndexed(t, "I", br->name);
        t.insert("=");
        writeComplex(t, shown(br->complexCurrent), context().numberPrecision);
        t.insert("\r");
    }
}

} // namespace qv
