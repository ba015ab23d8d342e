#include <gtest/gtest.h>

#include "diagrams/loop.h"
#include "diagrams/loopdialogs.h"
#include "diagrams/looplist.h"
#include "support/recordingcanvas.h"
#include "support/schemefixture.h"

using namespace qv;
using qv::test::ProbeLoop;
using qv::test::RecordingCanvas;
using qv::test::Scheme;

namespace {

struct Triangle : test::Triangle {
    NFCont* build(NFUsel* start, std::vector<Point> clicks) {
        auto loop = newLoop(doc);
        NFCont* raw = loop.get();
        int state = 0;
        placeLoopPoint(loop, state, start->x, start->y);
        for (Point p : clicks)
            placeLoopPoint(loop, state, p.x, p.y);
        EXPECT_EQ(state, -1);
        return raw;
    }
    NFCont* triangle() { return build(n1, {{50, 0}, {100, 50}, {50, 50}}); }
};

int linesIn(const RecordingCanvas& c, Colour colour) {
    int n = 0;
    for (const auto& l : c.of("line"))
        n += l.pen.color == colour ? 1 : 0;
    return n;
}

} // namespace

TEST(LoopProperties, ShowTheLoopHighlightedAndTakeNameColourAndDirection) {
    struct Case {
        int presses; ///< of "Change direction"
        QStringList linesAfterPressing;
        bool reversed;
    };
    const QString v = QString::fromUtf8("ветвь");
    const Case cases[] = {
        {0, {v + "1", v + "2", v + "3"}, false},
        {1, {v + "3", v + "2", v + "1"}, true},
        {2, {v + "1", v + "2", v + "3"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.presses);
        Triangle s;
        NFCont* loop = s.triangle();
        const auto nodes = loop->nodes;
        const auto branches = loop->branches;
        RecordingCanvas canvas;
        s.doc.setCanvas(&canvas);
        s.presenter.scripts.push_back([&](DialogModel& m) {
            EXPECT_EQ(m.caption(), "Loop propertes");
            EXPECT_FALSE(m.hasCancel());
            EXPECT_TRUE(loop->highlighted);
            EXPECT_EQ(linesIn(canvas, NFCont::kListedColor), 3) << "drawn once before showing";
            RecordingCanvas repaint;
            s.doc.paint(&repaint);
            EXPECT_EQ(linesIn(repaint, NFCont::kListedColor), 3) << "every repaint shows it while open";
            EXPECT_EQ(m.field("name").text, "1");
            EXPECT_EQ(m.field("color").color, NFCont::kListedColor);
            for (int i = 0; i < c.presses; ++i)
                m.pressed("Change direction");
            EXPECT_EQ(m.field("branches").items, c.linesAfterPressing);
            m.field("name").text = "A name of twenty-five ch";
            m.field("color").color = rgb(0, 0, 255);
            return m.ok();
        });
        loop->editProperties();
        EXPECT_EQ(canvas.refreshes, 1) << "the page is asked to paint itself without the loop";
        s.doc.setCanvas(nullptr);
        EXPECT_EQ(loop->name, "A name of twenty-fiv");
        EXPECT_EQ(loop->color, rgb(0, 0, 255));
        EXPECT_FALSE(loop->highlighted);
        EXPECT_TRUE(s.ctx.dialog<LoopPropertiesDialog>().field("branches").items.isEmpty());
        if (c.reversed) {
            EXPECT_EQ(loop->nodes, (std::vector<NFUsel*>(nodes.rbegin(), nodes.rend())));
            EXPECT_EQ(loop->branches, (std::vector<NFVetv*>(branches.rbegin(), branches.rend())));
        } else {
            EXPECT_EQ(loop->nodes, nodes);
            EXPECT_EQ(loop->branches, branches);
        }
        RecordingCanvas after;
        s.doc.paint(&after);
        EXPECT_EQ(linesIn(after, rgb(0, 0, 255)), 0) << "hidden again once closed";
    }
}

TEST(LoopProperties, ClosingWithoutOkStillTakesNameAndColour) {
    Triangle s;
    NFCont* loop = s.triangle();
    s.presenter.scripts.push_back([](DialogModel& m) {
        m.field("name").text = "Mesh";
        m.field("color").color = rgb(9, 9, 9);
        m.cancel(); // the window's close box
        return false;
    });
    loop->editProperties();
    EXPECT_EQ(loop->name, "Mesh");
    EXPECT_EQ(loop->color, rgb(9, 9, 9));
}

TEST(LoopsList, ListsDeletesAndViewsTheLoops) {
    Triangle s;
    s.triangle();                          // "1"
    s.build(s.n2, {{100, 50}, {150, 50}}); // "2": n2-n3-n2
    bool freed = false;
    auto* probe = new ProbeLoop(&freed);
    probe->owner = &s.doc;
    probe->name = "P";
    ASSERT_TRUE(s.doc.loops().add(probe));

    s.presenter.scripts.push_back([&](DialogModel& m) {
        auto& list = m.field("loops");
        EXPECT_EQ(m.caption(), "Loops List");
        EXPECT_EQ(list.items, QStringList({"Loop 1", "Loop 2", "Loop P"}));
        EXPECT_EQ(m.field("info").text, "Loop info");
        EXPECT_EQ(m.field("maxQuantity").label, "Max quantity of loopd");
        EXPECT_EQ(m.field("maxQuantity").text, "100");
        EXPECT_EQ(m.field("formed").label, "Formed");
        EXPECT_EQ(m.field("formed").text, "3");

        // Without a selection both buttons do nothing.
        m.pressed("Delete");
        m.pressed("View");
        EXPECT_EQ(s.doc.loops().count(), 3);

        list.choice = 1;
        m.pressed("View"); // runs the next script: the properties of loop "2"
        EXPECT_EQ(list.items, QStringList({"Loop 1", "Loop Outer", "Loop P"}));

        list.choice = 2;
        m.pressed("Delete");
        EXPECT_EQ(list.items, QStringList({"Loop 1", "Loop Outer"}));
        EXPECT_EQ(m.field("formed").text, "2");
        return m.ok();
    });
    s.presenter.scripts.push_back([](DialogModel& m) {
        EXPECT_EQ(m.caption(), "Loop propertes");
        m.field("name").text = "Outer";
        return m.ok();
    });
    showLoopsList(s.doc);
    EXPECT_EQ(s.presenter.shown, QStringList({"Loops List", "Loop propertes"}));
    ASSERT_EQ(s.doc.loops().count(), 2);
    EXPECT_EQ(s.doc.loops().get(1)->name, "Outer");
    EXPECT_TRUE(freed) << "a loop deleted from the list is freed";
    EXPECT_EQ(s.ctx.dialog<LoopListDialog>().list, nullptr);
}
