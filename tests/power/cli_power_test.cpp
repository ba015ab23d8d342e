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

using namespace qv;

namespace {

QByteArray run(const QStringList& args, int& status) {
    QProcess p;
    p.start(QStringLiteral(QUORVEL_CLI), args);
    p.waitForFinished(60000);
    status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return p.readAllStandardOutput();
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(PowerCli, DumpShowsThePowerFieldsAndResaveKeepsTheFileByteForByte) {
    QTemporaryDir dir;
    const QString path = dir.filePath("network.tbe");
    {
        test::EveryPowerElement s;
        ASSERT_TRUE(saveDocumentFile(s.doc, path));
    }
    int status = -1;
    const QByteArray out = run({"dump", path}, status);
    ASSERT_EQ(status, 0);
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
    run({"resave", path, dir.filePath("again.tbe")}, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(bytesOf(dir.filePath("again.tbe")), bytesOf(path));
}
