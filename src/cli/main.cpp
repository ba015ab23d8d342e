// quorvel-cli: the workbench without a window, for scripts.
//   quorvel-cli dump FILE           a scheme, vector diagram or workshop as JSON on stdout
//   quorvel-cli resave IN OUT       load a file and save it again
//   quorvel-cli eval EXPR           the value of an expression, as a value field reads it
//   quorvel-cli picture IN OUT      the scheme's picture as .emf, .svg, .pdf or .png
//   quorvel-cli solve FILE.tbe --method kirchhoff|mesh|node [...]   the worked solution
//                  (--method node --balance: and the power balance)
//   quorvel-cli potential FILE.tbe --loop NAME OUT   the loop's potential diagram
//   quorvel-cli vector SCHEME.tbe OUT [...]   the vector diagram of the node-voltage solution
//   quorvel-cli import-spice IN.cir OUT.tbe   a SPICE netlist as a scheme
//   quorvel-cli export-spice SCHEME.tbe OUT.cir   a scheme as a SPICE netlist
//   quorvel-cli find-loops IN.tbe OUT.tbe   the scheme with a complete set of loops found
//   quorvel-cli exercise --count N --kind dc|ac --nodes A-B --branches C-D [...] OUT_DIR
//                  an exercise set with its answers
// Wrong usage: a line and the usage on stderr, status 2. A failing command: its message on
// stderr, status 1.
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHashFunctions>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <thread>
#include <tuple>
#include <vector>

#include "app/circuitcommands.h"
#include "app/exercises.h"
#include "app/netlistimport.h"
#include "app/potentialcommand.h"
#include "app/schemedump.h"
#include "app/solvecommand.h"
#include "app/workbench.h"
#include "platform/fonts.h"
#include "platform/language.h"
#include "platform/numfmt.h"

namespace {

constexpr const char* kProgram = "quorvel-cli";

void quietHandler(QtMsgType type, const QMessageLogContext&, const QString& msg) {
    // Qt's notes about the runtime directory are noise for a command-line tool.
    if (msg.startsWith(QLatin1String("QStandardPaths:"))) return;
    if (type != QtDebugMsg) std::fprintf(stderr, "%s\n", msg.toLocal8Bit().constData());
}

void print(FILE* to, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), to);
}

int fail(const QString& message) {
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    return 1;
}

/// The parser's help with our own first line: the parser knows neither the program's name
/// (there is no application object yet) nor where a command's name goes.
QString helpText(const QCommandLineParser& parser, const QString& usage) {
    const QString text = parser.helpText();
    return QStringLiteral("Usage: %1 %2\n").arg(QLatin1String(kProgram), usage) +
           text.mid(text.indexOf('\n') + 1);
}

int usageError(const QString& error, const QString& help) {
    print(stderr, QStringLiteral("%1: %2\n\n").arg(QLatin1String(kProgram), error) + help);
    return 2;
}

/// --language, taken before the command and by every command alike.
QCommandLineOption languageOption() {
    return QCommandLineOption(QStringLiteral("language"),
                              QStringLiteral("The language of the report's headings and of the messages: "
                                             "as-written (the default, the texts scripts read), en or ru."),
                              QStringLiteral("as-written|en|ru"));
}

/// The language given before the command; a command's own --language overrides it.
qv::Language gLanguage = qv::Language::AsWritten;

QString unknownLanguage(const QString& name) {
    return QStringLiteral("unknown language '%1': as-written, en or ru").arg(name);
}

QCommandLineOption helpOption() {
    return QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                              QStringLiteral("Show this help."));
}

/// What a command was given.
struct Invocation {
    QStringList arguments;
    const QCommandLineParser* parser = nullptr;
    QStringList values; ///< arguments that looked like options; see runCommand
    /// The value of one of the command's options.
    QString value(const QString& option) const { return restore(parser->value(option)); }
    QString restore(const QString& arg) const {
        return arg.startsWith(QChar(1)) ? values.value(arg.mid(1).toInt()) : arg;
    }
};

