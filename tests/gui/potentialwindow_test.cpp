// "Voltage diagramm": its layout at the first size and larger, the clipboard and the files, and
// the "Potential diagram" command from the main window.
#include "gui/potentialwindow.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "app/solvecommand.h"
#include "app/workbench.h"
#include "gui/mainwindow.h"
#include "modal.h"
#include "support/testfiles.h"

using namespace qv;
using qv::gui::MainWindow;
using qv::gui::PotentialWindow;

namespace {

using qv::test::fixture;

PotentialDiagram emfStep() {
    PotentialDiagram d;
    const Extended phi[] = {-2, 6, 1, -2}, x[] = {0, 0, 4, 8};
    d.setProfile(phi, x, 4);
    return d;
}

QPushButton* button(const QWidget& w, const char* text) {
    for (QPushButton* b : w.findChildren<QPushButton*>())
        if (b->text() == QLatin1String(text)) return b;
    ADD_FAILURE() << "no button " << text;
    return nullptr;
}

QLabel* label(const QWidget& w, const QString& name) {
    auto* l = w.findChild<QLabel*>(name);
    if (!l) ADD_FAILURE() << "no label " << name.toStdString();
    return l;
}

} // namespace

TEST(PotentialWindowTest, LayoutAtTheFirstSizeAndWhenMadeLarger) {
    PotentialWindow w;
    w.setDiagram(emfStep());
    w.show();
    EXPECT_EQ(w.windowTitle(), "Voltage diagramm");
    EXPECT_EQ(w.size(), QSize(587, 406));
    QWidget* area = w.findChild<QWidget*>("drawingArea");
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->size(), QSize(477, 285));
    EXPECT_EQ(area->mapTo(&w, QPoint(0, 0)), QPoint(90, 26));
    EXPECT_EQ(w.drawingSize(), QSize(477, 285));

    const int tops[] = {296, 256, 224, 192, 152, 120, 88, 48, 16};
    for (int k = 0; k < 9; ++k) {
        QLabel* l = label(w, QStringLiteral("potential%1").arg(k));
        ASSERT_NE(l, nullptr);
        EXPECT_EQ(l->text(), QString::number(k - 2));
        EXPECT_EQ(l->pos(), QPoint(40, tops[k]));
    }
    const int lefts[] = {192, 304, 432, 544};
    for (int k = 0; k < 4; ++k) {
        QLabel* l = label(w, QStringLiteral("abscissa%1").arg(k));
        ASSERT_NE(l, nullptr);
        EXPECT_EQ(l->text(), QString::number(2 * (k + 1)));
        EXPECT_EQ(l->pos(), QPoint(lefts[k], 320));
    }
    EXPECT_EQ(label(w, "voltUnit")->text(), QString::fromUtf8("В"));
    // At its place, or as little left of it as it takes to clear the top value.
    EXPECT_EQ(label(w, "voltUnit")->y(), 8);
    EXPECT_LE(label(w, "voltUnit")->x(), 32);
    EXPECT_GE(label(w, "voltUnit")->x(), 32 - 4);
    EXPECT_LT(label(w, "voltUnit")->geometry().right(), 40);
    EXPECT_EQ(label(w, "ohmUnit")->text(), QString::fromUtf8("Ом"));
    EXPECT_EQ(label(w, "ohmUnit")->pos(), QPoint(544, 336));
    EXPECT_EQ(button(w, "OK")->geometry(), QRect(40, 360, 145, 33));
    EXPECT_EQ(button(w, "Copy to cllipboard")->geometry(), QRect(208, 360, 177, 33));
    EXPECT_EQ(button(w, "Save To file")->geometry(), QRect(424, 360, 137, 33));

    // Larger: the drawing area takes the growth, the labels keep to their lines.
    w.resize(887, 606);
    QApplication::processEvents();
    EXPECT_EQ(w.drawingSize(), QSize(777, 485));
    EXPECT_EQ(w.picture().size(), QSize(777, 485));
    EXPECT_EQ(label(w, "potential0")->pos(), QPoint(40, 496));
    EXPECT_EQ(label(w, "potential8")->pos(), QPoint(40, 16));
    EXPECT_EQ(label(w, "potential4")->pos(), QPoint(40, 152 + 100));
    EXPECT_EQ(label(w, "abscissa3")->pos(), QPoint(844, 520));
    EXPECT_EQ(button(w, "Save To file")->geometry(), QRect(424, 560, 137, 33));

    // Never smaller than the first size.
    w.resize(300, 200);
    QApplication::processEvents();
    EXPECT_EQ(w.drawingSize(), QSize(477, 285));

    // A long label is moved left, and where that is not enough the frame makes room.
    PotentialDiagram d;
    const Extended phi[] = {0, 1.23456789012345L}, x[] = {0, 1};
    d.setProfile(phi, x, 2);
    w.setDiagram(d);
    QLabel* top = label(w, "potential8");
    EXPECT_EQ(top->text(), "1.23456789012345");
    EXPECT_LE(top->geometry().right(), area->mapTo(&w, QPoint(0, 0)).x() - 4);
    EXPECT_EQ(area->mapTo(&w, QPoint(area->width(), 0)).x(), 567) << "the right edge stays";
}

