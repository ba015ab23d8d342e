#include <gtest/gtest.h>

#include <map>

#include "components/components.h"
#include "diagrams/vectordiagram.h"
#include "diagrams/vectordialogs.h"
#include "platform/binarystream.h"
#include "platform/numfmt.h"
#include "solver/powerbalance.h"
#include "solver/vectorchains.h"
#include "support/recordingcanvas.h"
#include "support/schemefixture.h"

using namespace qv;
using qv::test::RecordingCanvas;

namespace {

/// A vector diagram with scripted dialogs and recorded messages.
struct Diagram {
    Context ctx;
    ScriptedPresenter presenter;
    NVectDiaDisp doc{&ctx};
    Diagram() { ctx.setPresenter(&presenter); }
    RecordingMessages& messages() { return *static_cast<RecordingMessages*>(ctx.messages()); }
    /// The child layer that lists `obj`, or -1.
    int layerOf(const NFizObj* obj) const {
        for (int i = 0; i < doc.rootLayer()->sublayerCount(); ++i) {
            const NLayer* l = doc.rootLayer()->sublayers.get(i);
            for (int k = 0; k < l->objectCount(); ++k)
                if (l->layerObjects.get(k) == obj) return i;
        }
        return -1;
    }
    std::vector<NVector*> vectors() const {
        std::vector<NVector*> out;
        for (NFizObj* o : doc.objects())
            if (auto* v = dynamic_cast<NVector*>(o)) out.push_back(v);
        return out;
    }
};

QStringList textsOf(const RecordingCanvas& c) {
    QStringList out;
    for (const auto& t : c.of("text"))
        out << t.text;
    return out;
}

} // namespace

