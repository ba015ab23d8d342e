#include "solver/meshcurrent.h"

#include <QCoreApplication>

#include <QString>
#include <string>
#include <vector>

#include "model/context.h"
#include "model/document.h"
#include "platform/numfmt.h"
#include "report/writers.h"
#include "solver/circuitchecks.h"
#include "solver/linear.h"
#include "solver/modelwriters.h"
#include "solver/solvefailure.h"

namespace qv {

namespace {

/// Room of the DC tables: 2001 coefficients, so at most 44 unknown mesh currents.
constexpr int kDcMatrixRoom = 2001;
constexpr int kDcRhsRoom = 201;
constexpr int kDcMaxUnknowns = 44;

/// The subscript of a loop pair: the two names one after the other, cut to 40 characters.
std::string pair(const NCont* a, const NCont* b) {
    return QString::fromStdString(a->name + b->name).left(40).toStdString();
}
std::string own(const NCont* a) {
    return pair(a, a);
}

bool along(const NCont* loop, int k) {
    return loop->runsAlong(k);
}

/// Whether the loop passes `branch` (which it holds) from its start node to its end node.
bool forwardThrough(const NCont* loop, const NVetv* branch) {
    return loop->runsAlong(loop->branches.indexOf(branch));
}

/// Whether a source on `branch` with this orientation acts in the loop's direction.
bool actsAlong(const NCont* loop, const NVetv* branch, uint8_t orientation) {
    return forwardThrough(loop, branch) == (orientation == 1);
}

Complex negated(Complex z) {
    return CMake(-z.re, -z.im);
}

/// A DC number of the method: the general format with at least three exponent digits.
std::string number(Extended v, int digits) {
    return numfmt::general(v, digits, 3);
}

} // namespace

void MeshCurrentMethod::requireLoopBasis() const {
    // The mesh currents give every branch current only when the loops are a basis of the
    // scheme's loops: as many as it has independent ones, and independent themselves.
    std::vector<NCont*> all;
    for (int l = 0; l < loopCount(); ++l)
        all.push_back(loops.get(l));
    NCont* dependent = nullptr;
    const int rank = loopRank(all, &dependent);
    if (dependent)
        failSolution("loop " + dependent->name +
                     " follows from the loops before it: the mesh currents are not determined");
    const int needed =
        branchCount() - nodeCount() + connectedParts(nodes, branches, [](const NVetv&) { return true; });
    if (rank >= needed) return;
    bool throughOpen = false;
    for (int i = 0; i < removedLoops.count() && !throughOpen; ++i)
        for (int k = 0; k < removedLoops.get(i)->branches.count(); ++k)
            throughOpen = throughOpen || removedLoops.get(i)->branches.get(k)->kind == BranchOpen;
    bool groundsJoined = false;
    for (int i = 0; i < removedNodes.count(); ++i)
        groundsJoined = groundsJoined || removedNodes.get(i)->grounded;
    failSolution("the scheme has " + std::to_string(needed) + " independent loops, but " +
                 std::to_string(rank) + (rank == 1 ? " was" : " were") +
                 " chosen: the mesh currents do not give every branch current" +
                 (throughOpen ? "; the loops through an open branch (a capacitor in DC) were left out" : "") +
                 (groundsJoined ? "; all grounds are one point, so a loop may also close through them" : ""));
}

Extended MeshCurrentMethod::currentFromLoops(const NVetv* branch) const {
    if (const NIst* j = branch->currentSource) return j->orientation == 1 ? j->value : -j->value;
    Extended current = 0;
    for (int l = 0; l < branch->loops.count(); ++l) {
        const NCont* loop = branch->loops.get(l);
        current += forwardThrough(loop, branch) ? loop->meshCurrent : -loop->meshCurrent;
    }
    return current;
}

Complex MeshCurrentMethod::currentFromLoopsAC(const NVetv* branch) const {
    Complex current;
    for (int l = 0; l < branch->loops.count(); ++l) {
        const NCont* loop = branch->loops.get(l);
        current = forwardThrough(loop, branch) ? CAdd(current, loop->complexMeshCurrent)
                                               : CSub(current, loop->complexMeshCurrent);
    }
    return current;
}

bool MeshCurrentMethod::passesAlong(const NCont* loop, const NUsel* from, const NUsel* to,
                                    const NVetv* branch) const {
    const int k = loop->branches.indexOf(branch);
    if (k < 0) return false;
    if (along(loop, k)) return from == branch->startNode && to == branch->endNode;
    return from == branch->endNode && to == branch->startNode;
}

void MeshCurrentMethod::calcLoopRelations() {
    for (int b = 0; b < branchCount(); ++b)
        branches.get(b)->loops.clear();
    for (int b = 0; b < branchCount(); ++b)
        for (int l = 0; l < loopCount(); ++l)
            if (loops.get(l)->branches.indexOf(branches.get(b)) >= 0)
                branches.get(b)->loops.add(loops.get(l));
    for (int l = 0; l < loopCount(); ++l) {
        NCont* loop = loops.get(l);
        loop->neighbours.clear();
        loop->loopSource = nullptr;
        loop->complexLoopSource = nullptr;
        loop->sourceAlong = 0;
        for (int k = 0; k < loop->branches.count(); ++k) {
            NVetv* b = loop->branches.get(k);
            for (int o = 0; o < b->loops.count(); ++o) {
                NCont* other = b->loops.get(o);
                if (other != loop && loop->neighbours.indexOf(other) < 0) loop->neighbours.add(other);
            }
            if (b->loops.count() != 1) continue;
            if (NIst* j = b->currentSource) {
                loop->loopSource = j;
                loop->sourceAlong = actsAlong(loop, b, j->orientation) ? 1 : 0;
            }
            if (NCompIst* j = b->complexCurrentSource) {
                loop->complexLoopSource = j;
                loop->sourceAlong = actsAlong(loop, b, j->orientation) ? 1 : 0;
            }
        }
    }
}

std::vector<NCont*> MeshCurrentMethod::unknownLoops(bool direct) {
    // Each current source must fix the current of exactly one loop: in no loop its current
    // would have no path, in two the voltage across it would be a further unknown.
    const int sources = direct ? currentSources.count() : complexCurrentSources.count();
    for (int s = 0; s < sources; ++s) {
        NVetv* b = direct ? currentSources.get(s)->branch : complexCurrentSources.get(s)->branch;
        const std::string name = direct ? currentSources.get(s)->name : complexCurrentSources.get(s)->name;
        const bool first = direct ? b->currentSource == currentSources.get(s)
                                  : b->complexCurrentSource == complexCurrentSources.get(s);
        if (branches.indexOf(b) < 0) continue; // an open branch, with a source of 0 A
        if (!first) failSolution("branch " + b->name + " holds more than one current source");
        if (b->loops.count() != 1)
            failSolution("the current source J" + name + " lies in " + std::to_string(b->loops.count()) +
                         " of the loops; the mesh current method needs it in exactly one");
    }
    std::vector<NCont*> unknown;
    for (int l = 0; l < loopCount(); ++l) {
        NCont* loop = loops.get(l);
        int fixed = 0;
        for (int k = 0; k < loop->branches.count(); ++k) {
            const NVetv* b = loop->branches.get(k);
            if (direct ? b->currentSource != nullptr : b->complexCurrentSource != nullptr) ++fixed;
        }
        if (fixed > 1) failSolution("loop " + loop->name + " holds more than one current source");
        if (fixed == 0) unknown.push_back(loop);
    }
    return unknown;
}

template <class Fn> void MeshCurrentMethod::forSharedBranches(const NCont* a, const NCont* b, Fn fn) const {
    for (int k = 0; k < a->branches.count(); ++k) {
        NVetv* branch = a->branches.get(k);
        const int kb = b->branches.indexOf(branch);
        if (kb >= 0) fn(branch, a->runsAlong(k) == b->runsAlong(kb));
    }
}

// ---- direct current ----

Extended MeshCurrentMethod::writeLoopResistance(int i, int j, ReportTarget& t) {
    NCont* a = loops.get(i);
    NCont* b = loops.get(j);
    writeIndexed(t, "R", pair(a, b));
    t.insert("=");
    Extended sum = 0;
    bool written = false;
    if (i == j) {
        for (int k = 0; k < a->branches.count(); ++k) {
            const NVetv* br = a->branches.get(k);
            for (int r = 0; r < br->resistors.count(); ++r) {
                writeIndexed(t, written ? "+R" : "R", br->resistors.get(r)->name);
                sum += br->resistors.get(r)->value;
                written = true;
            }
        }
    } else {
        forSharedBranches(a, b, [&](const NVetv* br, bool same) {
            for (int r = 0; r < br->resistors.count(); ++r) {
                writeIndexed(t, same ? (written ? "+R" : "R") : "-R", br->resistors.get(r)->name);
                sum += same ? br->resistors.get(r)->value : -br->resistors.get(r)->value;
                written = true;
            }
        });
    }
    if (written) t.insert("=");
    t.insert(number(sum, precision) + "\r");
    return sum;
}

Extended MeshCurrentMethod::loopResistance(int i, int j) const {
    const NCont* a = loops.get(i);
    Extended sum = 0;
    if (i == j) {
        for (int k = 0; k < a->branches.count(); ++k)
            for (int r = 0; r < a->branches.get(k)->resistors.count(); ++r)
                sum += a->branches.get(k)->resistors.get(r)->value;
        return sum;
    }
    forSharedBranches(a, loops.get(j), [&](const NVetv* br, bool same) {
        for (int r = 0; r < br->resistors.count(); ++r)
            sum += same ? br->resistors.get(r)->value : -br->resistors.get(r)->value;
    });
    return sum;
}

Extended MeshCurrentMethod::loopEmfTerms(NCont* loop, ReportTarget& t) {
    Extended sum = 0;
    bool written = false;
    for (int k = 0; k < loop->branches.count(); ++k) {
        const NVetv* b = loop->branches.get(k);
        for (int e = 0; e < b->emfs.count(); ++e) {
            const NEds* emf = b->emfs.get(e);
            if ((emf->orientation == 1) == along(loop, k)) {
                writeIndexed(t, written ? "+E" : "E", emf->name);
                sum += emf->value;
            } else {
                writeIndexed(t, "-E", emf->name);
                sum -= emf->value;
            }
            written = true;
        }
    }
    return sum;
}

Extended MeshCurrentMethod::writeLoopEmf(NCont* loop, ReportTarget& t) {
    writeIndexed(t, "E", own(loop));
    t.insert("= ");
    Extended value = loopEmfTerms(loop, t);
    for (int n = 0; n < loop->neighbours.count(); ++n) {
        NCont* k = loop->neighbours.get(n);
        if (!k->loopSource) continue;
        writeIndexed(t, "-I", own(k));
        writeIndexed(t, kMultiplySign + "R", pair(k, loop));
        const Extended known = k->sourceAlong ? k->loopSource->value : -k->loopSource->value;
        value -= loopResistance(loops.indexOf(loop), loops.indexOf(k)) * known;
    }
    // A loop without EMFs and known neighbours keeps the blank: "E22= =0".
    t.fontSize(14);
    t.insert("=" + number(value, 5) + "\r");
    return value;
}

Extended MeshCurrentMethod::writeBranchCurrentFromLoops(NVetv* branch, ReportTarget& t) {
    writeIndexed(t, "I", branch->name);
    t.insert("= ");
    Extended current = 0;
    if (NIst* j = branch->currentSource) {
        writeIndexed(t, j->orientation == 1 ? "J" : "-J", j->name);
        current = j->orientation == 1 ? j->value : -j->value;
    } else {
        // In no loop, the last step takes back the blank after "=": "I5==0".
        for (int l = 0; l < branch->loops.count(); ++l) {
            NCont* loop = branch->loops.get(l);
            if (forwardThrough(loop, branch)) {
                writeIndexed(t, "I", own(loop));
                current += loop->meshCurrent;
            } else {
                t.editClear(-1);
                writeIndexed(t, "-I", own(loop));
                current -= loop->meshCurrent;
            }
            t.insert("+");
        }
        t.editClear(-1);
    }
    t.fontSize(14);
    t.insert("=" + number(current, 8) + "\r");
    branch->current = current;
    return current;
}

void MeshCurrentMethod::solveDirect(ReportTarget& t) {
    precision = 7;
    digits = 5;
    joinGroundedNodes();
    requireDeterminedCurrents(*this, true);
    // A capacitor passes no direct current: its branch and the loops through it are left out.
    removeOpenBranches();
    calcLoopRelations();
    if (document && document->insertSchemeImage) insertSchemePicture(*this, t);
    if (document && document->insertInitialData) writeInitialData(*this, t);
    t.fontSize(14);
    t.insert(QCoreApplication::translate("qv::Report", "Решение").toStdString() + "\r");

    const std::vector<NCont*> rows = unknownLoops(true);
    const int n = int(rows.size());
    if (n > kDcMaxUnknowns)
        failSolution("more than " + std::to_string(kDcMaxUnknowns) + " unknowns (" + std::to_string(n) + ")");

    // Equations in general form: every loop's mesh current in every row.
    for (NCont* row : rows) {
        for (int j = 0; j < loopCount(); ++j) {
            writeIndexed(t, "I", own(loops.get(j)));
            writeIndexed(t, kMultiplySign + "R", pair(row, loops.get(j)));
            writeIndexed(t, "+", "");
        }
        t.editClear(-1);
        writeIndexed(t, "=E", own(row));
        t.insert("\r");
    }
    for (NCont* row : rows)
        for (int j = 0; j < loopCount(); ++j)
            writeLoopResistance(loops.indexOf(row), j, t);

    std::vector<double> table(kDcMatrixRoom, 0.0);
    std::vector<double> rhs(kDcRhsRoom, 0.0);
    std::vector<Extended> a, b;
    std::vector<std::string> letters, subscripts;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const Extended r = loopResistance(loops.indexOf(rows[size_t(i)]), loops.indexOf(rows[size_t(j)]));
            table[size_t(i * n + j)] = double(r);
            a.push_back(double(r));
        }
    for (int i = 0; i < n; ++i) {
        rhs[size_t(i)] = double(writeLoopEmf(rows[size_t(i)], t));
        b.push_back(rhs[size_t(i)]);
        letters.push_back("I");
        subscripts.push_back(own(rows[size_t(i)]));
    }
    std::vector<double> x;
    {
        Sistema sistema(t);
        sistema.exponentDigits = 3;
        sistema.writeSystem(a, letters, subscripts, n, precision, digits, b);
    }
    requireLoopBasis();
    CramerSolveVar(table, rhs, n, x);

