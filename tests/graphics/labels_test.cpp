#include <QFontMetrics>
#include <gtest/gtest.h>

#include <QFont>

#include "graphics/graphicsdialogs.h"
#include "graphics/labels.h"
#include "model/context.h"
#include "model/document.h"
#include "platform/binarystream.h"
#include "support/recordingcanvas.h"

using namespace qv;
using qv::test::RecordingCanvas;

namespace {

/// Also keeps the font and the angle of every text drawn.
class TextCanvas : public RecordingCanvas {
  public:
    void text(Point at, const QString& s, const FontRec& f, int esc) override {
        RecordingCanvas::text(at, s, f, esc);
        fonts.push_back(f);
        escapements.push_back(esc);
    }
    std::vector<FontRec> fonts;
    std::vector<int> escapements;
};

/// A presenter whose platform font dialog answers with a fixed font.
class FontPresenter : public ScriptedPresenter {
  public:
    bool chooseFont(FontRec& f) override {
        f = chosen;
        return true;
    }
    FontRec chosen;
};

Bytes recordOf(NFizObj& obj) {
    BinaryWriter w;
    obj.saveToStream(w);
    return w.take();
}

void place(NFizObj& obj, Point a, Point b) {
    int state = 0;
    obj.placePoint(state, a.x, a.y);
    obj.placePoint(state, b.x, b.y);
}

int32_t int32At(const std::array<uint8_t, 60>& b, size_t at) {
    return int32_t(uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
                   uint32_t(b[at + 3]) << 24);
}

/// A label with a given cell, without measuring.
struct CellLabel : NTextLabel {
    CellLabel(Point a, Point b, int32_t width, int32_t height, std::string s = "x") {
        text = std::move(s);
        p1 = a;
        p2 = b;
        TwoPointGraph::recalc();
        textWidth = width;
        textHeight = height;
    }
};

} // namespace

TEST(NTextLabel, DefaultFontIsAFifteenPixelCellOfTimesNewRomanCyr) {
    NTextLabel l;
    EXPECT_EQ(l.textFont.name, "Times New Roman Cyr");
    EXPECT_EQ(l.textFont.height, 15); // positive, as other writers of the format store it
    Canvas canvas;
    int32_t w = 0, h = 0;
    canvas.textExtent("I1", l.textFont, w, h);
    EXPECT_EQ(h, 15);
}

// A damaged file's cell of thousands of pixels is sized as quickly as a usual one.
TEST(Canvas, AFontHeightIsTheCellWhenPositiveAndTheCharacterWhenNegative) {
    for (int height : {8, 15, 40, 5000}) {
        SCOPED_TRACE(height);
        FontRec f;
        f.name = "Times New Roman";
        f.height = -height;
        EXPECT_EQ(Canvas::toQFont(f).pixelSize(), height);
        f.height = height;
        const QFont cell = Canvas::toQFont(f);
        EXPECT_LT(cell.pixelSize(), height); // the cell holds the leading too
        EXPECT_LE(QFontMetrics(cell).height(), height);
        QFont larger = cell;
        larger.setPixelSize(cell.pixelSize() + 1);
        EXPECT_GT(QFontMetrics(larger).height(), height); // the largest that fits
    }
}

TEST(NUniLabel, HitTestCoversTheTextCellWithoutPickTolerance) {
    CellLabel l({100, 100}, {140, 100}, 40, 15);
    struct Case {
        Point p;
        bool hit;
    };
    const Case cases[] = {{{120, 100}, true},  {{120, 115}, true}, {{120, 99}, false}, {{120, 116}, false},
                          {{141, 105}, false}, {{100, 107}, true}, {{140, 107}, true}, {{99, 107}, false}};
    for (const Case& c : cases)
        EXPECT_EQ(l.hitTest(c.p.x, c.p.y), c.hit) << c.p.x << "," << c.p.y;

    // Text running down: the cell lies to the left of the line (n = (-1, 0)).
    CellLabel down({100, 100}, {100, 140}, 40, 15);
    EXPECT_TRUE(down.hitTest(90, 120));
    EXPECT_TRUE(down.hitTest(85, 120));
    EXPECT_FALSE(down.hitTest(84, 120));
    EXPECT_FALSE(down.hitTest(101, 120));
    EXPECT_FALSE(down.hitTest(90, 141));
}

TEST(NTextLabel, AnEmptyTextIsNeverHit) {
    CellLabel l({0, 0}, {500, 0}, 500, 500, "");
    EXPECT_FALSE(l.hitTest(250, 250));
    EXPECT_FALSE(l.hitTest(0, 0));
}

