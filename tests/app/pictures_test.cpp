// Pictures of the scheme in files and the report's picture files.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "app/pictures.h"
#include "app/workbench.h"
#include "graphics/primitives.h"
#include "model/reportpicture.h"
#include "platform/emfformat.h"
#include "platform/emfreader.h"
#include "support/ink.h"
#include "support/testfiles.h"

using namespace qv;

namespace {

using qv::test::bytesOf;
using qv::test::fixture;

uint32_t at32(const QByteArray& b, qsizetype off) {
    uint32_t v = 0;
    if (off + 4 <= b.size()) std::memcpy(&v, b.constData() + off, 4);
    return v;
}

/// The values of the first record of `type` (after its type and size), or none.
std::vector<int32_t> firstRecord(const QByteArray& b, uint32_t type) {
    for (qsizetype off = 0; off + 8 <= b.size();) {
        const uint32_t size = at32(b, off + 4);
        if (size < 8) break;
        if (at32(b, off) == type) {
            std::vector<int32_t> v;
            for (uint32_t i = 8; i + 4 <= size; i += 4)
                v.push_back(int32_t(at32(b, off + i)));
            return v;
        }
        off += size;
    }
    return {};
}

struct PictureTest : ::testing::Test {
    Workbench wb;
    QTemporaryDir dir;
    Rect bounds;
    void SetUp() override {
        QString error;
        ASSERT_TRUE(wb.openScheme(fixture("ac_rlc.tbe"), &error)) << error.toStdString();
        ASSERT_TRUE(wb.scheme().getBounds(bounds));
    }
    QString out(const char* name) const { return dir.filePath(name); }
};

} // namespace

TEST_F(PictureTest, EachExtensionGivesItsFormat) {
    const struct {
        const char* name;
        QByteArray magic;
        qsizetype at;
    } cases[] = {
        {"s.emf", QByteArray(" EMF"), 40},
        {"s.SVG", QByteArray("<svg"), -1},
        {"s.pdf", QByteArray("%PDF"), 0},
        {"s.png", QByteArray("\x89PNG", 4), 0},
    };
    for (const auto& c : cases) {
        QString error;
        ASSERT_TRUE(wb.exportSchemePicture(out(c.name), &error)) << c.name << error.toStdString();
        const QByteArray b = bytesOf(out(c.name));
        if (c.at < 0)
            EXPECT_TRUE(b.contains(c.magic)) << c.name;
        else
            EXPECT_EQ(b.mid(c.at, c.magic.size()), c.magic) << c.name;
    }
    // The PNG is the drawing with a margin of 15 pixels on every side.
    QImage png(out("s.png"));
    EXPECT_EQ(png.size(), QSize(bounds.right - bounds.left + 30, bounds.bottom - bounds.top + 30));
    QRect ink = test::inkBox(png);
    EXPECT_GE(ink.left(), 13);
    EXPECT_LE(ink.right(), png.width() - 14);
}

TEST_F(PictureTest, RefusalsSayWhy) {
    QString error;
    EXPECT_FALSE(wb.exportSchemePicture(out("s.bmp"), &error));
    EXPECT_TRUE(error.contains(".emf, .svg, .pdf or .png")) << error.toStdString();
    EXPECT_FALSE(wb.exportSchemePicture(dir.filePath("no/such/folder/s.emf"), &error));
    EXPECT_TRUE(error.contains("s.emf")) << error.toStdString();
    EXPECT_FALSE(QFile::exists(out("s.bmp")));
}

TEST_F(PictureTest, SaveImageMetafileHasTheScreensScaleAndTheWholeDrawing) {
    // 96 pixels per inch: 38 pixels per centimetre.
    const QByteArray b = wb.scheme().makeMetafile(3800, 3800);
    const int32_t w = bounds.right - bounds.left + 30, h = bounds.bottom - bounds.top + 30;
    const auto header = firstRecord(b, emf::Header);
    ASSERT_GE(header.size(), 8u);
    // Frame (hundredths of a millimetre) holds the margins: nothing is cut off.
    EXPECT_EQ(header[4], 0);
    EXPECT_EQ(header[6], int32_t(std::lround(w * 100000.0 / 3800)));
    EXPECT_EQ(header[7], int32_t(std::lround(h * 100000.0 / 3800)));
    EXPECT_EQ(firstRecord(b, emf::SetMapMode), std::vector<int32_t>{emf::MmIsotropic});
    EXPECT_EQ(firstRecord(b, emf::SetWindowOrgEx), (std::vector<int32_t>{bounds.left - 15, bounds.top - 15}));
    EXPECT_EQ(firstRecord(b, emf::SetViewportExtEx), (std::vector<int32_t>{1000, 1000}));
    // h = 1920 / 508 * (100000 / 3800) = 99.46 -> 99; 100000 / 99 -> 1010.
    EXPECT_EQ(firstRecord(b, emf::SetWindowExtEx), (std::vector<int32_t>{1010, 1010}));
    // The grid is for editing; pictures leave it out.
    EXPECT_TRUE(firstRecord(b, emf::SetPixelV).empty());
}