    int next = 0;
    for (int l = 0; l < loopCount(); ++l) {
        NCont* loop = loops.get(l);
        if (NIst* j = loop->loopSource)
            loop->meshCurrent = actsAlong(loop, j->branch, j->orientation) ? j->value : -j->value;
        else
            loop->meshCurrent = x[size_t(next++)];
    }
    for (int i = 0; i < builtBranches.count(); ++i)
        builtBranches.get(i)->current = currentFromLoops(builtBranches.get(i));
    if (auto broken = currentsBreakKirchhoff(*this, true)) failSolution(*broken);

    for (int l = 0; l < loopCount(); ++l) {
        NCont* loop = loops.get(l);
        const NIst* j = loop->loopSource;
        // A mesh current fixed at -J is the source's value turned round, to the last digit.
        const bool turned = j && !actsAlong(loop, j->branch, j->orientation);
        writeIndexedValue(t, "I", own(loop), number(loop->meshCurrent, turned ? 18 : precision) + "\r");
    }
    for (int i = 0; i < builtBranches.count(); ++i)
        writeBranchCurrentFromLoops(builtBranches.get(i), t);
}

// ---- alternating current ----

Complex MeshCurrentMethod::writeLoopImpedance(int i, int j, ReportTarget& t) {
    NCont* a = loops.get(i);
    NCont* b = loops.get(j);
    writeIndexed(t, "Z", pair(a, b));
    t.insert("=");
    Complex sum;
    bool written = false;
    if (i == j) {
        for (int k = 0; k < a->branches.count(); ++k) {
            const NVetv* br = a->branches.get(k);
            if (written) t.insert("+");
            writeIndexed(t, "Z", br->name);
            sum = CAdd(sum, br->impedance);
            written = true;
        }
    } else {
        forSharedBranches(a, b, [&](const NVetv* br, bool same) {
            if (same) {
                if (written) t.insert("+");
                writeIndexed(t, "Z", br->name);
                sum = CAdd(sum, br->impedance);
            } else {
                writeIndexed(t, "-Z", br->name);
                sum = CSub(sum, br->impedance);
            }
            written = true;
        });
    }
    if (written) t.insert("=");
    writeComplex(t, shown(sum), context().numberPrecision);
    return sum;
}