// The unit label "В" keeps clear of the top potential label, however long that one is, and
// of the drawing area.
TEST(PotentialWindowTest, TheVoltUnitKeepsClearOfTheTopLabel) {
    PotentialWindow w;
    w.show();
    const struct {
        Extended low, high;
    } profiles[] = {{-2, 6}, {0, 1.23456789012345L}, {-1e-7L, -1.00000000000001e-7L}, {0, 123456789}};
    for (const auto& p : profiles) {
        PotentialDiagram d;
        const Extended phi[] = {p.low, p.high}, x[] = {0, 1};
        d.setProfile(phi, x, 2);
        w.setDiagram(d);
        QLabel* top = label(w, "potential8");
        QLabel* unit = label(w, "voltUnit");
        const QRect area(w.findChild<QWidget*>("drawingArea")->mapTo(&w, QPoint(0, 0)), w.drawingSize());
        SCOPED_TRACE(top->text().toStdString());
        EXPECT_FALSE(unit->geometry().intersects(top->geometry()));
        EXPECT_FALSE(unit->geometry().intersects(area));
        EXPECT_GE(unit->x(), 0);
        EXPECT_GE(unit->y(), 0);
    }
}

TEST(PotentialWindowTest, CopyAndSaveThePictureOfTheDrawingArea) {
    PotentialWindow w;
    w.setDiagram(emfStep());
    w.show();
    w.resize(687, 456);
    QApplication::processEvents();
    const QImage expected = emfStep().image(577, 335);
    EXPECT_EQ(w.picture(), expected);

    button(w, "Copy to cllipboard")->click();
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), expected);

    QTemporaryDir dir;
    RecordingMessages messages;
    w.messages = &messages;
    QString answer;
    w.chooseFile = [&] { return answer; };
    for (const char* name : {"a.bmp", "b.png", "c.jpg"}) {
        answer = dir.filePath(name);
        button(w, "Save To file")->click();
        const QImage back(answer, QByteArray(name).endsWith("png") ? "PNG" : "BMP");
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), expected) << name;
    }
    answer = dir.filePath("d.svg");
    button(w, "Save To file")->click();
    EXPECT_TRUE(QFile::exists(answer));

    answer.clear(); // cancelled
    button(w, "Save To file")->click();
    answer = dir.filePath("missing/e.bmp");
    button(w, "Save To file")->click();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.contains("e.bmp"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 4);
}

// The menu command: the loop dialog, then the window with the chosen loop; a second command
// closed without OK shows the same loop again.
TEST(PotentialWindowTest, CommandShowsTheChosenLoopOfTheSolvedScheme) {
    MainWindow w;
    QString error;
    ASSERT_TRUE(w.workbench().openScheme(fixture("dc_parallel.tbe"), &error)) << error.toStdString();
    ASSERT_EQ(
        solveScheme(w.workbench().scheme(), SolveRequest::fromScheme(w.workbench().scheme(), "node")).status,
        SolveResult::Solved);
    QAction* command = w.menuAction("Potential diagram");
    ASSERT_NE(command, nullptr);
    ASSERT_TRUE(command->isEnabled());

    struct Seen {
        QString dialog, window;
        QStringList loops;
        QStringList abscissas;
        QSize area;
    };
    auto run = [&](int line) {
        Seen seen;
        onModal([&, line](QDialog* d) {
            seen.dialog = d->windowTitle();
            auto* list = d->findChild<QListWidget*>("loops");
            if (list)
                for (int i = 0; i < list->count(); ++i)
                    seen.loops << list->item(i)->text();
            onModal([&](QDialog* window) {
                seen.window = window->windowTitle();
                for (int k = 0; k < 4; ++k)
                    if (auto* l = window->findChild<QLabel*>(QStringLiteral("abscissa%1").arg(k)))
                        seen.abscissas << l->text();
                if (auto* p = qobject_cast<PotentialWindow*>(window)) seen.area = p->drawingSize();
                window->accept();
            });
            if (line < 0) return d->reject();
            if (list) list->setCurrentRow(line);
            d->findChild<QPushButton*>("ok")->click();
        });
        command->trigger();
        return seen;
    };
    Seen first = run(1);
    EXPECT_EQ(first.dialog, "Select Loop for voltage diagramm.");
    EXPECT_EQ(first.loops, (QStringList{"1", "2"}));
    EXPECT_EQ(first.window, "Voltage diagramm");
    EXPECT_EQ(first.abscissas, (QStringList{"2.5", "5", "7.5", "10"})) << "loop 2: 4 and 6 ohms";
    EXPECT_EQ(first.area.height(), 285);
    EXPECT_LT(first.area.width(), 477) << "fifteen-digit potentials take room from the drawing area";

    Seen second = run(-1);
    EXPECT_EQ(second.abscissas, first.abscissas);
    EXPECT_EQ(w.findChildren<PotentialWindow*>().size(), 1) << "one window, reused";

    Seen other = run(0);
    EXPECT_EQ(other.abscissas, (QStringList{"1.5", "3", "4.5", "6"})) << "loop 1: 2 and 4 ohms";

    // OK before any line is chosen, though the list has the keyboard: no diagram.
    QString window;
    bool noneSelected = false;
    QPointer<QTimer> lookout;
    onModal([&](QDialog* d) {
        lookout = onModal(
            [&](QDialog* shown) {
                window = shown->windowTitle();
                shown->accept();
            },
            40);
        if (auto* list = d->findChild<QListWidget*>("loops")) {
            list->setFocus();
            noneSelected = list->selectedItems().isEmpty();
        }
        d->findChild<QPushButton*>("ok")->click();
    });
    command->trigger();
    for (int i = 0; lookout && i < 400; ++i) // until the look-out for a window gives up
        QTest::qWait(5);
    EXPECT_TRUE(noneSelected);
    EXPECT_EQ(window.toStdString(), "") << "no window";
}
