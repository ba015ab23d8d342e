// What puts the workbench onto a desktop: the menu entry, the file types, the metainfo and the
// manual pages (packaging/), checked by the tools the desktops and Debian use and against the
// programs themselves, so that a new command or option without its manual entry fails here.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QMimeDatabase>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include "support/process.h"
#include "support/testfiles.h"

namespace {

using qv::test::ProgramRun;
using qv::test::requiredEnvironment;
using qv::test::runProgram;

const QString kDesktopFile = QStringLiteral("org.quorvel.Quorvel.desktop");
const QStringList kFileTypes = {QStringLiteral("application/x-quorvel-scheme"),
                                QStringLiteral("application/x-quorvel-vector-diagram"),
                                QStringLiteral("application/x-quorvel-workshop")};

QString packaging(const QString& name) {
    return requiredEnvironment("QUORVEL_PACKAGING") + QLatin1Char('/') + name;
}

/// A tool of the system; a missing one fails the test with the way to install it.
ProgramRun tool(const QString& name, const QStringList& args,
                const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    const QString path = QStandardPaths::findExecutable(name);
    if (path.isEmpty()) {
        ADD_FAILURE() << name.toStdString() << " is not installed: run scripts/deps.sh";
        return {};
    }
    return runProgram(path, args, env);
}

QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

/// A list as one line, so that a failure shows it readably.
std::string line(const QStringList& list) {
    return list.join(QLatin1String(" | ")).toStdString();
}

/// The keys of the desktop entry's main group.
QMap<QString, QString> desktopEntry() {
    QMap<QString, QString> keys;
    bool inMain = false;
    for (const QString& line : qv::test::textOf(packaging(kDesktopFile)).split('\n')) {
        if (line.startsWith('[')) inMain = line == QLatin1String("[Desktop Entry]");
        const qsizetype eq = line.indexOf('=');
        if (inMain && eq > 0) keys[line.left(eq)] = line.mid(eq + 1);
    }
    return keys;
}

/// The values of every `element` with `attribute` in an XML file, or the element's text when
/// `attribute` is empty.
QStringList xmlValues(const QString& path, const QString& element, const QString& attribute = {}) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QXmlStreamReader xml(&file);
    QStringList values;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != element) continue;
        values << (attribute.isEmpty() ? xml.readElementText()
                                       : xml.attributes().value(attribute).toString());
    }
    EXPECT_FALSE(xml.hasError()) << path.toStdString() << ": " << xml.errorString().toStdString();
    return values;
}

QStringList typesDefined() {
    return sorted(xmlValues(packaging("quorvel.xml"), "mime-type", "type"));
}

// ---- manual pages against --help ----

/// Option names ("-h", "--help") in a text.
QStringList optionNames(const QString& text) {
    static const QRegularExpression name(QStringLiteral("(?:^|[\\s\"])(--?[a-z][a-z0-9-]*)"));
    QStringList names;
    for (const QRegularExpressionMatch& m : name.globalMatch(text))
        names << m.captured(1);
    return names;
}

/// Roff text as it reads: "\-" is a dash, "\%" and quotes go.
QString unescaped(QString roff) {
    return roff.replace(QLatin1String("\\-"), QLatin1String("-"))
        .remove(QLatin1String("\\%"))
        .remove(QLatin1Char('"'))
        .trimmed();
}

/// A manual page's options: those of the OPTIONS section under "", those listed under each
/// heading (".SS") of the COMMANDS section under the heading's text.
QMap<QString, QStringList> manualOptions(const QString& page) {
    QMap<QString, QStringList> options;
    QString section, heading;
    const QStringList lines = qv::test::textOf(page).split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.startsWith(QLatin1String(".SH "))) {
            section = unescaped(line.mid(4));
            heading.clear();
            if (section == QLatin1String("OPTIONS")) options[QString()];
        } else if (line.startsWith(QLatin1String(".SS ")) && section == QLatin1String("COMMANDS")) {
            heading = unescaped(line.mid(4));
            options[heading];
        } else if (line == QLatin1String(".TP") && i + 1 < lines.size() &&
                   (section == QLatin1String("OPTIONS") || !heading.isEmpty())) {
            options[heading] += optionNames(unescaped(lines[i + 1]));
        }
    }
    for (QStringList& names : options)
        names.sort();
    return options;
}

/// What a program's --help lists: its usage line (without "Usage: "), its options and the
/// entries of a "Commands" list.
struct Help {
    QString usage;
    QStringList options;
    QStringList commands;
};

Help parseHelp(const ProgramRun& run) {
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    Help help;
    QString block;
    for (const QString& line : run.out.split('\n')) {
        if (line.startsWith(QLatin1String("Usage: "))) help.usage = line.mid(7);
        if (!line.isEmpty() && !line.startsWith(' ')) {
            block = line;
        } else if (line.startsWith(QLatin1String("  ")) && line[2] != ' ') {
            if (block == QLatin1String("Options:"))
                help.options += optionNames(line.section(QLatin1String("  "), 1, 1));
            else if (block.startsWith(QLatin1String("Commands")))
                help.commands << line.trimmed();
        }
    }
    help.options.sort();
    return help;
}

} // namespace

TEST(DesktopEntry, ValidatesAndOpensAFileOfEachOfTheThreeTypes) {
    const ProgramRun check = tool("desktop-file-validate", {packaging(kDesktopFile)});
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(check.out + check.err, QString()); // hints too: they are shown to packagers
    const auto entry = desktopEntry();
    // One file: the window opens one at a time.
    EXPECT_EQ(entry.value("Exec"), "quorvel %f");
    EXPECT_EQ(line(sorted(entry.value("MimeType").split(';', Qt::SkipEmptyParts))), line(kFileTypes));
    EXPECT_EQ(line(typesDefined()), line(kFileTypes));
    const QString icon = requiredEnvironment("QUORVEL_ICONS") + '/' + entry.value("Icon") + ".svg";
    EXPECT_TRUE(QFileInfo::exists(icon)) << icon.toStdString();
}

