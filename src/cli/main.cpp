// quorvel-cli: the workbench without a window, for scripts.
//   quorvel-cli dump FILE.tbe       the scheme as JSON on stdout
//   quorvel-cli resave IN OUT       load a scheme and save it again
//   quorvel-cli eval EXPR           the value of an expression, as a value field reads it
#include <QGuiApplication>
#include <QJsonDocument>
#include <cstdio>
#include <cstring>

#include "app/schemedump.h"
#include "app/workbench.h"
#include "platform/fonts.h"
#include "platform/numfmt.h"

namespace {

void quietHandler(QtMsgType type, const QMessageLogContext&, const QString& msg) {
    // Qt's notes about the runtime directory are noise for a command-line tool.
    if (msg.startsWith(QLatin1String("QStandardPaths:"))) return;
    if (type != QtDebugMsg) std::fprintf(stderr, "%s\n", msg.toLocal8Bit().constData());
}

int usage() {
    std::fputs("usage: quorvel-cli dump FILE.tbe\n"
               "       quorvel-cli resave IN.tbe OUT.tbe\n"
               "       quorvel-cli eval EXPR\n",
               stderr);
    return 2;
}

int fail(const QString& message) {
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietHandler);
    QGuiApplication app(argc, argv);
    qv::installFontSubstitutions();
    if (argc < 2) return usage();
    const char* command = argv[1];
    qv::Workbench wb;
    QString error;
    if (!std::strcmp(command, "dump") && argc == 3) {
        if (!wb.openScheme(QString::fromLocal8Bit(argv[2]), &error)) return fail(error);
        QByteArray json = QJsonDocument(qv::dumpScheme(wb.scheme())).toJson(QJsonDocument::Indented);
        std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
        return 0;
    }
    if (!std::strcmp(command, "eval") && argc == 3) {
        qv::Extended v = 0;
        if (!wb.evaluate(argv[2], v, error)) return fail(error);
        std::printf("%s\n", qv::numfmt::standard(v).c_str());
        return 0;
    }
    if (!std::strcmp(command, "resave") && argc == 4) {
        if (!wb.openScheme(QString::fromLocal8Bit(argv[2]), &error)) return fail(error);
        if (!wb.saveScheme(QString::fromLocal8Bit(argv[3]), &error)) return fail(error);
        return 0;
    }
    return usage();
}
