// The writers that read the solver model, checked by the text their verb calls show.
#include "solver/modelwriters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "model/context.h"
#include "report/recordingtarget.h"
#include "solver/kirchhoff.h"
#include "solver/solutionerror.h"

using namespace qv;

namespace {

/// A model filled by hand: records live in the fixture, the lists only refer to them.
struct ModelWriters : ::testing::Test {
    Context ctx;
    KirchhoffMethod model{ctx};
    std::unique_ptr<NVetv> owned = std::make_unique<NVetv>();
    NVetv& branch() { return *owned; }
    RecordingReportTarget t;
    std::vector<std::unique_ptr<NRes>> res;
    std::vector<std::unique_ptr<NInductance>> ind;
    std::vector<std::unique_ptr<NCapacitor>> cap;
    std::vector<std::unique_ptr<NCompRes>> imp;
    std::vector<std::unique_ptr<NCompEds>> ceds;

    ModelWriters() {
        owned->name = "1";
        ctx.omega = 2 * CircuitModel::kPi * 50;
        ctx.numberPrecision = 4;
    }
    NRes* r(const char* name, Extended v) {
        res.push_back(std::make_unique<NRes>(NRes{{}, v, name}));
        return res.back().get();
    }
    NInductance* l(const char* name, Extended v) {
        ind.push_back(std::make_unique<NInductance>(NInductance{{}, v, name}));
        return ind.back().get();
    }
    NCapacitor* c(const char* name, Extended v) {
        cap.push_back(std::make_unique<NCapacitor>(NCapacitor{{}, v, name}));
        return cap.back().get();
    }
    NCompRes* z(const char* name, Extended re, Extended im) {
        imp.push_back(std::make_unique<NCompRes>(NCompRes{{}, re, im, name}));
        return imp.back().get();
    }
    NCompEds* e(const char* name, Extended re, uint8_t orientation) {
        auto src = std::make_unique<NCompEds>();
        src->name = name;
        src->re = re;
        src->orientation = orientation;
        ceds.push_back(std::move(src));
        return ceds.back().get();
    }
};

} // namespace

TEST_F(ModelWriters, BranchImpedanceLines) {
    struct Case {
        const char* what;
        std::function<void(ModelWriters&)> fill;
        const char* shown;
        Complex impedance;
    };
    const Extended w = 2 * CircuitModel::kPi * 50;
    const Case cases[] = {
        {"R and L",
         [](ModelWriters& f) {
             f.branch().resistors.add(f.r("1", 10));
             f.branch().inductances.add(f.l("1", 0.1L));
         },
         "Z_{1}=R_{1}+j·ω·L_{1}=10+j·314.2·0.1=10+j31.42\n",
         {10, 0.1L * w}},
        {"empty", [](ModelWriters&) {}, "Z_{1}=0\n", {0, 0}},
        {"two resistors, a capacitor",
         [](ModelWriters& f) {
             f.branch().resistors.add(f.r("1", 10));
             f.branch().resistors.add(f.r("2", 5));
             f.branch().capacitors.add(f.c("3", 100));
         },
         "Z_{1}=(R_{1}+R_{2})+j·-1/(ω·C_{3})=(10+5)+j·-1/(314.2·100·10^{-6})=15-j31.83\n",
         {15, -1000000 / (100 * w)}},
        {"inductor, capacitor, two impedances",
         [](ModelWriters& f) {
             f.branch().inductances.add(f.l("1", 0.2L));
             f.branch().capacitors.add(f.c("2", 50));
             f.branch().impedances.add(f.z("3", 1, 2));
             f.branch().impedances.add(f.z("4", 0, -3));
         },
         "Z_{1}=j·(ω·L_{1}-1/(ω·C_{2}))+(Z_{3}+Z_{4})=j·(314.2·0.2-1/(314.2·50·10^{-6}))+(1+j2+-j3)="
         "1-j1.83\n",
         {1, 0.2L * w - 1000000 / (50 * w) - 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ModelWriters& f = *this;
        f.owned = std::make_unique<NVetv>();
        f.owned->name = "1";
        f.t.clear();
        c.fill(f);
        writeBranchImpedance(model, branch(), t);
        EXPECT_EQ(t.shownText(), c.shown);
        EXPECT_NEAR(double(branch().impedance.re), double(c.impedance.re), 1e-9);
        EXPECT_NEAR(double(branch().impedance.im), double(c.impedance.im), 1e-9);
    }
}

TEST_F(ModelWriters, ZeroCapacitanceOrFrequencyIsASolutionError) {
    branch().capacitors.add(c("1", 0));
    EXPECT_THROW(writeBranchImpedance(model, branch(), t), SolutionError);
    owned = std::make_unique<NVetv>();
    branch().capacitors.add(c("2", 10));
    ctx.omega = 0;
    EXPECT_THROW(writeBranchImpedance(model, branch(), t), SolutionError);
}

TEST_F(ModelWriters, EmfTermsAndValuesBySense) {
    // One positive source after a term, then two of opposite sense: E1+(E2-E3).
    NVetv one, two;
    one.complexEmfs.add(e("1", 5, 1));
    two.complexEmfs.add(e("2", 3, 1));
    two.complexEmfs.add(e("3", 2, 0));
    bool before = false;
    writeBranchEmfTerms(one, t, true, before);
    EXPECT_TRUE(before);
    writeBranchEmfTerms(two, t, true, before);
    EXPECT_EQ(t.shownText(), "E_{1}+(E_{2}-E_{3})");

    t.clear();
    before = true;
    writeBranchEmfValues(one, t, false, before, 4); // against the walk: its own minus, no "+"
    writeBranchEmfValues(two, t, false, before, 4);
    EXPECT_EQ(t.shownText(), "-5+(-3+2)");

    t.clear();
    before = false;
    NVetv none;
    writeBranchEmfTerms(none, t, true, before);
    EXPECT_FALSE(before);
    EXPECT_TRUE(t.calls.empty());
}

TEST_F(ModelWriters, InitialData) {
    model.resistors.add(r("1", 10));
    model.resistors.add(r("2", 0.123456789L));
    EXPECT_EQ((writeInitialData(model, t), t.shownText()),
              "Inital variables\nR_{1}=10Ohm; R_{2}=0.12345679Ohm; \n\n\n");

    t.clear();
    model.resistors.clear();
    model.inductances.add(l("1", 0.5L));
    model.capacitors.add(c("2", 20));
    model.complexEmfs.add(e("3", 5, 1));
    model.impedances.add(z("4", 1, -2));
    writeInitialData(model, t);
    EXPECT_EQ(t.shownText(), "Inital variables\n\n\n\nL_{1}=0.5Gn; \n\u0421_{2}=20mkF; \nE_{3}=5 V;\n"
                             "Z_{4}=1-j2 ohm;\n");
}
