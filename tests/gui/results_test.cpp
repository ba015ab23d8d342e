// The values of a solution on the scheme page: shown by View → "Show results" after the
// window's own solve command, hidden by the "Results" item of the Layers window, and kept out
// of the report's picture of the scheme.
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/operatingpoint.h"
#include "gui/layerlist.h"
#include "gui/mainwindow.h"
#include "gui/schemepage.h"
#include "modal.h"
#include "platform/canvas.h"
#include "platform/emfreader.h"
#include "support/testfiles.h"

using namespace qv;
using qv::gui::MainWindow;

namespace {

/// Pixels near the values' own colour.
int resultInk(const QImage& image) {
    const QColor want = toQColor(OperatingPoint::font(false).color);
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += std::abs(c.red() - want.red()) + std::abs(c.green() - want.green()) +
                     std::abs(c.blue() - want.blue()) <
                 60;
        }
    return n;
}

void solveByNodes(MainWindow& w) {
    onModal([](QDialog* d) {
        if (auto* ok = d->findChild<QPushButton*>("ok")) return ok->click();
        d->reject();
    });
    for (QAction* a : w.findChildren<QAction*>())
        if (a->text() == "Solve by node voltage method") return a->trigger();
    ADD_FAILURE() << "no solve command";
}

} // namespace

TEST(ResultsOnTheScheme, ShownAfterTheSolveHiddenByTheirLayerAndNotInTheReport) {
    for (const char* file : {"dc_parallel.tbe", "ac_rlc.tbe"}) {
        SCOPED_TRACE(file);
        QTemporaryDir home;
        MainWindow w(home.path());
        w.resize(1000, 700);
        w.show();
        ASSERT_TRUE(w.openScheme(qv::test::fixture(file)));
        w.workbench().scheme().insertSchemeImage = 1;
        QAction* show = w.menuAction(kShowResultsCaption);
        ASSERT_NE(show, nullptr);
        if (!show->isChecked()) show->trigger();
        solveByNodes(w);
        ASSERT_TRUE(w.workbench().operatingPoint().hasResults());
        w.pages()->setCurrentIndex(0);
        QApplication::processEvents();
        const QImage shown = w.schemePage()->grab().toImage();
        EXPECT_GT(resultInk(shown), 40);
        if (const QByteArray keep = qgetenv("QUORVEL_KEEP_PICTURES"); !keep.isEmpty())
            w.grab().save(QString::fromLocal8Bit(keep) + "/results-" + QString::fromLatin1(file) + ".png");

        // A second solve with the values shown: its report picture is the scheme alone.
        solveByNodes(w);
        EmfPicture emf;
        QString error;
        ASSERT_TRUE(emf.loadFile(home.filePath("pictures/Test2.emf"), &error)) << error.toStdString();
        QImage report(emf.pixelSize(), QImage::Format_RGB32);
        report.fill(Qt::white);
        {
            QPainter p(&report);
            emf.play(p, QRectF(QPointF(0, 0), QSizeF(report.size())));
        }
        EXPECT_EQ(resultInk(report), 0);

        // The "Results" item hides them; View → "Show results" as well.
        w.pages()->setCurrentIndex(0);
        QListWidgetItem* item = w.layerList()->item(int(kResultsLayerItem));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text(), kResultsLayerCaption);
        item->setCheckState(Qt::Unchecked);
        QApplication::processEvents();
        EXPECT_EQ(resultInk(w.schemePage()->grab().toImage()), 0);
        item->setCheckState(Qt::Checked);
        QApplication::processEvents();
        EXPECT_GT(resultInk(w.schemePage()->grab().toImage()), 40);
        show->trigger();
        QApplication::processEvents();
        EXPECT_EQ(resultInk(w.schemePage()->grab().toImage()), 0);
    }
}