TEST(NTextLabel, EscapementFollowsTheDirectionInTenthsOfADegree) {
    struct Case {
        Point p2;
        int escapement;
    };
    const Case cases[] = {{{10, 0}, 0},     {{0, -10}, 900},  {{0, 10}, -900}, {{-10, 0}, -1800},
                          {{10, 10}, -450}, {{10, -10}, 450}, {{3, 4}, -531},  {{0, 0}, -900}};
    for (const Case& c : cases) {
        NTextLabel l;
        l.p2 = c.p2;
        l.TwoPointGraph::recalc();
        EXPECT_EQ(l.escapement(), c.escapement) << c.p2.x << "," << c.p2.y;
    }
}

TEST(NTextLabel, RecalcMeasuresTheTextAndPutsP2AtTheEndOfItAlongTheDirection) {
    NTextLabel l;
    l.text = "Voltage";
    place(l, {10, 20}, {40, 60}); // direction (0.6, 0.8)
    ASSERT_GT(l.textWidth, 0);
    ASSERT_GT(l.textHeight, 0);
    EXPECT_EQ(l.extentX, l.textWidth);
    EXPECT_EQ(l.extentY, l.textHeight);
    EXPECT_EQ(l.p2, (Point{roundCoord(10 + l.textWidth * 0.6L), roundCoord(20 + l.textWidth * 0.8L)}));

    // A longer text is wider; the same text in a larger font is taller.
    NTextLabel longer;
    longer.text = "Voltage drop";
    place(longer, {10, 20}, {40, 60});
    EXPECT_GT(longer.textWidth, l.textWidth);
    NTextLabel big;
    big.text = "Voltage";
    big.textFont.height = -30;
    place(big, {10, 20}, {40, 60});
    EXPECT_GT(big.textHeight, l.textHeight);
}

TEST(NTextLabel, TextRunningDownHasEscapementMinus900AndItsBoundsLieLeftOfTheLine) {
    NTextLabel l;
    l.text = "U12";
    place(l, {100, 100}, {100, 200});
    EXPECT_EQ(l.escapement(), -900);
    ASSERT_GT(l.textWidth, 0);
    EXPECT_EQ(l.p2, (Point{100, 100 + l.textWidth}));
    Rect r;
    l.getBounds(r);
    EXPECT_EQ(r, (Rect{100 - l.textHeight, 100, 100, 100 + l.textWidth}));
}

TEST(NTextLabel, ABoldFontIsMeasuredAndDrawnRegularButStaysBoldInTheRecord) {
    NTextLabel regular, bold;
    regular.text = bold.text = "Wide Words";
    bold.textFont.style = 1 | 2; // bold italic
    regular.textFont.style = 2;
    place(regular, {0, 0}, {10, 0});
    place(bold, {0, 0}, {10, 0});
    EXPECT_EQ(bold.textWidth, regular.textWidth);
    EXPECT_EQ(int32At(bold.logFont, 16), 400);

    TextCanvas canvas;
    bold.draw(&canvas);
    ASSERT_EQ(canvas.fonts.size(), 1u);
    EXPECT_EQ(canvas.fonts[0].style, 2);

    NTextLabel back;
    Bytes rec = recordOf(bold);
    BinaryReader r(rec);
    back.loadFromStream(r);
    EXPECT_EQ(back.textFont.style, 1 | 2);
}

TEST(NTextLabel, DrawFillsTheCellWithTheBrushThenWritesAtP1WithTheEscapement) {
    NTextLabel l;
    l.text = "Node 7";
    l.textFont.color = rgb(200, 10, 10);
    place(l, {30, 30}, {30, 0}); // running up
    TextCanvas canvas;
    l.paint(&canvas);
    ASSERT_EQ(canvas.calls.size(), 2u);
    EXPECT_EQ(canvas.calls[0].kind, "polygon");
    auto cell = l.cell();
    EXPECT_EQ(canvas.calls[0].points, std::vector<Point>(cell.begin(), cell.end()));
    EXPECT_EQ(canvas.calls[0].brush, l.brush);
    EXPECT_EQ(canvas.calls[0].pen.style, psClear);
    EXPECT_EQ(canvas.calls[1].kind, "text");
    EXPECT_EQ(canvas.calls[1].points[0], (Point{30, 30}));
    EXPECT_EQ(canvas.calls[1].text, "Node 7");
    EXPECT_EQ(canvas.escapements[0], 900);
    EXPECT_EQ(canvas.fonts[0].color, l.textFont.color);
    EXPECT_EQ(canvas.pen().style, psSolid);

    l.brush.style = bsClear; // a clear brush lets what lies beneath show
    canvas.calls.clear();
    l.paint(&canvas);
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_EQ(canvas.calls[0].kind, "text");
}

