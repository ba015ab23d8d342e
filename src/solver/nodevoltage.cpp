#include "solver/nodevoltage.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

#include "components/branch.h"
#include "model/context.h"
#include "platform/numfmt.h"
#include "report/writers.h"
#include "solver/circuitchecks.h"
#include "solver/linear.h"
#include "solver/modelwriters.h"
#include "solver/solutionerror.h"

namespace qv {

namespace {

constexpr int kBodySize = 14;
constexpr int kCoefficientDigits = 6;
constexpr int kSystemDigits = 5;
constexpr int kPotentialDigits = 5;
constexpr int kPairLength = 40;

/// A real number of the DC lines: the general format, with at least three exponent digits
/// when the exponent form is used (1E-006).
std::string real(Extended v, int digits) {
    return numfmt::general(v, digits, 3);
}

Extended resistance(const NVetv& b) {
    Extended sum = 0;
    for (int i = 0; i < b.resistors.count(); ++i)
        sum += b.resistors.get(i)->value;
    return sum;
}

/// 1/R of a branch; a branch without resistance has no finite conductance.
Extended conductance(const NVetv& b) {
    const Extended r = resistance(b);
    if (r == 0 || !std::isfinite(static_cast<double>(r)))
        throw SolutionError("branch " + b.name + " has no resistance: its conductance is infinite");
    return 1 / r;
}

/// "R1", "+R2" ... for the resistors of a branch.
void writeResistors(ReportTarget& t, const NVetv& b) {
    for (int i = 0; i < b.resistors.count(); ++i)
        writeIndexed(t, i == 0 ? "R" : "+R", b.resistors.get(i)->name);
}

/// 1/Z of a branch; a branch without impedance has no finite admittance.
Complex admittance(const NVetv& b) {
    if (b.impedance.re == 0 && b.impedance.im == 0)
        throw SolutionError("branch " + b.name + " has no impedance: its admittance is infinite");
    return CDiv(Complex{1, 0}, b.impedance);
}

bool closed(const NVetv& b) {
    return b.startNode == b.endNode;
}

/// A source acts towards `node` when its current (or the current it drives) enters it.
bool towards(const NVetv& b, const NUsel& node, uint8_t orientation) {
    return (b.endNode == &node && orientation == 1) || (b.startNode == &node && orientation == 0);
}

} // namespace

std::string NodeVoltageMethod::pair(int j, int k) const {
    std::string s = nodes.get(j)->name + nodes.get(k)->name;
    if (s.size() > size_t(kPairLength)) s.resize(kPairLength);
    return s;
}

void NodeVoltageMethod::mergeGroundNodes() {
    if (!commonNode) commonNode = make<NUsel>();
    bool any = false;
    for (int i = 0; i < nodes.count(); ++i) {
        NUsel* n = nodes.get(i);
        if (!n->grounded || n == commonNode) continue;
        any = true;
        commonNode->schemeNode = n->schemeNode;
        commonNode->grounded = 1;
        for (int k = 0; k < n->branches.count(); ++k) {
            NVetv* b = n->branches.get(k);
            commonNode->branches.add(b);
            // The branch now ends on the reference node itself, so that its end is at
            // potential 0 and the node tests of the equations see the merged node.
            moveBranchEnds(b, n, commonNode);
        }
        n->mergedInto = commonNode;
        removedNodes.add(n);
    }
    if (!any) return;
    for (int i = 0; i < removedNodes.count(); ++i)
        nodes.remove(removedNodes.get(i));
    nodes.remove(commonNode);
    nodes.add(commonNode);
}

void NodeVoltageMethod::writeOpening(ReportTarget& t) {
    if (insertSchemeImage) insertSchemePicture(*this, t);
    t.font(kReportBodyFont);
    if (insertInitialData) writeInitialData(*this, t);
    t.fontSize(kBodySize);
    t.font(kReportBodyFont);
    t.insert(QCoreApplication::translate("qv::Report", "Solution").toStdString() + "\r");
}

int NodeVoltageMethod::placeReferences(bool direct) {
    const int n = nodes.count();
    if (n == 0) return 0;
    std::vector<int> part;
    const int parts = connectedParts(
        nodes, branches,
        [direct](const NVetv& b) { return direct ? !b.currentSource : !b.complexCurrentSource; }, &part);
    if (parts == 1) return 1;
    // The last node of each part is its reference; the part of the last node keeps it.
    std::vector<int> last(size_t(parts), -1);
    for (int i = 0; i < n; ++i)
        last[size_t(part[size_t(i)])] = i;
    std::vector<NUsel*> unknown, references;
    for (int i = 0; i < n; ++i)
        (last[size_t(part[size_t(i)])] == i ? references : unknown).push_back(nodes.get(i));
    for (size_t r = 0; r + 1 < references.size(); ++r) {
        std::string names;
        int count = 0;
        for (int i = 0; i < n; ++i)
            if (part[size_t(i)] == part[size_t(nodes.indexOf(references[r]))]) {
                names += (names.empty() ? "" : ", ") + nodes.get(i)->name;
                ++count;
            }
        notes.push_back(count == 1 ? "node " + names +
                                         " reaches the reference node only through current sources or open "
                                         "branches: it is its own reference (potential 0)"
                                   : "nodes " + names +
                                         " reach the reference node only through current sources or open "
                                         "branches: node " +
                                         references[r]->name + " is their own reference (potential 0)");
    }
    nodes.clear();
    for (NUsel* node : unknown)
        nodes.add(node);
    for (NUsel* node : references)
        nodes.add(node);
    return int(references.size());
}

void NodeVoltageMethod::writeMergedNodes(ReportTarget& t, bool direct) {
    const int precision = context().numberPrecision;
    for (int i = 0; i < builtNodes.count(); ++i) {
        NUsel* node = builtNodes.get(i);
        if (nodes.indexOf(node) >= 0) continue;
        const NUsel* at = representative(node);
        if (direct) {
            writeGreekIndexedValue(t, "j", node->name, real(at->potential, kPotentialDigits));
        } else {
            t.font(kReportBodyFont);
            writeGreekComplexValue(t, "j", node->name, shown(at->complexPotential), precision);
        }
        t.insert("\r");
    }
}

void NodeVoltageMethod::recordResults(bool direct) {
    for (int i = 0; i < builtNodes.count(); ++i) {
        NUsel* node = builtNodes.get(i);
        const NUsel* at = representative(node);
        if (!node->schemeNode) continue;
        if (direct) {
            node->schemeNode->nodeData.dcPotential = at->potential;
        } else {
            node->schemeNode->nodeData.acPotentialRe = at->complexPotential.re;
            node->schemeNode->nodeData.acPotentialIm = at->complexPotential.im;
        }
    }
    // Every branch has its current now, those the simplification took out included.
    for (int i = 0; i < builtBranches.count(); ++i) {
        const NVetv* b = builtBranches.get(i);
        if (!b->schemeBranch) continue;
        b->schemeBranch->lineData.calcFlag = 1;
        if (direct) {
            b->schemeBranch->lineData.dcCurrent = b->current;
        } else {
            b->schemeBranch->lineData.acCurrentRe = b->complexCurrent.re;
            b->schemeBranch->lineData.acCurrentIm = b->complexCurrent.im;
        }
    }
}

namespace {

/// Grounds carried over by a short branch: the node a grounded node is merged into is
/// grounded itself, so the reference stays where the user put the ground.
void carryGroundsOverShorts(CircuitModel& m) {
    for (int i = 0; i < m.removedBranches.count(); ++i) {
        NVetv* b = m.removedBranches.get(i);
        if (b->kind == BranchShort && b->endNode && b->endNode->grounded && b->startNode)
            b->startNode->grounded = 1;
    }
}

} // namespace

// ---------------------------------------------------------------------------------------
// Direct current

void NodeVoltageMethod::solveDirect(ReportTarget& t) {
    requireDeterminedCurrents(*this, true);
    // A capacitor passes no direct current whether or not the shorts are merged.
    if (deleteZeroBranches)
        removeZeroBranches();
    else
        removeOpenBranches();
    carryGroundsOverShorts(*this);
    mergeGroundNodes();
    const int references = placeReferences(true);
    writeOpening(t);

    const int n = nodes.count();
    const int m = n - references;

    // Equations in general form.
    for (int j = 0; j < m; ++j) {
        t.font(kReportBodyFont);
        for (int k = 0; k < m; ++k) {
            writeGreekIndexed(t, k == 0 ? "j" : "+j", nodes.get(k)->name);
            writeIndexed(t, kMultiplySign + "G", pair(j, k));
        }
        writeIndexed(t, "=I", pair(j, j));
        t.insert("\r");
    }

    if (m > kMaxDirectUnknowns)
        throw SolutionError("more than " + std::to_string(kMaxDirectUnknowns) + " unknowns (" +
                            std::to_string(m) + "): the DC coefficient table holds no more");
    std::vector<double> a(size_t(m) * size_t(m), 0.0);
    std::vector<double> b(static_cast<size_t>(m), 0.0);
    for (int j = 0; j < m; ++j)
        for (int k = j; k < m; ++k) {
            t.font(kReportBodyFont);
            const Extended g = calcConductance(j, k, t);
            a[size_t(j) * size_t(m) + size_t(k)] = double(g);
            a[size_t(k) * size_t(m) + size_t(j)] = double(g);
            t.insert("\r");
        }
    for (int j = 0; j < m; ++j) {
        t.font(kReportBodyFont);
        writeIndexed(t, "I", pair(j, j));
        t.insert("=");
        b[size_t(j)] = double(calcNodeCurrent(*nodes.get(j), t));
        t.insert("\r");
    }

    std::vector<std::string> letters(static_cast<size_t>(m), "j");
    std::vector<std::string> names(static_cast<size_t>(m));
    for (int j = 0; j < m; ++j)
        names[size_t(j)] = nodes.get(j)->name;
    {
        std::vector<Extended> shownA(a.begin(), a.end());
        std::vector<Extended> shownB(b.begin(), b.end());
        Sistema s(t);
        s.writeSymbolSystem(shownA, letters, names, m, kSystemDigits, 0, shownB);
    }
    t.font(kReportBodyFont);

    std::vector<double> x;
    if (m > 0) CramerSolveVar(a, b, m, x);
    for (int j = 0; j < n; ++j)
        nodes.get(j)->potential = j < m ? Extended(x[size_t(j)]) : Extended(0);

    // Every current before any is written: they must obey Kirchhoff's laws.
    for (int i = 0; i < branches.count(); ++i) {
        NVetv* br = branches.get(i);
        if (const NIst* j = br->currentSource) {
            br->current = j->orientation == 1 ? j->value : -j->value;
            continue;
        }
        Extended u = br->startNode->potential - br->endNode->potential;
        for (int e = 0; e < br->emfs.count(); ++e)
            u += br->emfs.get(e)->orientation == 1 ? br->emfs.get(e)->value : -br->emfs.get(e)->value;
        br->current = u * conductance(*br);
    }
    const std::vector<RecoveredCurrent> recovered = recoverRemovedCurrents(*this, true);
    if (auto broken = currentsBreakKirchhoff(*this, true)) throw SolutionError(*broken);

    for (int j = 0; j < n; ++j) {
        NUsel* node = nodes.get(j);
        writeGreekIndexedValue(t, "j", node->name, j < m ? real(node->potential, kPotentialDigits) : "0");
        t.insert("\r");
    }
    writeMergedNodes(t, true);
    recordResults(true);

    for (int i = 0; i < builtBranches.count(); ++i) {
        NVetv* br = builtBranches.get(i);
        t.font(kReportBodyFont);
        auto found = std::find_if(recovered.begin(), recovered.end(),
                                  [br](const RecoveredCurrent& r) { return r.branch == br; });
        if (found == recovered.end())
            calcBranchCurrent(*br, t);
        else
            writeRecoveredCurrent(*found, t, true,
                                  [&](ReportTarget& r) { r.insert(real(br->current, kCoefficientDigits)); });
        t.insert("\r");
    }
}

Extended NodeVoltageMethod::calcConductance(int j, int k, ReportTarget& t) {
    writeIndexed(t, "G", pair(j, k));
    t.insert("=");
    Extended sum = 0;
    bool written = false;
    NUsel* nj = nodes.get(j);
    if (j == k) {
        for (int i = 0; i < nj->branches.count(); ++i) {
            const NVetv* b = nj->branches.get(i);
            // A branch closed on the node carries nothing into it.
            if (b->currentSource || closed(*b)) continue;
            const char* plus = i == 0 ? "" : "+";
            if (b->resistors.count() == 1) {
                writeIndexed(t, std::string(plus) + "1/R", b->resistors.get(0)->name);
            } else {
                t.insert(std::string(plus) + "1/(");
                writeResistors(t, *b);
                t.insert(")");
            }
            sum += conductance(*b);
            written = true;
        }
    } else {
        NUsel* nk = nodes.get(k);
        for (int i = 0; i < nj->branches.count(); ++i) {
            const NVetv* b = nj->branches.get(i);
            if (b->currentSource || closed(*b)) continue;
            for (int q = 0; q < nk->branches.count(); ++q) {
                if (nk->branches.get(q) != b) continue;
                if (b->resistors.count() == 1) {
                    writeIndexed(t, "-1/R", b->resistors.get(0)->name);
                } else {
                    t.insert("-1/(");
                    writeResistors(t, *b);
                    t.insert(")");
                }
                sum -= conductance(*b);
                written = true;
            }
        }
    }
    if (written) t.insert("=");
    t.insert(real(sum, kCoefficientDigits));
    return sum;
}

Extended NodeVoltageMethod::calcNodeCurrent(NUsel& node, ReportTarget& t) {
    Extended sum = 0;
    bool written = false;
    auto plus = [&](const char* s) { return std::string(written ? "+" : "") + s; };
    for (int i = 0; i < node.branches.count(); ++i) {
        const NVetv* b = node.branches.get(i);
        if (closed(*b)) continue;
        if (const NIst* j = b->currentSource) {
            if (towards(*b, node, j->orientation)) {
                writeIndexed(t, plus("J"), j->name);
                sum += j->value;
            } else {
                writeIndexed(t, "-J", j->name);
                sum -= j->value;
            }
            written = true;
            continue;
        }
        const int e = b->emfs.count();
        if (e == 0) continue;
        Extended emf = 0;
        if (e == 1) {
            const NEds* s = b->emfs.get(0);
            const bool in = towards(*b, node, s->orientation);
            writeIndexed(t, in ? plus("E") : "-E", s->name);
            emf = in ? s->value : -s->value;
        } else {
            t.insert(plus("("));
            for (int q = 0; q < e; ++q) {
                const NEds* s = b->emfs.get(q);
                const bool in = towards(*b, node, s->orientation);
                writeIndexed(t, in ? (q == 0 ? "E" : "+E") : "-E", s->name);
                emf += in ? s->value : -s->value;
            }
            t.insert(")");
        }
        if (b->resistors.count() == 1) {
            writeIndexed(t, "/R", b->resistors.get(0)->name);
        } else {
            t.insert("/(");
            writeResistors(t, *b);
            t.insert(")");
        }
        sum += emf * conductance(*b);
        written = true;
    }
    if (written) t.insert("=");
    t.insert(real(sum, kCoefficientDigits));
    return sum;
}

Extended NodeVoltageMethod::calcBranchCurrent(NVetv& b, ReportTarget& t) {
    writeIndexed(t, "I", b.name);
    Extended current = 0;
    if (const NIst* j = b.currentSource) {
        t.insert("=");
        const bool along = j->orientation == 1;
        writeIndexed(t, along ? "J" : "-J", j->name);
        current = along ? j->value : -j->value;
    } else {
        Extended u = b.startNode->potential - b.endNode->potential;
        // The scheme's own nodes, whatever a merge made of them.
        writeGreekIndexed(t, "=(j", b.schemeStart->name);
        writeGreekIndexed(t, "-j", b.schemeEnd->name);
        for (int i = 0; i < b.emfs.count(); ++i) {
            const NEds* e = b.emfs.get(i);
            writeIndexed(t, e->orientation == 1 ? "+E" : "-E", e->name);
            u += e->orientation == 1 ? e->value : -e->value;
        }
        t.insert(")/");
        if (b.resistors.count() == 1) {
            writeIndexed(t, "R", b.resistors.get(0)->name);
        } else {
            for (int i = 0; i < b.resistors.count(); ++i)
                writeIndexed(t, i == 0 ? "(R" : "+R", b.resistors.get(i)->name);
            t.insert(")");
        }
        current = u * conductance(b);
    }
    t.insert("=");
    t.insert(real(current, kCoefficientDigits));
    if (b.schemeBranch) b.schemeBranch->lineData.dcCurrent = current;
    b.current = current;
    return current;
}

// ---------------------------------------------------------------------------------------
// Alternating current

void NodeVoltageMethod::solveAlternate(ReportTarget& t) {
    requireDeterminedCurrents(*this, false);
    removeZeroBranches();
    carryGroundsOverShorts(*this);
    commonNode = nullptr;
    mergeGroundNodes();
    const int references = placeReferences(false);

    const int n = nodes.count();
    const int m = n - references;
    const int precision = context().numberPrecision;
    writeOpening(t);

    for (int p = 0; p < m; ++p) {
        t.font(kReportBodyFont);
        for (int j = 0; j < m; ++j) {
            writeGreekIndexed(t, j == 0 ? "j" : "+j", nodes.get(j)->name);
            t.font(kReportBodyFont);
            t.insert(kMultiplySign);
            writeIndexed(t, "Y", pair(p, j));
        }
        writeIndexed(t, "=I", pair(p, p));
        t.insert("\r");
    }

    t.fontSize(kBodySize);
    t.font(kReportBodyFont);
    t.insert(QCoreApplication::translate("qv::Report", "Branches impedance calculation").toStdString() +
             "\r");
    for (int i = 0; i < branches.count(); ++i) {
        t.font(kReportBodyFont);
        branches.get(i)->impedance = Complex{};
        writeBranchImpedance(*this, *branches.get(i), t);
    }

    if (m > kMaxAlternateUnknowns)
        throw SolutionError("more than " + std::to_string(kMaxAlternateUnknowns) + " unknowns (" +
                            std::to_string(m) + "): the AC tables hold no more");
    std::vector<Complex> a(size_t(m) * size_t(m));
    std::vector<Complex> b(static_cast<size_t>(m));
    for (int p = 0; p < m; ++p)
        for (int j = p; j < m; ++j) {
            t.font(kReportBodyFont);
            const Complex y = calcAdmittance(p, j, t);
            a[size_t(p) * size_t(m) + size_t(j)] = y;
            a[size_t(j) * size_t(m) + size_t(p)] = y;
            t.insert("\r");
        }

    t.fontSize(kBodySize);
    t.font(kReportBodyFont);
    t.insert(QCoreApplication::translate("qv::Report", "Nodes currents calculation").toStdString() + "\r");
    for (int p = 0; p < m; ++p) {
        t.font(kReportBodyFont);
        writeIndexed(t, "I", pair(p, p));
        t.insert("=");
        b[size_t(p)] = calcNodeCurrentAC(*nodes.get(p), t);
        t.insert("\r");
    }

    std::vector<std::string> names(static_cast<size_t>(m));
    for (int p = 0; p < m; ++p)
        names[size_t(p)] = nodes.get(p)->name;
    std::vector<ComplexValue> shownA(a.size()), shownB(b.size());
    for (size_t i = 0; i < a.size(); ++i)
        shownA[i] = shown(a[i]);
    for (size_t i = 0; i < b.size(); ++i)
        shownB[i] = shown(b[i]);
    writeComplexSystem(t, shownB, shownA, m, names, "j", "Symbol", precision);

    std::vector<Complex> x(static_cast<size_t>(m));
    if (m > 0) ComplexCramerSolve(a, b, x, m);

    for (int p = 0; p < n; ++p)
        nodes.get(p)->complexPotential = p < m ? x[size_t(p)] : Complex{};

    // Every current before any is written: they must obey Kirchhoff's laws.
    for (int i = 0; i < branches.count(); ++i) {
        NVetv* br = branches.get(i);
        if (const NCompIst* j = br->complexCurrentSource) {
            br->complexCurrent = j->orientation == 1 ? Complex{j->re, j->im} : Complex{-j->re, -j->im};
            continue;
        }
        const Complex u = CSub(br->startNode->complexPotential, br->endNode->complexPotential);
        admittance(*br); // refuses a branch without impedance
        br->complexCurrent = CDiv(CAdd(u, br->complexEmfSum()), br->impedance);
    }
    const std::vector<RecoveredCurrent> recovered = recoverRemovedCurrents(*this, false);
    if (auto broken = currentsBreakKirchhoff(*this, false)) throw SolutionError(*broken);

    for (int p = 0; p < n; ++p) {
        NUsel* node = nodes.get(p);
        t.font(kReportBodyFont);
        writeGreekComplexValue(t, "j", node->name, shown(node->complexPotential), precision);
        t.insert("\r");
    }
    writeMergedNodes(t, false);
    recordResults(false);

    for (int i = 0; i < builtBranches.count(); ++i) {
        NVetv* br = builtBranches.get(i);
        t.font(kReportBodyFont);
        auto found = std::find_if(recovered.begin(), recovered.end(),
                                  [br](const RecoveredCurrent& r) { return r.branch == br; });
        if (found == recovered.end())
            calcBranchCurrentAC(*br, t);
        else
            writeRecoveredCurrent(*found, t, false, [&](ReportTarget& r) {
                writeComplex(r, shown(br->complexCurrent), precision);
            });
        t.insert("\r");
    }
}

Complex NodeVoltageMethod::calcAdmittance(int p, int j, ReportTarget& t) {
    const int precision = context().numberPrecision;
    writeIndexed(t, "Y", pair(p, j));
    t.insert("=");
    Complex sum{};
    bool written = false;
    NUsel* np = nodes.get(p);
    if (p == j) {
        for (int i = 0; i < np->branches.count(); ++i) {
            const NVetv* b = np->branches.get(i);
            if (b->complexCurrentSource || closed(*b)) continue;
            if (written) t.insert("+");
            writeIndexed(t, "1/Z", b->name);
            sum = CAdd(sum, admittance(*b));
            written = true;
        }
    } else {
        writeIndexed(t, "Y", pair(j, p));
        t.insert("=");
        NUsel* nj = nodes.get(j);
        for (int i = 0; i < np->branches.count(); ++i) {
            const NVetv* b = np->branches.get(i);
            if (b->complexCurrentSource || closed(*b)) continue;
            const NUsel* other = b->startNode == np ? b->endNode : b->startNode;
            if (other != nj) continue;
            t.insert("-");
            writeIndexed(t, "1/Z", b->name);
            sum = CSub(sum, admittance(*b));
            written = true;
        }
    }
    if (written) t.insert("=");
    writeComplex(t, shown(sum), precision);
    return sum;
}

Complex NodeVoltageMethod::calcNodeCurrentAC(NUsel& node, ReportTarget& t) {
    const int precision = context().numberPrecision;
    std::vector<const NVetv*> list;
    for (int i = 0; i < node.branches.count(); ++i) {
        const NVetv* b = node.branches.get(i);
        if (b->startNode != &node && b->endNode != &node)
            throw SolutionError("branch " + b->name + " is listed at node " + node.name +
                                " but does not end there");
        if (!closed(*b)) list.push_back(b);
    }

    bool written = false;
    for (const NVetv* b : list) {
        if (const NCompIst* j = b->complexCurrentSource) {
            if (!towards(*b, node, j->orientation))
                t.insert("-");
            else if (written)
                t.insert("+");
            writeIndexed(t, "J", b->name);
            written = true;
        } else if (b->complexEmfs.count() > 0) {
            const int e = b->complexEmfs.count();
            if (written) t.insert("+");
            if (e > 1) t.insert("(");
            for (int q = 0; q < e; ++q) {
                const NCompEds* s = b->complexEmfs.get(q);
                if (!towards(*b, node, s->orientation))
                    t.insert("-");
                else if (q > 0)
                    t.insert("+");
                writeIndexed(t, "E", s->name);
            }
            if (e > 1) t.insert(")");
            t.insert("/");
            writeIndexed(t, "Z", b->name);
            written = true;
        }
    }

    Complex sum{};
    if (written) {
        t.insert("=");
        bool numeric = false;
        for (const NVetv* b : list) {
            if (const NCompIst* j = b->complexCurrentSource) {
                const Complex v{j->re, j->im};
                if (!towards(*b, node, j->orientation)) {
                    writeComplex(t, shown(Complex{-v.re, -v.im}), precision);
                    sum = CSub(sum, v);
                } else {
                    if (numeric) t.insert("+");
                    writeComplex(t, shown(v), precision);
                    sum = CAdd(sum, v);
                }
                numeric = true;
            } else if (b->complexEmfs.count() > 0) {
                if (numeric) t.insert("+");
                t.insert("(");
                for (int q = 0; q < b->complexEmfs.count(); ++q) {
                    const NCompEds* s = b->complexEmfs.get(q);
                    if (!towards(*b, node, s->orientation))
                        t.insert("-");
                    else if (q > 0)
                        t.insert("+");
                    writeComplex(t, ComplexValue{s->re, s->im}, precision);
                }
                t.insert(")/(");
                writeComplex(t, shown(b->impedance), precision);
                t.insert(")");
                const Complex share = CDiv(b->complexEmfSum(), b->impedance);
                sum = b->endNode == &node ? CAdd(sum, share) : CSub(sum, share);
                numeric = true;
            }
        }
        t.insert("=");
    }
    writeComplex(t, shown(sum), precision);
    return sum;
}

Complex NodeVoltageMethod::calcBranchCurrentAC(NVetv& b, ReportTarget& t) {
    const int precision = context().numberPrecision;
    writeIndexed(t, "I", b.name);
    t.insert("=");
    Complex current{};
    if (const NCompIst* j = b.complexCurrentSource) {
        const bool along = j->orientation == 1;
        writeIndexed(t, along ? "J" : "-J", j->name);
        current = along ? Complex{j->re, j->im} : Complex{-j->re, -j->im};
    } else {
        const Complex u = CSub(b.startNode->complexPotential, b.endNode->complexPotential);
        // The scheme's own nodes, whatever a merge made of them.
        writeGreekIndexed(t, "(j", b.schemeStart->name);
        writeGreekIndexed(t, "-j", b.schemeEnd->name);
        if (b.complexEmfs.count() > 0) {
            t.insert("+");
            bool before = false;
            writeBranchEmfTerms(b, t, true, before);
        }
        t.insert(")/");
        writeIndexed(t, "Z", b.name);
        current = CDiv(CAdd(u, b.complexEmfSum()), b.impedance);
    }
    t.insert("=");
    writeComplex(t, shown(current), precision);
    b.complexCurrent = current;
    if (b.schemeBranch) {
        b.schemeBranch->lineData.acCurrentRe = current.re;
        b.schemeBranch->lineData.acCurrentIm = current.im;
    }
    return current;
}

} // namespace qv
