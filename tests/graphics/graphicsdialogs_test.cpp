#include <gtest/gtest.h>

#include "graphics/graphicsdialogs.h"
#include "graphics/labels.h"
#include "graphics/primitives.h"
#include "model/context.h"
#include "model/document.h"

using namespace qv;

namespace {

/// A scheme whose dialogs are played by `presenter`.
struct ScriptedScheme {
    ScriptedScheme() { doc.context()->setPresenter(&presenter); }
    ~ScriptedScheme() { doc.context()->setPresenter(nullptr); }
    NTBEFizDisp doc;
    ScriptedPresenter presenter;
};

const Pen kPen{rgb(10, 20, 30), pmCopy, psDashDot, 3};
const Brush kBrush{rgb(40, 50, 60), bsVertical};

} // namespace

TEST(GraphicsPropertiesDialog, ShowsThePenAndBrushAndOkStoresTheEditedValues) {
    ScriptedScheme s;
    NGrRound c;
    c.owner = &s.doc;
    c.pen = kPen;
    c.brush = kBrush;
    s.presenter.scripts.push_back([](DialogModel& m) {
        EXPECT_EQ(m.caption(), "Graphics propertes");
        EXPECT_EQ(m.field("penColor").label, "Line color");
        EXPECT_EQ(m.field("brushColor").label, "fill color");
        EXPECT_EQ(m.field("penColor").color, kPen.color);
        EXPECT_EQ(m.field("penStyle").choice, psDashDot);
        EXPECT_EQ(m.field("penWidth").choice, 3);
        EXPECT_EQ(m.field("brushStyle").choice, bsVertical);
        EXPECT_EQ(m.field("brushColor").color, kBrush.color);
        m.field("penColor").color = rgb(1, 1, 1);
        m.field("penStyle").choice = psDot;
        m.field("penWidth").choice = 7;
        m.field("brushStyle").choice = bsClear;
        m.field("brushColor").color = rgb(2, 2, 2);
        return m.ok();
    });
    c.editProperties();
    EXPECT_EQ(s.presenter.shown, QStringList{"Graphics propertes"});
    EXPECT_EQ(c.pen, (Pen{rgb(1, 1, 1), pmCopy, psDot, 7}));
    EXPECT_EQ(c.brush, (Brush{rgb(2, 2, 2), bsClear}));
}

TEST(GraphicsPropertiesDialog, CancelLeavesTheObjectAsItWas) {
    ScriptedScheme s;
    NGrLine l;
    l.owner = &s.doc;
    l.pen = kPen;
    l.brush = kBrush;
    s.presenter.scripts.push_back([](DialogModel& m) {
        m.field("penWidth").choice = 50;
        m.field("brushColor").color = rgb(9, 9, 9);
        m.cancel();
        return false;
    });
    l.editProperties();
    EXPECT_EQ(l.pen, kPen);
    EXPECT_EQ(l.brush, kBrush);
}

TEST(GraphicsPropertiesDialog, WidthStaysWithinItsRangeAndAnEmptyStyleChoiceChangesNothing) {
    Pen pen = kPen;
    Brush brush = kBrush;
    GraphicsPropertiesDialog dlg;
    dlg.setTarget(&pen, &brush);
    dlg.show();
    dlg.field("penWidth").choice = 250000;
    dlg.field("penStyle").choice = -1;
    dlg.field("brushStyle").choice = 99;
    EXPECT_TRUE(dlg.ok());
    EXPECT_EQ(pen.width, GraphicsPropertiesDialog::kMaxPenWidth);
    EXPECT_EQ(pen.style, kPen.style);
    EXPECT_EQ(brush.style, kBrush.style);
}

TEST(GraphicsPropertiesDialog, LabelsWithoutADialogOfTheirOwnUseItAndTwoPartLabelsNone) {
    ScriptedScheme s;
    NTextLabel text;
    text.owner = &s.doc;
    text.editProperties();
    NTwoBin two;
    two.owner = &s.doc;
    two.editProperties();
    EXPECT_EQ(s.presenter.shown, QStringList{"Graphics propertes"});
}

TEST(TextInputDialog, ShowsTheDialogFontAndOkTakesTheControls) {
    TextInputDialog dlg;
    EXPECT_EQ(dlg.caption(), "Text input");
    EXPECT_EQ(dlg.extraButtons(), QStringList{"Font"});
    dlg.dialogFont.name = "Arial";
    dlg.dialogFont.height = -20;
    dlg.dialogFont.color = rgb(0, 0, 255);
    dlg.dialogFont.style = 1 | 8; // bold, strike-out
    dlg.show();
    const DialogField& names = dlg.field("fontName");
    EXPECT_EQ(names.items.value(names.choice), "Arial");
    EXPECT_EQ(dlg.field("size").label, "Size");
    EXPECT_EQ(dlg.field("size").choice, 20);
    EXPECT_EQ(dlg.field("color").label, "Color");
    EXPECT_EQ(dlg.field("color").color, rgb(0, 0, 255));
    EXPECT_TRUE(dlg.field("bold").checked);
    EXPECT_FALSE(dlg.field("italic").checked);
    EXPECT_FALSE(dlg.field("underline").checked);
    EXPECT_TRUE(dlg.field("strikeout").checked);
    EXPECT_EQ(dlg.field("underline").label, "Underlined");

    dlg.field("fontName").choice = int(names.items.indexOf("Symbol"));
    dlg.field("size").choice = 12;
    dlg.field("color").color = rgb(255, 0, 0);
    dlg.field("bold").checked = false;
    dlg.field("italic").checked = true;
    EXPECT_TRUE(dlg.ok());
    EXPECT_EQ(dlg.dialogFont.name, "Symbol");
    EXPECT_EQ(std::abs(dlg.dialogFont.height), 12);
    EXPECT_EQ(dlg.dialogFont.color, rgb(255, 0, 0));
    EXPECT_EQ(dlg.dialogFont.style, 2 | 8);
}

TEST(TextInputDialog, AFontNameTheListLacksIsOfferedAsItStands) {
    TextInputDialog dlg;
    dlg.dialogFont.name = "No Such Face 123";
    dlg.show();
    const DialogField& names = dlg.field("fontName");
    EXPECT_EQ(names.items.value(names.choice), "No Such Face 123");
    dlg.ok();
    EXPECT_EQ(dlg.dialogFont.name, "No Such Face 123");
}

TEST(TextInputDialog, ABoldLabelIsShownBoldAgain) {
    ScriptedScheme s;
    NUserTextLabel l;
    l.owner = &s.doc;
    l.textFont.style = 1;
    bool shownBold = false;
    s.presenter.scripts.push_back([&](DialogModel& m) {
        shownBold = m.field("bold").checked;
        return m.ok();
    });
    l.editProperties();
    EXPECT_TRUE(shownBold);
    EXPECT_EQ(l.textFont.style, 1);
}