TEST(FileTypes, TheSharedDatabaseKnowsTheThreeKindsByNameWhateverTheContent) {
    QTemporaryDir data;
    ASSERT_TRUE(QDir().mkpath(data.filePath("mime/packages")));
    ASSERT_TRUE(QFile::copy(packaging("quorvel.xml"), data.filePath("mime/packages/quorvel.xml")));
    // The tool warns of a folder no program searches: this one is searched first.
    qputenv("XDG_DATA_DIRS", data.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", data.filePath("home").toLocal8Bit());
    const ProgramRun update = tool("update-mime-database", {data.filePath("mime")});
    ASSERT_EQ(update.status, 0) << update.err.toStdString();
    EXPECT_EQ(update.err, QString()) << update.err.toStdString();
    ASSERT_TRUE(QFileInfo::exists(data.filePath("mime/mime.cache")));

    // Qt reads the database that tool wrote, as the desktops do.
    QMimeDatabase db;
    QFile::copy(qv::test::fixture("dc_parallel.tbe"), data.filePath("circuit.tbe"));
    QFile::copy(qv::test::fixture("dc_parallel.tbe"), data.filePath("circuit.qvw"));
    const struct {
        QString file;
        QString type;
    } cases[] = {
        {data.filePath("circuit.tbe"), "application/x-quorvel-scheme"},
        // A workshop begins as a scheme does: its name decides.
        {data.filePath("circuit.qvw"), "application/x-quorvel-workshop"},
        {data.filePath("missing.qvv"), "application/x-quorvel-vector-diagram"},
        {data.filePath("SHOUTED.TBE"), "application/x-quorvel-scheme"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(db.mimeTypeForFile(c.file).name(), c.type) << c.file.toStdString();
    for (const QString& name : kFileTypes) {
        SCOPED_TRACE(name.toStdString());
        const QMimeType type = db.mimeTypeForName(name);
        ASSERT_TRUE(type.isValid());
        EXPECT_FALSE(type.comment().isEmpty());
        EXPECT_TRUE(QFileInfo::exists(packaging("icons/" + type.iconName() + ".svg")))
            << type.iconName().toStdString();
    }
    qunsetenv("XDG_DATA_DIRS");
    qunsetenv("XDG_DATA_HOME");
}

TEST(Metainfo, ValidatesAndNamesTheProgramsEntryTypesAndVersion) {
    const QString file = packaging("org.quorvel.Quorvel.metainfo.xml");
    const ProgramRun check = tool("appstreamcli", {"validate", "--no-net", "--explain", file});
    EXPECT_EQ(check.status, 0) << check.out.toStdString() << check.err.toStdString();
    EXPECT_EQ(line(xmlValues(file, "launchable")), kDesktopFile.toStdString());
    EXPECT_EQ(line(sorted(xmlValues(file, "mediatype"))), line(kFileTypes));
    EXPECT_EQ(line(sorted(xmlValues(file, "binary"))), "quorvel | quorvel-cli");
    // The newest release comes first; a new version needs its entry.
    EXPECT_EQ(xmlValues(file, "release", "version").value(0), QUORVEL_VERSION);
}

TEST(ManualPages, ReadWithoutWarnings) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MANWIDTH", "80");
    for (const char* page : {"man/quorvel.1", "man/quorvel-cli.1"}) {
        SCOPED_TRACE(page);
        const ProgramRun man = tool("man", {"--warnings", "-E", "UTF-8", "-l", packaging(page)}, env);
        EXPECT_EQ(man.status, 0);
        EXPECT_EQ(man.err, QString());
        EXPECT_TRUE(man.out.contains("SYNOPSIS"));
    }
}

TEST(ManualPages, QuorvelCliHasAnEntryForEveryCommandWithItsArgumentsAndOptions) {
    const auto manual = manualOptions(packaging("man/quorvel-cli.1"));
    const Help general = parseHelp(qv::test::cli({"--help"}));
    ASSERT_FALSE(general.commands.isEmpty());
    EXPECT_EQ(line(manual.value(QString())), line(general.options));
    QStringList headings;
    for (const QString& entry : general.commands) {
        const QString command = entry.section(' ', 0, 0);
        SCOPED_TRACE(command.toStdString());
        const Help help = parseHelp(qv::test::cli({command, "--help"}));
        // The heading is the command's usage: its name, "[options]" and its arguments.
        const QString heading = help.usage.section(' ', 1);
        headings << heading;
        if (!manual.contains(heading)) {
            ADD_FAILURE() << "packaging/man/quorvel-cli.1 has no .SS \"" << heading.toStdString() << '"';
            continue;
        }
        QStringList options = help.options;
        options.removeAll("-h"); // every command takes --help and --language; the page says so once
        options.removeAll("--help");
        options.removeAll("--language");
        EXPECT_EQ(line(manual.value(heading)), line(options));
    }
    QStringList entries = manual.keys();
    entries.removeAll(QString());
    EXPECT_EQ(line(sorted(entries)), line(sorted(headings)))
        << "the page describes a command the program lacks";
}

TEST(ManualPages, QuorvelListsItsOptions) {
    const Help help = parseHelp(runProgram(requiredEnvironment("QUORVEL_EXE"), {"--help"}));
    ASSERT_FALSE(help.options.isEmpty());
    EXPECT_EQ(line(manualOptions(packaging("man/quorvel.1")).value(QString())), line(help.options));
}