struct Argument {
    const char* name;
    const char* description;
};

/// What a command needs of Qt: its core (files, numbers, text), the GUI application (a report
/// document's fonts, pictures), or that and the font files to measure and draw text with. A
/// command with no drawing and no document starts without the GUI application: that set-up,
/// and its font database's teardown, cost more than such a command itself. Text to measure
/// sends the font database to be read in the background while the command reads its files.
enum class QtNeed { Core, Gui, GuiAndText };

/// A sub-command: its own arguments and options, and what it does once they are known
/// (0, or 1 with a message on stderr).
struct Command {
    const char* name;
    const char* summary;
    std::vector<Argument> arguments;
    std::vector<QCommandLineOption> options; ///< besides --help
    int (*run)(const Invocation&);
    QtNeed (*need)(const QCommandLineParser&) = [](const QCommandLineParser&) { return QtNeed::GuiAndText; };
};

QtNeed coreOnly(const QCommandLineParser&) {
    return QtNeed::Core;
}

/// A solve draws the scheme's picture into its report unless told not to, and an ODT or PDF
/// report is laid out; the numbers alone need Qt's core only.
QtNeed solveNeeds(const QCommandLineParser& parser) {
    if (!parser.isSet(QStringLiteral("report"))) return QtNeed::Core;
    const QString ext = QFileInfo(parser.value(QStringLiteral("report"))).suffix().toLower();
    const bool laidOut = ext == QLatin1String("odt") || ext == QLatin1String("pdf");
    return laidOut || !parser.isSet(QStringLiteral("no-picture")) ? QtNeed::GuiAndText : QtNeed::Gui;
}

/// What a file holds, by its extension: a vector diagram (.qvv), a workshop (.qvw) or a scheme.
enum class FileKind { Scheme, Vector, Workshop };
FileKind fileKind(const QString& path) {
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("qvv")) return FileKind::Vector;
    if (ext == QLatin1String("qvw")) return FileKind::Workshop;
    return FileKind::Scheme;
}

int runDump(const Invocation& in) {
    qv::Workbench wb(QString(), qv::WorkbenchUse::Batch);
    QString error;
    const QString& path = in.arguments[0];
    QJsonObject dump;
    switch (fileKind(path)) {
    case FileKind::Scheme:
        if (!wb.openScheme(path, &error)) return fail(error);
        dump = qv::dumpScheme(wb.scheme());
        break;
    case FileKind::Vector:
        if (!wb.openVector(path, &error)) return fail(error);
        dump = qv::dumpVectorDiagram(wb.vectorDoc());
        break;
    case FileKind::Workshop: {
        QByteArray solution;
        if (!wb.openWorkshop(path, solution, &error)) return fail(error);
        dump["scheme"] = qv::dumpScheme(wb.scheme());
        dump["vectorDiagram"] = qv::dumpVectorDiagram(wb.vectorDoc());
        dump["solutionBytes"] = double(solution.size());
        break;
    }
    }
    QByteArray json = QJsonDocument(dump).toJson(QJsonDocument::Indented);
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    return 0;
}

int runResave(const Invocation& in) {
    qv::Workbench wb(QString(), qv::WorkbenchUse::Batch);
    QString error;
    const QString &from = in.arguments[0], &to = in.arguments[1];
    if (fileKind(from) != fileKind(to)) {
        std::fprintf(stderr, "%s: resave: IN and OUT must be files of one kind (.tbe, .qvv or .qvw)\n",
                     kProgram);
        return 2;
    }
    switch (fileKind(from)) {
    case FileKind::Scheme:
        if (!wb.openScheme(from, &error) || !wb.saveScheme(to, &error)) return fail(error);
        break;
    case FileKind::Vector:
        if (!wb.openVector(from, &error) || !wb.saveVector(to, &error)) return fail(error);
        break;
    case FileKind::Workshop: {
        QByteArray solution;
        if (!wb.openWorkshop(from, solution, &error) || !wb.saveWorkshop(to, solution, &error))
            return fail(error);
        break;
    }
    }
    return 0;
}

