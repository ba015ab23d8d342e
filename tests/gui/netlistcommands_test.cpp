// The window's commands for netlists and loops: File → "Import SPICE netlist" and "Export
// SPICE netlist", Loops → "Find loops".
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/workbench.h"
#include "gui/mainwindow.h"
#include "model/document.h"
#include "platform/messages.h"

using namespace qv;
using qv::gui::MainWindow;

namespace {

void write(const QString& path, const QByteArray& text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

int countOf(NTBEFizDisp& doc, const char* className) {
    int n = 0;
    for (NFizObj* o : doc.objects())
        n += QString::fromUtf8(o->className()) == QLatin1String(className);
    return n;
}

} // namespace

TEST(NetlistCommands, ImportReplacesTheSchemeOrSaysWhyNotExportWritesAndLoopsAreFound) {
    QTemporaryDir dir;
    MainWindow w;
    RecordingMessages messages;
    w.workbench().context().setMessages(&messages);
    QString chosen;
    w.fileChooser = [&](bool, const QString&) { return chosen; };

    write(dir.filePath("bridge.cir"), "bridge\nV1 a 0 10\nR1 a b 1k\nR2 a c 2k\nR3 b 0 3k\nR4 c 0 4k\n"
                                      "R5 b c 5k\nR6 a 0 6k\n.op\n.end\n");
    chosen = dir.filePath("bridge.cir");
    w.menuAction("Import SPICE netlist")->trigger();
    EXPECT_TRUE(messages.shown.isEmpty());
    NTBEFizDisp& doc = w.workbench().scheme();
    EXPECT_EQ(countOf(doc, "NTbeNode"), 4);
    EXPECT_EQ(countOf(doc, "NTbeLine"), 7);
    EXPECT_EQ(countOf(doc, "NFGroundObj"), 1);
    EXPECT_TRUE(w.workbench().isModified());
    EXPECT_TRUE(w.windowTitle().startsWith('*'));
    EXPECT_EQ(w.workbench().undoStack().undoText(), "Import SPICE netlist");

    // A netlist that cannot be taken: its lines are told and the scheme stays.
    write(dir.filePath("bad.cir"), "bad\nD1 a 0 dmod\nR1 a 0 1k\nQ1 a b 0 npn\n");
    chosen = dir.filePath("bad.cir");
    messages.answers = {MsgResult::No}; // "Save file?" over the imported scheme: no
    w.menuAction("Import SPICE netlist")->trigger();
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[0].text, "Save file?");
    EXPECT_EQ(messages.shown[1].caption, "Import SPICE netlist");
    EXPECT_EQ(messages.shown[1].text, "line 2: D1: semiconductor devices are not supported\n"
                                      "line 4: Q1: semiconductor devices are not supported");
    EXPECT_EQ(countOf(doc, "NTbeLine"), 7);

    messages.shown.clear();
    w.menuAction("Find loops")->trigger();
    EXPECT_TRUE(messages.shown.isEmpty()); // no loops of its own to replace
    EXPECT_EQ(doc.loops().count(), 4);

    chosen = dir.filePath("out");
    w.menuAction("Export SPICE netlist")->trigger();
    QFile out(dir.filePath("out.cir"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    const QByteArray text = out.readAll();
    EXPECT_TRUE(text.startsWith("out\n"));
    EXPECT_TRUE(text.contains("\nR1 "));
    EXPECT_TRUE(text.endsWith(".op\n.end\n"));
    w.workbench().setModified(false);
    w.workbench().context().setMessages(nullptr);
}