Complex MeshCurrentMethod::loopImpedance(int i, int j) const {
    const NCont* a = loops.get(i);
    Complex sum;
    if (i == j) {
        for (int k = 0; k < a->branches.count(); ++k)
            sum = CAdd(sum, a->branches.get(k)->impedance);
        return sum;
    }
    forSharedBranches(a, loops.get(j), [&](const NVetv* br, bool same) {
        sum = same ? CAdd(sum, br->impedance) : CSub(sum, br->impedance);
    });
    return sum;
}

Complex MeshCurrentMethod::loopEmfSumAC(NCont* loop, ReportTarget& t) {
    Complex sum;
    bool before = false;
    for (int k = 0; k < loop->branches.count(); ++k) {
        const NVetv* b = loop->branches.get(k);
        const bool with = along(loop, k);
        writeBranchEmfTerms(*b, t, with, before);
        sum = with ? CAdd(sum, b->complexEmfSum()) : CSub(sum, b->complexEmfSum());
    }
    return sum;
}

Complex MeshCurrentMethod::writeLoopEmfAC(NCont* loop, ReportTarget& t) {
    writeIndexed(t, "E", own(loop));
    t.insert("= ");
    Complex value = loopEmfSumAC(loop, t);
    for (int n = 0; n < loop->neighbours.count(); ++n) {
        NCont* k = loop->neighbours.get(n);
        NCompIst* j = k->complexLoopSource;
        if (!j) continue;
        writeIndexed(t, "-I", own(k));
        writeIndexed(t, kMultiplySign + "Z", pair(k, loop));
        const Complex known = k->sourceAlong ? CMake(j->re, j->im) : CMake(-j->re, -j->im);
        value = CSub(value, CMul(loopImpedance(loops.indexOf(loop), loops.indexOf(k)), known));
    }
    // A loop without EMFs and known neighbours keeps the blank: "E22= =0".
    t.fontSize(14);
    t.insert("=");
    writeComplex(t, shown(value), context().numberPrecision);
    return value;
}

