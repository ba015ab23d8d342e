// The power network elements: figures, placement by clicks, the voltage check, dialogs,
// class colours and the stream records.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "app/schemedump.h"
#include "graphics/labels.h"
#include "io/documentfile.h"
#include "platform/binarystream.h"
#include "power/elementdialogs.h"
#include "support/powerscheme.h"
#include "support/recordingcanvas.h"

using namespace qv;
using namespace qv::test;

namespace {

std::vector<std::pair<Point, Point>> lines(const RecordingCanvas& c) {
    std::vector<std::pair<Point, Point>> out;
    for (const DrawCall& d : c.of("line"))
        out.push_back({d.points[0], d.points[1]});
    return out;
}

using Lines = std::vector<std::pair<Point, Point>>;

Bytes save(FizDisp& doc) {
    BinaryWriter w;
    doc.saveToStream(w);
    return w.take();
}

} // namespace

TEST(PowerFigures, ABreakerLeavesAGapBridgedByItsBlade) {
    NGBreaker b;
    b.p1 = {0, 100};
    b.p2 = {100, 100};
    b.recalc();
    RecordingCanvas open;
    b.draw(&open);
    EXPECT_EQ(lines(open), (Lines{{{0, 100}, {35, 100}}, {{35, 100}, {65, 106}}, {{65, 100}, {100, 100}}}));
    b.bladeOffset = 2;
    b.recalc();
    EXPECT_EQ(b.bladeEnd, (Point{65, 102}));
    // Hit test and bounds are those of the straight line.
    EXPECT_TRUE(b.hitTest(50, 100));
    EXPECT_FALSE(b.hitTest(50, 110));
}

TEST(PowerFigures, ATransformerIsTwoCirclesWithLeadsRoundedHalfToEven) {
    NGTransform t;
    t.p1 = {0, 100};
    t.p2 = {100, 100};
    t.recalc();
    RecordingCanvas c;
    t.draw(&c);
    EXPECT_EQ(lines(c), (Lines{{{0, 100}, {28, 100}}, {{100, 100}, {72, 100}}}));
    std::vector<DrawCall> arcs = c.of("arc");
    ASSERT_EQ(arcs.size(), 2u);
    EXPECT_EQ(arcs[0].points[0], (Point{43, 85})); // around (58, 100)
    EXPECT_EQ(arcs[0].points[1], (Point{73, 115}));
    EXPECT_EQ(arcs[1].points[0], (Point{27, 85}));   // around (42, 100)
    EXPECT_EQ(arcs[0].points[2], arcs[0].points[3]); // full circles
    EXPECT_TRUE(t.hitTest(50, 110));
    EXPECT_FALSE(t.hitTest(50, 116));
    EXPECT_FALSE(t.hitTest(42, 115)); // on the circle is outside
    // Far away the squares must not wrap round to a hit.
    EXPECT_FALSE(t.hitTest(42 + 65536, 100));
}

TEST(PowerPlacement, ATransformerPlacedFromTheLowSideIsTurnedSoNode1IsTheHighSide) {
    PowerScheme s;
    NPowerNode* low = s.powerNode(0, 100, "10");
    NPowerNode* high = s.powerNode(100, 100, "110");
    auto* t = s.twoClicks<NFTransForm>(low, high);
    EXPECT_EQ(t->node1, high);
    EXPECT_EQ(t->node2, low);
    EXPECT_EQ(t->figure->p1, (Point{100, 100}));
    EXPECT_EQ(t->figure->p2, (Point{0, 100}));
    EXPECT_EQ(s.presenter.shown.last(), QString::fromUtf8("Трансформатор"));
    // Placed the right way round, it stays so; ends without a voltage stay as clicked.
    auto* straight = s.twoClicks<NFTransForm>(high, low);
    EXPECT_EQ(straight->node1, high);
    NTbeNode* plain = s.node(0, 300);
    auto* unknown = s.twoClicks<NFTransForm>(plain, high);
    EXPECT_EQ(unknown->node1, plain);
}

TEST(PowerPlacement, TheTypesOfferedToATransformerMatchTheVoltagesOfItsNodes) {
    PowerScheme s;
    NPowerNode* high = s.powerNode(0, 0, "35");
    NPowerNode* low = s.powerNode(100, 0, "10");
    QStringList offered;
    auto* t = s.twoClicks<NFTransForm>(high, low, [&](DialogModel& m) {
        offered = m.field("transKind").items;
        m.field("transKind").choice = 0;
        m.changed("transKind");
        return m.ok();
    });
    EXPECT_EQ(offered, QStringList{QString::fromUtf8("ТМН-6300/35")});
    EXPECT_EQ(t->transKind, "ТМН-6300/35");
    EXPECT_EQ(t->transformer->uHigh, 35);
    EXPECT_EQ(t->tapNumber, 7); // the nominal tap of 13
}

