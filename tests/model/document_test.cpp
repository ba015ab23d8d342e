#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "components/branch.h"
#include "components/components.h"
#include "graphics/labels.h"
#include "graphics/primitives.h"
#include "io/documentfile.h"
#include "model/context.h"
#include "model/document.h"
#include "platform/binarystream.h"
#include "support/recordingcanvas.h"

using namespace qv;
using qv::test::RecordingCanvas;

namespace {

/// A square object that counts what the document asks of it.
struct Probe : NFizObj {
    explicit Probe(Point c = {}, bool* destroyed = nullptr) : centre(c), destroyed(destroyed) {}
    ~Probe() override {
        if (destroyed) *destroyed = true;
    }
    const char* className() const override { return "Probe"; }
    bool hitTest(int32_t x, int32_t y) override {
        return std::abs(x - centre.x) <= 2 && std::abs(y - centre.y) <= 2;
    }
    void dragBy(int32_t dx, int32_t dy, Canvas*) override { drags.push_back({dx, dy}); }
    bool endDrag() override {
        ++endDrags;
        return true;
    }
    void getBounds(Rect& r) override { r = {centre.x + 1, centre.y + 1, centre.x - 1, centre.y - 1}; }
    Point centre;
    bool* destroyed;
    std::vector<Point> drags;
    int endDrags = 0;
};

NTbeNode* addNode(NTBEFizDisp& doc, int32_t x, int32_t y) {
    auto* n = new NTbeNode();
    n->owner = &doc;
    int state = 0;
    n->placePoint(state, x, y);
    EXPECT_EQ(state, -1);
    return n;
}

} // namespace

TEST(Document, DeletingAnObjectThatIsNotListedShowsTheMessageAndKeepsIt) {
    Context ctx;
    FizDisp doc(&ctx);
    auto* listed = new Probe({0, 0});
    doc.add(listed);
    bool destroyed = false;
    Probe stranger({5, 5}, &destroyed);
    doc.deleteObject(&stranger);
    auto& shown = static_cast<RecordingMessages*>(ctx.messages())->shown;
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].text, QString::fromUtf8("Удаляемый элемент отсутствует в списке элементов"));
    EXPECT_EQ(shown[0].caption, "Open Error");
    EXPECT_EQ(shown[0].buttons, MsgButtons::OkCancel);
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(doc.objectCount(), 1);
}

TEST(Document, ClearDestroysObjectsUnlessOneIsListedTwice) {
    bool destroyed = false;
    {
        FizDisp doc;
        auto* p = new Probe({}, &destroyed);
        doc.add(p);
        doc.add(p);
        doc.clear();
        EXPECT_EQ(doc.objectCount(), 0);
        EXPECT_FALSE(destroyed); // a doubly listed object is only unlisted
        delete p;
    }
    destroyed = false;
    FizDisp doc;
    doc.add(new Probe({}, &destroyed));
    doc.clear();
    EXPECT_TRUE(destroyed);
}

TEST(Document, ClearRemovableDeletesRemovableObjectsAndStopsAtTheEnd) {
    FizDisp doc;
    auto* keep = new Probe({1, 1});
    keep->removable = 0; // nothing will ever make it removable
    doc.add(new Probe({2, 2}));
    doc.add(keep);
    doc.add(new Probe({3, 3}));
    doc.clearRemovable();
    ASSERT_EQ(doc.objectCount(), 1);
    EXPECT_EQ(doc.objectAt(0), keep);
}

TEST(Document, ComponentNumbersRunOnAcrossClearing) {
    NTBEFizDisp doc;
    doc.registerClassName("NUniRes");
    std::string text;
    doc.nextNumberFor("NUniRes", text);
    EXPECT_EQ(text, "1");
    doc.clearRemovable();
    doc.nextNumberFor("NUniRes", text);
    EXPECT_EQ(text, "2");
    text = "kept";
    doc.nextNumberFor("NUniCon", text); // not registered: text stays
    EXPECT_EQ(text, "kept");
}

TEST(Document, CapacitiesAreRefusedWithAMessageAndNothingIsLost) {
    Context ctx;
    FizDisp doc(&ctx);
    for (int i = 0; i < FizDisp::kMaxClasses; ++i)
        ASSERT_TRUE(doc.registerClassName("C" + std::to_string(i)));
    EXPECT_FALSE(doc.registerClassName("one too many"));
    EXPECT_EQ(int(doc.classes().size()), FizDisp::kMaxClasses);

    for (int i = 0; i < FizDisp::kMaxObjects; ++i)
        ASSERT_TRUE(doc.add(new Probe({i, 0})));
    Probe extra;
    EXPECT_FALSE(doc.add(&extra));
    EXPECT_EQ(doc.objectCount(), FizDisp::kMaxObjects);
    EXPECT_EQ(doc.objectAt(FizDisp::kMaxObjects - 1)->hitTest(FizDisp::kMaxObjects - 1, 0), true);
    EXPECT_EQ(static_cast<RecordingMessages*>(ctx.messages())->shown.size(), 2);
}

