#include <gtest/gtest.h>

#include "components/branch.h"
#include "graphics/labels.h"
#include "graphics/primitives.h"
#include "model/context.h"
#include "model/document.h"
#include "platform/binarystream.h"
#include "support/placement.h"

using namespace qv;

namespace {

/// A scheme document with its label document, as the workbench sets them up.
struct Scheme {
    FizDisp labels;
    NTBEFizDisp doc;
    Scheme() { doc.labelDocument = &labels; }

    NTbeNode* node(int32_t x, int32_t y) { return test::placeNode(doc, x, y); }
    /// A branch placed by clicks: on `a`, on each corner, on `b`.
    NTbeLine* branch(NFUsel* a, NFUsel* b, std::vector<Point> corners = {}) {
        return test::placeBranch(doc, a, b, corners);
    }
    /// A 30-long component placed by a click on a branch.
    NEDSObj* component(int32_t x, int32_t y) {
        auto* c = new NEDSObj();
        c->owner = &doc;
        int state = 0;
        c->placePoint(state, x, y);
        EXPECT_EQ(state, -1);
        return c;
    }
};

} // namespace

TEST(Topology, ANodeBecomesRemovableWhenItsLastBranchGoes) {
    Scheme s;
    NTbeNode* a = s.node(0, 0);
    NTbeNode* b = s.node(100, 0);
    EXPECT_TRUE(a->removable);
    NTbeLine* br = s.branch(a, b);
    EXPECT_FALSE(a->removable);
    EXPECT_EQ(br->node1, a);
    EXPECT_EQ(br->node2, b);
    EXPECT_EQ(br->name, "1");
    EXPECT_EQ(a->name, "1");
    EXPECT_EQ(b->name, "2");
    s.doc.deleteObject(br);
    EXPECT_TRUE(a->removable);
    EXPECT_TRUE(b->attached.empty());
}

TEST(Topology, DeletingABranchTakesItsComponentsAndLabelsButNotTheNodeLabels) {
    Scheme s;
    NTbeNode* a = s.node(0, 0);
    NTbeNode* b = s.node(200, 0);
    NTbeLine* br = s.branch(a, b);
    s.component(50, 0);
    s.component(150, 0);
    // 2 nodes + 2 node labels + branch + label + 2 components + 2 labels
    EXPECT_EQ(s.doc.objectCount(), 10);
    ASSERT_EQ(br->elements.size(), 5u);
    s.doc.deleteObject(br);
    EXPECT_EQ(s.doc.objectCount(), 4);
    EXPECT_NE(s.doc.indexOfObject(a->nameLabel), -1);
    EXPECT_NE(s.doc.indexOfObject(b->nameLabel), -1);
}

TEST(Topology, InsertingAComponentSplitsTheSegmentAndRemovingItMergesIt) {
    Scheme s;
    NTbeNode* a = s.node(0, 0);
    NTbeNode* b = s.node(100, 0);
    NTbeLine* br = s.branch(a, b);
    NEDSObj* e = s.component(50, 2);
    ASSERT_EQ(br->elements.size(), 3u);
    auto* first = NFVetv::asSegment(br->elements[0]);
    auto* second = NFVetv::asSegment(br->elements[2]);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(br->elements[1], e);
    EXPECT_EQ(first->p2, e->startPoint);
    EXPECT_EQ(second->p1, e->endPoint);
    EXPECT_EQ(e->endPoint.x - e->startPoint.x, 30);
    EXPECT_EQ(e->branch, br);

    s.doc.deleteObject(e);
    ASSERT_EQ(br->elements.size(), 1u);
    auto* merged = NFVetv::asSegment(br->elements[0]);
    EXPECT_EQ(merged->p1, (Point{0, 0}));
    EXPECT_EQ(merged->p2, (Point{100, 0}));
}

