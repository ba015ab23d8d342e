#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <set>

#include "app/editor.h"
#include "app/schemedump.h"
#include "app/workbench.h"
#include "components/branch.h"
#include "components/components.h"
#include "components/nodes.h"
#include "diagrams/loop.h"
#include "graphics/primitives.h"
#include "power/networkelements.h"
#include "support/recordingcanvas.h"

using namespace qv;

namespace {

/// A workbench whose dialogs and message boxes are scripted, and a user clicking on its pages.
struct Desk : ::testing::Test {
    Workbench wb;
    ScriptedPresenter presenter;
    RecordingMessages messages;
    Canvas canvas; // draws nothing
    Editor& ed = wb.schemeEditor();

    Desk() {
        wb.context().setPresenter(&presenter);
        wb.context().setMessages(&messages);
    }
    ~Desk() override {
        wb.context().setPresenter(nullptr);
        wb.context().setMessages(nullptr);
    }

    void clickAt(Point p, MouseButton b = MouseButton::Left) {
        ed.mouseMove(p, &canvas);
        ed.mouseDown(p, b, &canvas);
        ed.mouseUp(p, &canvas);
        if (b == MouseButton::Left) ed.click(&canvas);
    }
    void place(Tool tool, std::initializer_list<Point> clicks) {
        ASSERT_TRUE(ed.startTool(tool));
        for (Point p : clicks)
            clickAt(p);
        EXPECT_FALSE(ed.placing()) << toolCaption(tool).toStdString();
    }
    /// The next value dialog answers `value`.
    void answerValue(const QString& value) {
        presenter.scripts.push_back([value](DialogModel& m) {
            m.field("value").text = value;
            return m.ok();
        });
    }
    QByteArray dump() { return QJsonDocument(dumpScheme(wb.scheme())).toJson(QJsonDocument::Compact); }
    NFUsel* node(const std::string& name) {
        for (NFizObj* o : wb.scheme().objects())
            if (auto* n = dynamic_cast<NFUsel*>(o); n && n->name == name) return n;
        return nullptr;
    }
    int count(const char* cls) {
        int n = 0;
        for (NFizObj* o : wb.scheme().objects())
            n += QByteArray(o->className()) == cls;
        return n;
    }
};

} // namespace

TEST(EditorMapping, DeviceToLogicalAndSnapping) {
    Workbench wb;
    Editor& ed = wb.schemeEditor();
    wb.zoom = 2;
    // 101 / 2 = 50.5 rounds to even 50, which the grid keeps.
    EXPECT_EQ(ed.deviceToLogical(101, 0).x, 50);
    EXPECT_EQ(ed.snap(ed.deviceToLogical(101, 0)).x, 50);
    wb.zoom = 1;
    wb.scrollX = 30;
    EXPECT_EQ(ed.deviceToLogical(7, 3), (Point{37, 3}));
    const struct {
        int32_t in, out;
    } halves[] = {{15, 20}, {25, 20}, {35, 40}, {-15, -20}, {-25, -20}, {14, 10}, {16, 20}};
    for (auto c : halves)
        EXPECT_EQ(snapToGrid({c.in, 0}, 10, 10).x, c.out) << c.in;
    // A step below 1 does not snap (and never divides by zero).
    EXPECT_EQ(snapToGrid({13, 17}, 0, -5), (Point{13, 17}));
}

TEST(EditorMapping, VectorPageStatusIsAComplexNumber) {
    Workbench wb;
    Canvas canvas;
    // The vector page snaps to its steps of 20 units.
    wb.vectorEditor().mouseMove({100, 50}, &canvas);
    EXPECT_EQ(wb.vectorEditor().statusText(), "Pos: 100,-40j");
    wb.vectorEditor().mouseMove({100, 60}, &canvas);
    EXPECT_EQ(wb.vectorEditor().statusText(), "Pos: 100,-60j");
    wb.vectorDoc().snapOff = 1;
    wb.vectorEditor().mouseMove({101, 53}, &canvas);
    EXPECT_EQ(wb.vectorEditor().statusText(), "Pos: 101,-53j");
    EXPECT_EQ(wb.vectorEditor().hint(), "");
    wb.schemeEditor().mouseMove({104, 47}, &canvas);
    EXPECT_EQ(wb.schemeEditor().statusText(), "Pos: 100,50");
}