TEST_F(PictureTest, MetafileShowsWhatThePngShows) {
    QString error;
    ASSERT_TRUE(wb.exportSchemePicture(out("s.emf"), &error));
    ASSERT_TRUE(wb.exportSchemePicture(out("s.png"), &error));
    EmfPicture pic;
    ASSERT_TRUE(pic.loadFile(out("s.emf"), &error)) << error.toStdString();
    const QImage png(out("s.png"));
    EXPECT_LE(std::abs(pic.pixelSize().width() - png.width()), 2);
    EXPECT_EQ(pic.skippedRecords(), 0);
    QImage played = pic.toImage().scaled(png.size());
    EXPECT_GT(test::inkCovered(png, played, 2), 0.97);
    EXPECT_GT(test::inkCovered(played, png, 2), 0.97);
}

TEST_F(PictureTest, ReportMetafileFrameIsTheDrawingWithItsMargin) {
    wb.scheme().exportFileName = out("r.emf");
    QString error;
    ASSERT_TRUE(wb.scheme().exportMetafileFile(&error)) << error.toStdString();
    const QByteArray b = bytesOf(out("r.emf"));
    const auto header = firstRecord(b, emf::Header);
    ASSERT_GE(header.size(), 8u);
    const double k = 2540.0 / 96;
    EXPECT_NEAR(header[6] - header[4], (bounds.right - bounds.left + 30) * k, 1);
    EXPECT_EQ(firstRecord(b, emf::SetMapMode), std::vector<int32_t>{emf::MmAnisotropic});
    EXPECT_EQ(firstRecord(b, emf::SetWindowOrgEx), (std::vector<int32_t>{5, 5}));
    EXPECT_EQ(firstRecord(b, emf::SetWindowExtEx), (std::vector<int32_t>{100, 100}));
    // The drawing sits inside the frame with room on every side.
    EmfPicture pic;
    ASSERT_TRUE(pic.load(b, &error));
    QRect ink = test::inkBox(pic.toImage());
    EXPECT_GE(ink.left(), 12);
    EXPECT_GE(ink.top(), 12);
    EXPECT_LE(ink.right(), pic.pixelSize().width() - 12);
    EXPECT_LE(ink.bottom(), pic.pixelSize().height() - 12);
}

TEST_F(PictureTest, EmptyDocumentGivesAnEmptyPicture) {
    NLayerFDisp empty;
    const QByteArray b = empty.makeMetafile(3800, 3800);
    EmfPicture pic;
    QString error;
    ASSERT_TRUE(pic.load(b, &error)) << error.toStdString();
    EXPECT_FALSE(test::inkBox(pic.toImage()).isValid());
}

// ---- report pictures ----

struct ReportPictureTest : ::testing::Test {
    QTemporaryDir home;
    Workbench wb{home.path()};
    QString picture(int n) const { return home.filePath(QStringLiteral("pictures/Test%1.emf").arg(n)); }
};

TEST_F(ReportPictureTest, EachPictureTakesTheNextNumber) {
    ReportPicture first = writeReportPicture(wb.scheme());
    ASSERT_TRUE(first) << first.error.toStdString();
    EXPECT_EQ(QFileInfo(first.path), QFileInfo(picture(1)));
    ReportPicture second = writeReportPicture(wb.scheme());
    ASSERT_TRUE(second);
    EXPECT_EQ(QFileInfo(second.path), QFileInfo(picture(2)));
    EXPECT_EQ(wb.context().pictureCounter, 2);
    EmfPicture pic;
    QString error;
    EXPECT_TRUE(pic.loadFile(second.path, &error)) << error.toStdString();
}

