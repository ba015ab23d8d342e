// The vector diagram built from a node-voltage solution, through the workbench: the command
// with its dialog, what a second build leaves, and the .qvv and workshop files.
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

#include "app/schemedump.h"
#include "app/solvecommand.h"
#include "app/workbench.h"
#include "components/branch.h"
#include "diagrams/vectordiagram.h"
#include "platform/binarystream.h"
#include "platform/numfmt.h"
#include "support/testfiles.h"

using namespace qv;

namespace {

/// A workbench with the AC fixture solved by the node-voltage method.
struct Solved {
    Workbench wb;
    ScriptedPresenter presenter;
    Solved() {
        wb.context().setPresenter(&presenter);
        QString error;
        EXPECT_TRUE(wb.openScheme(qv::test::fixture("ac_rlc.tbe"), &error)) << error.toStdString();
        const SolveResult r = solveScheme(wb.scheme(), SolveRequest::fromScheme(wb.scheme(), "node"));
        EXPECT_EQ(r.status, SolveResult::Solved);
        EXPECT_TRUE(r.ac);
    }
    std::vector<NVector*> vectors(int kind) {
        std::vector<NVector*> out;
        for (NFizObj* o : wb.vectorDoc().objects())
            if (auto* v = dynamic_cast<NVector*>(o); v && v->vectorKind == kind) out.push_back(v);
        return out;
    }
    Bytes record() {
        BinaryWriter w;
        wb.vectorDoc().saveToStream(w);
        return w.take();
    }
};

QByteArray dumpOf(NVectDiaDisp& doc) {
    return QJsonDocument(dumpVectorDiagram(doc)).toJson();
}

} // namespace

TEST(VectorBuild, CreateVectorDiagrammTakesTheDialogsScalesAndChoices) {
    struct Case {
        const char *current, *voltage;
        bool currents, voltages;
    };
    for (const Case& c :
         {Case{"1", "10", true, true}, Case{"0.5", "20", true, false}, Case{"2", "5", false, true}}) {
        SCOPED_TRACE(std::string(c.current) + " " + c.voltage);
        Solved s;
        s.presenter.scripts.push_back([&](DialogModel& m) {
            EXPECT_EQ(m.caption(), "Vectory output options");
            m.field("currentScale").text = c.current;
            m.field("voltageScale").text = c.voltage;
            m.field("makeCurrents").checked = c.currents;
            m.field("makeVoltages").checked = c.voltages;
            return m.ok();
        });
        ASSERT_TRUE(s.wb.createVectorDiagram());
        EXPECT_EQ(s.wb.vectorDoc().currentsScale, *numfmt::parse(c.current));
        EXPECT_EQ(s.wb.vectorDoc().voltageScale, *numfmt::parse(c.voltage));
        EXPECT_EQ(s.vectors(NVector::kCurrent).empty(), !c.currents);
        EXPECT_EQ(s.vectors(NVector::kVoltageDifference).empty(), !c.voltages);
        // Every current vector equals its branch current at the current scale.
        for (NVector* v : s.vectors(NVector::kCurrent)) {
            const NTbeLine* branch = nullptr;
            for (NFizObj* o : s.wb.scheme().objects())
                if (auto* l = dynamic_cast<NTbeLine*>(o); l && l->name == v->indexText) branch = l;
            ASSERT_NE(branch, nullptr) << v->indexText;
            const Extended scale = s.wb.vectorDoc().currentsScale;
            EXPECT_NEAR(v->p2.x - v->p1.x, double(branch->lineData.acCurrentRe * 100 / scale), 1.0);
            EXPECT_NEAR(v->p2.y - v->p1.y, -double(branch->lineData.acCurrentIm * 100 / scale), 1.0);
        }
        EXPECT_TRUE(s.wb.isModified());
    }
    // Cancelling builds nothing.
    Solved s;
    EXPECT_FALSE(s.wb.createVectorDiagram());
    EXPECT_EQ(s.wb.vectorDoc().objectCount(), 0);
}