TEST(PowerPlacement, ABreakerSitsBetweenItsNodesAndShowsItsStateAndVoltageClass) {
    PowerScheme s;
    NPowerNode* a = s.powerNode(0, 100, "10");
    NPowerNode* b = s.powerNode(100, 100, "10");
    auto* br = s.twoClicks<NFBreaker>(a, b, fill({{"name", "Q7"}, {"on", "1"}}));
    auto* fig = dynamic_cast<NGBreaker*>(br->figure.get());
    ASSERT_NE(fig, nullptr);
    EXPECT_EQ(fig->p1, (Point{0, 100}));
    EXPECT_EQ(fig->bladeEnd, (Point{65, 102}));
    EXPECT_EQ(br->name, "Q7");
    EXPECT_EQ(br->unom, 10);
    EXPECT_EQ(fig->pen.color, s.catalogues().voltageClasses.classColour(10));
    EXPECT_NE(fig->pen.color, 0u);
    ASSERT_NE(br->nameLabel, nullptr);
    EXPECT_EQ(dynamic_cast<NTextLabel*>(br->nameLabel)->text, "Q7");
    Rect r;
    br->getBounds(r);
    EXPECT_EQ(r, (Rect{100, 100, 0, 100}));
    // Opened again: the blade moves away.
    s.presenter.scripts.push_back(fill({{"on", "0"}}));
    br->editProperties();
    EXPECT_EQ(fig->bladeEnd, (Point{65, 106}));
    // A moved node takes its end of the figure along.
    a->connectionPoints[0] = {0, 120};
    a->endDrag();
    EXPECT_EQ(fig->p1, (Point{0, 120}));
}

TEST(PowerPlacement, ANodeTakesItsDialogsValuesAndTheColourOfItsVoltage) {
    PowerScheme s;
    NPowerNode* n = s.powerNode(0, 0, "35");
    EXPECT_EQ(n->unom, 35);
    EXPECT_EQ(n->shape->pen.color, s.catalogues().voltageClasses.classColour(35));
    // The voltage can be picked from the classes.
    s.presenter.scripts.push_back([](DialogModel& m) {
        const QStringList& items = m.field("unomClasses").items;
        m.field("unomClasses").choice = int(items.indexOf("220"));
        m.changed("unomClasses");
        m.field("name").text = QString::fromUtf8("ПС Южная");
        m.field("loadP").text = "12.5";
        return m.ok();
    });
    n->editProperties();
    EXPECT_EQ(n->unom, 220);
    EXPECT_EQ(n->loadP, 12.5L);
    EXPECT_EQ(n->name, "ПС Южная");
    EXPECT_EQ(dynamic_cast<NTextLabel*>(n->nameLabel)->text, "ПС Южная");
    // A bad number stores nothing and keeps the dialog open; Cancel changes nothing.
    bool closed = true;
    s.presenter.scripts.push_back([&](DialogModel& m) {
        m.field("loadP").text = "1";
        m.field("genP").text = "x";
        closed = m.ok();
        m.cancel();
        return false;
    });
    n->editProperties();
    EXPECT_FALSE(closed);
    EXPECT_EQ(n->loadP, 12.5L);
    EXPECT_EQ(s.messages().shown.size(), 1);
}

struct VoltageCheck : ::testing::Test, PowerScheme {
    NPowerNode* from = powerNode(0, 0, "110");
    NPowerNode* to35 = powerNode(200, 0, "35");
    NPowerNode* to105 = powerNode(0, 200, "105");
    int warnings() const {
        int n = 0;
        for (const auto& m : static_cast<RecordingMessages*>(ctx.messages())->shown)
            if (m.text == QString::fromUtf8("Ветвь соедмеяет узлы разного напряжения") &&
                m.caption == QString::fromUtf8("Предупреждение"))
                ++n;
        return n;
    }
};

TEST_F(VoltageCheck, ALineBetweenDifferentVoltagesWarnsOnPlacementAndEachEdit) {
    auto* line = twoClicks<NPowerLine>(from, to35);
    EXPECT_EQ(line->unom, 110);
    EXPECT_EQ(warnings(), 1);
    line->editProperties();
    line->editProperties();
    EXPECT_EQ(warnings(), 3);
    EXPECT_EQ(line->pen.color, catalogues().voltageClasses.classColour(110));
}