int runEval(const Invocation& in) {
    qv::Workbench wb(QString(), qv::WorkbenchUse::Batch);
    qv::Extended v = 0;
    QString error;
    if (!wb.evaluate(in.arguments[0].toLocal8Bit().toStdString(), v, error)) return fail(error);
    std::printf("%s\n", qv::numfmt::standard(v).c_str());
    return 0;
}

int runPicture(const Invocation& in) {
    qv::Workbench wb(QString(), qv::WorkbenchUse::Batch);
    QString error;
    if (!wb.openScheme(in.arguments[0], &error)) return fail(error);
    if (!wb.exportSchemePicture(in.arguments[1], &error)) return fail(error);
    return 0;
}

QCommandLineOption valueOption(const char* name, const char* description, const char* valueName) {
    return QCommandLineOption(QLatin1String(name), QLatin1String(description), QLatin1String(valueName));
}
QCommandLineOption flagOption(const char* name, const char* description) {
    return QCommandLineOption(QLatin1String(name), QLatin1String(description));
}

/// Prints the solve's warnings; 2 when the method's dialog would have refused the scheme.
int warnOrRefuse(const qv::SolveResult& result) {
    for (const QString& w : result.warnings)
        print(stderr, w + '\n');
    if (result.status != qv::SolveResult::Refused) return 0;
    print(stderr, QStringLiteral("The node list cannot be solved as it stands; change the scheme first.\n"));
    return 2;
}

/// Puts a found set of loops in place of the scheme's, for this run only; 1 with the message
/// when no set can be given. What the set cannot do goes to stderr.
int useFoundLoops(qv::Workbench& wb) {
    QStringList notes;
    QString error;
    const bool found = qv::putFoundLoops(wb, notes, error);
    for (const QString& note : notes)
        print(stderr, note + '\n');
    return found ? 0 : fail(error);
}

/// Exit status: 0 solved, 1 a failed solution (or a file that cannot be read or written),
/// 2 wrong usage or a scheme the method's dialog would not accept.
int runSolve(const Invocation& in) {
    const std::string method = in.value(QStringLiteral("method")).toStdString();
    bool known = false;
    for (const std::string& m : qv::solveMethodNames())
        known = known || m == method;
    if (!known) {
        std::fprintf(stderr, "%s: solve: --method must be kirchhoff, mesh or node\n", kProgram);
        return 2;
    }
    qv::Workbench wb(QString(), qv::WorkbenchUse::Batch);
    QString error;
    if (!wb.openScheme(in.arguments[0], &error)) return fail(error);
    qv::SolveRequest request = qv::SolveRequest::fromScheme(wb.scheme(), method);
    auto names = [&](const char* option) -> std::optional<QStringList> {
        if (!in.parser->isSet(QLatin1String(option))) return std::nullopt;
        return in.value(QLatin1String(option)).split(',', Qt::SkipEmptyParts);
    };
    request.nodes = names("nodes");
    request.loops = names("loops");
    if (in.parser->isSet(QStringLiteral("frequency"))) {
        const auto f = qv::numfmt::parse(in.value(QStringLiteral("frequency")).toStdString());
        if (!f || !(*f >= 0) || !std::isfinite(double(*f))) {
            std::fprintf(stderr, "%s: solve: --frequency must be a number of hertz, 0 or more\n", kProgram);
            return 2;
        }
        request.frequency = double(*f);
    }
    request.picture = request.picture && !in.parser->isSet(QStringLiteral("no-picture"));
    request.initialData = request.initialData && !in.parser->isSet(QStringLiteral("no-initial-data"));
    if (in.parser->isSet(QStringLiteral("keep-zero-branches"))) request.deleteZeroBranches = false;
    request.balance = in.parser->isSet(QStringLiteral("balance"));
    if (in.parser->isSet(QStringLiteral("find-loops")))
        if (const int failed = useFoundLoops(wb)) return failed;
    if (request.balance && method != "node") {
        std::fprintf(stderr, "%s: solve: --balance needs --method node\n", kProgram);
        return 2;
    }

    const QString reportPath = in.value(QStringLiteral("report"));
    QString saveError;
    const qv::SolveResult result = reportPath.isEmpty()
                                       ? qv::solveScheme(wb.scheme(), request)
                                       : qv::solveToReportFile(wb.scheme(), request, reportPath, saveError);
    if (const int refused = warnOrRefuse(result)) return refused;
    if (result.status == qv::SolveResult::Failed) {
        print(stderr, result.errors.join(QStringLiteral(": ")) + '\n');
        if (!saveError.isEmpty()) print(stderr, saveError + '\n');
        return 1;
    }
    if (!saveError.isEmpty()) return fail(saveError);

    const QString jsonPath = in.value(QStringLiteral("json"));
    if (!jsonPath.isEmpty()) {
        const QByteArray json =
            QJsonDocument(qv::solveResultJson(method, result)).toJson(QJsonDocument::Indented);
        if (jsonPath == QLatin1String("-")) {
            std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
        } else {
            QFile file(jsonPath);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(json) != json.size())
                return fail(QStringLiteral("cannot write %1: %2").arg(jsonPath, file.errorString()));
        }
    }
    return 0;
}