TEST_F(Desk, DrawsACircuitUndoesEveryStepRedoesThemAndSavesIt) {
    const QByteArray empty = dump();
    std::vector<QByteArray> states{empty};
    auto step = [&](const char* what) {
        SCOPED_TRACE(what);
        states.push_back(dump());
        EXPECT_NE(states.back(), states[states.size() - 2]) << what << " changed nothing";
        EXPECT_EQ(wb.undoStack().count(), int(states.size()) - 1);
    };
    // Clicks a little off the grid: the editor snaps them.
    place(Tool::Node, {{101, 99}});
    step("node 1");
    place(Tool::Node, {{302, 100}});
    step("node 2");
    place(Tool::Node, {{300, 298}});
    step("node 3");
    place(Tool::Branch, {{100, 100}, {300, 100}});
    step("branch 1");
    place(Tool::Branch, {{300, 100}, {300, 300}});
    step("branch 2");
    // A branch with two corners.
    place(Tool::Branch, {{300, 300}, {100, 300}, {100, 200}, {100, 100}});
    step("branch 3");
    answerValue("100");
    place(Tool::Resistor, {{200, 100}});
    step("resistor");
    answerValue("12");
    place(Tool::DcVoltageSource, {{100, 250}});
    step("source");
    place(Tool::Ground, {{300, 300}, {300, 360}});
    step("ground");
    place(Tool::Loop, {{100, 100}, {140, 99}, {300, 200}, {100, 150}});
    step("loop");
    EXPECT_EQ(wb.scheme().loops().count(), 1);
    EXPECT_EQ(count("NTbeNode"), 3);
    EXPECT_EQ(count("NTbeLine"), 3);
    EXPECT_EQ(count("NUniRes"), 1);
    EXPECT_EQ(count("NUniEds"), 1);
    EXPECT_EQ(count("NFGroundObj"), 1);
    EXPECT_TRUE(wb.isModified());

    // A fourth node, moved and then deleted.
    place(Tool::Node, {{500, 100}});
    step("node 4");
    clickAt({500, 100}, MouseButton::Right);
    ASSERT_NE(ed.selected(), nullptr);
    auto popup = ed.takePopup();
    EXPECT_TRUE(popup.show && popup.deleteEntry);
    ed.moveCommand();
    ed.mouseDown({500, 100}, MouseButton::Left, &canvas);
    ed.mouseMove({530, 140}, &canvas);
    ed.mouseMove({560, 161}, &canvas);
    ed.mouseUp({560, 160}, &canvas);
    step("move");
    EXPECT_EQ(wb.undoStack().undoText(), "Move");
    NFUsel* moved = node("4");
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(moved->x, 560);
    EXPECT_EQ(moved->y, 160);
    clickAt({560, 160}, MouseButton::Right);
    ed.takePopup();
    ed.deleteCommand();
    step("delete");
    EXPECT_EQ(count("NTbeNode"), 3);

    // Back to the empty scheme, step by step, and forward again.
    for (size_t i = states.size() - 1; i > 0; --i) {
        ASSERT_TRUE(wb.undoStack().canUndo());
        wb.undo();
        EXPECT_EQ(dump(), states[i - 1]) << "undo to state " << i - 1;
    }
    EXPECT_FALSE(wb.undoStack().canUndo());
    EXPECT_FALSE(wb.isModified());
    EXPECT_EQ(wb.scheme().objectCount(), 0);
    for (size_t i = 1; i < states.size(); ++i) {
        wb.redo();
        EXPECT_EQ(dump(), states[i]) << "redo to state " << i;
    }
    // The numbering went back with the steps: the next node is number 5, as before the undo.
    place(Tool::Node, {{600, 600}});
    EXPECT_NE(node("5"), nullptr);
    wb.undo();

    QTemporaryDir dir;
    QString path = dir.filePath("circuit.qvw");
    QString error;
    ASSERT_TRUE(wb.saveWorkshop(path, "solution text", &error)) << error.toStdString();
    EXPECT_FALSE(wb.isModified());
    EXPECT_EQ(wb.caption(), "circuit.qvw - TOLV - Quorvel");
    const QByteArray saved = dump();

    Workbench other;
    QByteArray solution;
    ASSERT_TRUE(other.openWorkshop(path, solution, &error)) << error.toStdString();
    EXPECT_EQ(QJsonDocument(dumpScheme(other.scheme())).toJson(QJsonDocument::Compact), saved);
    EXPECT_EQ(solution, "solution text");
    EXPECT_FALSE(other.undoStack().canUndo());
}