TEST_F(VoltageCheck, ALineWithinATenthOfItsVoltageDoesNotWarn) {
    auto* line = twoClicks<NPowerLine>(from, to105);
    line->editProperties();
    EXPECT_EQ(warnings(), 0);
    // A plain node has no voltage: no warning, and the line keeps its own.
    NTbeNode* plain = node(300, 300);
    auto* other = twoClicks<NPowerLine>(plain, to35);
    EXPECT_EQ(other->unom, 0);
    EXPECT_EQ(warnings(), 0);
}

TEST(PowerLineDialog, TenKilometresOfTwoCircuitsOfAWire) {
    PowerScheme s;
    auto wire = std::make_unique<NWireSpr>();
    wire->itemName = "test wire";
    wire->unom = 110;
    wire->r0 = 0.3;
    wire->x0 = 0.4;
    wire->b0 = 2.7;
    wire->maxCurrent = 450;
    s.catalogues().wires.items.insert(s.catalogues().wires.items.begin(), std::move(wire));
    NPowerNode* a = s.powerNode(0, 0, "110");
    NPowerNode* b = s.powerNode(200, 0, "110");
    QStringList offered;
    auto* line = s.twoClicks<NPowerLine>(a, b, [&](DialogModel& m) {
        offered = m.field("wireKind").items;
        m.field("length").text = "10";
        m.field("circuits").choice = 2;
        m.changed("circuits");
        m.field("wireKind").choice = 0;
        m.changed("wireKind");
        m.field("dispatchName").text = QString::fromUtf8("Линия очень длинного диспетчерского имени");
        return m.ok();
    });
    // Only the wires of the line's class are offered.
    EXPECT_EQ(offered.size(), 3);
    EXPECT_FALSE(offered.contains(QString::fromUtf8("АС-95/16 35кВ")));
    EXPECT_NEAR(double(line->lineR), 1.5, 1e-12);
    EXPECT_NEAR(double(line->lineB), 54, 1e-12);
    EXPECT_NEAR(double(line->lineX), 2, 1e-12);
    EXPECT_EQ(line->maxCurrent, 450);
    EXPECT_EQ(line->circuits, 2);
    EXPECT_EQ(line->lengthKm, 10);
    EXPECT_EQ(line->wireKind, "test wire");
    EXPECT_EQ(line->name, "Линия очень длинного");
    EXPECT_EQ(dynamic_cast<NTextLabel*>(line->nameLabel)->text, line->name);
    // A field that is not a number keeps the dialog open and stores nothing.
    bool closed = true;
    s.presenter.scripts.push_back([&](DialogModel& m) {
        m.field("r").text = "7";
        m.field("length").text = "ten";
        closed = m.ok();
        m.cancel();
        return false;
    });
    line->editProperties();
    EXPECT_FALSE(closed);
    EXPECT_NEAR(double(line->lineR), 1.5, 1e-12);
}

TEST(PowerSubstation, ChoosingATypeSetsBothVoltagesAndTheNominalTap) {
    PowerScheme s;
    NTransStat* st = s.powerNode<NTransStat>(0, 0, "0");
    s.presenter.scripts.push_back([](DialogModel& m) {
        m.field("name").text = QString::fromUtf8("ПС-1");
        m.field("transKind").choice = 1; // ТДН-10000/110: 115/11 kV, 19 taps
        m.changed("transKind");
        EXPECT_EQ(m.field("tapNumber").items.size(), 19);
        EXPECT_EQ(m.field("tapNumber").choice, 9);
        m.field("transCount").choice = 1;
        return m.ok();
    });
    st->editProperties();
    EXPECT_EQ(st->name, "ПС-1");
    EXPECT_EQ(st->transKind, "ТДН-10000/110");
    EXPECT_EQ(st->unom, 115);
    EXPECT_EQ(st->lowNode->unom, 11);
    EXPECT_EQ(st->tapNumber, 10);
    EXPECT_EQ(st->transCount, 2);
    EXPECT_EQ(st->transformer->sNom, 10);
    EXPECT_EQ(st->shape->pen.color, s.catalogues().voltageClasses.classColour(115));
    // The low side's loads through their own dialog; a cancelled substation keeps its type.
    s.presenter.scripts.push_back([](DialogModel& m) {
        m.field("transKind").choice = 0;
        m.changed("transKind");
        m.pressed(SubstationDialog::loadButton());
        m.cancel();
        return false;
    });
    s.presenter.scripts.push_back(fill({{"loadP", "4"}, {"name", "LV"}}));
    st->editProperties();
    EXPECT_EQ(st->transKind, "ТДН-10000/110");
    EXPECT_EQ(st->unom, 115);
    EXPECT_EQ(st->lowNode->loadP, 4);
    EXPECT_EQ(st->lowNode->name, "LV");
    EXPECT_EQ(st->lowNode->unom, 11);
    EXPECT_EQ(st->lowNode->nameLabel, nullptr); // it is in no document
}