TEST(Document, BoundsAreTheUnionOfEveryObjectsBox) {
    FizDisp doc;
    Rect r{7, 7, 7, 7};
    EXPECT_FALSE(doc.getBounds(r)); // empty: untouched
    EXPECT_EQ(r, (Rect{7, 7, 7, 7}));
    doc.add(new Probe({10, 40}));
    doc.add(new Probe({-5, 3}));
    ASSERT_TRUE(doc.getBounds(r));
    EXPECT_EQ(r, (Rect{-6, 2, 11, 41}));
}

TEST(Document, MoveStartsOnlyOnAMouseDownOnTheArmedObject) {
    FizDisp doc;
    auto* p = new Probe({50, 50});
    doc.add(p);
    doc.armMove(p);
    doc.beginMove(100, 100); // elsewhere: still armed
    EXPECT_TRUE(doc.moveArmed());
    EXPECT_FALSE(doc.moving());
    doc.beginMove(50, 50);
    EXPECT_TRUE(doc.moving());
    EXPECT_FALSE(doc.moveArmed());
    doc.dragTo(60, 45, doc.canvas());
    doc.dragTo(70, 45, doc.canvas());
    ASSERT_EQ(p->drags.size(), 2u);
    EXPECT_EQ(p->drags[0], (Point{-10, 5})); // previous minus current
    EXPECT_EQ(p->drags[1], (Point{-10, 0}));
    doc.endMove();
    EXPECT_EQ(p->endDrags, 1);
    EXPECT_FALSE(doc.moving());
}

TEST(Document, DeletingTheMovedObjectEndsTheMove) {
    FizDisp doc;
    auto* p = new Probe({50, 50});
    doc.add(p);
    doc.armMove(p);
    doc.beginMove(50, 50);
    doc.deleteObject(p);
    EXPECT_FALSE(doc.moving());
    EXPECT_EQ(doc.moveObject(), nullptr);
    doc.dragTo(1, 1, doc.canvas()); // must not touch the deleted object
}

struct FilingCase {
    const char* what;
    int labelKind; ///< -1: not a label
    bool element;
    int layer;
};

TEST(LayeredDocument, FilesObjectsIntoLayersByKind) {
    const FilingCase cases[] = {
        {"element", -1, true, 0},      {"node label", 0, false, 1}, {"branch label", 1, false, 2},
        {"device label", 2, false, 3}, {"kind 4", 4, false, 4},     {"kind 3", 3, false, 5},
        {"user text", 6, false, 5},    {"kind 5", 5, false, -1},    {"drawing", -1, false, 6},
    };
    for (const auto& c : cases) {
        NTBEFizDisp doc;
        NFizObj* obj;
        if (c.element)
            obj = new NTbeNode();
        else if (c.labelKind >= 0)
            obj = new NTextLabel();
        else
            obj = new NGrLine();
        obj->owner = &doc;
        doc.labelKind = LabelKind(c.labelKind < 0 ? 0 : c.labelKind);
        ASSERT_TRUE(doc.add(obj)) << c.what;
        NLayer* layer = doc.rootLayer()->findLayerOf(obj);
        int index = layer ? doc.rootLayer()->sublayers.indexOf(layer) : -1;
        EXPECT_EQ(index, c.layer) << c.what;
        EXPECT_EQ(doc.objectCount(), 1) << c.what;
    }
}

TEST(LayeredDocument, ElementsAreFoundBeforeDrawingsAndHiddenLayersAnswerNothing) {
    NTBEFizDisp doc;
    auto* line = new NGrLine();
    line->owner = &doc;
    line->setPoints({0, 100}, {200, 100});
    doc.add(line);
    NTbeNode* node = addNode(doc, 100, 100);
    NFizObj* found = nullptr;
    ASSERT_TRUE(doc.findAt(100, 100, found));
    EXPECT_EQ(found, node);
    ASSERT_TRUE(doc.findAt(150, 101, found));
    EXPECT_EQ(found, line);

    // Unticking "Drawings" hides drawing primitives (and labels of kind 4).
    doc.syncLayerVisibility({true, true, true, true, false, true});
    EXPECT_FALSE(doc.findAt(150, 101, found));
    RecordingCanvas canvas;
    doc.gridVisible = 0;
    doc.paint(&canvas);
    EXPECT_TRUE(canvas.of("line").empty());
    EXPECT_EQ(canvas.of("ellipse").size(), 1u); // the node is still drawn
}