TEST_F(ReportPictureTest, ANumberWhoseFileCannotGoIsPassedOver) {
    // A non-empty folder of that name cannot be deleted as a file.
    ASSERT_TRUE(QDir().mkpath(picture(1) + "/inside"));
    ReportPicture r = writeReportPicture(wb.scheme());
    ASSERT_TRUE(r) << r.error.toStdString();
    EXPECT_EQ(QFileInfo(r.path), QFileInfo(picture(2)));
}

TEST_F(ReportPictureTest, OldPictureOfTheSameNumberIsReplaced) {
    QDir().mkpath(home.filePath("pictures"));
    QFile old(picture(1));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    ReportPicture r = writeReportPicture(wb.scheme());
    ASSERT_TRUE(r);
    EXPECT_EQ(QFileInfo(r.path), QFileInfo(picture(1)));
    EXPECT_EQ(bytesOf(picture(1)).mid(40, 4), QByteArray(" EMF"));
}

TEST_F(ReportPictureTest, AFolderRemovedBetweenPicturesIsChosenAgain) {
    ASSERT_TRUE(writeReportPicture(wb.scheme()));
    // The user clears the pictures away: the next picture makes the folder again.
    ASSERT_TRUE(QDir(home.filePath("pictures")).removeRecursively());
    ReportPicture r = writeReportPicture(wb.scheme());
    ASSERT_TRUE(r) << r.error.toStdString();
    EXPECT_EQ(QFileInfo(r.path), QFileInfo(picture(2)));
    EXPECT_TRUE(QFileInfo(r.path).isFile());
    // The next number's file cannot go: it is passed over, as for the first picture.
    ASSERT_TRUE(QDir().mkpath(picture(3) + "/inside"));
    r = writeReportPicture(wb.scheme());
    ASSERT_TRUE(r) << r.error.toStdString();
    EXPECT_EQ(QFileInfo(r.path), QFileInfo(picture(4)));
    EXPECT_EQ(wb.context().pictureCounter, 4);
}