TEST_F(Desk, PopupOfANodeWithABranchHasNoDelete) {
    place(Tool::Node, {{0, 0}});
    place(Tool::Node, {{100, 0}});
    place(Tool::Branch, {{0, 0}, {100, 0}});
    clickAt({0, 0}, MouseButton::Right);
    auto popup = ed.takePopup();
    EXPECT_TRUE(popup.show);
    EXPECT_FALSE(popup.deleteEntry);
    ed.deleteCommand(); // even if asked: the node stays
    EXPECT_EQ(count("NTbeNode"), 2);
    clickAt({50, 1}, MouseButton::Right);
    popup = ed.takePopup();
    EXPECT_TRUE(popup.show && popup.deleteEntry);
    // Right-click on empty space opens nothing on the scheme page.
    clickAt({50, 60}, MouseButton::Right);
    EXPECT_FALSE(ed.takePopup().show);
}

TEST_F(Desk, MovingANodeTakesTheBranchEndsOnRelease) {
    place(Tool::Node, {{0, 0}});
    place(Tool::Node, {{100, 0}});
    place(Tool::Branch, {{0, 0}, {100, 0}});
    NFVetv* branch = nullptr;
    for (NFizObj* o : wb.scheme().objects())
        if (!branch) branch = dynamic_cast<NFVetv*>(o);
    ASSERT_NE(branch, nullptr);
    clickAt({100, 0}, MouseButton::Right);
    ed.moveCommand();
    ed.mouseDown({100, 0}, MouseButton::Left, &canvas);
    ed.mouseMove({120, 40}, &canvas);
    // Only the circle moves while dragging.
    EXPECT_EQ(branch->segments().back()->p2, (Point{100, 0}));
    ed.mouseUp({120, 40}, &canvas);
    EXPECT_EQ(branch->segments().back()->p2, (Point{120, 40}));
    EXPECT_EQ(wb.undoStack().undoText(), "Move");
}

TEST_F(Desk, EscapeAbandonsAHalfPlacedBranchAndLeavesNoTrace) {
    place(Tool::Node, {{0, 0}});
    place(Tool::Node, {{100, 0}});
    const QByteArray before = dump();
    int steps = wb.undoStack().count();
    ASSERT_TRUE(ed.startTool(Tool::Branch));
    clickAt({0, 0});
    clickAt({50, 50}); // a corner
    EXPECT_TRUE(ed.placing());
    EXPECT_TRUE(ed.key(EditorKey::Escape, &canvas));
    EXPECT_FALSE(ed.placing());
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(wb.undoStack().count(), steps);
    // The node is free again: it can be deleted.
    clickAt({0, 0}, MouseButton::Right);
    EXPECT_TRUE(ed.takePopup().deleteEntry);
    // And a tool started in the middle of a branch abandons it the same way.
    ASSERT_TRUE(ed.startTool(Tool::Branch));
    clickAt({0, 0});
    ASSERT_TRUE(ed.startTool(Tool::Node));
    ed.cancel();
    EXPECT_EQ(dump(), before);
}

TEST_F(Desk, HoverTextsNameBranchesNodesAndComponents) {
    place(Tool::Node, {{0, 0}});
    place(Tool::Node, {{200, 0}});
    place(Tool::Branch, {{0, 0}, {200, 0}});
    answerValue("47");
    place(Tool::Resistor, {{100, 0}});
    ed.mouseMove({0, 1}, &canvas);
    EXPECT_EQ(ed.hint(), QString::fromUtf8("Узел-1"));
    ed.mouseMove({40, 1}, &canvas);
    EXPECT_EQ(ed.hint(), QString::fromUtf8("Ветвь-1"));
    ed.mouseMove({100, 5}, &canvas); // on the resistor's outline
    EXPECT_EQ(ed.hint().toStdString(), [&] {
        for (NFizObj* o : wb.scheme().objects())
            if (auto* r = dynamic_cast<NUniRes*>(o)) return r->hintText();
        return std::string("no resistor");
    }());
    EXPECT_FALSE(ed.hint().isEmpty());
    ed.mouseMove({100, 80}, &canvas);
    EXPECT_EQ(ed.hint(), "");
}

