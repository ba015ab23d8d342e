#include "solver/meshcurrent.h"

#include <QString>
#include <string>
#include <vector>

#include "model/context.h"
#include "model/document.h"
#include "platform/numfmt.h"
#include "report/writers.h"
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

/// The node from which the loop enters `branch`, or null when the branch is not in the loop.
NUsel* nodeBefore(const NCont* loop, const NVetv* branch) {
    const int k = loop->branches.indexOf(branch);
    return k < 0 ? nullptr : loop->nodes.get(k);
}

bool along(const NCont* loop, int k) {
    return loop->nodes.get(k) == loop->branches.get(k)->startNode;
}

Complex negated(Complex z) {
    return CMake(-z.re, -z.im);
}

} // namespace

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
                loop->sourceAlong = passesAlong(loop, j->fromNode, j->toNode, b) ? 1 : 0;
            }
            if (NCompIst* j = b->complexCurrentSource) {
                loop->complexLoopSource = j;
                loop->sourceAlong = passesAlong(loop, j->fromNode, j->toNode, b) ? 1 : 0;
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
        NUsel* other = nodeBefore(b, branch);
        if (other) fn(branch, other == a->nodes.get(k));
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
    t.insert(numfmt::general(sum, precision) + "\r");
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
    bool written = false;
    for (int k = 0; !written && k < loop->branches.count(); ++k)
        written = loop->branches.get(k)->emfs.count() > 0;
    for (int n = 0; n < loop->neighbours.count(); ++n) {
        NCont* k = loop->neighbours.get(n);
        if (!k->loopSource) continue;
        writeIndexed(t, "-I", own(k));
        writeIndexed(t, kMultiplySign + "R", pair(k, loop));
        const Extended known = k->sourceAlong ? k->loopSource->value : -k->loopSource->value;
        value -= loopResistance(loops.indexOf(loop), loops.indexOf(k)) * known;
        written = true;
    }
    if (!written) t.insert("0");
    t.fontSize(14);
    t.insert("=" + numfmt::general(value, 5) + "\r");
    return value;
}

Extended MeshCurrentMethod::writeBranchCurrentFromLoops(NVetv* branch, ReportTarget& t) {
    writeIndexed(t, "I", branch->name);
    t.insert("= ");
    Extended current = 0;
    if (NIst* j = branch->currentSource) {
        writeIndexed(t, j->orientation == 1 ? "J" : "-J", j->name);
        current = j->orientation == 1 ? j->value : -j->value;
    } else if (branch->loops.count() == 0) {
        t.insert("0");
    } else {
        for (int l = 0; l < branch->loops.count(); ++l) {
            NCont* loop = branch->loops.get(l);
            if (passesAlong(loop, branch->startNode, branch->endNode, branch)) {
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
    t.insert("=" + numfmt::general(current, 8) + "\r");
    branch->current = current;
    return current;
}

void MeshCurrentMethod::solveDirect(ReportTarget& t) {
    precision = 7;
    digits = 5;
    calcLoopRelations();
    if (document && document->insertSchemeImage) insertSchemePicture(*this, t);
    if (document && document->insertInitialData) writeInitialData(*this, t);
    t.fontSize(14);
    t.insert("Решение\r");

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
        sistema.writeSystem(a, letters, subscripts, n, precision, digits, b);
    }
    CramerSolveVar(table, rhs, n, x);

    int next = 0;
    for (int l = 0; l < loopCount(); ++l) {
        NCont* loop = loops.get(l);
        std::string value;
        if (NIst* j = loop->loopSource) {
            const bool with = passesAlong(loop, j->fromNode, j->toNode, j->branch);
            loop->meshCurrent = with ? j->value : -j->value;
            value = numfmt::general(loop->meshCurrent, with ? precision : 18);
        } else {
            loop->meshCurrent = x[size_t(next++)];
            value = numfmt::general(loop->meshCurrent, precision);
        }
        writeIndexedValue(t, "I", own(loop), value + "\r");
    }
    for (int i = 0; i < branchCount(); ++i)
        writeBranchCurrentFromLoops(branches.get(i), t);
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
    bool written = false;
    for (int k = 0; !written && k < loop->branches.count(); ++k)
        written = loop->branches.get(k)->complexEmfs.count() > 0;
    for (int n = 0; n < loop->neighbours.count(); ++n) {
        NCont* k = loop->neighbours.get(n);
        NCompIst* j = k->complexLoopSource;
        if (!j) continue;
        writeIndexed(t, "-I", own(k));
        writeIndexed(t, kMultiplySign + "Z", pair(k, loop));
        const Complex known = k->sourceAlong ? CMake(j->re, j->im) : CMake(-j->re, -j->im);
        value = CSub(value, CMul(loopImpedance(loops.indexOf(loop), loops.indexOf(k)), known));
        written = true;
    }
    if (!written) t.insert("0");
    t.fontSize(14);
    t.insert("=");
    writeComplex(t, shown(value), context().numberPrecision);
    return value;
}

Complex MeshCurrentMethod::writeBranchCurrentFromLoopsAC(NVetv* branch, ReportTarget& t) {
    writeIndexed(t, "I", branch->name);
    t.insert("= ");
    Complex current;
    if (branch->loops.count() == 0) {
        t.insert("0");
    } else {
        for (int l = 0; l < branch->loops.count(); ++l) {
            NCont* loop = branch->loops.get(l);
            if (passesAlong(loop, branch->startNode, branch->endNode, branch)) {
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
    }
    t.fontSize(14);
    t.insert("=");
    writeComplex(t, shown(current), context().numberPrecision);
    branch->complexCurrent = current;
    return current;
}

void MeshCurrentMethod::solveAlternate(ReportTarget& t) {
    calcLoopRelations();
    if (document && document->insertSchemeImage) insertSchemePicture(*this, t);
    if (document && document->insertInitialData) writeInitialData(*this, t);
    t.fontSize(14);
    t.font(kReportBodyFont);
    t.insert("Решение\r");
    t.fontSize(14);
    t.font(kReportBodyFont);
    t.insert("Branch impedances calculation\r");
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
    std::vector<Complex> x(static_cast<size_t>(n));
    ComplexCramerSolve(a, b, x, n);

    int next = 0;
    for (int l = 0; l < loopCount(); ++l) {
        NCont* loop = loops.get(l);
        t.font(kReportBodyFont);
        writeIndexed(t, "I", own(loop));
        t.insert("=");
        if (NCompIst* j = loop->complexLoopSource)
            loop->complexMeshCurrent = passesAlong(loop, j->fromNode, j->toNode, j->branch)
                                           ? CMake(j->re, j->im)
                                           : negated(CMake(j->re, j->im));
        else
            loop->complexMeshCurrent = x[size_t(next++)];
        writeComplex(t, shown(loop->complexMeshCurrent), context().numberPrecision);
        t.insert("\r");
        t.font(kReportBodyFont);
    }
    for (int i = 0; i < branchCount(); ++i) {
        writeBranchCurrentFromLoopsAC(branches.get(i), t);
        t.insert("\r");
        t.font(kReportBodyFont);
    }
}

} // namespace qv
