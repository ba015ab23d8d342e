// A scheme file with every power element, through the command-line tool as a user runs it.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "io/documentfile.h"
#include "support/powerscheme.h"
#include "support/testfiles.h"

using namespace qv;

using qv::test::bytesOf;

TEST(PowerCli, DumpShowsThePowerFieldsAndResaveKeepsTheFileByteForByte) {
    QTemporaryDir dir;
    const QString path = dir.filePath("network.tbe");
    {
        test::EveryPowerElement s;
        ASSERT_TRUE(saveDocumentFile(s.doc, path));
    }
    const test::ProgramRun dump = test::cli({"dump", path});
    ASSERT_EQ(dump.status, 0) << dump.err.toStdString();
    const QByteArray out = dump.out.toUtf8();
    QJsonObject byClass;
    for (const QJsonValue& v : QJsonDocument::fromJson(out).object()["objects"].toArray())
        if (!byClass.contains(v["class"].toString())) byClass[v["class"].toString()] = v; // the first of each
    auto of = [&](const char* cls) { return byClass[cls].toObject(); };
    EXPECT_EQ(of("NPowerNode")["Unom"].toDouble(), 110);
    EXPECT_EQ(of("NPowerNode")["LoadP"].toDouble(), 12.5);
    EXPECT_EQ(of("NPowerLine")["LengthKm"].toDouble(), 12.5);
    EXPECT_EQ(of("NPowerLine")["WireKind"].toString(), QString::fromUtf8("АС-120/19 110кВ"));
    EXPECT_EQ(of("NTransStat")["TapNumber"].toInt(), 5);
    EXPECT_EQ(of("NTransStat")["Transformer"].toObject()["SNom"].toDouble(), 10);
    EXPECT_EQ(of("NFTransForm")["TransKind"].toString(), QString::fromUtf8("ТДН-10000/110"));
    EXPECT_EQ(of("NFTransForm")["Figure"].toObject()["Radius"].toInt(), 15);
    EXPECT_EQ(of("NFBreaker")["Figure"].toObject()["BladeOffset"].toInt(), 2);
    ASSERT_EQ(test::cli({"resave", path, dir.filePath("again.tbe")}).status, 0);
    EXPECT_EQ(bytesOf(dir.filePath("again.tbe")), bytesOf(path));
}