TEST_F(Desk, UndoNamesTheActionAndKeepsAHundredSteps) {
    for (int i = 0; i < 120; ++i)
        place(Tool::Node, {{i * 20, 0}});
    EXPECT_EQ(wb.undoStack().undoText(), "Node");
    int undone = 0;
    while (wb.undoStack().canUndo()) {
        wb.undo();
        ++undone;
    }
    EXPECT_GE(undone, 100);
    // A new action drops what could be redone.
    wb.redo();
    place(Tool::Node, {{0, 500}});
    EXPECT_FALSE(wb.undoStack().canRedo());
}

TEST_F(Desk, PolylineEndsWithADoubleClickAndArrowsAreOneStep) {
    ASSERT_TRUE(ed.startTool(Tool::Polyline));
    clickAt({0, 0});
    clickAt({50, 0});
    clickAt({50, 50});
    ed.doubleClick(&canvas);
    EXPECT_FALSE(ed.placing());
    EXPECT_EQ(count("NGpolyLine"), 1);
    place(Tool::Node, {{0, 100}});
    place(Tool::Node, {{100, 100}});
    place(Tool::Branch, {{0, 100}, {100, 100}});
    wb.setAllArrows(true);
    EXPECT_EQ(wb.undoStack().undoText(), "Set all branch arrows");
    wb.setAllArrows(true); // changes nothing: no step
    EXPECT_EQ(wb.undoStack().undoText(), "Set all branch arrows");
    int steps = wb.undoStack().count();
    wb.setAllArrows(false);
    EXPECT_EQ(wb.undoStack().count(), steps + 1);
}

TEST_F(Desk, DesktopOptionsRefuseBadStepsAndCancelKeepsTheGrid) {
    const struct {
        QString x, y;
        bool accepted;
    } cases[] = {{"20", "5", true}, {"2.5", "10", false}, {"abc", "10", false}, {"10", "0", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x.toStdString() + "," + c.y.toStdString());
        messages.shown.clear();
        presenter.scripts.push_back([&](DialogModel& m) {
            m.field("stepX").text = c.x;
            m.field("stepY").text = c.y;
            bool closed = m.ok();
            if (!closed) m.cancel();
            return closed;
        });
        wb.scheme().gridStepX = wb.scheme().gridStepY = 10;
        EXPECT_EQ(wb.showDesktopOptions(), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(wb.scheme().gridStepX, 20);
            EXPECT_EQ(wb.scheme().gridStepY, 5);
            EXPECT_TRUE(messages.shown.isEmpty());
        } else {
            EXPECT_EQ(wb.scheme().gridStepX, 10);
            ASSERT_EQ(messages.shown.size(), 1);
            EXPECT_EQ(messages.shown[0].text, "Invalid snap step");
        }
    }
    // Cancel after typing new steps keeps the old grid.
    presenter.scripts.push_back([](DialogModel& m) {
        m.field("stepX").text = "40";
        m.cancel();
        return false;
    });
    EXPECT_FALSE(wb.showDesktopOptions());
    EXPECT_EQ(wb.scheme().gridStepX, 10);
}

TEST_F(Desk, NewAndOpenClearTheHistory) {
    place(Tool::Node, {{0, 0}});
    QTemporaryDir dir;
    QString error;
    ASSERT_TRUE(wb.saveScheme(dir.filePath("a.tbe"), &error));
    place(Tool::Node, {{100, 0}});
    EXPECT_TRUE(wb.isModified());
    ASSERT_TRUE(wb.openScheme(dir.filePath("a.tbe"), &error));
    EXPECT_FALSE(wb.undoStack().canUndo());
    EXPECT_FALSE(wb.isModified());
    EXPECT_EQ(wb.scheme().objectCount(), 2); // the node and its label
    wb.newWorkshop();
    EXPECT_EQ(wb.scheme().objectCount(), 0);
    EXPECT_FALSE(wb.undoStack().canUndo());
    EXPECT_EQ(wb.caption(), "NewShem - TOLV - Quorvel");
    EXPECT_TRUE(wb.workshopFile.isEmpty());
    // A damaged workshop changes nothing.
    place(Tool::Node, {{0, 0}});
    QByteArray solution = "kept";
    EXPECT_FALSE(wb.openWorkshop(dir.filePath("a.tbe") + "-missing", solution, &error));
    EXPECT_EQ(solution, "kept");
    EXPECT_TRUE(wb.undoStack().canUndo());
}