/// Exit status: 0 written, 1 an unknown loop, a failed solution, a loop without DC potentials
/// or a file that cannot be read or written, 2 wrong usage or a scheme the node-voltage
/// method's dialog would not accept.
int runPotential(const Invocation& in) {
    if (!in.parser->isSet(QStringLiteral("loop"))) {
        std::fprintf(stderr, "%s: potential: --loop names the loop to draw\n", kProgram);
        return 2;
    }
    qv::Workbench wb(QString(), qv::WorkbenchUse::Batch);
    QString error;
    if (!wb.openScheme(in.arguments[0], &error)) return fail(error);
    qv::PotentialDiagram diagram;
    bool refused = false;
    if (!qv::solvedPotentialDiagram(wb.scheme(), in.value(QStringLiteral("loop")), diagram, error,
                                    &refused)) {
        print(stderr, error + '\n');
        return refused ? 2 : 1;
    }
    const QSize size(qv::PotentialDiagram::kWidth, qv::PotentialDiagram::kHeight);
    if (!qv::writePotentialPicture(diagram, in.arguments[1], size, &error)) return fail(error);
    return 0;
}

/// A scale option: a number other than 0, or `fallback` when not given.
std::optional<qv::Extended> scaleOption(const Invocation& in, const char* name, qv::Extended fallback) {
    if (!in.parser->isSet(QLatin1String(name))) return fallback;
    const auto v = qv::numfmt::parse(in.value(QLatin1String(name)).toStdString());
    if (!v || *v == 0 || !std::isfinite(double(*v))) return std::nullopt;
    return v;
}

/// Exit status as for solve; the diagram is written as .qvv, or as a .png or .svg picture.
int runVector(const Invocation& in) {
    const QString out = in.arguments[1];
    const QString ext = QFileInfo(out).suffix().toLower();
    if (ext != QLatin1String("qvv") && ext != QLatin1String("png") && ext != QLatin1String("svg")) {
        std::fprintf(stderr, "%s: vector: OUT must end in .qvv, .png or .svg\n", kProgram);
        return 2;
    }
    const auto currentScale = scaleOption(in, "current-scale", 1.0L);
    const auto voltageScale = scaleOption(in, "voltage-scale", 10.0L);
    if (!currentScale || !voltageScale) {
        std::fprintf(stderr, "%s: vector: a scale must be a number other than 0\n", kProgram);
        return 2;
    }
    qv::Workbench wb(QString(), qv::WorkbenchUse::Batch);
    QString error;
    if (!wb.openScheme(in.arguments[0], &error)) return fail(error);
    const qv::SolveResult result =
        qv::solveScheme(wb.scheme(), qv::SolveRequest::fromScheme(wb.scheme(), "node"));
    if (const int refused = warnOrRefuse(result)) return refused;
    if (result.status == qv::SolveResult::Failed) return fail(result.errors.join(QStringLiteral(": ")));
    if (!result.ac)
        return fail(QStringLiteral("The scheme was solved as a direct-current scheme; a vector diagram needs "
                                   "alternating-current sources"));
    wb.buildVectorDiagram(*currentScale, *voltageScale, !in.parser->isSet(QStringLiteral("no-currents")),
                          !in.parser->isSet(QStringLiteral("no-voltages")));
    const bool written =
        ext == QLatin1String("qvv") ? wb.saveVector(out, &error) : wb.exportVectorPicture(out, &error);
    if (!written) return fail(error);
    return 0;
}