TEST(Topology, TheEarlyVoltageSourceDoesNotSurviveSaving) {
    Scheme s;
    s.branch(s.node(0, 0), s.node(100, 0));
    s.component(50, 0);
    BinaryWriter w;
    s.doc.saveToStream(w);
    Scheme t;
    BinaryReader r(w.bytes());
    t.doc.loadFromStream(r);
    EXPECT_TRUE(r.failed());
    EXPECT_NE(r.error().find("Invalid class name \"NEDSObj\""), std::string::npos);
}

TEST(Topology, AClickBesideEveryBranchPlacesNothing) {
    Scheme s;
    NTbeNode* a = s.node(0, 0);
    NTbeNode* b = s.node(100, 0);
    s.branch(a, b);
    auto* c = new NEDSObj();
    c->owner = &s.doc;
    int state = 0;
    c->placePoint(state, 50, 30); // empty space
    c->placePoint(state, 100, 0); // a node
    EXPECT_EQ(state, 0);
    delete c;
}

TEST(Topology, ReversingSwapsEndsChainAndOrientation) {
    Scheme s;
    NTbeNode* a = s.node(0, 0);
    NTbeNode* b = s.node(100, 100);
    NTbeLine* br = s.branch(a, b, {{100, 0}});
    NEDSObj* e = s.component(50, 0);
    auto* last = NFVetv::asSegment(br->elements.back());
    Point lastP1 = last->p1, lastP2 = last->p2;
    br->reverse();
    EXPECT_EQ(br->node1, b);
    EXPECT_EQ(br->node2, a);
    EXPECT_EQ(br->elements.front(), last);
    EXPECT_EQ(last->p1, lastP2);
    EXPECT_EQ(last->p2, lastP1);
    EXPECT_EQ(e->orientation, 0);
    EXPECT_EQ(e->startPoint, (Point{35, 0})); // terminals stay where they are
}

TEST(Topology, MovingANodeMovesOnlyTheBranchEndsThatMeetIt) {
    Scheme s;
    NTbeNode* a = s.node(0, 0);
    NTbeNode* b = s.node(200, 0);
    NTbeNode* c = s.node(200, 100);
    NTbeLine* ab = s.branch(a, b);
    NTbeLine* cb = s.branch(c, b);
    NEDSObj* e = s.component(100, 0);
    Point start = e->startPoint;
    b->dragBy(-10, 20, s.doc.canvas()); // previous minus current: moves by (10, -20)
    EXPECT_EQ((Point{b->x, b->y}), (Point{210, -20}));
    EXPECT_EQ(NFVetv::asSegment(ab->elements.back())->p2, (Point{200, 0})); // not before the drop
    EXPECT_TRUE(b->endDrag());
    EXPECT_EQ(NFVetv::asSegment(ab->elements.back())->p2, (Point{210, -20}));
    EXPECT_EQ(NFVetv::asSegment(cb->elements.back())->p2, (Point{210, -20}));
    EXPECT_EQ(NFVetv::asSegment(ab->elements.front())->p1, (Point{0, 0}));
    EXPECT_EQ(e->startPoint, start);
}

TEST(Topology, CountsConnectedParts) {
    Scheme s;
    NTbeNode* a = s.node(0, 0);
    NTbeNode* b = s.node(100, 0);
    NTbeNode* c = s.node(0, 100);
    NTbeNode* d = s.node(100, 100);
    NTbeNode* e = s.node(200, 100);
    s.node(300, 300);
    s.branch(a, b);
    s.branch(b, a, {{50, -50}});
    s.branch(c, d);
    s.branch(d, e);
    EXPECT_EQ(countConnectedParts(s.doc), 3);
}

