// The catalogues of wires, transformer types and voltage classes: records, files, the
// catalogue window and the entry dialogs.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <set>

#include "model/context.h"
#include "platform/binarystream.h"
#include "power/catalogue.h"
#include "power/cataloguedialogs.h"

using namespace qv;

namespace {

struct Workshop {
    Context ctx;
    ScriptedPresenter presenter;
    Workshop() { ctx.setPresenter(&presenter); }
    RecordingMessages& messages() { return *static_cast<RecordingMessages*>(ctx.messages()); }
};

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

NTransSpr nameplate10MVA() {
    NTransSpr t;
    t.itemName = "ТДН-10000/110";
    t.sNom = 10;
    t.uHigh = 115;
    t.uLow = 11;
    t.pxx = 14;
    t.ixx = 0.9;
    t.uk = 10.5;
    t.pk = 60;
    return t;
}

} // namespace

TEST(TransformerData, TheEquivalentCircuitOfA10MVATransformerIsComputedIntoTheFieldsAndStoredOnOk) {
    Workshop w;
    NTransSpr t = nameplate10MVA();
    TransformerDataDialog& dlg = w.ctx.dialog<TransformerDataDialog>();
    dlg.ctx = &w.ctx;
    dlg.entry = &t;
    dlg.show();
    dlg.pressed(QString::fromUtf8("Рассчитать Параметры"));
    // Only the fields change until OK.
    EXPECT_EQ(t.gt, 0);
    EXPECT_NEAR(dlg.field("gt").text.toDouble(), 1.0586, 1e-4);
    EXPECT_NEAR(dlg.field("bt").text.toDouble(), 6.8053, 1e-4);
    EXPECT_NEAR(dlg.field("transX").text.toDouble(), 138.86, 1e-2);
    EXPECT_NEAR(dlg.field("transR").text.toDouble(), 7.935, 1e-3);
    ASSERT_TRUE(dlg.ok());
    EXPECT_NEAR(double(t.gt), 1.0586, 1e-4);
    EXPECT_NEAR(double(t.bt), 6.8053, 1e-4);
    EXPECT_NEAR(double(t.transX), 138.86, 1e-2);
    EXPECT_NEAR(double(t.transR), 7.935, 1e-3);
    EXPECT_EQ(t.uLow, 11);
}

TEST(TransformerData, ANameplateFieldThatIsNotANumberStoresNothingAndKeepsTheDialogOpen) {
    Workshop w;
    NTransSpr t = nameplate10MVA();
    TransformerDataDialog& dlg = w.ctx.dialog<TransformerDataDialog>();
    dlg.ctx = &w.ctx;
    dlg.entry = &t;
    dlg.show();
    dlg.field("name").text = "renamed";
    dlg.field("ixx").text = "2";
    dlg.field("uk").text = "ten";
    EXPECT_FALSE(dlg.ok());
    EXPECT_EQ(t.ixx, Extended(0.9));
    EXPECT_EQ(t.itemName, "ТДН-10000/110");
    ASSERT_EQ(w.messages().shown.size(), 1);
    EXPECT_TRUE(w.messages().shown[0].text.contains("ten"));
    dlg.field("tapCount").text = "1.5"; // integers only
    dlg.field("uk").text = "10";
    EXPECT_FALSE(dlg.ok());
    dlg.field("tapCount").text = "19";
    EXPECT_TRUE(dlg.ok());
    EXPECT_EQ(t.tapCount, 19);
    EXPECT_EQ(t.itemName, "renamed");
}

TEST(Catalogue, EntryRecordsKeepTheirFieldsInTheFileOrder) {
    NWireSpr wire;
    wire.itemName = "АС-95";
    wire.g0 = 1, wire.r0 = 2, wire.b0 = 3, wire.section = 4, wire.maxCurrent = 5, wire.x0 = 6, wire.unom = 7;
    BinaryWriter w;
    wire.saveToStream(w);
    ASSERT_EQ(w.size(), wire.recordSize());
    ASSERT_EQ(w.size(), 101u + 7 * 10);
    // The reals follow the name in the record's order: G0, R0, B0, Section, MaxCurrent, X0, Unom.
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(decodeExtended(w.bytes().data() + 101 + 10 * i), i + 1);
    NWireSpr back;
    BinaryReader r(w.bytes());
    back.loadFromStream(r);
    EXPECT_EQ(back.itemName, "АС-95");
    EXPECT_EQ(back.unom, 7);

    NTransSpr t = nameplate10MVA();
    t.tapCount = 19;
    t.nominalTap = 10;
    BinaryWriter wt;
    t.saveToStream(wt);
    ASSERT_EQ(wt.size(), t.recordSize());
    ASSERT_EQ(wt.size(), 101u + 13 * 10 + 8);
    NTransSpr tb;
    BinaryReader rt(wt.bytes());
    tb.loadFromStream(rt);
    EXPECT_EQ(tb.uHigh, 115);
    EXPECT_EQ(tb.tapCount, 19);
    EXPECT_EQ(tb.nominalTap, 10);
}