TEST(PowerRecords, EveryElementIsSavedLoadedAndSavedAgainByteForByte) {
    EveryPowerElement s;
    ASSERT_EQ(s.line->wireKind, "АС-120/19 110кВ");
    ASSERT_EQ(s.trans->node1, s.b);
    Bytes first = save(s.doc);
    NTBEFizDisp back(&s.ctx);
    back.labelDocument = &s.labels;
    BinaryReader r(first);
    ASSERT_TRUE(readDocument(back, r)) << r.error();
    EXPECT_EQ(r.remaining(), 0u);
    EXPECT_EQ(save(back), first);
    const QJsonObject was = dumpScheme(s.doc), now = dumpScheme(back);
    EXPECT_EQ(was, now) << QJsonDocument(now).toJson().toStdString();
    // The dump names the stored fields.
    QStringList classes;
    for (const QJsonValue& o : now["objects"].toArray())
        classes << o["class"].toString();
    for (const char* c : {"NPowerNode", "NTransStat", "NPowerLine", "NFBreaker", "NFTransForm"})
        EXPECT_TRUE(classes.contains(c)) << c;
    const QJsonObject node = now["objects"].toArray()[s.doc.indexOfObject(s.a)].toObject();
    EXPECT_EQ(node["LoadP"].toDouble(), 12.5);
    EXPECT_EQ(node["Unom"].toDouble(), 110);
    const QJsonObject station = now["objects"].toArray()[s.doc.indexOfObject(s.station)].toObject();
    EXPECT_EQ(station["LowNode"].toObject()["Name"].toString(), QString::fromUtf8("НН"));
    const QJsonObject line = now["objects"].toArray()[s.doc.indexOfObject(s.line)].toObject();
    EXPECT_EQ(line["Circuits"].toInt(), 2);
    EXPECT_EQ(line["DispatchName"].toString(), QString::fromUtf8("Северная-1"));
    const QJsonObject breaker = now["objects"].toArray()[s.doc.indexOfObject(s.breaker)].toObject();
    EXPECT_EQ(breaker["Figure"].toObject()["class"].toString(), "NGBreaker");
    EXPECT_TRUE(breaker["On"].toBool());
}

TEST(PowerRecords, ALinesRepeatedResistanceAndReactanceAreReadTwiceAndTheSecondWins) {
    EveryPowerElement s;
    s.line->lineR = 1;
    s.line->lineX = 2;
    BinaryWriter w;
    s.line->saveToStream(w);
    Bytes rec = w.take();
    // The line's record ends with Circuits, LineR, LineX: change the second copies.
    const size_t end = rec.size();
    auto r2 = encodeExtended(3), x2 = encodeExtended(4);
    std::copy(r2.begin(), r2.end(), rec.begin() + long(end - 20));
    std::copy(x2.begin(), x2.end(), rec.begin() + long(end - 10));
    // The first copies sit after the B, G, length reals.
    EXPECT_EQ(decodeExtended(rec.data() + end - 20 - 4 - 202 - 40), 1);
    NPowerLine back;
    back.owner = &s.doc;
    BinaryReader r(rec);
    back.loadFromStream(r);
    ASSERT_FALSE(r.failed()) << r.error();
    EXPECT_EQ(back.lineR, 3);
    EXPECT_EQ(back.lineX, 4);
    EXPECT_EQ(back.circuits, 2);
}

TEST(PowerRecords, AFigureOfAClassThatIsNoFigureIsRefused) {
    EveryPowerElement s;
    BinaryWriter w;
    s.breaker->figure->owner = &s.doc;
    s.breaker->saveToStream(w);
    Bytes rec = w.take();
    // Rename the figure's class (stored after the common part) to a node class.
    const std::string from = "NGBreaker";
    auto it = std::search(rec.begin(), rec.end(), from.begin(), from.end());
    ASSERT_NE(it, rec.end());
    const long at = long(it - rec.begin());
    for (std::string bad : {"NFUsel", "NTextLabel", "Nonsense", "NGTransform"}) {
        Bytes m = rec;
        m[size_t(at - 1)] = uint8_t(bad.size());
        std::copy(bad.begin(), bad.end(), m.begin() + at);
        NFBreaker back;
        back.owner = &s.doc;
        BinaryReader r(m);
        back.loadFromStream(r);
        if (bad == "NGTransform") {
            // Another figure class reads its own, longer record: this one ends too soon.
            EXPECT_TRUE(r.failed());
            continue;
        }
        EXPECT_TRUE(r.failed()) << bad;
        EXPECT_NE(r.error().find("Invalid class name"), std::string::npos) << r.error();
    }
}