TEST(NTextLabel, LogFontDescribesTheRotatedFont) {
    NTextLabel l;
    l.text = "a";
    l.textFont.style = 2 | 4; // italic, underline
    l.textFont.charset = 204;
    place(l, {0, 0}, {0, 10});
    const auto& lf = l.logFont;
    EXPECT_EQ(int32At(lf, 0), l.textFont.height);
    EXPECT_EQ(int32At(lf, 4), 0);
    EXPECT_EQ(int32At(lf, 8), -900);  // escapement
    EXPECT_EQ(int32At(lf, 12), -900); // orientation
    EXPECT_EQ(int32At(lf, 16), 400);
    EXPECT_EQ(lf[20], 1);
    EXPECT_EQ(lf[21], 1);
    EXPECT_EQ(lf[22], 0);
    EXPECT_EQ(lf[23], 204);
    EXPECT_EQ(lf[24], 0);
    EXPECT_EQ(lf[25], 0);
    EXPECT_EQ(lf[26], 2);
    EXPECT_EQ(lf[27], 18);
    std::string face(lf.begin() + 28, lf.end());
    EXPECT_EQ(face, std::string("Times New Roman Cyr") + std::string(32 - 19, '\0'));
}

TEST(NTextLabel, LogFontReadFromAFileIsWrittenBackUnchangedUntilTheFontChanges) {
    NTextLabel src;
    src.text = "Node";
    place(src, {5, 5}, {50, 5});
    for (size_t i = 0; i < src.logFont.size(); ++i)
        src.logFont[i] = uint8_t(100 + i);
    Bytes rec = recordOf(src);

    NTextLabel back;
    BinaryReader r(rec);
    back.loadFromStream(r);
    ASSERT_FALSE(r.failed());
    Rect bounds;
    back.getBounds(bounds); // runs Recalc
    EXPECT_EQ(recordOf(back), rec);

    back.textFont.style = 2;
    back.recalc();
    EXPECT_EQ(back.logFont[20], 1);
    EXPECT_EQ(int32At(back.logFont, 16), 400);
}

TEST(NTextLabel, RecordRoundTripsAndFailsWhenCutShort) {
    NTextLabel l;
    l.text = "Узел 12";
    l.textFont.name = "Arial";
    l.textFont.style = 8;
    place(l, {-20, 30}, {80, 30});
    Bytes rec = recordOf(l);
    // Two-point part 75, cell size 8, font 124, text 101, LogFont 60.
    ASSERT_EQ(rec.size(), 75u + 8 + 124 + 101 + 60);
    NTextLabel back;
    BinaryReader r(rec);
    back.loadFromStream(r);
    EXPECT_FALSE(r.failed());
    EXPECT_EQ(back.text, l.text);
    EXPECT_EQ(back.textFont, l.textFont);
    EXPECT_EQ(back.textWidth, l.textWidth);
    EXPECT_EQ(back.logFont, l.logFont);

    rec.pop_back();
    NTextLabel cut;
    BinaryReader rc(rec);
    cut.loadFromStream(rc);
    EXPECT_TRUE(rc.failed());
}

TEST(NUniLabel, DragByMovesAnInvertedOutlineWithAClearBrush) {
    CellLabel l({0, 0}, {40, 0}, 40, 15);
    l.pen.width = 2;
    RecordingCanvas canvas;
    Brush before{rgb(1, 2, 3), bsSolid};
    canvas.setBrush(before);
    l.dragBy(-10, -5, &canvas);
    ASSERT_EQ(canvas.calls.size(), 2u);
    EXPECT_EQ(canvas.calls[0].points, (std::vector<Point>{{0, 0}, {40, 0}, {40, 15}, {0, 15}}));
    EXPECT_EQ(canvas.calls[1].points[0], (Point{10, 5}));
    for (const auto& c : canvas.calls) {
        EXPECT_EQ(c.kind, "polygon");
        EXPECT_EQ(c.brush.style, bsClear);
        EXPECT_EQ(c.pen.mode, kInvertMode);
        EXPECT_EQ(c.pen.width, 2);
    }
    EXPECT_EQ(l.p1, (Point{10, 5}));
    EXPECT_EQ(canvas.brush(), before);
    EXPECT_EQ(canvas.pen(), Pen{});
}