TEST(Catalogue, AnEmptyCatalogueIsTheFourBytesOfItsCount) {
    QTemporaryDir dir;
    NSprOrginizer empty;
    ASSERT_TRUE(empty.saveFile(dir.filePath("LineSpr.spr")));
    EXPECT_EQ(fileBytes(dir.filePath("LineSpr.spr")), QByteArray(4, '\0'));
    NSprOrginizer back;
    back.append(std::make_unique<NWireSpr>());
    ASSERT_TRUE(back.loadFile(dir.filePath("LineSpr.spr")));
    EXPECT_EQ(back.count(), 0);
}

TEST(Catalogue, ADamagedFileLeavesTheCatalogueAsItWas) {
    QTemporaryDir dir;
    PowerCatalogues c;
    ASSERT_TRUE(c.transformers.saveFile(dir.filePath("t.spr")));
    const QByteArray full = fileBytes(dir.filePath("t.spr"));
    NTransSprOrginizer target;
    target.append(std::make_unique<NTransSpr>());
    target.at(0)->itemName = "kept";
    // Cut short, a byte too many, a negative and a huge count.
    QByteArray negative = full, huge = full;
    negative[3] = char(0x80);
    huge[2] = char(0x7F);
    for (const QByteArray& bad : {full.left(full.size() - 1), full + '\0', negative, huge}) {
        QFile f(dir.filePath("bad.spr"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bad);
        f.close();
        QString error;
        EXPECT_FALSE(target.loadFile(dir.filePath("bad.spr"), &error));
        EXPECT_TRUE(error.contains("bad.spr")) << error.toStdString();
        ASSERT_EQ(target.count(), 1);
        EXPECT_EQ(target.at(0)->itemName, "kept");
    }
    ASSERT_TRUE(target.loadFile(dir.filePath("t.spr")));
    EXPECT_EQ(target.fillNames(), c.transformers.fillNames());
}

TEST(Catalogue, TheDefaultsGiveEveryCommonVoltageItsOwnColour) {
    PowerCatalogues c;
    std::set<Colour> colours;
    for (Extended u : {0.4L, 6.0L, 10.0L, 35.0L, 110.0L, 220.0L}) {
        Colour col = c.voltageClasses.classColour(u);
        EXPECT_NE(col, 0u) << double(u);
        colours.insert(col);
    }
    EXPECT_EQ(colours.size(), 6u);
    EXPECT_EQ(c.voltageClasses.classColour(1000), 0u);
    EXPECT_GT(c.wires.count(), 0);
    EXPECT_GT(c.transformers.count(), 0);
}

TEST(Catalogue, TheColourOfAVoltageIsThatOfTheLastClassStrictlyAroundIt) {
    NUnomSprOrginizer classes;
    auto add = [&](Extended lo, Extended hi, Colour c) {
        auto v = std::make_unique<NUnomSpr>();
        v->uMin = lo;
        v->uMax = hi;
        v->colour = c;
        classes.append(std::move(v));
    };
    add(90, 150, 1);
    add(100, 120, 2);
    struct Case {
        Extended u;
        Colour expected;
    };
    for (Case c : {Case{95, 1}, Case{110, 2}, Case{120, 1}, Case{90, 0}, Case{150, 0}})
        EXPECT_EQ(classes.classColour(c.u), c.expected) << double(c.u);
}

TEST(CatalogueWindow, AddingCancellingDeletingAndChangingEntries) {
    Workshop w;
    NSprOrginizer wires;
    CatalogueWindow& win = w.ctx.dialog<CatalogueWindow>();
    win.ctx = &w.ctx;
    win.organizer = &wires;
    win.show();
    // Added with its dialog cancelled: still appended, with an empty name.
    win.pressed(CatalogueWindow::addButton());
    ASSERT_EQ(wires.count(), 1);
    EXPECT_EQ(win.field("items").items, QStringList{""});
    // Added and confirmed.
    w.presenter.scripts.push_back([](DialogModel& m) {
        m.field("name").text = QString::fromUtf8("АС-70");
        m.field("r0").text = "0.429";
        return m.ok();
    });
    win.pressed(CatalogueWindow::addButton());
    ASSERT_EQ(wires.count(), 2);
    EXPECT_EQ(static_cast<NWireSpr*>(wires.at(1))->r0, 0.429L);
    EXPECT_EQ(win.field("items").items, (QStringList{"", QString::fromUtf8("АС-70")}));
    // Nothing selected: "Изменить" opens nothing, "Удалить" deletes nothing.
    const int shown = int(w.presenter.shown.size());
    win.field("items").choice = -1;
    win.pressed(CatalogueWindow::changeButton());
    win.pressed(CatalogueWindow::deleteButton());
    EXPECT_EQ(int(w.presenter.shown.size()), shown);
    EXPECT_EQ(wires.count(), 2);
    // The selected entry is edited, then deleted.
    win.field("items").choice = 0;
    w.presenter.scripts.push_back([](DialogModel& m) {
        m.field("name").text = "renamed";
        return m.ok();
    });
    win.pressed(CatalogueWindow::changeButton());
    EXPECT_EQ(wires.at(0)->itemName, "renamed");
    win.pressed(CatalogueWindow::deleteButton());
    EXPECT_EQ(win.field("items").items, QStringList{QString::fromUtf8("АС-70")});
}

TEST(CatalogueWindow, TheCatalogueIsWrittenToItsFileAndReadBackAtTheNextStart) {
    QTemporaryDir dir;
    {
        Workshop w;
        w.presenter.scripts.push_back([](DialogModel& win) {
            win.pressed(CatalogueWindow::addButton()); // answered by the next script
            return win.ok();
        });
        w.presenter.scripts.push_back([](DialogModel& m) {
            m.field("unom").text = "500";
            m.field("uMin").text = "400";
            m.field("uMax").text = "600";
            m.field("colour").color = rgb(255, 0, 0);
            return m.ok();
        });
        ASSERT_TRUE(editCatalogue(w.ctx, CatalogueKind::VoltageClasses, dir.path()));
        ASSERT_TRUE(editCatalogue(w.ctx, CatalogueKind::Wires, dir.path())); // cancelled: unchanged
    }
    EXPECT_TRUE(QFile::exists(dir.filePath("UnomSpr.spr")));
    EXPECT_TRUE(QFile::exists(dir.filePath("LineSpr.spr")));
    EXPECT_FALSE(QFile::exists(dir.filePath("TransSpr.spr")));
    Workshop next;
    QStringList errors;
    loadPowerCatalogues(next.ctx, dir.path(), &errors);
    EXPECT_TRUE(errors.isEmpty());
    const NUnomSprOrginizer& classes = powerCatalogues(next.ctx).voltageClasses;
    EXPECT_EQ(classes.fillNames().last(), "500");
    EXPECT_EQ(classes.classColour(500), rgb(255, 0, 0));
}

TEST(CatalogueWindow, AProgramFolderThatCannotBeWrittenSendsTheFilesToTheUsersDataFolder) {
    QStandardPaths::setTestModeEnabled(true);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir(data).removeRecursively();
    Workshop w;
    ASSERT_TRUE(editCatalogue(w.ctx, CatalogueKind::Transformers, "/nonexistent/program"));
    EXPECT_TRUE(QFile::exists(QDir(data).filePath("TransSpr.spr")));
    // Read back from there at the next start.
    Workshop next;
    powerCatalogues(next.ctx).transformers.clear();
    loadPowerCatalogues(next.ctx, "/nonexistent/program");
    EXPECT_EQ(powerCatalogues(next.ctx).transformers.count(), PowerCatalogues().transformers.count());
    QDir(data).removeRecursively();
    QStandardPaths::setTestModeEnabled(false);
}

TEST(WireDialog, ShowsTheEntryAndStoresItOnlyWhenEveryFieldIsANumber) {
    Workshop w;
    NWireSpr wire;
    wire.itemName = "old";
    wire.r0 = 0.5;
    WireDialog& dlg = w.ctx.dialog<WireDialog>();
    dlg.ctx = &w.ctx;
    dlg.entry = &wire;
    dlg.show();
    EXPECT_EQ(dlg.field("r0").text, "0.5");
    dlg.field("name").text = "new";
    dlg.field("maxCurrent").text = "330";
    dlg.field("section").text = "";
    EXPECT_FALSE(dlg.ok());
    EXPECT_EQ(wire.maxCurrent, 0);
    EXPECT_EQ(wire.itemName, "old");
    dlg.field("section").text = "95";
    EXPECT_TRUE(dlg.ok());
    EXPECT_EQ(wire.maxCurrent, 330);
    EXPECT_EQ(wire.section, 95);
    EXPECT_EQ(wire.itemName, "new");
}
