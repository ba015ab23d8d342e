#include <QApplication>
#include <QImage>
#include <QSplashScreen>
#include <cstdio>
#include <cstring>

#include "mainwindow.h"
#include "platform/fonts.h"
#include "splash.h"

namespace {

struct Options {
    bool screenshot = false;
    QString screenshotFile;
    QString scheme; ///< a scheme file to open at start
};

Options parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0) {
            o.screenshot = true;
            if (i + 1 < argc) o.screenshotFile = QString::fromLocal8Bit(argv[++i]);
        } else if (argv[i][0] != '-') {
            o.scheme = QString::fromLocal8Bit(argv[i]);
        }
    }
    return o;
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
        if (!window.workbench().openScheme(scheme, &error)) {
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
    const Options options = parse(argc, argv);
    // A screenshot needs no display.
    if (options.screenshot && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationName(qv::Workbench::applicationTitle());
    qv::installFontSubstitutions();

    if (options.screenshot) return writeScreenshot(options.screenshotFile, options.scheme);

    QSplashScreen splash(qv::gui::splashPicture(), Qt::WindowStaysOnTopHint);
    splash.show();
    QCoreApplication::processEvents(); // paint it now: building the window takes a moment

    qv::gui::MainWindow window;
    window.show();
    splash.finish(&window);
    if (!options.scheme.isEmpty()) window.openScheme(options.scheme);
    return app.exec();
}