TEST(VectorDiagram, NewDocumentHasEightNamedLayersAndTheDefaultOptions) {
    Diagram d;
    ASSERT_EQ(d.doc.rootLayer()->sublayerCount(), 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(d.doc.rootLayer()->sublayers.get(i)->layerName, "Layer" + std::to_string(i + 1));
    d.doc.clear();
    EXPECT_EQ(d.doc.rootLayer()->sublayers.get(7)->layerName, "Layer8");
    EXPECT_EQ(d.doc.currentsScale, 1.0L);
    EXPECT_EQ(d.doc.voltageScale, 10.0L);
}

TEST(VectorDiagram, VoltageVectorsOfRecordsLieAtTheirScale) {
    // A resistor from 10 V to 0 V, an imaginary potential of +5 V, and a voltage source whose
    // orientation is against its branch (drawn the other way round).
    struct Case {
        const char* cls;
        uint8_t orientation;
        Complex phi1, phi2;
        Extended scale;
        Point p1, p2;
        const char *greek, *main, *index;
    };
    const Case cases[] = {
        {"NUniRes", 1, {10, 0}, {0, 0}, 10, {100, 0}, {0, 0}, "D", "U", "R7"},
        {"NUniRes", 1, {10, 0}, {0, 0}, 1, {1000, 0}, {0, 0}, "D", "U", "R7"},
        {"NUniInd", 1, {0, 5}, {0, 0}, 10, {0, -50}, {0, 0}, "D", "U", "L7"},
        {"NUniCompEDS", 1, {0, 0}, {20, -10}, 10, {0, 0}, {200, 100}, "", "E", "7"},
        {"NUniCompEDS", 0, {0, 0}, {20, -10}, 10, {200, 100}, {0, 0}, "", "E", "7"},
        {"NUniCon", 1, {-3, 0}, {0, 0}, 2, {-150, 0}, {0, 0}, "D", "U", "C7"},
        {"NUniImpedance", 1, {1, 0}, {0, 0}, 1, {100, 0}, {0, 0}, "D", "U", "Z7"},
        {"NUniCompCurSource", 1, {1, 0}, {0, 0}, 1, {100, 0}, {0, 0}, "D", "U", "J7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.cls) + " at " + std::to_string(double(c.scale)));
        Diagram d;
        auto element = createObjectByClassName(c.cls);
        auto* set = dynamic_cast<NSetObj*>(element.get());
        ASSERT_NE(set, nullptr);
        set->name = "7";
        set->orientation = c.orientation;
        NTbeSetObj rec;
        rec.acPhi1 = c.phi1;
        rec.acPhi2 = c.phi2;
        rec.element = set;
        d.doc.voltageScale = c.scale;
        addVoltageVectors({rec}, d.doc);
        auto vs = d.vectors();
        ASSERT_EQ(vs.size(), 1u);
        EXPECT_EQ(vs[0]->p1, c.p1);
        EXPECT_EQ(vs[0]->p2, c.p2);
        EXPECT_EQ(vs[0]->vectorKind, NVector::kVoltageDifference);
        EXPECT_EQ(vs[0]->greekText, c.greek);
        EXPECT_EQ(vs[0]->mainText, c.main);
        EXPECT_EQ(vs[0]->indexText, c.index);
        EXPECT_EQ(d.layerOf(vs[0]), NVectDiaDisp::kPotentialDifferences);
        ASSERT_NE(vs[0]->liveLabel(), nullptr);
        EXPECT_EQ(vs[0]->liveLabel()->indexText, c.index);
        EXPECT_EQ(d.layerOf(vs[0]->liveLabel()), NVectDiaDisp::kDrawing);
    }
}

TEST(VectorDiagram, RecordsOfOtherElementsAndAScaleOfZeroMakeNoVectors) {
    Diagram d;
    auto source = createObjectByClassName("NUniEds");
    NTbeSetObj rec;
    rec.acPhi1 = {10, 0};
    rec.element = dynamic_cast<NSetObj*>(source.get());
    addVoltageVectors({rec, NTbeSetObj{}}, d.doc);
    EXPECT_EQ(d.doc.objectCount(), 0);
    d.doc.activeScale = 0;
    EXPECT_EQ(d.doc.addVector(2, "", 1, 0, 0, 0, "U", ""), nullptr);
    EXPECT_EQ(d.doc.objectCount(), 0);
}

TEST(VectorDiagram, ArrowheadOnlyFromSeventyUnits) {
    struct Case {
        Point p2;
        size_t lines;
    };
    for (const Case& c : {Case{{50, 0}, 1}, Case{{69, 0}, 1}, Case{{70, 0}, 3}, Case{{0, -100}, 3}}) {
        SCOPED_TRACE(c.p2.x + c.p2.y);
        NVector v;
        v.setPoints({0, 0}, c.p2);
        RecordingCanvas canvas;
        v.draw(&canvas);
        auto lines = canvas.of("line");
        ASSERT_EQ(lines.size(), c.lines);
        if (c.lines == 1) continue;
        // The barbs start at P2 and end 35 back and 8 to each side.
        EXPECT_EQ(lines[1].points[0], c.p2);
        EXPECT_EQ(lines[2].points[0], c.p2);
        if (c.p2.y == 0) {
            EXPECT_EQ(lines[1].points[1], (Point{c.p2.x - 35, -8}));
            EXPECT_EQ(lines[2].points[1], (Point{c.p2.x - 35, 8}));
        } else {
            EXPECT_EQ(lines[1].points[1], (Point{-8, -65}));
            EXPECT_EQ(lines[2].points[1], (Point{8, -65}));
        }
    }
}

TEST(VectorDiagram, CurrentChainOfANodeRunsForwardForLeavingAndBackForEnteringBranches) {
    // One branch leaves node n and one enters it, both carrying I = 2 + 1j (at 1 A/cm the
    // point of I is (200, -100)); a third branch took no part in the solution.
    for (bool leavingFirst : {true, false}) {
        SCOPED_TRACE(leavingFirst);
        test::Scheme s;
        NTbeNode* a = s.node(-300, 0);
        NTbeNode* n = s.node(0, 0);
        NTbeNode* b = s.node(300, 0);
        NTbeLine* leaving = nullptr;
        NTbeLine* entering = nullptr;
        if (leavingFirst) {
            leaving = s.branch(n, b);
            entering = s.branch(a, n);
        } else {
            entering = s.branch(a, n);
            leaving = s.branch(n, b);
        }
        NTbeLine* idle = s.branch(n, s.node(0, 300));
        for (NTbeLine* l : {leaving, entering}) {
            l->lineData.calcFlag = 1;
            l->lineData.acCurrentRe = 2;
            l->lineData.acCurrentIm = 1;
        }
        idle->lineData.calcFlag = 0;

        Diagram d;
        addCurrentChains(s.doc, d.doc);
        for (NVector* v : d.vectors()) {
            EXPECT_EQ(v->vectorKind, NVector::kCurrent);
            EXPECT_EQ(d.layerOf(v), NVectDiaDisp::kCurrents);
            EXPECT_NE(v->indexText, idle->name);
        }
        // Node a and node b show one vector each, node n two.
        ASSERT_EQ(d.vectors().size(), 4u);
        // The chain of n is the second and third vector (a comes first in document order).
        NVector* first = d.vectors()[1];
        NVector* second = d.vectors()[2];
        EXPECT_EQ(first->indexText, leavingFirst ? leaving->name : entering->name);
        const Point from = leavingFirst ? Point{0, 0} : Point{-200, 100};
        const Point to = leavingFirst ? Point{200, -100} : Point{0, 0};
        for (NVector* v : {first, second}) {
            EXPECT_EQ(v->p1, from);
            EXPECT_EQ(v->p2, to);
            EXPECT_EQ(v->mainText, "I");
        }
    }
}

TEST(VectorDiagram, DefaultTicksShowCurrentAboveAndVoltageBelowTheAxis) {
    Diagram d;
    d.doc.viewLeft = -1000;
    d.doc.viewTop = -700;
    d.doc.viewRight = 1000;
    d.doc.viewBottom = 700;
    RecordingCanvas canvas;
    d.doc.paint(&canvas);
    std::map<std::pair<int, int>, QString> at;
    for (const auto& t : canvas.of("text"))
        at[{t.points[0].x, t.points[0].y}] = t.text;
    EXPECT_EQ(at[std::make_pair(180, -90)], "2");
    EXPECT_EQ(at[std::make_pair(180, 40)], "20");
    EXPECT_EQ(at[std::make_pair(-220, -90)], "-2");
    EXPECT_EQ(at[std::make_pair(-90, -220)], "2"); // upwards: positive imaginary
    EXPECT_EQ(at[std::make_pair(40, 180)], "-20"); // downwards: negative imaginary
    EXPECT_EQ(at[std::make_pair(980, 40)], "100"); // five big steps, accumulated
    // 5 big ticks per side left and right, 3 up and down; each writes two values.
    EXPECT_EQ(canvas.of("text").size(), size_t(2 * (5 + 5 + 3 + 3)));
    EXPECT_TRUE(canvas.of("pixel").empty()); // grid dots are off by default

    // Hiding "Axis" removes the axes; "Snap" shows the grid dots.
    d.doc.syncLayerVisibility({true, true, true, true, true, false});
    d.doc.snapVisible = 1;
    RecordingCanvas hidden;
    d.doc.paint(&hidden);
    EXPECT_TRUE(hidden.of("line").empty());
    EXPECT_EQ(hidden.of("pixel").size(), size_t((2000 / 20 + 1) * (1400 / 20 + 1)));
}

TEST(VectorDiagram, HandDrawnVectorIsOtherInLayerTwoAndStaysThereWhenMadeACurrent) {
    Diagram d;
    NVector* v = new NVector;
    v->owner = &d.doc;
    int state = 0;
    v->placePoint(state, 0, 0);
    v->placePoint(state, 300, 0);
    ASSERT_EQ(state, kPlacementDone);
    ASSERT_EQ(d.doc.objectCount(), 2); // the vector and its label
    EXPECT_EQ(v->vectorKind, NVector::kHandDrawn);
    EXPECT_EQ(d.layerOf(v), NVectDiaDisp::kPotentialDifferences);
    EXPECT_EQ(v->pen.width, 3);
    NElmLabel* label = v->liveLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->removable, 0);
    EXPECT_EQ(label->labelFontSize, 40);
    // 60 units to the side of negative across-values from the midpoint, then up and left 30.
    EXPECT_EQ(label->p1, (Point{150 - 30, -60 - 30}));

    d.presenter.scripts.push_back([](DialogModel& m) {
        EXPECT_EQ(m.caption(), "Vector propertes");
        EXPECT_EQ(m.field("kind").items[m.field("kind").choice], "other");
        m.field("kind").choice = 0; // "Current"
        m.field("main").text = "I";
        m.field("index").text = "k";
        return m.ok();
    });
    v->editProperties();
    EXPECT_EQ(v->vectorKind, NVector::kCurrent);
    EXPECT_EQ(d.layerOf(v), NVectDiaDisp::kPotentialDifferences);
    EXPECT_EQ(label->mainText, "I");
    EXPECT_EQ(label->indexText, "k");
    EXPECT_GT(label->textWidth, 0);

    // Cancel leaves the vector as it was.
    d.presenter.scripts.push_back([](DialogModel& m) {
        m.field("kind").choice = 1;
        m.cancel();
        return false;
    });
    v->editProperties();
    EXPECT_EQ(v->vectorKind, NVector::kCurrent);

    // Deleting the vector deletes its label.
    d.doc.deleteObject(v);
    EXPECT_EQ(d.doc.objectCount(), 0);
}

TEST(VectorDiagram, ClearingDrawingHidesTheLabelsWithTheDrawings) {
    Diagram d;
    d.doc.activeScale = 1;
    d.doc.addVector(2, "D", 1, 0, 0, 0, "U", "R1");
    auto* line = new NGrLine;
    line->setPoints({0, 0}, {0, 100});
    d.doc.add(line);
    ASSERT_EQ(d.layerOf(line), NVectDiaDisp::kDrawing);
    auto labelTexts = [&] {
        RecordingCanvas canvas;
        d.doc.viewLeft = d.doc.viewTop = d.doc.viewRight = d.doc.viewBottom = 0; // no ticks
        d.doc.paint(&canvas);
        return std::make_pair(textsOf(canvas), canvas.of("line").size());
    };
    auto [shown, shownLines] = labelTexts();
    EXPECT_EQ(shown, (QStringList{"D", "U", "R1"}));
    d.doc.syncLayerVisibility({true, true, true, true, false, true});
    auto [hidden, hiddenLines] = labelTexts();
    EXPECT_TRUE(hidden.isEmpty());
    EXPECT_EQ(hiddenLines, shownLines - 1); // the vector stays, the user's line goes
}

TEST(VectorDiagram, OutputOptionsRefuseScalesThatAreNotNumbersOrZero) {
    struct Case {
        const char *current, *voltage;
        bool accepted;
    };
    const Case cases[] = {
        {"2", "5", true},    {"0", "5", false}, {"2", "0", false},
        {"abc", "5", false}, {"2", "", false},  {"1e-3", "-10", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.current) + " " + c.voltage);
        Context ctx;
        VectorOutputOptionsDialog dlg;
        dlg.ctx = &ctx;
        dlg.show();
        dlg.field("currentScale").text = c.current;
        dlg.field("voltageScale").text = c.voltage;
        dlg.field("makeVoltages").checked = false;
        EXPECT_EQ(dlg.ok(), c.accepted);
        EXPECT_EQ(dlg.accepted, c.accepted);
        auto& shown = static_cast<RecordingMessages*>(ctx.messages())->shown;
        if (c.accepted) {
            EXPECT_TRUE(shown.isEmpty());
            EXPECT_FALSE(dlg.makeVoltages);
            EXPECT_EQ(dlg.currentScale, *numfmt::parse(c.current));
        } else {
            ASSERT_EQ(shown.size(), 1);
            EXPECT_EQ(shown[0].text, "Invalid input");
            EXPECT_EQ(shown[0].caption, "");
        }
        // The check boxes are ticked again on every showing; the texts stay.
        dlg.show();
        EXPECT_TRUE(dlg.field("makeVoltages").checked);
        EXPECT_FALSE(dlg.accepted);
        EXPECT_EQ(dlg.field("currentScale").text, c.current);
    }
}