TEST(VectorBuild, ASecondBuildFirstRemovesEverythingOnThePage) {
    Solved s;
    s.wb.buildVectorDiagram(1, 10, true, true);
    const int once = s.wb.vectorDoc().objectCount();
    ASSERT_GT(once, 0);
    auto* line = new NGrLine;
    line->setPoints({0, 0}, {500, 500});
    s.wb.vectorDoc().add(line);
    s.wb.buildVectorDiagram(1, 10, true, true);
    EXPECT_EQ(s.wb.vectorDoc().objectCount(), once);
    EXPECT_EQ(s.wb.vectorDoc().indexOfObject(line), -1);
}

TEST(VectorBuild, DiagramOfASolvedSchemeReadsBackEqualAndTheOptionsStayWithTheRun) {
    Solved s;
    s.wb.buildVectorDiagram(1, 10, true, true);
    ASSERT_FALSE(s.vectors(NVector::kCurrent).empty());
    ASSERT_FALSE(s.vectors(NVector::kVoltageDifference).empty());
    const Bytes saved = s.record();
    const QByteArray dump = dumpOf(s.wb.vectorDoc());

    QTemporaryDir dir;
    QString error;
    const QString qvv = dir.filePath("d.qvv"), qvw = dir.filePath("w.qvw");
    ASSERT_TRUE(s.wb.saveVector(qvv, &error)) << error.toStdString();
    ASSERT_TRUE(s.wb.saveWorkshop(qvw, QByteArray("{\\rtf1 x}"), &error)) << error.toStdString();

    Workbench other;
    NVectDiaDisp& d = other.vectorDoc();
    d.voltageScale = 3;
    d.snapVisible = 1;
    d.axisColor = 0x00FF00;
    ASSERT_TRUE(other.openVector(qvv, &error)) << error.toStdString();
    EXPECT_EQ(dumpOf(d), dump);
    BinaryWriter again;
    d.saveToStream(again);
    EXPECT_EQ(again.bytes(), saved);
    // The labels are still their vectors' own: deleting a vector takes its label along.
    NVector* v = nullptr;
    for (NFizObj* o : d.objects())
        if ((v = dynamic_cast<NVector*>(o))) break;
    ASSERT_NE(v, nullptr);
    ASSERT_NE(v->liveLabel(), nullptr);
    // The options are those of this run, not of the file.
    EXPECT_EQ(d.voltageScale, 3);
    EXPECT_EQ(d.snapVisible, 1);
    EXPECT_EQ(d.axisColor, 0x00FF00u);

    Workbench third;
    QByteArray solution;
    ASSERT_TRUE(third.openWorkshop(qvw, solution, &error)) << error.toStdString();
    EXPECT_EQ(dumpOf(third.vectorDoc()), dump);

    const int before = d.objectCount();
    d.deleteObject(v);
    EXPECT_EQ(d.objectCount(), before - 2);
}

TEST(VectorBuild, PictureShowsTheAxesAndThePhasors) {
    Solved s;
    s.wb.buildVectorDiagram(1, 10, true, true);
    QTemporaryDir dir;
    QString error;
    for (const char* name : {"v.png", "v.svg", "v.emf", "v.pdf"}) {
        ASSERT_TRUE(s.wb.exportVectorPicture(dir.filePath(name), &error)) << name << error.toStdString();
        EXPECT_GT(QFile(dir.filePath(name)).size(), 200) << name;
    }
    QImage image(dir.filePath("v.png"));
    ASSERT_FALSE(image.isNull());
    // Blue axes and black vectors are drawn on the white page.
    int blue = 0, black = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            blue += c == QColor(0, 0, 255);
            black += c == QColor(0, 0, 0);
        }
    EXPECT_GT(blue, 100);
    EXPECT_GT(black, 100);
}

TEST(VectorBuild, UndoAndRedoOfABuildKeepVectorsWithTheirLabels) {
    Solved s;
    s.presenter.scripts.push_back([](DialogModel& m) { return m.ok(); });
    ASSERT_TRUE(s.wb.createVectorDiagram());
    const QByteArray built = dumpOf(s.wb.vectorDoc());
    ASSERT_GT(s.wb.vectorDoc().objectCount(), 0);
    s.wb.undo();
    EXPECT_EQ(s.wb.vectorDoc().objectCount(), 0);
    s.wb.redo();
    EXPECT_EQ(dumpOf(s.wb.vectorDoc()), built);
    for (NVector* v : s.vectors(NVector::kCurrent))
        EXPECT_NE(v->liveLabel(), nullptr);
}
