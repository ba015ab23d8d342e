// The Solution page: what its font boxes give the selection and how they follow it, and its
// layout kept over a return to the page.
#include <QApplication>
#include <QComboBox>
#include <QFontComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextLayout>
#include <gtest/gtest.h>

#include "gui/solutionpage.h"

using qv::gui::kCharsetProperty;
using qv::gui::SolutionPage;

namespace {

// Format of the character at `pos` (the one after it).
QTextCharFormat formatAt(QTextEdit* e, int pos) {
    QTextCursor c(e->document());
    c.setPosition(pos + 1);
    return c.charFormat();
}

void enter(QComboBox* box, const QString& text) {
    box->setEditText(text);
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
}

} // namespace

TEST(SolutionPageTest, FontNameGivesTheSelectionItsCharset) {
    const struct {
        const char* name;
        int charset;
    } cases[] = {{"Symbol", 2},    {"SYMBOL", 2}, {"symbol", 2}, {"Arial", 204}, {"Times New Roman", 204},
                 {"Symbolic", 204}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SolutionPage page;
        page.editor()->setPlainText("U1 = 10 V");
        QTextCursor sel(page.editor()->document());
        sel.setPosition(0);
        sel.setPosition(2, QTextCursor::KeepAnchor); // "U1"
        page.editor()->setTextCursor(sel);

        enter(page.fontBox(), c.name);

        QTextCharFormat inside = formatAt(page.editor(), 1), outside = formatAt(page.editor(), 4);
        EXPECT_EQ(inside.property(kCharsetProperty).toInt(), c.charset);
        EXPECT_EQ(inside.fontFamilies().toStringList().value(0), c.name);
        EXPECT_FALSE(outside.hasProperty(kCharsetProperty));
    }
}

TEST(SolutionPageTest, FontSizeSetsOnlyPositiveSizes) {
    const struct {
        const char* text;
        double expected; ///< 0: left unset
    } cases[] = {{"14", 14}, {"36", 36}, {"0", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        SolutionPage page;
        page.editor()->setPlainText("I = 2 A");
        page.editor()->selectAll();
        enter(page.sizeBox(), c.text);
        EXPECT_EQ(formatAt(page.editor(), 0).fontPointSize(), c.expected);
    }
}

TEST(SolutionPageTest, BoxesActOnlyWhileFontSyncIsEnabled) {
    SolutionPage page;
    page.editor()->setPlainText("R1");
    page.editor()->selectAll();
    page.fontSyncEnabled = false;
    enter(page.fontBox(), "Symbol");
    enter(page.sizeBox(), "20");
    QTextCharFormat f = formatAt(page.editor(), 0);
    EXPECT_FALSE(f.hasProperty(kCharsetProperty));
    EXPECT_EQ(f.fontPointSize(), 0);
}

// Selecting text shows its font in the boxes without changing the text or leaving the
// boxes switched off.
TEST(SolutionPageTest, BoxesFollowTheSelection) {
    SolutionPage page;
    QTextEdit* e = page.editor();
    e->setPlainText("E1 R2");
    QTextCursor c(e->document());
    c.setPosition(3);
    c.setPosition(5, QTextCursor::KeepAnchor);
    QTextCharFormat f;
    f.setFontFamilies(QStringList{"Courier New"});
    f.setFontPointSize(18);
    c.mergeCharFormat(f);

    e->setTextCursor(c); // select "R2"
    EXPECT_EQ(page.fontBox()->currentText(), "Courier New");
    EXPECT_EQ(page.sizeBox()->currentText(), "18");
    EXPECT_TRUE(page.fontSyncEnabled);

    c.setPosition(0);
    c.setPosition(1, QTextCursor::KeepAnchor);
    e->setTextCursor(c); // select "E"
    EXPECT_NE(page.fontBox()->currentText(), "Courier New");
    EXPECT_EQ(formatAt(e, 3).fontPointSize(), 18);
    EXPECT_FALSE(formatAt(e, 0).hasProperty(kCharsetProperty));

    // While a solution is written the boxes stay as they are.
    page.solving = true;
    c.setPosition(3);
    c.setPosition(5, QTextCursor::KeepAnchor);
    e->setTextCursor(c);
    EXPECT_NE(page.fontBox()->currentText(), "Courier New");
}

// Shown again after its size changed while hidden, at the width its text was laid out at, the
// page keeps its lines: no new layout of a long page from the top at every return to it.
TEST(SolutionPageTest, ComingBackAtTheSameWidthKeepsTheLayout) {
    SolutionPage page;
    page.resize(800, 600);
    page.show();
    QTextEdit* editor = page.editor();
    QTextCursor c(editor->document());
    for (int i = 0; i < 400; ++i)
        c.insertText(
            QStringLiteral("Line %1 of a long page that wraps at the page's width, as solutions do.\n")
                .arg(i));
    editor->moveCursor(QTextCursor::End);
    editor->ensureCursorVisible();
    editor->moveCursor(QTextCursor::Start);
    editor->ensureCursorVisible();
    const QTextBlock last = editor->document()->lastBlock().previous();
    ASSERT_GT(last.layout()->lineCount(), 0);
    const qreal width = editor->document()->pageSize().width();

    page.hide();
    page.resize(700, 500); // the scheme page's tool bars take room
    page.resize(800, 560);
    page.show();
    QApplication::processEvents();
    EXPECT_EQ(editor->document()->pageSize().width(), width);
    EXPECT_GT(last.layout()->lineCount(), 0) << "laid out anew";

    // A new width lays the page out anew, as it must.
    page.resize(600, 560);
    QApplication::processEvents();
    EXPECT_LT(editor->document()->pageSize().width(), width);
}