TEST(NUniLabel, DrawHighlightedInvertsTheCellWithAWiderPenAndRestoresIt) {
    CellLabel l({0, 0}, {40, 0}, 40, 15);
    RecordingCanvas canvas;
    l.drawHighlighted(&canvas);
    l.drawHighlighted(&canvas);
    ASSERT_EQ(canvas.calls.size(), 2u);
    EXPECT_EQ(canvas.calls[0].kind, "polygon");
    EXPECT_EQ(canvas.calls[0].pen.width, 3);
    EXPECT_EQ(canvas.calls[0].pen.mode, kInvertMode);
    EXPECT_EQ(canvas.calls[0].brush.style, bsSolid);
    EXPECT_EQ(canvas.pen(), Pen{});
}

TEST(NUserTextLabel, PlacementAsksForTheTextAndFilesTheLabelAsUserText) {
    NTBEFizDisp doc;
    ScriptedPresenter presenter;
    doc.context()->setPresenter(&presenter);
    presenter.scripts.push_back([](DialogModel& m) {
        m.field("text").text = QString::fromUtf8("Привет");
        m.cancel(); // cancelling still takes the text
        return false;
    });
    auto* l = new NUserTextLabel();
    l->owner = &doc;
    int state = 0;
    l->placePoint(state, 10, 10);
    EXPECT_EQ(doc.objectCount(), 0);
    l->placePoint(state, 60, 10);
    EXPECT_EQ(state, -1);
    EXPECT_EQ(presenter.shown, QStringList{"Text input"});
    EXPECT_EQ(l->text, "Привет");
    EXPECT_EQ(doc.labelKind, LabelKind::UserText);
    ASSERT_EQ(doc.objectCount(), 1);
    ASSERT_GT(l->textWidth, 0);
    EXPECT_EQ(l->p2, (Point{10 + l->textWidth, 10}));
    doc.context()->setPresenter(nullptr);
}

TEST(NUserTextLabel, TheFontButtonsChoiceSurvivesOkOnlyWhereNoControlCoversIt) {
    NTBEFizDisp doc;
    FontPresenter presenter;
    presenter.chosen.name = "Arial";
    presenter.chosen.charset = 204;
    presenter.chosen.pitch = 2;
    presenter.chosen.style = 1;
    doc.context()->setPresenter(&presenter);

    auto press = [](bool ok) {
        return [ok](DialogModel& m) {
            m.pressed("Font");
            if (ok) return m.ok();
            m.cancel();
            return false;
        };
    };
    NUserTextLabel l;
    l.owner = &doc;
    l.text = "T";
    presenter.scripts.push_back(press(true));
    l.editProperties();
    // The name list, style boxes and size were set on show and overwrite the chosen font.
    EXPECT_EQ(l.textFont.name, "Times New Roman Cyr");
    EXPECT_EQ(l.textFont.style, 0);
    EXPECT_EQ(l.textFont.charset, 204);
    EXPECT_EQ(l.textFont.pitch, 2);

    NUserTextLabel c;
    c.owner = &doc;
    presenter.scripts.push_back(press(false));
    c.editProperties();
    EXPECT_EQ(c.textFont, presenter.chosen);
    doc.context()->setPresenter(nullptr);
}

TEST(NTwoBin, PlacementMakesTwoTextsInTheLabelDocumentWithTheIndexAsSubscript) {
    NTBEFizDisp doc;
    FizDisp labels;
    doc.labelDocument = &labels;
    auto* t = new NTwoBin();
    t->owner = &doc;
    t->mainText = "R";
    t->indexText = "12";
    place(*t, {50, 50}, {150, 50});
    ASSERT_TRUE(t->mainLabel && t->indexLabel);
    EXPECT_EQ(t->mainLabel->owner, &labels);
    EXPECT_EQ(t->indexLabel->owner, &labels);
    EXPECT_EQ(labels.objectCount(), 0);
    EXPECT_EQ(t->mainLabel->text, "R");
    EXPECT_EQ(t->indexLabel->text, "12");

    int32_t w = t->mainLabel->textWidth, h = t->mainLabel->textHeight;
    ASSERT_GT(w, 0);
    EXPECT_EQ(t->mainLabel->p1, (Point{50, 50}));
    EXPECT_EQ(t->indexLabel->p1, (Point{50 + w, 50 + h}));
    EXPECT_EQ(t->indexLabel->textHeight, h);
    EXPECT_EQ(t->textHeight, 2 * h);
    EXPECT_EQ(t->textWidth, w + t->indexLabel->textWidth);
    EXPECT_EQ(t->p2, (Point{50 + t->textWidth, 50}));
    delete t;
}