// Each part of a workshop keeps its own saved state: saving or opening one part says nothing
// about the others, and undo or redo back to a saved state makes that part unchanged again.
TEST_F(Desk, EachPartOfTheWorkshopKnowsWhetherItIsSaved) {
    using Part = Workbench::Part;
    QTextDocument solution;
    wb.setSolutionPage(&solution);
    auto line = [&] {
        Editor& vd = wb.vectorEditor();
        ASSERT_TRUE(vd.startTool(Tool::Line));
        vd.mouseDown({0, 0}, MouseButton::Left, &canvas);
        vd.mouseDown({300, 100}, MouseButton::Left, &canvas);
    };
    auto changed = [&] {
        return std::tuple{wb.isModified(Part::Scheme), wb.isModified(Part::Vector),
                          wb.isModified(Part::Solution), wb.isModified()};
    };
    QTemporaryDir dir;
    QString error;

    line();
    place(Tool::Node, {{0, 0}});
    ASSERT_TRUE(wb.saveScheme(dir.filePath("a.tbe"), &error)) << error.toStdString();
    EXPECT_EQ(changed(), std::tuple(false, true, false, true)) << "the vector diagram is not saved";
    place(Tool::Node, {{100, 0}});
    EXPECT_TRUE(wb.isModified(Part::Scheme));
    wb.undo(); // back to what "Save schem" wrote
    EXPECT_EQ(changed(), std::tuple(false, true, false, true));
    wb.undo(); // the node before the save
    EXPECT_TRUE(wb.isModified(Part::Scheme));
    wb.redo();
    EXPECT_FALSE(wb.isModified(Part::Scheme));
    // A step taken from an earlier state: the saved state cannot come back by redo.
    wb.undo();
    place(Tool::Node, {{200, 0}});
    wb.undo();
    EXPECT_TRUE(wb.isModified(Part::Scheme));

    ASSERT_TRUE(wb.saveVector(dir.filePath("a.qvv"), &error)) << error.toStdString();
    EXPECT_EQ(changed(), std::tuple(true, false, false, true));
    // Opening a scheme replaces the scheme only: the vector diagram's changes still count.
    line();
    ASSERT_TRUE(wb.openScheme(dir.filePath("a.tbe"), &error)) << error.toStdString();
    EXPECT_EQ(changed(), std::tuple(false, true, false, true));
    ASSERT_TRUE(wb.openVector(dir.filePath("a.qvv"), &error)) << error.toStdString();
    EXPECT_EQ(changed(), std::tuple(false, false, false, false));

    // The Solution page counts as well, and a workshop saves all three.
    QTextCursor(&solution).insertText("I1 = 2 A");
    EXPECT_EQ(changed(), std::tuple(false, false, true, true));
    place(Tool::Node, {{300, 0}});
    line();
    ASSERT_TRUE(wb.saveWorkshop(dir.filePath("w.qvw"), Workbench::solutionRecord(solution), &error));
    EXPECT_EQ(changed(), std::tuple(false, false, false, false));
    wb.newWorkshop();
    EXPECT_FALSE(wb.isModified());
    wb.setSolutionPage(nullptr);
}