Complex MeshCurrentMethod::writeBranchCurrentFromLoopsAC(NVetv* branch, ReportTarget& t) {
    writeIndexed(t, "I", branch->name);
    t.insert("= ");
    Complex current;
    // In no loop, the last step takes back the blank after "=": "I5==0".
    for (int l = 0; l < branch->loops.count(); ++l) {
        NCont* loop = branch->loops.get(l);
        if (forwardThrough(loop, branch)) {
            writeIndexed(t, "I", own(loop));
            current = CAdd(current, loop->complexMeshCurrent);
        } else {
            t.editClear(-1);
            writeIndexed(t, "-I", own(loop));
            current = CSub(current, loop->complexMeshCurrent);
        }
        t.insert("+");
    }
    t.editClear(-1);
    t.fontSize(14);
    t.insert("=");
    writeComplex(t, shown(current), context().numberPrecision);
    branch->complexCurrent = current;
    return current;
}

void MeshCurrentMethod::solveAlternate(ReportTarget& t) {
    joinGroundedNodes();
    requireDeterminedCurrents(*this, false);
    calcLoopRelations();
    if (document && document->insertSchemeImage) insertSchemePicture(*this, t);
    if (document && document->insertInitialData) writeInitialData(*this, t);
    t.fontSize(14);
    t.font(kReportBodyFont);
    t.insert(QCoreApplication::translate("qv::Report", "Решение").toStdString() + "\r");
    t.fontSize(14);
    t.font(kReportBodyFont);
    t.insert(QCoreApplication::translate("qv::Report", "Branch impedances calculation").toStdString() + "\r");
    t.font(kReportBodyFont);
    for (int i = 0; i < branchCount(); ++i) {
        writeBranchImpedance(*this, *branches.get(i), t);
        t.font(kReportBodyFont);
    }

    const std::vector<NCont*> rows = unknownLoops(false);
    const int n = int(rows.size());
    for (NCont* row : rows) {
        for (int j = 0; j < loopCount(); ++j) {
            writeIndexed(t, "I", own(loops.get(j)));
            writeIndexed(t, kMultiplySign + "Z", pair(row, loops.get(j)));
            writeIndexed(t, "+", "");
        }
        t.editClear(-1);
        t.font(kReportBodyFont);
        writeIndexed(t, "=E", own(row));
        t.insert("\r");
        t.font(kReportBodyFont);
    }
    for (NCont* row : rows)
        for (int j = 0; j < loopCount(); ++j) {
            writeLoopImpedance(loops.indexOf(row), j, t);
            t.insert("\r");
            t.font(kReportBodyFont);
        }

    std::vector<Complex> a, b;
    std::vector<ComplexValue> shownA, shownB;
    std::vector<std::string> subscripts;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            a.push_back(loopImpedance(loops.indexOf(rows[size_t(i)]), loops.indexOf(rows[size_t(j)])));
            shownA.push_back(shown(a.back()));
        }
    for (int i = 0; i < n; ++i) {
        b.push_back(writeLoopEmfAC(rows[size_t(i)], t));
        shownB.push_back(shown(b.back()));
        subscripts.push_back(own(rows[size_t(i)]));
        t.insert("\r");
        t.font(kReportBodyFont);
    }
    writeComplexSystem(t, shownB, shownA, n, subscripts, "I", kReportBodyFont, context().numberPrecision);
    requireLoopBasis();
    std::vector<Complex> x(static_cast<size_t>(n));
    ComplexCramerSolve(a, b, x, n);

    int next = 0;
    for (int l = 0; l < loopCount(); ++l) {
        NCont* loop = loops.get(l);
        if (NCompIst* j = loop->complexLoopSource)
            loop->complexMeshCurrent = actsAlong(loop, j->branch, j->orientation)
                                           ? CMake(j->re, j->im)
                                           : negated(CMake(j->re, j->im));
        else
            loop->complexMeshCurrent = x[size_t(next++)];
    }
    for (int i = 0; i < builtBranches.count(); ++i)
        builtBranches.get(i)->complexCurrent = currentFromLoopsAC(builtBranches.get(i));
    if (auto broken = currentsBreakKirchhoff(*this, false)) failSolution(*broken);

    for (int l = 0; l < loopCount(); ++l) {
        NCont* loop = loops.get(l);
        t.font(kReportBodyFont);
        writeIndexed(t, "I", own(loop));
        t.insert("=");
        writeComplex(t, shown(loop->complexMeshCurrent), context().numberPrecision);
        t.insert("\r");
        t.font(kReportBodyFont);
    }
    for (int i = 0; i < builtBranches.count(); ++i) {
        writeBranchCurrentFromLoopsAC(builtBranches.get(i), t);
        t.insert("\r");
        t.font(kReportBodyFont);
    }
}

} // namespace qv
