#include "solver/vectorchains.h"

#include "components/branch.h"
#include "components/components.h"
#include "diagrams/vectordiagram.h"
#include "solver/powerbalance.h"

namespace qv {

namespace {

/// What the vector of an element's record looks like: its label texts and direction.
struct VoltageVector {
    const char* greek;
    const char* main;
    const char* indexPrefix;
    bool reversed;
};

/// The look of the vector of `element`, tested in this order; false for other elements.
bool voltageVectorOf(const NSetObj* element, VoltageVector& v) {
    if (dynamic_cast<const NUniRes*>(element)) {
        v = {"D", "U", "R", false};
    } else if (dynamic_cast<const NUniCompEDS*>(element)) {
        // Every source's vector points the way its EMF raises the potential.
        v = {"", "E", "", element->orientation == 0};
    } else if (dynamic_cast<const NUniImpedance*>(element)) {
        v = {"D", "U", "Z", false};
    } else if (dynamic_cast<const NUniCompCurSource*>(element)) {
        v = {"D", "U", "J", false};
    } else if (dynamic_cast<const NUniCon*>(element)) {
        v = {"D", "U", "C", false};
    } else if (dynamic_cast<const NUniInd*>(element)) {
        v = {"D", "U", "L", false};
    } else {
        return false;
    }
    return true;
}

} // namespace

void addVoltageVectors(const std::vector<NTbeSetObj>& records, NVectDiaDisp& diagram) {
    diagram.activeScale = diagram.voltageScale;
    for (const NTbeSetObj& rec : records) {
        VoltageVector v;
        if (!rec.element || !voltageVectorOf(rec.element, v)) continue;
        const Complex& from = v.reversed ? rec.acPhi2 : rec.acPhi1;
        const Complex& to = v.reversed ? rec.acPhi1 : rec.acPhi2;
        diagram.addVector(NVector::kVoltageDifference, v.greek, from.re, from.im, to.re, to.im, v.main,
                          v.indexPrefix + rec.element->name);
    }
}

void addCurrentChains(const NTBEFizDisp& scheme, NVectDiaDisp& diagram) {
    diagram.activeScale = diagram.currentsScale;
    for (NFizObj* obj : scheme.objects()) {
        auto* node = dynamic_cast<NTbeNode*>(obj);
        if (!node) continue;
        Complex s;
        for (NFizSemEl* attached : node->attached) {
            auto* branch = dynamic_cast<NTbeLine*>(attached);
            if (!branch || !branch->lineData.calcFlag) continue;
            const Complex i{branch->lineData.acCurrentRe, branch->lineData.acCurrentIm};
            if (branch->node1 == node) {
                const Complex next{s.re + i.re, s.im + i.im};
                diagram.addVector(NVector::kCurrent, "", s.re, s.im, next.re, next.im, "I", branch->name);
                s = next;
            } else if (branch->node2 == node) {
                const Complex prev{s.re - i.re, s.im - i.im};
                diagram.addVector(NVector::kCurrent, "", prev.re, prev.im, s.re, s.im, "I", branch->name);
                s = prev;
            }
        }
    }
}

} // namespace qv