TEST(VectorDiagram, EditorOptionsStoreAllOrNothing) {
    struct Case {
        const char* field;
        const char* text;
        bool stored;
    };
    const Case cases[] = {
        {"currentsScale", "0.5", true}, {"currentsScale", "0", false}, {"voltageScale", "0", false},
        {"snapX", "0", false},          {"snapY", "x", false},         {"bigStep", "0.001", false},
        {"smallStep", "0.25", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + "=" + c.text);
        Diagram d;
        d.presenter.scripts.push_back([&](DialogModel& m) {
            EXPECT_EQ(m.caption(), "Vectory editor options");
            EXPECT_TRUE(m.field("invisibleSnap").checked);
            EXPECT_EQ(m.field("bigStep").text, "2");
            EXPECT_EQ(m.field("voltageScale").text, "10");
            m.field("snapX").text = "25";
            m.field("invisibleSnap").checked = false;
            m.field(c.field).text = c.text;
            if (m.ok()) return true;
            m.cancel();
            return false;
        });
        d.doc.showEditorOptions();
        EXPECT_EQ(d.doc.snapHStep, c.stored ? 25 : 20);
        EXPECT_EQ(d.doc.snapVisible, c.stored ? 1 : 0);
        if (!c.stored) {
            ASSERT_EQ(d.messages().shown.size(), 1);
            EXPECT_EQ(d.messages().shown[0].text, "Invalid input");
        }
    }
    Diagram d;
    d.presenter.scripts.push_back([](DialogModel& m) {
        m.field("bigStep").text = "1.5";
        m.field("smallStep").text = "0.25";
        return m.ok();
    });
    d.doc.showEditorOptions();
    EXPECT_EQ(d.doc.bigLinesStep, 150);
    EXPECT_EQ(d.doc.smallLinesStep, 25);
}

