// Writes the seed corpus of every fuzz target into tests/data/fuzz (or the folder given in
// QUORVEL_FUZZ_SEEDS), from the tests' own fixtures: the scheme files of the independent
// writer, the schemes the tests build by clicks, the element templates, the catalogues, the
// sample report and the metafiles. Run by scripts/fuzz-seeds.sh; the output is committed.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

#include "app/netlistimport.h"
#include "app/recovery.h"
#include "app/solvecommand.h"
#include "app/workbench.h"
#include "diagrams/vectordiagram.h"
#include "io/workshopfile.h"
#include "platform/binarystream.h"
#include "platform/emfwriter.h"
#include "power/catalogue.h"
#include "report/reportsample.h"
#include "report/rtf.h"
#include "support/emfsample.h"
#include "support/powerscheme.h"
#include "support/testfiles.h"

using namespace qv;

namespace {

QString outFolder() {
    const QString given = qEnvironmentVariable("QUORVEL_FUZZ_SEEDS");
    return given.isEmpty() ? test::dataPath(QStringLiteral("fuzz")) : given;
}

void put(const char* target, const char* name, const QByteArray& bytes) {
    const QString folder = QDir(outFolder()).filePath(QString::fromLatin1(target));
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile f(QDir(folder).filePath(QStringLiteral("seed-") + QString::fromLatin1(name)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << name;
    f.write(bytes);
}

QByteArray bytes(const BinaryWriter& w) {
    return QByteArray(reinterpret_cast<const char*>(w.bytes().data()), qsizetype(w.size()));
}

QByteArray recordOf(FizDisp& doc) {
    BinaryWriter w;
    doc.saveToStream(w);
    return bytes(w);
}

/// A small DC scheme drawn by clicks: two nodes, two branches, a resistor, a source, a loop.
QByteArray smallScheme() {
    test::Scheme s;
    NTbeNode* a = s.node(100, 100);
    NTbeNode* b = s.node(300, 100);
    s.branch(a, b);
    s.branch(b, a, {{300, 300}, {100, 300}});
    return recordOf(s.doc);
}

/// A diagram with a vector of each kind, a hand-drawn line and a point.
QByteArray smallDiagram(Context& ctx) {
    NVectDiaDisp doc(&ctx);
    doc.activeScale = 10;
    doc.addVector(2, "D", 10, 0, 0, 0, "U", "R1");
    doc.addVector(1, "", 0, 0, 1, -2, "I", "2");
    auto* line = new NGrLine;
    line->setPoints({0, 0}, {100, 100});
    doc.add(line);
    doc.add(new NVDPoint);
    return recordOf(doc);
}

} // namespace

TEST(FuzzSeeds, Write) {
    Workbench wb;
    // Schemes, to be read and to be solved.
    for (const char* name : {"dc_parallel.tbe", "dc_current_source_ground.tbe", "ac_rlc.tbe"}) {
        put("scheme", name, test::bytesOf(test::fixture(name)));
        put("solve", name, test::bytesOf(test::fixture(name)));
    }
    put("scheme", "small.tbe", smallScheme());
    {
        test::EveryPowerElement power;
        put("scheme", "power.tbe", recordOf(power.doc));
    }
    put("scheme", "empty.tbe", recordOf(wb.scheme()));

    // Vector diagrams, and a workshop with all three pages: the AC scheme solved by node
    // voltages, its report and its diagram.
    put("vector", "small.qvv", smallDiagram(wb.context()));
    put("vector", "empty.qvv", recordOf(wb.vectorDoc()));
    QString error;
    ASSERT_TRUE(wb.openScheme(test::fixture("ac_rlc.tbe"), &error)) << error.toStdString();
    QTextDocument page;
    QTextCursor caret(&page);
    SolveRequest request = SolveRequest::fromScheme(wb.scheme(), "node");
    request.picture = false;
    ASSERT_EQ(solveIntoDocument(wb.scheme(), request, caret).status, SolveResult::Solved);
    wb.buildVectorDiagram(1, 10, true, true);
    put("vector", "ac_rlc.qvv", recordOf(wb.vectorDoc()));
    const QByteArray report = Workbench::solutionRecord(page);
    const QByteArray workshop = recordOf(wb.scheme()) + recordOf(wb.vectorDoc()) + report;
    put("workshop", "ac_rlc.qvw", workshop);
    put("workshop", "html.qvw", smallScheme() + smallDiagram(wb.context()) + "<p>Solution <b>page</b></p>");
    put("workshop", "plain.qvw", smallScheme() + smallDiagram(wb.context()) + "Solution page");

    // Recovery copies.
    put("recovery", "ac_rlc.qvr",
        writeRecoveryRecord(
            {QDateTime::fromSecsSinceEpoch(1765380000, Qt::UTC), "/home/u/ac_rlc.qvw", workshop}));
    put("recovery", "unnamed.qvr",
        writeRecoveryRecord({QDateTime::fromSecsSinceEpoch(1765380000, Qt::UTC), QString(),
                             smallScheme() + smallDiagram(wb.context())}));

    // Element templates.
    for (const QFileInfo& f : QDir(test::requiredEnvironment("QUORVEL_ELEMENTS")).entryInfoList({"*.elm"}))
        put("template", f.fileName().toLatin1().constData(), test::bytesOf(f.absoluteFilePath()));

    // Catalogues: the built-in ones and an empty one.
    PowerCatalogues defaults;
    const std::pair<const char*, NSprOrginizer*> catalogues[] = {
        {"wires", &defaults.wires},
        {"transformers", &defaults.transformers},
        {"voltageclasses", &defaults.voltageClasses}};
    for (auto [target, organizer] : catalogues) {
        BinaryWriter w;
        organizer->saveToStream(w);
        put(target, "builtin.spr", bytes(w));
        put(target, "empty.spr", QByteArray(4, '\0'));
    }

    // Rich text: our own report with a picture, and what other producers write.
    {
        QTemporaryDir pictures;
        QTextDocument sample;
        writeSampleReport(sample, pictures.path());
        put("rtf", "report.rtf", writeRtf(sample));
    }
    put("rtf", "solution.rtf", report);
    put("rtf", "foreign.rtf",
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman\\fcharset204 Times New Roman;}"
        "{\\f1\\ftech\\fcharset2 Symbol;}}{\\colortbl;\\red255\\green0\\blue0;}{\\stylesheet{\\s0 Normal;}}"
        "{\\info{\\title T}}{\\*\\generator G;}\\pard\\qc\\f0\\fs28\\cf1 \\'cf\\u1056?\\uc2\\u1077\\'e5\\'e5 "
        "{\\uc0\\u1096}\\u-10187?\\u-9216?\\f1 w\\f0\\par{\\field{\\*\\fldinst{ HYPERLINK \"x\" "
        "}}{\\fldrslt{link}}}"
        "{\\object\\objemb{\\*\\objclass Eq}{\\*\\objdata 0102}{\\result shown}}{\\upr{a}{\\*\\ud{u}}}"
        "\\b bold\\b0\\i italic\\i0\\ul under\\ulnone\\sub 2\\nosupersub\\super 3\\nosupersub\\par}");

    // Metafiles: another program's and ours.
    put("emf", "office.emf", test::bytesOf(test::dataPath(QStringLiteral("pictures/ac_rlc_by_office.emf"))));
    {
        EmfCanvas canvas;
        canvas.setDescription(QStringLiteral("Quorvel"), QStringLiteral("sample"));
        test::drawSample(canvas);
        put("emf", "sample.emf", canvas.finish());
    }
    put("emf", "scheme.emf", wb.scheme().makeMetafile(3780, 3780));

    // SPICE netlists: the fixtures' schemes as the export writes them, and the forms people
    // write by hand (comments, continuations, scales, an AC sweep of one point).
    for (const char* name : {"dc_parallel.tbe", "dc_current_source_ground.tbe", "ac_rlc.tbe"}) {
        ASSERT_TRUE(wb.openScheme(test::fixture(name), &error)) << error.toStdString();
        const SpiceNetlist netlist = writeSpiceNetlist(wb.scheme(), name);
        ASSERT_TRUE(netlist.error.empty()) << netlist.error;
        put("netlist", (QString::fromLatin1(name).chopped(4) + ".cir").toLatin1().constData(),
            QByteArray::fromStdString(netlist.text));
    }
    put("netlist", "forms.cir",
        "Two meshes\r\n* comment\nvIn IN 0 dc 12 ; supply\nR1 in mid 1.5K $ series\nr2 MID gnd\n"
        "+ 3.3kOhm\n\nC1 mid Out 47u\nL1 out 0 10mH\nI2 0 out DC -2m\n.TITLE better\n.op\n.END\n");
    put("netlist", "ac.cir",
        "ac\nV1 1 0 DC 5 AC 10 30\nI1 0 1 ac 2\nV2 1 2 3\nR1 2 0 1k\n.ac dec 10 1k 1k\n");

    // Expressions, one a file.
    const char* expressions[] = {"2*sqrt(3)",   "220*sin(0.5)", "2^3^2", "-2*3",      "(1+2)*(3-4)/5",
                                 "1E-5+cos(0)", "sqrt(-1)",     "1/0",   "((((2))))", "10e3*2.5"};
    int n = 0;
    for (const char* e : expressions)
        put("expression", std::to_string(++n).c_str(), e);
}