/// Exit status 1 with one message per offending line of the netlist; no file is written.
int runImportSpice(const Invocation& in) {
    qv::Workbench wb(QString(), qv::WorkbenchUse::Batch);
    QStringList problems;
    if (!qv::importNetlistFile(wb.scheme(), in.arguments[0], problems)) {
        for (const QString& p : problems)
            print(stderr, p + '\n');
        return 1;
    }
    QString error;
    if (!wb.saveScheme(in.arguments[1], &error)) return fail(error);
    return 0;
}

/// Exit status 1 when the scheme has more independent loops than the loop list holds.
int runFindLoops(const Invocation& in) {
    qv::Workbench wb(QString(), qv::WorkbenchUse::Batch);
    QString error;
    if (!wb.openScheme(in.arguments[0], &error)) return fail(error);
    if (const int failed = useFoundLoops(wb)) return failed;
    if (!wb.saveScheme(in.arguments[1], &error)) return fail(error);
    return 0;
}

int runExportSpice(const Invocation& in) {
    qv::Workbench wb(QString(), qv::WorkbenchUse::Batch);
    QString error;
    if (!wb.openScheme(in.arguments[0], &error)) return fail(error);
    if (!qv::exportNetlistFile(wb.scheme(), in.arguments[1], error)) return fail(error);
    return 0;
}

/// Exit status 1, no file written, for options that cannot give a set.
int runExercise(const Invocation& in) {
    auto missing = [&](const char* name) {
        return !in.parser->isSet(QLatin1String(name))
                   ? fail(QStringLiteral("exercise: --%1 is missing").arg(name))
                   : 0;
    };
    for (const char* name : {"count", "kind", "nodes", "branches"})
        if (const int failed = missing(name)) return failed;
    qv::ExerciseOptions options;
    auto whole = [&](const char* name, int& to) {
        bool ok = false;
        to = in.value(QLatin1String(name)).trimmed().toInt(&ok);
        return ok;
    };
    if (!whole("count", options.count))
        return fail(QStringLiteral("exercise: --count must be a whole number"));
    const QString kind = in.value(QStringLiteral("kind")).trimmed().toLower();
    if (kind != QLatin1String("dc") && kind != QLatin1String("ac"))
        return fail(QStringLiteral("exercise: --kind must be dc or ac"));
    options.ac = kind == QLatin1String("ac");
    const auto nodes = qv::parseExerciseRange(in.value(QStringLiteral("nodes")));
    const auto branches = qv::parseExerciseRange(in.value(QStringLiteral("branches")));
    if (!nodes) return fail(QStringLiteral("exercise: --nodes must be a number or a range such as 3-5"));
    if (!branches)
        return fail(QStringLiteral("exercise: --branches must be a number or a range such as 5-8"));
    std::tie(options.minNodes, options.maxNodes) = *nodes;
    std::tie(options.minBranches, options.maxBranches) = *branches;
    if (in.parser->isSet(QStringLiteral("current-sources")) &&
        !whole("current-sources", options.currentSources))
        return fail(QStringLiteral("exercise: --current-sources must be a whole number"));
    if (in.parser->isSet(QStringLiteral("seed"))) {
        bool ok = false;
        options.seed = in.value(QStringLiteral("seed")).trimmed().toUInt(&ok);
        if (!ok) return fail(QStringLiteral("exercise: --seed must be a whole number from 0 to 4294967295"));
    } else {
        options.seed = QRandomGenerator::global()->generate();
    }
    if (in.parser->isSet(QStringLiteral("method")))
        options.method = in.value(QStringLiteral("method")).trimmed().toLower().toStdString();
    QString error = qv::exerciseOptionsError(options);
    if (!error.isEmpty()) return fail(QStringLiteral("exercise: ") + error);
    // The PDF writer lists its fonts in the order of a hash; a fixed hash seed makes that
    // order, and so the files, the same on every run.
    QHashSeed::setDeterministicGlobalSeed();
    if (!qv::writeExerciseSet(options, in.arguments[0], error))
        return fail(QStringLiteral("exercise: ") + error);
    // The seed, so that a set made without one can be made again.
    print(stdout, QStringLiteral("seed %1\n").arg(options.seed));
    return 0;
}

