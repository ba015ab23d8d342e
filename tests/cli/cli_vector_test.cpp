// quorvel-cli vector, and dump and resave of vector diagrams and workshops.
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/process.h"
#include "support/testfiles.h"

namespace {

using qv::test::bytesOf;
using qv::test::cli;
using qv::test::fixture;

using qv::test::ProgramRun;

/// The classes and vector kinds in a dump, counted.
struct Counts {
    int currents = 0, voltages = 0, labels = 0;
};
Counts countsOf(const QJsonObject& dump) {
    Counts c;
    for (const auto& v : dump["objects"].toArray()) {
        const QJsonObject o = v.toObject();
        if (o["class"] == "NVector") (o["VectorKind"].toInt() == 1 ? c.currents : c.voltages)++;
        if (o["class"] == "NElmLabel") ++c.labels;
    }
    return c;
}

} // namespace

TEST(CliVector, WritesTheDiagramWhichDumpAndResaveRead) {
    QTemporaryDir dir;
    const QString qvv = dir.filePath("d.qvv");
    ProgramRun r = cli({"vector", fixture("ac_rlc.tbe"), qvv});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    ProgramRun dump = cli({"dump", qvv});
    ASSERT_EQ(dump.status, 0) << dump.err.toStdString();
    const QJsonObject root = QJsonDocument::fromJson(dump.out.toUtf8()).object();
    const Counts all = countsOf(root);
    EXPECT_GT(all.currents, 0);
    EXPECT_GT(all.voltages, 0);
    EXPECT_EQ(all.labels, all.currents + all.voltages);
    ASSERT_EQ(root["layers"].toArray().size(), 8);
    EXPECT_EQ(root["layers"][0]["name"], "Layer1");
    EXPECT_EQ(root["layers"][0]["objects"].toArray().size(), all.currents);
    for (const auto& v : root["objects"].toArray()) {
        const QJsonObject o = v.toObject();
        if (o["class"] != "NVector") continue;
        const QJsonObject label = root["objects"][o["VectorLabel"].toInt()].toObject();
        EXPECT_EQ(label["class"], "NElmLabel");
        EXPECT_EQ(label["IndexText"], o["IndexText"]);
        EXPECT_EQ(label["Removable"], 0);
    }

    const QString again = dir.filePath("again.qvv");
    ASSERT_EQ(cli({"resave", qvv, again}).status, 0);
    EXPECT_EQ(bytesOf(again), bytesOf(qvv));

    // One kind of vectors only, and the scales.
    struct Case {
        QStringList options;
        bool currents, voltages;
    };
    for (const Case& c : {Case{{"--no-voltages"}, true, false}, Case{{"--no-currents"}, false, true},
                          Case{{"--current-scale", "0.5", "--voltage-scale", "20"}, true, true}}) {
        SCOPED_TRACE(c.options.join(' ').toStdString());
        const QString out = dir.filePath("c.qvv");
        ASSERT_EQ(cli(QStringList{"vector", fixture("ac_rlc.tbe"), out} + c.options).status, 0);
        const Counts n = countsOf(QJsonDocument::fromJson(cli({"dump", out}).out.toUtf8()).object());
        EXPECT_EQ(n.currents, c.currents ? all.currents : 0);
        EXPECT_EQ(n.voltages, c.voltages ? all.voltages : 0);
    }
}

TEST(CliVector, PicturesAndRefusals) {
    QTemporaryDir dir;
    for (const char* name : {"v.png", "v.svg"}) {
        ProgramRun r = cli({"vector", fixture("ac_rlc.tbe"), dir.filePath(name)});
        ASSERT_EQ(r.status, 0) << name << r.err.toStdString();
    }
    EXPECT_FALSE(QImage(dir.filePath("v.png")).isNull());
    EXPECT_TRUE(bytesOf(dir.filePath("v.svg")).contains("<svg"));

    struct Case {
        QStringList args;
        int status;
    };
    const Case cases[] = {
        {{"vector", fixture("ac_rlc.tbe"), dir.filePath("x.pdf")}, 2},
        {{"vector", fixture("ac_rlc.tbe"), dir.filePath("x.qvv"), "--current-scale", "0"}, 2},
        {{"vector", fixture("ac_rlc.tbe"), dir.filePath("x.qvv"), "--voltage-scale", "ten"}, 2},
        {{"vector", fixture("dc_parallel.tbe"), dir.filePath("x.qvv")}, 1},
        {{"resave", fixture("ac_rlc.tbe"), dir.filePath("x.qvv")}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        ProgramRun r = cli(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_FALSE(r.err.trimmed().isEmpty());
        EXPECT_FALSE(QFile::exists(dir.filePath("x.qvv")));
    }
}

TEST(CliVector, WorkshopsDumpBothDocumentsAndResaveUnchanged) {
    QTemporaryDir dir;
    const QString qvv = dir.filePath("d.qvv");
    ASSERT_EQ(cli({"vector", fixture("ac_rlc.tbe"), qvv}).status, 0);
    // A workshop is the scheme record, the vector record and the page's text, one after another.
    QFile w(dir.filePath("w.qvw"));
    ASSERT_TRUE(w.open(QIODevice::WriteOnly));
    w.write(bytesOf(fixture("ac_rlc.tbe")) + bytesOf(qvv) + QByteArray("{\\rtf1 text}"));
    w.close();
    ProgramRun dump = cli({"dump", w.fileName()});
    ASSERT_EQ(dump.status, 0) << dump.err.toStdString();
    const QJsonObject root = QJsonDocument::fromJson(dump.out.toUtf8()).object();
    EXPECT_FALSE(root["scheme"]["objects"].toArray().isEmpty());
    EXPECT_EQ(root["vectorDiagram"], QJsonDocument::fromJson(cli({"dump", qvv}).out.toUtf8()).object());
    const QString again = dir.filePath("again.qvw");
    ASSERT_EQ(cli({"resave", w.fileName(), again}).status, 0);
    EXPECT_EQ(bytesOf(again), bytesOf(w.fileName()));
}