TEST(LayeredDocument, DeletingAnObjectListedInSeveralLayersUnlistsItEverywhere) {
    NTBEFizDisp doc;
    NTbeNode* node = addNode(doc, 10, 10);
    // What a file may list: the node once more in its own layer and once in another one.
    doc.rootLayer()->sublayers.get(0)->addObject(node);
    doc.rootLayer()->sublayers.get(5)->addObject(node);
    const int labels = doc.rootLayer()->sublayers.get(1)->objectCount();
    doc.deleteObject(node);
    EXPECT_EQ(doc.rootLayer()->findLayerOf(node), nullptr); // compares addresses only
    EXPECT_EQ(doc.rootLayer()->sublayers.get(1)->objectCount(), labels - 1);
    RecordingCanvas canvas;
    doc.paint(&canvas);
}

TEST(SchemeDocument, ReadingARecordIntoADocumentWithUndeletableLeftoversReadsEveryObjectInPlace) {
    NTBEFizDisp source;
    addNode(source, 10, 10);
    addNode(source, 50, 10);
    BinaryWriter w;
    source.saveToStream(w);

    NTBEFizDisp doc;
    auto* orphan = new NTextLabel(); // a label no element owns: nothing ever deletes it
    orphan->removable = 0;
    orphan->owner = &doc;
    doc.add(orphan);
    BinaryReader r(w.bytes());
    doc.loadFromStream(r);
    ASSERT_FALSE(r.failed()) << r.error();
    ASSERT_EQ(doc.objectCount(), source.objectCount());
    for (int i = 0; i < doc.objectCount(); ++i)
        EXPECT_STREQ(doc.objectAt(i)->className(), source.objectAt(i)->className()) << i;
    auto* node = dynamic_cast<NFUsel*>(doc.objectAt(2));
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->x, 50);
    EXPECT_EQ(node->nameLabel, doc.objectAt(3));
}

TEST(SchemeDocument, GridStartsAtTheGridPointLeftOfTheView) {
    NTBEFizDisp doc;
    doc.viewLeft = -25;
    doc.viewRight = 5;
    doc.viewTop = 0;
    doc.viewBottom = 10;
    RecordingCanvas canvas;
    doc.paint(&canvas);
    auto pixels = canvas.of("pixel");
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(pixels.front().points[0], (Point{-20, 0}));
    // (5 - -25) div 10 = 3 -> 4 columns; (10 - 0) div 10 = 1 -> 2 rows.
    EXPECT_EQ(pixels.size(), 8u);
    EXPECT_EQ(pixels.back().points[0], (Point{10, 10}));
}

TEST(SchemeDocument, SourceKindsTellsDcAcAndMixed) {
    NTBEFizDisp doc;
    EXPECT_EQ(sourceKinds(doc), SchemeSources::DirectOrNone);
}

TEST(Drawing, HighlightingTwiceRestoresThePictureAndThePen) {
    NTBEFizDisp doc;
    NTbeNode* node = addNode(doc, 20, 20);
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    Canvas canvas(&painter);
    node->paint(&canvas);
    painter.end();
    QImage before = image.copy();
    painter.begin(&image);
    Canvas again(&painter);
    Pen penBefore = again.pen();
    node->drawHighlighted(&again);
    painter.end();
    EXPECT_NE(image, before);
    painter.begin(&image);
    Canvas third(&painter);
    node->drawHighlighted(&third);
    EXPECT_EQ(third.pen(), penBefore);
    painter.end();
    EXPECT_EQ(image, before);
}

TEST(Files, ADamagedFileLeavesTheOpenSchemeAsItWas) {
    QTemporaryDir dir;
    NTBEFizDisp doc;
    addNode(doc, 10, 10);
    addNode(doc, 50, 10);
    const QString good = dir.filePath("good.tbe");
    ASSERT_TRUE(saveDocumentFile(doc, good));
    QFile f(good);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray bytes = f.readAll();
    f.close();
    const int before = doc.objectCount();

    const QString bad = dir.filePath("bad.tbe");
    QFile out(bad);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes.left(bytes.size() / 2));
    out.close();
    QString error;
    error = loadDocumentFile(doc, bad).error;
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(error.contains("bad.tbe")) << error.toStdString();
    EXPECT_EQ(doc.objectCount(), before);

    error = loadDocumentFile(doc, good).error;
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(doc.objectCount(), before);
}