const std::vector<Command>& commands() {
    static const std::vector<Command> list = {
        {"dump",
         "Print a file as JSON: a scheme's objects with their fields, its loops and its frequency; a vector "
         "diagram's objects and layers; both for a workshop. The kind goes by the extension.",
         {{"FILE", "The scheme (.tbe), vector diagram (.qvv) or workshop (.qvw) file."}},
         {},
         runDump,
         coreOnly},
        {"resave",
         "Load a scheme, vector diagram or workshop file and save it again (the kind by the extension).",
         {{"IN", "The file to read (.tbe, .qvv or .qvw)."}, {"OUT", "The file to write, of the same kind."}},
         {},
         runResave,
         coreOnly},
        {"eval",
         "Print the value of an expression, as a value field reads it.",
         {{"EXPR", "The expression, such as 2*sqrt(3) or -220*sin(0.5)."}},
         {},
         runEval,
         coreOnly},
        {"picture",
         "Write the scheme's picture: an enhanced metafile, SVG, PDF or PNG by the name's extension.",
         {{"SCHEME.tbe", "The scheme file."}, {"OUT", "The picture to write (.emf, .svg, .pdf or .png)."}},
         {},
         runPicture},
        {"solve",
         "Solve a scheme by a method and write the worked solution and the numbers found.",
         {{"FILE.tbe", "The scheme file."}},
         {valueOption("method", "The method: kirchhoff, mesh or node.", "METHOD"),
          valueOption("nodes",
                      "Node names in order, comma-separated (default: all, as the dialog lists them).",
                      "N1,N2"),
          valueOption("loops", "Loop names in order, comma-separated (default: as the dialog lists them).",
                      "L1,L2"),
          valueOption("frequency", "The frequency of the AC sources in hertz (default: the scheme's).", "HZ"),
          valueOption("report", "Write the worked solution; .rtf, .odt, .html, .pdf or .txt.", "OUT"),
          valueOption("json", "Write the numbers found as JSON; - for stdout.", "OUT.json"),
          flagOption("no-picture", "No scheme picture in the report."),
          flagOption("no-initial-data", "No initial data in the report."),
          flagOption("keep-zero-branches", "Keep branches without resistance (DC)."),
          flagOption("balance",
                     "Node method: the power balance after the solution, in the report and the JSON."),
          flagOption("find-loops", "Solve with a set of loops found for the scheme in place of its own "
                                   "(the file is not changed).")},
         runSolve,
         solveNeeds},
        {"potential",
         "Solve a scheme by the node-voltage method and draw the potential diagram of one loop.",
         {{"SCHEME.tbe", "The scheme file."},
          {"OUT", "The picture to write: .png, .svg, or a bitmap (.bmp) for any other name."}},
         {valueOption("loop", "The name of the loop to draw.", "NAME")},
         runPotential},
        {"vector",
         "Solve a scheme by the node-voltage method and write its vector diagram: a .qvv file or a .png "
         "or .svg picture.",
         {{"SCHEME.tbe", "The scheme file (with AC sources)."},
          {"OUT", "The diagram to write (.qvv, .png or .svg)."}},
         {valueOption("current-scale", "Amperes per centimetre (default 1).", "A_PER_CM"),
          valueOption("voltage-scale", "Volts per centimetre (default 10).", "V_PER_CM"),
          flagOption("no-currents", "No current chains."), flagOption("no-voltages", "No voltage vectors.")},
         runVector},
        {"import-spice",
         "Read a SPICE netlist (R, L, C, V and I elements, .op or .ac at one frequency) and write it as a "
         "scheme, laid out on the grid. A netlist that cannot be taken is refused with one message per line.",
         {{"IN.cir", "The netlist."}, {"OUT.tbe", "The scheme file to write."}},
         {},
         runImportSpice},
        {"export-spice",
         "Write a scheme as a SPICE netlist that ngspice runs as it stands (.op for DC, .ac at the scheme's "
         "frequency for AC).",
         {{"SCHEME.tbe", "The scheme file."}, {"OUT.cir", "The netlist to write."}},
         {},
         runExportSpice},
        {"find-loops",
         "Find a complete set of independent loops (the meshes of a planar drawing, else the fundamental "
         "loops of a spanning tree; each current source in one loop of its own, those loops last) and write "
         "the scheme with them in place of its loops.",
         {{"IN.tbe", "The scheme file."}, {"OUT.tbe", "The scheme file to write."}},
         {},
         runFindLoops},
        {"exercise",
         "Write an exercise set: random circuits with round values and a unique solution, laid out as an "
         "imported netlist with their loops found (exercise-01.tbe ...), exercises.pdf (a page per circuit: "
         "the picture and the data) and answers.pdf (the worked solutions). The seed used goes to stdout.",
         {{"OUT_DIR", "The folder to write into (made when missing)."}},
         {valueOption("count", "How many circuits (1 to 99).", "N"), valueOption("kind", "dc or ac.", "KIND"),
          valueOption("nodes", "Nodes per circuit, the grounded one included: a number or a range (2 to 20).",
                      "A-B"),
          valueOption("branches", "Branches per circuit: a number or a range (1 to 40).", "C-D"),
          valueOption("current-sources", "Branches with a current source in every circuit (default 0).", "K"),
          valueOption("seed", "The seed: the same seed gives the same files (default: a new one).", "S"),
          valueOption("method", "The method of the answers: kirchhoff, mesh or node (default node).",
                      "METHOD")},
         runExercise},
    };
    return list;
}

