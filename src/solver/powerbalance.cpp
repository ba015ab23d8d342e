#include "solver/powerbalance.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

#include "components/branch.h"
#include "components/components.h"
#include "diagrams/loop.h"
#include "model/context.h"
#include "model/document.h"
#include "model/looplistinterface.h"
#include "platform/numfmt.h"
#include "report/reporttarget.h"
#include "report/writers.h"

namespace qv {

namespace {

/// The letter that marks a terminal point inside a branch ("J1н"): the node it stands for has
/// no name of its own.
const std::string kInnerPointMark = "\u043D";

Complex plus(Complex a, Complex b) {
    return CAdd(a, b);
}
Complex minus(Complex a, Complex b) {
    return CSub(a, b);
}
Extended plus(Extended a, Extended b) {
    return a + b;
}
Extended minus(Extended a, Extended b) {
    return a - b;
}

/// What one element does on the walk from Node1 towards Node2.
template <class V> struct Step {
    enum Kind { NoRecord, Element, CurrentSource } kind = NoRecord;
    V rise{};    ///< potential at its Node2 side minus that at its Node1 side
    V current{}; ///< the current its record holds
};

Extended dcPotential(const NFUsel* node) {
    auto* n = dynamic_cast<const NTbeNode*>(node);
    return n ? n->nodeData.dcPotential : Extended(0);
}

Complex acPotential(const NFUsel* node) {
    auto* n = dynamic_cast<const NTbeNode*>(node);
    return n ? Complex{n->nodeData.acPotentialRe, n->nodeData.acPotentialIm} : Complex{};
}

std::string nodeName(const NFUsel* node) {
    return node ? node->name : std::string();
}

/// The walk: from Node1 up to the first current source, then back from Node2 to it. The
/// solver drives a branch by its first current source only, so a later one in the same
/// branch gets no record of its own. `store(record, phi1, phi2, current)` fills the record.
template <class V, class Classify, class Store>
void walkBranch(NTbeLine& line, V atNode1, V atNode2, Classify classify, Store store,
                std::vector<NTbeSetObj>& out) {
    const std::vector<NSetObj*> parts = line.components();
    size_t source = parts.size();
    V phi = atNode1;
    bool before = false;
    for (size_t i = 0; i < parts.size(); ++i) {
        const Step<V> s = classify(*parts[i]);
        if (s.kind == Step<V>::NoRecord) continue;
        if (s.kind == Step<V>::CurrentSource) {
            source = i;
            break;
        }
        NTbeSetObj r;
        r.element = parts[i];
        const V next = plus(phi, s.rise);
        store(r, phi, next, s.current);
        phi = next;
        out.push_back(std::move(r));
        before = true;
    }
    if (source == parts.size()) return;

    NTbeSetObj src;
    src.element = parts[source];
    src.name1 = before ? parts[source]->name + kInnerPointMark : nodeName(line.node1);
    const V sourcePhi1 = phi;
    const Step<V> sourceStep = classify(*parts[source]);

    phi = atNode2;
    bool after = false;
    for (size_t i = parts.size(); i-- > source + 1;) {
        const Step<V> s = classify(*parts[i]);
        if (s.kind != Step<V>::Element) continue;
        NTbeSetObj r;
        r.element = parts[i];
        const V previous = minus(phi, s.rise);
        store(r, previous, phi, s.current);
        phi = previous;
        out.push_back(std::move(r));
        after = true;
    }
    src.name2 = after ? parts[source]->name + kInnerPointMark : nodeName(line.node2);
    store(src, sourcePhi1, phi, sourceStep.current);
    out.push_back(std::move(src));
}

/// The branch current of the last node-voltage solution. A branch the solution left out
/// (open, shorted away, closed on itself) carries none, whatever an older solution stored.
Extended dcBranchCurrent(const NTbeLine& line) {
    return line.lineData.calcFlag ? line.lineData.dcCurrent : Extended(0);
}

Complex acBranchCurrent(const NTbeLine& line) {
    return line.lineData.calcFlag ? Complex{line.lineData.acCurrentRe, line.lineData.acCurrentIm} : Complex{};
}

constexpr int kDigits = 6;
const std::string kSymbolFont = "Symbol";

std::string number(Extended v) {
    return numfmt::general(v, kDigits);
}

std::string branchName(const NTbeSetObj& r) {
    return r.element && r.element->branch ? r.element->branch->name : std::string();
}

/// Sources minus consumers, and that against the larger of the two (0 when both are 0).
std::pair<Extended, Extended> imbalance(Extended sources, Extended consumers) {
    const Extended d = sources - consumers;
    const Extended scale = std::max(std::fabs(sources), std::fabs(consumers));
    return {d, scale == 0 ? Extended(0) : d / scale};
}

} // namespace

NTBEFizDisp* NCalcPowerBalance::scheme() const {
    return dynamic_cast<NTBEFizDisp*>(owner);
}

void NCalcPowerBalance::buildRecordsDC(NTbeLine& branch) {
    const Extended current = dcBranchCurrent(branch);
    using S = Step<Extended>;
    auto classify = [current](NSetObj& e) {
        S s;
        if (auto* r = dynamic_cast<NUniRes*>(&e)) {
            s.kind = S::Element;
            s.rise = -current * r->resistance;
            s.current = current;
        } else if (auto* v = dynamic_cast<NUniEds*>(&e)) {
            s.kind = S::Element;
            s.rise = v->orientation ? v->emf : -v->emf;
            s.current = v->orientation ? current : -current;
        } else if (dynamic_cast<NUniIst*>(&e)) {
            s.kind = S::CurrentSource;
            s.current = current;
        }
        return s;
    };
    auto store = [](NTbeSetObj& r, Extended phi1, Extended phi2, Extended i) {
        r.dcPhi1 = phi1;
        r.dcPhi2 = phi2;
        r.dcCurrent = i;
    };
    walkBranch<Extended>(branch, dcPotential(branch.node1), dcPotential(branch.node2), classify, store,
                         records);
}

void NCalcPowerBalance::buildRecordsAC(NTbeLine& branch) {
    const Complex current = acBranchCurrent(branch);
    const Extended w = omega;
    using S = Step<Complex>;
    auto drop = [current](Complex z) { return CSub(Complex{}, CMul(z, current)); };
    auto classify = [&](NSetObj& e) {
        S s;
        s.current = current;
        if (auto* r = dynamic_cast<NUniRes*>(&e)) {
            s.kind = S::Element;
            s.rise = drop({r->resistance, 0});
        } else if (auto* z = dynamic_cast<NUniImpedance*>(&e)) {
            s.kind = S::Element;
            s.rise = drop({z->resistance, z->reactance});
        } else if (auto* l = dynamic_cast<NUniInd*>(&e)) {
            s.kind = S::Element;
            s.rise = drop({0, w * l->inductance});
        } else if (auto* c = dynamic_cast<NUniCon*>(&e)) {
            s.kind = S::Element;
            // A capacitance of 0 (or no frequency) is an open branch: it carries no current
            // and the potential step across it is not known from the branch alone.
            const Extended wc = w * c->capacitance * 1e-6L;
            if (wc != 0) s.rise = drop({0, -1 / wc});
        } else if (auto* v = dynamic_cast<NUniCompEDS*>(&e)) {
            s.kind = S::Element;
            s.rise = v->orientation ? Complex{v->re, v->im} : Complex{-v->re, -v->im};
        } else if (dynamic_cast<NUniCompCurSource*>(&e)) {
            s.kind = S::CurrentSource;
        } else {
            s.kind = S::NoRecord;
        }
        return s;
    };
    auto store = [](NTbeSetObj& r, Complex phi1, Complex phi2, Complex i) {
        r.acPhi1 = phi1;
        r.acPhi2 = phi2;
        r.acCurrent = i;
    };
    walkBranch<Complex>(branch, acPotential(branch.node1), acPotential(branch.node2), classify, store,
                        records);
}

const NTbeSetObj* NCalcPowerBalance::findRecord(const NSetObj* element) const {
    for (const NTbeSetObj& r : records)
        if (r.element == element) return &r;
    return nullptr;
}

void NCalcPowerBalance::buildAllRecordsDC() {
    records.clear();
    if (!owner) return;
    for (NFizObj* obj : owner->objects())
        if (auto* line = dynamic_cast<NTbeLine*>(obj)) buildRecordsDC(*line);
}

void NCalcPowerBalance::buildAllRecordsAC() {
    records.clear();
    if (!owner) return;
    for (NFizObj* obj : owner->objects())
        if (auto* line = dynamic_cast<NTbeLine*>(obj)) buildRecordsAC(*line);
}

void NCalcPowerBalance::balanceDC() {
    buildAllRecordsDC();
    consumerPower = 0;
    emfPower = 0;
    sourcePower = 0;
    if (!report) return;
    ReportTarget& t = *report;
    t.font(kReportBodyFont);
    t.fontSize(kReportBodySize);

    // Consumers: I²·R of every resistor.
    bool any = false;
    for (const NTbeSetObj& r : records) {
        if (!dynamic_cast<const NUniRes*>(r.element)) continue;
        t.insert("I");
        writeSuperscript(t, "2");
        writeSubscript(t, branchName(r));
        t.insert("\u00B7R");
        writeSubscript(t, r.element->name);
        t.insert("+");
        any = true;
    }
    if (any) {
        t.editClear(-1);
        FormatFontArgs body;
        body.points = "14";
        t.formatFont(body);
        t.font(kReportBodyFont);
        t.insert("=");
    }
    for (const NTbeSetObj& r : records) {
        auto* res = dynamic_cast<const NUniRes*>(r.element);
        if (!res) continue;
        const Extended p = r.dcCurrent * r.dcCurrent * res->resistance;
        t.insert(number(p));
        t.insert("+");
        consumerPower += p;
    }
    if (any) {
        takeBackLastSign(t);
        t.insert("=");
        t.insert(number(consumerPower));
        t.insert("\r");
    }

    // EMFs: E·I, the record's current already turned by the EMF's direction.
    any = false;
    for (const NTbeSetObj& r : records) {
        if (!dynamic_cast<const NUniEds*>(r.element)) continue;
        t.insert("E");
        writeSubscript(t, r.element->name);
        t.insert("\u00B7I");
        writeSubscript(t, branchName(r));
        t.insert("+");
        any = true;
    }
    if (any) {
        takeBackLastSign(t);
        t.insert("=");
    }
    for (const NTbeSetObj& r : records) {
        auto* e = dynamic_cast<const NUniEds*>(r.element);
        if (!e) continue;
        const Extended p = e->emf * r.dcCurrent;
        t.insert(number(p));
        t.insert("+");
        emfPower += p;
    }
    if (any) takeBackLastSign(t);
    t.insert("=");
    t.insert(number(emfPower));
    t.insert("\r");

    // Current sources: the voltage across the source in the direction it drives its current.
    any = false;
    for (const NTbeSetObj& r : records) {
        if (!dynamic_cast<const NUniIst*>(r.element)) continue;
        t.insert("J");
        writeSubscript(t, r.element->name);
        const bool along = r.element->orientation != 0;
        t.insert(along ? "\u00B7(F" : "(F");
        writeSubscript(t, along ? r.name1 : r.name2);
        t.insert("-F");
        writeSubscript(t, along ? r.name2 : r.name1);
        t.insert(")");
        t.insert("+");
        any = true;
    }
    if (any) {
        takeBackLastSign(t);
        t.insert("=");
    }
    for (const NTbeSetObj& r : records) {
        if (!dynamic_cast<const NUniIst*>(r.element)) continue;
        const Extended p = (r.dcPhi2 - r.dcPhi1) * r.dcCurrent;
        t.insert(number(p));
        t.insert("+");
        sourcePower += p;
    }
    if (any) takeBackLastSign(t);
    t.insert("=");
    t.insert(number(sourcePower));
    t.insert("\r");

    const auto [d, relative] = imbalance(emfPower + sourcePower, consumerPower);
    t.insert(QCoreApplication::translate("qv::Report", "Imbalance (sources - consumers): ").toStdString() +
             number(d) + QCoreApplication::translate("qv::Report", ", relative ").toStdString() +
             number(relative) + "\r");
}

void NCalcPowerBalance::balanceAC() {
    buildAllRecordsAC();
    acConsumerPower = Complex{};
    acSourcePower = Complex{};
    if (!report) return;
    ReportTarget& t = *report;
    const int precision = owner && owner->context() ? owner->context()->numberPrecision : kDigits;
    auto value = [&](Complex z) { writeComplex(t, ComplexValue{z.re, z.im}, precision); };
    t.font(kReportBodyFont);
    t.fontSize(kReportBodySize);

    // Consumers: |I|²·Z of every impedance, in record order.
    bool written = false;
    auto modulusSquared = [&](const NTbeSetObj& r) {
        t.insert("|I|");
        writeSuperscript(t, "2");
        writeSubscript(t, branchName(r));
    };
    for (const NTbeSetObj& r : records) {
        const NSetObj* e = r.element;
        const bool capacitor = dynamic_cast<const NUniCon*>(e) != nullptr;
        const bool resistor = dynamic_cast<const NUniRes*>(e) != nullptr;
        const bool impedance = dynamic_cast<const NUniImpedance*>(e) != nullptr;
        const bool inductor = dynamic_cast<const NUniInd*>(e) != nullptr;
        if (!capacitor && !resistor && !impedance && !inductor) continue;
        if (capacitor) {
            t.insert("-");
        } else if (written) {
            t.insert("+");
        }
        modulusSquared(r);
        if (resistor || impedance) {
            t.insert(resistor ? "\u00B7R" : "\u00B7Z");
            writeSubscript(t, e->name);
        } else if (inductor) {
            t.insert("\u00B7j\u00B7");
            t.font(kSymbolFont);
            t.insert("w");
            t.font(kReportBodyFont);
            t.insert("L");
            writeSubscript(t, e->name);
        } else {
            t.insert("\u00B7j/");
            t.font(kSymbolFont);
            t.insert("(w");
            t.font(kReportBodyFont);
            t.insert("C\u00B7");
            writeSubscript(t, e->name);
            t.insert(")");
        }
        written = true;
    }
    t.insert("=");
    bool first = true;
    for (const NTbeSetObj& r : records) {
        const NSetObj* e = r.element;
        const Extended i2 = r.acCurrent.re * r.acCurrent.re + r.acCurrent.im * r.acCurrent.im;
        Complex s;
        bool ownSign = false;
        if (auto* res = dynamic_cast<const NUniRes*>(e)) {
            s = {i2 * res->resistance, 0};
        } else if (auto* z = dynamic_cast<const NUniImpedance*>(e)) {
            s = {i2 * z->resistance, i2 * z->reactance};
        } else if (auto* l = dynamic_cast<const NUniInd*>(e)) {
            s = {0, i2 * omega * l->inductance};
        } else if (auto* c = dynamic_cast<const NUniCon*>(e)) {
            const Extended wc = c->capacitance * 1e-6L * omega;
            s = {0, wc == 0 ? Extended(0) : -i2 / wc};
            ownSign = s.im != 0; // a capacitor's value brings its own "-"
        } else {
            continue;
        }
        if (!first && !ownSign) t.insert("+");
        value(s);
        acConsumerPower = CAdd(acConsumerPower, s);
        first = false;
    }
    if (written) t.insert("=");
    value(acConsumerPower);
    t.insert("\r");

    // Sources: conj(I)·E of every EMF, conj(I)·U of every current source.
    written = false;
    for (const NTbeSetObj& r : records) {
        const NSetObj* e = r.element;
        const bool emf = dynamic_cast<const NUniCompEDS*>(e) != nullptr;
        const bool source = dynamic_cast<const NUniCompCurSource*>(e) != nullptr;
        if (!emf && !source) continue;
        if (written) t.insert("+");
        const bool along = e->orientation != 0;
        if (emf) {
            t.insert("(Re(I");
            writeSubscript(t, branchName(r));
            t.insert(")-j\u00B7Im(I");
            writeSubscript(t, branchName(r));
            t.insert(along ? "))\u00B7E" : "))\u00B7(-E");
            writeSubscript(t, e->name);
            if (!along) t.insert(")");
        } else {
            t.insert("(Re(J");
            writeSubscript(t, e->name);
            t.insert(")-j\u00B7Im(J");
            writeSubscript(t, e->name);
            t.insert(")");
            t.insert(along ? "\u00B7(F" : "(F");
            writeSubscript(t, along ? r.name1 : r.name2);
            t.insert("-F");
            writeSubscript(t, along ? r.name2 : r.name1);
            t.insert(")");
        }
        written = true;
    }
    t.insert("=");
    first = true;
    for (const NTbeSetObj& r : records) {
        const Complex conjugate{r.acCurrent.re, -r.acCurrent.im};
        Complex s;
        if (auto* e = dynamic_cast<const NUniCompEDS*>(r.element)) {
            s = CMul(conjugate, e->orientation ? Complex{e->re, e->im} : Complex{-e->re, -e->im});
        } else if (dynamic_cast<const NUniCompCurSource*>(r.element)) {
            s = CMul(conjugate, CSub(r.acPhi2, r.acPhi1));
        } else {
            continue;
        }
        if (!first) t.insert("+");
        value(s);
        acSourcePower = CAdd(acSourcePower, s);
        first = false;
    }
    if (written) t.insert("=");
    value(acSourcePower);
    t.insert("\r");

    const auto [dp, rp] = imbalance(acSourcePower.re, acConsumerPower.re);
    const auto [dq, rq] = imbalance(acSourcePower.im, acConsumerPower.im);
    t.insert(QCoreApplication::translate("qv::Report", "Imbalance (sources - consumers): ").toStdString() +
             "P " + number(dp) + QCoreApplication::translate("qv::Report", ", relative ").toStdString() +
             number(rp) + "; Q " + number(dq) +
             QCoreApplication::translate("qv::Report", ", relative ").toStdString() + number(rq) + "\r");
}

bool NCalcPowerBalance::loopProfile() {
    profileCount = 0;
    NTBEFizDisp* doc = scheme();
    if (!doc) return false;
    buildAllRecordsDC();
    NFCont* loop = doc->loops().get(loopIndex);
    if (!loop || loop->nodes.empty()) return false;
    int count = 1;
    profilePotentials[0] = dcPotential(loop->nodes[0]);
    profileAbscissas[0] = 0;
    for (size_t i = 0; i < loop->branches.size(); ++i) {
        NFVetv* branch = loop->branches[i];
        // Node i of the path is the one branch i is entered from.
        const bool fromNode1 = i >= loop->nodes.size() || loop->nodes[i] == branch->node1;
        std::vector<NSetObj*> parts = branch->components();
        if (!fromNode1) std::reverse(parts.begin(), parts.end());
        for (NSetObj* e : parts) {
            const NTbeSetObj* r = findRecord(e);
            // The arrays have room for so many points and no more.
            if (!r || count >= kProfileSize) return false;
            profilePotentials[size_t(count)] = fromNode1 ? r->dcPhi2 : r->dcPhi1;
            Extended x = profileAbscissas[size_t(count - 1)];
            if (auto* res = dynamic_cast<const NUniRes*>(e)) x += res->resistance;
            profileAbscissas[size_t(count)] = x;
            ++count;
        }
    }
    profileCount = count;
    return true;
}

} // namespace qv