TEST(NTwoBin, ADownwardLabelPutsItsIndexBelowAlongTheText) {
    NTwoBin t;
    t.mainText = "I";
    t.indexText = "3";
    place(t, {0, 0}, {0, 100});
    int32_t w = t.mainLabel->textWidth, h = t.mainLabel->textHeight;
    // Along u = (0, 1) by w, then down the text n = (-1, 0) by h.
    EXPECT_EQ(t.indexLabel->p1, (Point{-h, w}));
    EXPECT_EQ(t.indexLabel->escapement(), -900);
}

TEST(NTwoBin, WithoutALabelDocumentTheTextsBelongToTheOwner) {
    NTBEFizDisp doc;
    NTwoBin t;
    t.owner = &doc;
    t.mainText = "I";
    place(t, {0, 0}, {10, 0});
    EXPECT_EQ(t.mainLabel->owner, &doc);
    EXPECT_EQ(t.indexLabel->owner, &doc);
}

TEST(NTwoBin, MovingByDragMovesBothTextsAndDrawingDrawsMainThenIndex) {
    NTwoBin t;
    t.mainText = "R";
    t.indexText = "12";
    place(t, {50, 50}, {150, 50});
    Point main = t.mainLabel->p1, index = t.indexLabel->p1;
    RecordingCanvas canvas;
    t.dragBy(-7, 3, &canvas);
    EXPECT_EQ(t.p1, (Point{57, 47}));
    EXPECT_EQ(t.mainLabel->p1, (Point{main.x + 7, main.y - 3}));
    EXPECT_EQ(t.indexLabel->p1, (Point{index.x + 7, index.y - 3}));

    TextCanvas texts;
    texts.setBrush({0, bsClear});
    t.draw(&texts);
    auto drawn = texts.of("text");
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].text, "R");
    EXPECT_EQ(drawn[1].text, "12");
    EXPECT_EQ(drawn[1].points[0], t.indexLabel->p1);
}

TEST(NTwoBin, RecordHoldsBothTextsAndLoadingCreatesThemInTheLabelDocument) {
    NTwoBin t;
    t.mainText = "I";
    t.indexText = "7";
    place(t, {5, 5}, {100, 5});
    Bytes rec = recordOf(t);
    constexpr size_t textRecord = 75 + 8 + 124 + 101 + 60;
    ASSERT_EQ(rec.size(), 75u + 8 + 2 * textRecord + 21 + 21);

    NTBEFizDisp doc;
    FizDisp labels;
    doc.labelDocument = &labels;
    NTwoBin back;
    back.owner = &doc;
    BinaryReader r(rec);
    back.loadFromStream(r);
    EXPECT_FALSE(r.failed());
    ASSERT_TRUE(back.mainLabel && back.indexLabel);
    EXPECT_EQ(back.mainLabel->owner, &labels);
    EXPECT_EQ(back.indexLabel->owner, &labels);
    EXPECT_EQ(back.mainText, "I");
    EXPECT_EQ(back.indexText, "7");
    EXPECT_EQ(back.indexLabel->text, "7");
    EXPECT_EQ(back.indexLabel->p1, t.indexLabel->p1);
    EXPECT_EQ(recordOf(back), rec);

    rec.resize(rec.size() - 21);
    NTwoBin cut;
    BinaryReader rc(rec);
    cut.loadFromStream(rc);
    EXPECT_TRUE(rc.failed());
}

TEST(NTwoBin, ALabelNotYetPlacedStillWritesAReadableRecord) {
    NTwoBin t;
    t.mainText = "U";
    Bytes rec = recordOf(t);
    NTwoBin back;
    BinaryReader r(rec);
    back.loadFromStream(r);
    EXPECT_FALSE(r.failed());
    EXPECT_EQ(r.remaining(), 0u);
    EXPECT_EQ(back.mainText, "U");
    EXPECT_EQ(recordOf(back), rec);
    Rect bounds;
    back.getBounds(bounds); // texts exist now, both empty: a cell of width zero
    EXPECT_EQ(back.textWidth, 0);
}