TEST_F(Desk, ACutWorkshopIsRefusedAndChangesNothing) {
    place(Tool::Node, {{0, 0}});
    place(Tool::Node, {{100, 0}});
    place(Tool::Branch, {{0, 0}, {100, 0}});
    answerValue("5");
    place(Tool::Resistor, {{50, 0}});
    QTemporaryDir dir;
    QString error;
    ASSERT_TRUE(wb.saveWorkshop(dir.filePath("w.qvw"), QByteArray(), &error));
    QFile file(dir.filePath("w.qvw"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    const QByteArray before = dump();
    // Every cut inside the two records; what follows them is the Solution page's text.
    for (qsizetype cut = 0; cut < whole.size(); cut += 53) {
        QFile part(dir.filePath("cut.qvw"));
        ASSERT_TRUE(part.open(QIODevice::WriteOnly | QIODevice::Truncate));
        part.write(whole.left(cut));
        part.close();
        QByteArray solution = "kept";
        if (!wb.openWorkshop(part.fileName(), solution, &error)) {
            EXPECT_EQ(solution, "kept") << cut;
            EXPECT_EQ(dump(), before) << cut;
            EXPECT_TRUE(error.contains("cut.qvw")) << cut;
        }
    }
}

TEST_F(Desk, VectorPageDrawsAndUndoesInTheSameHistory) {
    Editor& vd = wb.vectorEditor();
    ASSERT_TRUE(vd.startTool(Tool::Line));
    vd.mouseDown({0, 0}, MouseButton::Left, &canvas);
    vd.mouseMove({300, 100}, &canvas);
    vd.mouseDown({300, 100}, MouseButton::Left, &canvas);
    EXPECT_FALSE(vd.placing());
    EXPECT_EQ(wb.vectorDoc().objectCount(), 1);
    EXPECT_EQ(wb.undoStack().undoText(), "Line");
    // A right-click on empty space asks for the background menu; on the line, the object menu.
    vd.mouseDown({0, 500}, MouseButton::Right, &canvas);
    auto popup = vd.takePopup();
    EXPECT_TRUE(popup.show && !popup.onObject);
    vd.mouseDown({150, 52}, MouseButton::Right, &canvas);
    popup = vd.takePopup();
    EXPECT_TRUE(popup.show && popup.onObject && popup.deleteEntry);
    wb.undo();
    EXPECT_EQ(wb.vectorDoc().objectCount(), 0);
    EXPECT_EQ(vd.selected(), nullptr);
}

// ---- The power network tools ----

namespace {

struct PowerDesk : Desk {
    /// A network node of `unom` kV placed with its tool; its dialog answers the voltage.
    void powerNode(Point p, const char* unom) {
        presenter.scripts.push_back([unom](DialogModel& m) {
            m.field("unom").text = QString::fromUtf8(unom);
            return m.ok();
        });
        place(Tool::PowerNode, {p});
    }
};

} // namespace

TEST_F(PowerDesk, EachToolPlacesItsElementAsOneStepThatUndoTakesAway) {
    powerNode({0, 0}, "10");
    powerNode({200, 0}, "110");
    ASSERT_TRUE(node("1") && node("2"));
    const QString warning = QString::fromUtf8("Ветвь соедмеяет узлы разного напряжения");
    const struct {
        Tool tool;
        const char* cls;
        std::initializer_list<Point> clicks;
        bool warns; ///< the line between 10 and 110 kV
    } cases[] = {
        {Tool::PowerNode, "NPowerNode", {{0, 200}}, false},
        {Tool::Substation, "NTransStat", {{200, 200}}, false},
        {Tool::PowerLine, "NPowerLine", {{0, 0}, {100, 100}, {200, 0}}, true}, // with a corner
        {Tool::Breaker, "NFBreaker", {{0, 0}, {200, 0}}, false},
        {Tool::Transformer, "NFTransForm", {{0, 0}, {200, 0}}, false}, // from the low side
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cls);
        const QByteArray before = dump();
        const int had = count(c.cls), steps = wb.undoStack().index();
        messages.shown.clear();
        place(c.tool, c.clicks);
        EXPECT_EQ(count(c.cls), had + 1);
        EXPECT_EQ(wb.undoStack().index(), steps + 1);
        EXPECT_EQ(wb.undoStack().undoText(), toolCaption(c.tool));
        EXPECT_EQ(!messages.shown.isEmpty() && messages.shown[0].text == warning, c.warns);
        const QByteArray after = dump();
        if (c.tool == Tool::Transformer) {
            // Placed from the 10-kV node, it turned so that its first end is the high side.
            for (NFizObj* o : wb.scheme().objects())
                if (auto* t = dynamic_cast<NFTransForm*>(o)) {
                    EXPECT_EQ(t->node1, node("2"));
                }
        }
        wb.undo(); // the document is read back: earlier pointers into it are gone
        EXPECT_EQ(dump(), before);
        wb.redo();
        EXPECT_EQ(dump(), after);
        wb.undo();
    }
    // Nothing hangs on the nodes any more.
    EXPECT_TRUE(node("1")->attached.empty());
    EXPECT_TRUE(node("2")->attached.empty());
}

TEST_F(PowerDesk, AHalfPlacedElementIsAbandonedWithoutATraceAndTheVectorPageHasNone) {
    powerNode({0, 0}, "110");
    powerNode({200, 0}, "110");
    const QByteArray before = dump();
    const int steps = wb.undoStack().count();
    for (Tool tool : {Tool::PowerLine, Tool::Breaker, Tool::Transformer}) {
        SCOPED_TRACE(toolCaption(tool).toStdString());
        ASSERT_TRUE(ed.startTool(tool));
        clickAt({0, 0});
        EXPECT_TRUE(ed.placing());
        EXPECT_TRUE(ed.key(EditorKey::Escape, &canvas));
        EXPECT_FALSE(ed.placing());
        EXPECT_EQ(dump(), before);
        EXPECT_EQ(wb.undoStack().count(), steps);
    }
    // A click on empty space fixes nothing: the breaker waits for a node.
    ASSERT_TRUE(ed.startTool(Tool::Breaker));
    clickAt({100, 300});
    EXPECT_EQ(ed.placementState(), 0);
    ed.cancel();
    for (Tool tool : {Tool::PowerNode, Tool::Substation, Tool::PowerLine, Tool::Breaker, Tool::Transformer})
        EXPECT_FALSE(wb.vectorEditor().startTool(tool));
}

// The page's canvas stays with the page's documents between events: what they draw on their
// own (a loop shown while "Loop propertes" is open, opened through "View" of "Loops List")
// lands on it, and an editor event that lends its own canvas gives the page's back.
TEST_F(Desk, TheDocumentsDrawOnThePageCanvasOutsideEvents) {
    place(Tool::Node, {{100, 100}});
    place(Tool::Node, {{300, 100}});
    place(Tool::Node, {{300, 300}});
    place(Tool::Branch, {{100, 100}, {300, 100}});
    place(Tool::Branch, {{300, 100}, {300, 300}});
    place(Tool::Branch, {{300, 300}, {100, 100}});
    place(Tool::Loop, {{100, 100}, {200, 100}, {300, 200}, {200, 200}});
    ASSERT_EQ(wb.scheme().loops().count(), 1);
    NFCont* loop = wb.scheme().loops().get(0);

    test::RecordingCanvas page, vectorPage;
    wb.setPageCanvas(Page::Scheme, &page);
    wb.setPageCanvas(Page::Vector, &vectorPage);
    clickAt({500, 500});
    EXPECT_EQ(wb.scheme().canvasSet(), &page);
    EXPECT_EQ(wb.labelDocument().canvasSet(), &page);
    EXPECT_EQ(wb.vectorDoc().canvasSet(), &vectorPage);
    page.calls.clear();

    // The ends of the lines drawn in the loop's colour, at the time the dialog is up.
    auto loopLineEnds = [&] {
        std::set<std::pair<int, int>> ends;
        for (const auto& l : page.of("line"))
            if (l.pen.color == NFCont::kListedColor)
                for (Point p : l.points)
                    ends.insert({p.x, p.y});
        return ends;
    };
    std::set<std::pair<int, int>> shown;
    presenter.scripts.push_back([](DialogModel& m) {
        m.field("loops").choice = 0;
        m.pressed("View");
        return m.ok();
    });
    presenter.scripts.push_back([&](DialogModel& m) {
        EXPECT_TRUE(loop->highlighted);
        EXPECT_EQ(page.refreshes, 0);
        shown = loopLineEnds();
        m.field("color").color = rgb(0, 0, 255);
        return m.ok();
    });
    wb.showLoopsList();
    EXPECT_EQ(presenter.shown, QStringList({"Loops List", "Loop propertes"}));
    EXPECT_EQ(shown, (std::set<std::pair<int, int>>{{100, 100}, {300, 100}, {300, 300}}));
    EXPECT_EQ(page.pen().color, 0u) << "the loop gives the pen back";
    EXPECT_EQ(page.refreshes, 1) << "hidden again by a whole repaint";
    EXPECT_FALSE(loop->highlighted);
    EXPECT_TRUE(vectorPage.calls.empty());

    // Undo loads the records back into the same documents, which keep the page's canvas; a
    // page that goes takes its canvas away from every document it gave it to.
    wb.undo();
    EXPECT_EQ(wb.scheme().canvasSet(), &page);
    wb.setPageCanvas(Page::Scheme, nullptr);
    EXPECT_EQ(wb.scheme().canvasSet(), nullptr);
    EXPECT_EQ(wb.labelDocument().canvasSet(), nullptr);
    EXPECT_EQ(wb.vectorDoc().canvasSet(), &vectorPage);
    wb.setPageCanvas(Page::Vector, nullptr);
    EXPECT_EQ(wb.vectorDoc().canvasSet(), nullptr);
}
