#include <QApplication>
#include <QCommandLineParser>
#include <QImage>
#include <QSplashScreen>
#include <cstdio>
#include <optional>

#include "icons.h"
#include "mainwindow.h"
#include "platform/fonts.h"
#include "platform/language.h"
#include "platform/memory.h"
#include "splash.h"

namespace {

struct Options {
    bool screenshot = false;
    QString screenshotFile;
    QString scheme;                       ///< a scheme, vector diagram or workshop file to open at start
    std::optional<qv::Language> language; ///< --language; else the one kept in the settings
};

void print(FILE* to, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), to);
}

/// Reads the command line before any application object exists: --help and --version, and
/// refusing a wrong command line, need no display. Returns the exit status when the program
/// should stop here.
std::optional<int> parse(int argc, char** argv, Options& o) {
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    // Qt's own options are written with one dash ("-platform offscreen").
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("The workbench for direct- and alternating-current circuits."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version."));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Write a picture of the main window to <file> and exit."), QStringLiteral("file"));
    const QCommandLineOption language(
        QStringLiteral("language"),
        QStringLiteral("The language of the interface and the report: as-written (the texts as the "
                       "program has always written them), en (plain English) or ru (Russian). "
                       "Without it, the one chosen in View > Language."),
        QStringLiteral("as-written|en|ru"));
    parser.addOptions({help, version, screenshot, language});
    parser.addPositionalArgument(
        QStringLiteral("file"),
        QStringLiteral("A scheme (.tbe), vector diagram (.qvv) or workshop (.qvw) file to open."),
        QStringLiteral("[file]"));
    // QApplication takes these from the command line itself.
    for (const char* name : {"platform", "platformtheme", "style", "stylesheet", "qwindowgeometry",
                             "qwindowtitle", "qwindowicon", "display", "reverse"}) {
        QCommandLineOption qt(QString::fromLatin1(name));
        if (qstrcmp(name, "reverse") != 0) qt.setValueName(QStringLiteral("value"));
        qt.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qt);
    }
    // The parser knows the program's name only from an application object.
    QString usage = parser.helpText();
    usage = QStringLiteral("Usage: quorvel [options] [file]\n") + usage.mid(usage.indexOf('\n') + 1);

    QString error;
    if (!parser.parse(args))
        error = parser.errorText();
    else if (parser.positionalArguments().size() > 1)
        error = QStringLiteral("Only one file can be opened.");
    else if (parser.isSet(language) && !qv::languageFromName(parser.value(language)))
        error = QStringLiteral("Unknown language '%1': as-written, en or ru.").arg(parser.value(language));
    if (!error.isEmpty()) {
        print(stderr, QStringLiteral("quorvel: %1\n\n").arg(error) + usage);
        return 2;
    }
    if (parser.isSet(help)) {
        print(stdout, usage);
        return 0;
    }
    if (parser.isSet(version)) {
        print(stdout, QStringLiteral("quorvel %1\n").arg(QCoreApplication::applicationVersion()));
        return 0;
    }
    o.screenshot = parser.isSet(screenshot);
    o.screenshotFile = parser.value(screenshot);
    o.scheme = parser.positionalArguments().value(0);
    if (parser.isSet(language)) o.language = qv::languageFromName(parser.value(language));
    return std::nullopt;
}

/// Renders the main window as laid out at 1200 x 800 into a PNG.
int writeScreenshot(const QString& file, const QString& scheme) {
    if (file.isEmpty()) {
        std::fprintf(stderr, "--screenshot needs the name of a PNG file\n");
        return 1;
    }
    qv::gui::MainWindow window;
    if (!scheme.isEmpty()) {
        QString error;
        if (!window.openFile(scheme, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
    }
    window.resize(1200, 800);
    window.show();
    QCoreApplication::processEvents();
    QImage image = window.grab().toImage();
    if (!image.save(file, "PNG")) {
        std::fprintf(stderr, "Cannot write the screenshot to %s\n", qPrintable(file));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    qv::keepFreedMemoryForReuse();
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORVEL_VERSION));
    Options options;
    if (const std::optional<int> status = parse(argc, argv, options)) return *status;
    // A screenshot needs no display.
    if (options.screenshot && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationName(qv::Workbench::applicationTitle());
    QApplication::setOrganizationName(QStringLiteral("Quorvel"));
    // The menu entry's name: desktops find the entry's icon and name for the window by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quorvel.Quorvel"));
    QApplication::setWindowIcon(qv::gui::makeIcon(qv::gui::IconKind::Program));
    qv::installFontSubstitutions();
    // Before any window: the texts are taken in the language as the windows are built.
    qv::installLanguage(options.language ? *options.language : qv::gui::MainWindow::chosenLanguage());

    if (options.screenshot) return writeScreenshot(options.screenshotFile, options.scheme);

    QSplashScreen splash(qv::gui::splashPicture(), Qt::WindowStaysOnTopHint);
    splash.show();
    QCoreApplication::processEvents(); // paint it now: building the window takes a moment

    qv::gui::MainWindow window;
    window.show();
    splash.finish(&window);
    window.showCatalogueErrors();
    window.startRecovery();
    window.offerRecovery();
    if (!options.scheme.isEmpty()) window.openFile(options.scheme);
    return app.exec();
}