/// The command's name and arguments ("dump FILE.tbe"), with "[options]" between them if asked.
QString commandSyntax(const Command& c, bool withOptions) {
    QString syntax = QLatin1String(c.name);
    if (withOptions) syntax += QStringLiteral(" [options]");
    for (const Argument& a : c.arguments)
        syntax += ' ' + QLatin1String(a.name);
    return syntax;
}

QString generalHelp(const QCommandLineParser& parser) {
    QString text = helpText(parser, QStringLiteral("[options] COMMAND [ARGUMENTS]"));
    text +=
        QStringLiteral("\nCommands (\"%1 COMMAND --help\" describes one):\n").arg(QLatin1String(kProgram));
    for (const Command& c : commands())
        text += QStringLiteral("  %1\n      %2\n").arg(commandSyntax(c, false), QLatin1String(c.summary));
    return text;
}

/// Parses the arguments after a command's name and runs it. An argument that begins with a
/// single dash but names none of the command's options is a value, not an option: an
/// expression such as -2*x, a file named -old.tbe.
int runCommand(const Command& command, const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QLatin1String(command.summary));
    const QCommandLineOption help = helpOption();
    parser.addOption(help);
    const QCommandLineOption language = languageOption();
    parser.addOption(language);
    QStringList optionNames = help.names() + language.names();
    for (const QCommandLineOption& o : command.options) {
        parser.addOption(o);
        optionNames += o.names();
    }
    for (const Argument& a : command.arguments)
        parser.addPositionalArgument(QLatin1String(a.name), QLatin1String(a.description));
    const QString usage = helpText(parser, commandSyntax(command, true));

    Invocation in;
    in.parser = &parser;
    // Such values go to the parser as stand-ins, which Invocation::restore turns back.
    QStringList toParse{QString()}; // the first entry stands for the program's name
    for (const QString& arg : args) {
        const bool singleDash = arg.size() > 1 && arg[0] == '-' && arg[1] != '-';
        if (singleDash && !optionNames.contains(arg.mid(1).section('=', 0, 0))) {
            toParse << QChar(1) + QString::number(in.values.size());
            in.values << arg;
        } else {
            toParse << arg;
        }
    }
    const QString context = QStringLiteral("%1: ").arg(QLatin1String(command.name));
    if (!parser.parse(toParse)) return usageError(context + parser.errorText(), usage);
    if (parser.isSet(help)) {
        print(stdout, usage);
        return 0;
    }
    if (parser.isSet(language)) {
        const std::optional<qv::Language> chosen = qv::languageFromName(parser.value(language));
        if (!chosen) return usageError(context + unknownLanguage(parser.value(language)), usage);
        gLanguage = *chosen;
    }
    for (const QString& arg : parser.positionalArguments())
        in.arguments << in.restore(arg);
    const qsizetype wanted = qsizetype(command.arguments.size());
    if (in.arguments.size() < wanted)
        return usageError(context +
                              QStringLiteral("missing %1")
                                  .arg(QLatin1String(command.arguments[size_t(in.arguments.size())].name)),
                          usage);
    if (in.arguments.size() > wanted)
        return usageError(context + QStringLiteral("unexpected argument '%1'").arg(in.arguments[wanted]),
                          usage);

    // Qt sees no arguments: they are the command's, even those that look like Qt's own.
    int qtArgc = 1;
    char name[] = "quorvel-cli";
    char* qtArgv[] = {name, nullptr};
    // The window's names, so that both programs share the user's data folder (catalogues,
    // report pictures of an installed program).
    QCoreApplication::setOrganizationName(QStringLiteral("Quorvel"));
    QCoreApplication::setApplicationName(qv::Workbench::applicationTitle());
    const QtNeed need = command.need(parser);
    std::unique_ptr<QCoreApplication> app;
    // Joined before the application goes, however the command ends.
    struct Background {
        std::thread thread;
        ~Background() {
            if (thread.joinable()) thread.join();
        }
    } fontReader;
    if (need == QtNeed::Core) {
        app = std::make_unique<QCoreApplication>(qtArgc, qtArgv);
    } else {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(qtArgc, qtArgv);
        qv::installFontSubstitutions();
        // The font database is safe to use from any thread; the first text measured waits for
        // it to be read.
        if (need == QtNeed::GuiAndText) fontReader.thread = std::thread([] { QFontDatabase::families(); });
    }
    qv::installLanguage(gLanguage);
    return command.run(in);
}

} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(quietHandler);
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORVEL_VERSION));
    QStringList args{QLatin1String(kProgram)};
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The workbench without a window, for scripts."));
    const QCommandLineOption help = helpOption();
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version."));
    parser.addOption(help);
    parser.addOption(version);
    const QCommandLineOption language = languageOption();
    parser.addOption(language);
    // What follows the command's name is the command's.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!parser.parse(args)) return usageError(parser.errorText(), generalHelp(parser));
    if (parser.isSet(help)) {
        print(stdout, generalHelp(parser));
        return 0;
    }
    if (parser.isSet(version)) {
        print(stdout,
              QStringLiteral("%1 %2\n").arg(QLatin1String(kProgram), QCoreApplication::applicationVersion()));
        return 0;
    }
    if (parser.isSet(language)) {
        const std::optional<qv::Language> chosen = qv::languageFromName(parser.value(language));
        if (!chosen) return usageError(unknownLanguage(parser.value(language)), generalHelp(parser));
        gLanguage = *chosen;
    }
    QStringList rest = parser.positionalArguments();
    if (rest.isEmpty()) return usageError(QStringLiteral("no command given"), generalHelp(parser));
    const QString name = rest.takeFirst();
    for (const Command& c : commands())
        if (name == QLatin1String(c.name)) return runCommand(c, rest);
    return usageError(QStringLiteral("unknown command '%1'").arg(name), generalHelp(parser));
}