TEST(VectorDiagram, TextsAreCutToNinetyNineCharactersAndDamagedLengthsAreRefused) {
    const std::string longText(150, 'x');
    BinaryWriter w;
    writeVectorText(w, longText);
    writeVectorText(w, "U");
    EXPECT_EQ(w.size(), size_t(4 + 99 + 1 + 4 + 1 + 1));
    BinaryReader r(w.bytes());
    std::string a, b;
    readVectorText(r, a);
    readVectorText(r, b);
    EXPECT_FALSE(r.failed());
    EXPECT_EQ(a, std::string(99, 'x'));
    EXPECT_EQ(b, "U");
    EXPECT_EQ(clampVectorText(longText).size(), 99u);

    for (int32_t claimed : {-1, 3, INT32_MAX}) {
        BinaryWriter bad;
        bad.writeInt32(claimed);
        bad.writeByte('A');
        BinaryReader br(bad.bytes());
        std::string s = "kept";
        readVectorText(br, s);
        EXPECT_TRUE(br.failed()) << claimed;
        EXPECT_EQ(s, "kept");
    }
}

TEST(VectorDiagram, PointsAreHitNearbyOnlyAndHaveBounds) {
    NVDPoint p;
    p.x = INT32_MAX;
    p.y = 0;
    EXPECT_TRUE(p.hitTest(INT32_MAX - 2, 0));
    EXPECT_FALSE(p.hitTest(INT32_MAX - 3, 0));
    EXPECT_FALSE(p.hitTest(INT32_MIN, 0)); // far away, whatever 32-bit squares would say
    p.x = 10;
    p.y = 20;
    Rect r;
    p.getBounds(r);
    EXPECT_EQ(r, (Rect{8, 18, 12, 22}));
    Diagram d;
    auto* q = new NVDPoint;
    q->owner = &d.doc;
    int state = 0;
    q->placePoint(state, 5, 6);
    EXPECT_EQ(state, kPlacementDone);
    EXPECT_EQ(d.layerOf(q), NVectDiaDisp::kPotentials);
}