TEST_F(ReportPictureTest, AfterTheUsersDataFolderStoodInTheProgramsFolderIsTriedAgain) {
    QStandardPaths::setTestModeEnabled(true);
    // A file where the pictures folder should be: the picture goes to the user's data folder.
    QFile blocker(home.filePath("pictures"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ReportPicture r = writeReportPicture(wb.scheme());
    ASSERT_TRUE(r) << r.error.toStdString();
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    EXPECT_TRUE(r.path.startsWith(data)) << r.path.toStdString();
    QFile::remove(r.path);
    ASSERT_TRUE(blocker.remove());
    r = writeReportPicture(wb.scheme());
    ASSERT_TRUE(r) << r.error.toStdString();
    EXPECT_EQ(QFileInfo(r.path), QFileInfo(picture(2)));
    QStandardPaths::setTestModeEnabled(false);
}

TEST(ReportPictureFolder, FallsBackToTheUsersDataFolderThenFails) {
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir scratch;
    // A file where the program's folder should be: no folder can be made inside it.
    const QString blocked = scratch.filePath("file");
    QFile f(blocked);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QString error;
    const QString folder = reportPictureFolder(blocked, &error);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    ASSERT_FALSE(data.isEmpty());
    EXPECT_EQ(folder, QDir::cleanPath(QDir(data).filePath("pictures"))) << error.toStdString();
    QDir(folder).removeRecursively();

    // Neither folder: an error that names where it looked.
    const QString savedHome = qEnvironmentVariable("HOME");
    qputenv("HOME", blocked.toLocal8Bit());
    qputenv("XDG_DATA_HOME", (blocked + "/data").toLocal8Bit());
    QStandardPaths::setTestModeEnabled(false);
    error.clear();
    EXPECT_TRUE(reportPictureFolder(blocked, &error).isEmpty());
    EXPECT_TRUE(error.startsWith("Cannot create a folder for the report pictures")) << error.toStdString();
    EXPECT_TRUE(error.contains(blocked)) << error.toStdString();
    qputenv("HOME", savedHome.toLocal8Bit());
    qunsetenv("XDG_DATA_HOME");
}

// ---- LibreOffice ----

TEST_F(PictureTest, LibreOfficeShowsOurMetafileAsWeDrawIt) {
    const QString office = QStandardPaths::findExecutable("soffice");
    if (office.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: the metafile was not checked in it";
    QString error;
    ASSERT_TRUE(wb.exportSchemePicture(out("scheme.emf"), &error));
    ASSERT_TRUE(wb.exportSchemePicture(out("scheme.png"), &error));
    QProcess p;
    p.setProgram(office);
    // A profile of its own, so a running office or another test does not get in the way.
    p.setArguments({"-env:UserInstallation=file://" + dir.filePath("profile"), "--headless", "--convert-to",
                    "png", "--outdir", dir.filePath("office"), out("scheme.emf")});
    p.start();
    ASSERT_TRUE(p.waitForFinished(180000)) << "LibreOffice did not finish";
    const QImage office_png(dir.filePath("office/scheme.png"));
    ASSERT_FALSE(office_png.isNull()) << p.readAllStandardError().toStdString();
    const auto [ours, theirs] = test::alignedInk(QImage(out("scheme.png")), office_png);
    ASSERT_FALSE(ours.isNull());
    ASSERT_FALSE(theirs.isNull()) << "LibreOffice's picture is empty";
    if (const QByteArray keep = qgetenv("QUORVEL_KEEP_PICTURES"); !keep.isEmpty()) {
        ours.save(QString::fromLocal8Bit(keep) + "/ours.png");
        theirs.save(QString::fromLocal8Bit(keep) + "/office.png");
    }
    // Scaled to one size, almost every stroke of one has a stroke of the other close by.
    EXPECT_GT(test::inkCovered(ours, theirs, 3), 0.9);
    EXPECT_GT(test::inkCovered(theirs, ours, 3), 0.9);
}

TEST_F(PictureTest, MetafileOfAnotherProgramShowsTheSameDrawing) {
    // LibreOffice's metafile of this scheme's SVG picture: paths, clipping, comments.
    EmfPicture pic;
    QString error;
    ASSERT_TRUE(pic.loadFile(qv::test::dataPath(QStringLiteral("pictures/ac_rlc_by_office.emf")), &error))
        << error.toStdString();
    const QImage played = pic.toImage();
    // Only the clipping and the comments are left out.
    EXPECT_LE(pic.skippedRecords(), 4);
    ASSERT_TRUE(wb.exportSchemePicture(out("s.png"), &error));
    const auto [ours, theirs] = test::alignedInk(QImage(out("s.png")), played);
    ASSERT_FALSE(theirs.isNull());
    if (const QByteArray keep = qgetenv("QUORVEL_KEEP_PICTURES"); !keep.isEmpty())
        played.save(QString::fromLocal8Bit(keep) + "/office-metafile-played.png");
    EXPECT_GT(test::inkCovered(ours, theirs, 3), 0.9);
    EXPECT_GT(test::inkCovered(theirs, ours, 3), 0.9);
}

TEST(DocumentPicture, ClipboardCarriesMetafileAndImageButHugeDrawingsNoImage) {
    NLayerFDisp doc;
    auto* line = new NGrLine();
    line->owner = &doc;
    line->setPoints({0, 0}, {400, 10});
    ASSERT_TRUE(doc.add(line));
    std::unique_ptr<QMimeData> data(documentPictureMimeData(doc, 10000, 10000));
    EmfPicture pic;
    QString error;
    EXPECT_TRUE(pic.load(data->data("image/x-emf"), &error)) << error.toStdString();
    const QImage image = qvariant_cast<QImage>(data->imageData());
    EXPECT_EQ(image.size(), QSize(430, 40));

    // Too large for an image: the metafile still comes, the PNG is refused with a reason.
    line->setPoints({0, 0}, {30000, 10});
    QTemporaryDir dir;
    EXPECT_TRUE(writeDocumentPicture(doc, dir.filePath("big.emf"), 3800, 3800, &error))
        << error.toStdString();
    EXPECT_FALSE(writeDocumentPicture(doc, dir.filePath("big.png"), 3800, 3800, &error));
    EXPECT_TRUE(error.contains("too large")) << error.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("big.png")));
    data.reset(documentPictureMimeData(doc, 10000, 10000));
    EXPECT_TRUE(data->hasFormat("image/x-emf"));
    EXPECT_FALSE(data->hasImage());
}