TEST(Topology, BranchLabelSitsBesideTheMiddleOfTheLongestSegment) {
    Scheme s;
    NTbeNode* a = s.node(0, 0);
    NTbeNode* b = s.node(40, 100);
    // Segments: (0,0)-(40,0) and (40,0)-(40,100): the second is longer.
    NTbeLine* br = s.branch(a, b, {{40, 0}});
    Point p;
    br->defaultLabelPos(p);
    // 50 along the downward segment, 25 to its right (to screen left), less (8, 8).
    EXPECT_EQ(p, (Point{40 - 25 - 8, 50 - 8}));
    ASSERT_NE(br->nameLabel, nullptr);
    EXPECT_EQ(br->nameLabel->p1, p);
    auto* label = dynamic_cast<NTwoBin*>(br->nameLabel);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->mainText, "I");
    EXPECT_EQ(label->indexText, br->name);
}

TEST(Topology, ASchemeReadsBackEqualAndWritesBackTheSameBytes) {
    Scheme s;
    NTbeNode* a = s.node(0, 0);
    NTbeNode* b = s.node(200, 0);
    NTbeLine* br = s.branch(a, b, {{100, -60}});
    br->setArrows(true);
    s.doc.frequency = 60;
    BinaryWriter w;
    s.doc.saveToStream(w);

    Scheme t;
    BinaryReader r(w.bytes());
    t.doc.loadFromStream(r);
    ASSERT_FALSE(r.failed()) << r.error();
    EXPECT_EQ(r.remaining(), 0u);
    ASSERT_EQ(t.doc.objectCount(), s.doc.objectCount());
    EXPECT_EQ(t.doc.frequency, 60);
    auto* br2 = dynamic_cast<NTbeLine*>(t.doc.objectAt(s.doc.indexOfObject(br)));
    ASSERT_NE(br2, nullptr);
    EXPECT_EQ(br2->elements.size(), br->elements.size());
    EXPECT_EQ(t.doc.indexOfObject(br2->node1), s.doc.indexOfObject(a));
    EXPECT_EQ(br2->cornerPoints, br->cornerPoints);
    EXPECT_EQ(br2->showArrows, 1);
    BinaryWriter again;
    t.doc.saveToStream(again);
    EXPECT_EQ(again.bytes(), w.bytes());
}

TEST(Topology, TheBranchDialogRenamesSetsArrowsAndReverses) {
    Scheme s;
    NTbeNode* a = s.node(0, 0);
    NTbeNode* b = s.node(100, 0);
    NTbeLine* br = s.branch(a, b);
    ScriptedPresenter presenter;
    s.doc.context()->setPresenter(&presenter);
    presenter.scripts.push_back([](DialogModel& m) {
        EXPECT_EQ(m.field("name").text, "1");
        EXPECT_FALSE(m.field("reverse").checked); // cleared every time the dialog opens
        m.field("name").text = "7";
        m.field("arrows").checked = true;
        m.field("reverse").checked = true;
        return m.ok();
    });
    br->editProperties();
    EXPECT_EQ(br->name, "7");
    EXPECT_EQ(br->node1, b);
    EXPECT_TRUE(NFVetv::asSegment(br->elements.front())->arrow);
    EXPECT_EQ(dynamic_cast<NTwoBin*>(br->nameLabel)->indexText, "7");

    // The box does not stay ticked for the next use.
    presenter.scripts.push_back([](DialogModel& m) {
        EXPECT_FALSE(m.field("reverse").checked);
        return m.ok();
    });
    br->editProperties();
    EXPECT_EQ(br->node1, b);
}

TEST(Topology, TheNodeDialogRenamesAndCutsToTwentyCharacters) {
    Scheme s;
    NTbeNode* a = s.node(0, 0);
    ScriptedPresenter presenter;
    s.doc.context()->setPresenter(&presenter);
    presenter.scripts.push_back([](DialogModel& m) {
        EXPECT_FALSE(m.field("ungrounded").visible);
        m.field("name").text = QString::fromUtf8("Узел номер один и два"); // 21 characters
        return m.ok();
    });
    a->editProperties();
    EXPECT_EQ(QString::fromStdString(a->name), QString::fromUtf8("Узел номер один и дв"));
    EXPECT_EQ(dynamic_cast<NTextLabel*>(a->nameLabel)->text, a->name);
}
