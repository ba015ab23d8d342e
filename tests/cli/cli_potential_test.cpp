// quorvel-cli potential, run as a user runs it: the picture of a loop's potential diagram after
// a node-voltage solution, and the errors with their exit statuses.
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/potentialcommand.h"
#include "app/workbench.h"
#include "support/process.h"
#include "support/testfiles.h"

namespace {

using qv::test::cli;
using qv::test::fixture;

using qv::test::ProgramRun;

/// The picture the window would show for the loop, made in this process.
QImage expectedPicture(const char* scheme, const QString& loop) {
    qv::Workbench wb;
    QString error;
    EXPECT_TRUE(wb.openScheme(fixture(scheme), &error)) << error.toStdString();
    qv::PotentialDiagram d;
    EXPECT_TRUE(qv::solvedPotentialDiagram(wb.scheme(), loop, d, error)) << error.toStdString();
    return d.image();
}

} // namespace

TEST(CliPotential, WritesTheLoopsDiagramInTheFormatOfTheName) {
    QTemporaryDir dir;
    const QImage expected = expectedPicture("dc_parallel.tbe", "2");
    ASSERT_EQ(expected.size(), QSize(477, 285));
    const struct {
        const char* name;
        const char* format;
    } cases[] = {{"p.png", "PNG"}, {"p.bmp", "BMP"}, {"p.picture", "BMP"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString out = dir.filePath(c.name);
        const ProgramRun r = cli({"potential", fixture("dc_parallel.tbe"), "--loop", "2", out});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_EQ(QImage(out, c.format).convertToFormat(QImage::Format_RGB32), expected);
    }
    const QString svg = dir.filePath("p.svg");
    ASSERT_EQ(cli({"potential", fixture("dc_parallel.tbe"), "--loop", "1", svg}).status, 0);
    QFile f(svg);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("<svg"));
    EXPECT_NE(expectedPicture("dc_parallel.tbe", "1"), expected) << "each loop its own diagram";
}

TEST(CliPotential, UnknownLoopsAndLoopsWithoutDcPotentialsFail) {
    QTemporaryDir dir;
    const QString out = dir.filePath("p.png");
    const struct Case {
        QStringList args;
        int status;
        QStringList errHas;
    } cases[] = {
        {{"potential", fixture("dc_parallel.tbe"), "--loop", "9", out},
         1,
         {"no loop \"9\"", "its loops are: 1, 2"}},
        {{"potential", fixture("dc_parallel.tbe"), out}, 2, {"--loop"}},
        {{"potential", fixture("dc_parallel.tbe"), "--loop", "1"}, 2, {"missing OUT"}},
        {{"potential", fixture("ac_rlc.tbe"), "--loop", "1", out}, 1, {"loop \"1\" cannot be drawn"}},
        {{"potential", fixture("no_such.tbe"), "--loop", "1", out}, 1, {"no_such.tbe"}},
        {{"potential", fixture("dc_parallel.tbe"), "--loop", "1", dir.filePath("no/such/p.png")},
         1,
         {"p.png"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const ProgramRun r = cli(c.args);
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        for (const QString& text : c.errHas)
            EXPECT_TRUE(r.err.contains(text)) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
}
