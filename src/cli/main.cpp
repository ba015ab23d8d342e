// quorvel-cli: the workbench without a window, for scripts.
//   quorvel-cli dump FILE.tbe       the scheme as JSON on stdout
//   quorvel-cli resave IN OUT       load a scheme and save it again
#include <QGuiApplication>
#include <QJsonDocument>
#include <cstdio>
#include <cstring>

#include "app/schemedump.h"
#include "app/workbench.h"
#include "platform/fonts.h"

namespace {

int usage() {
    std::fputs("usage: quorvel-cli dump FILE.tbe\n"
               "       quorvel-cli resave IN.tbe OUT.tbe\n",
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
    QGuiApplication app(argc, argv);
    qv::installFontSubstitutions();
    if (argc < 2) return usage();
    const char* command = argv[1];
    qv::Workbench wb;
    QString error;
    if (!std::strcmp(command, "dump") && argc == 3) {
        if (!wb.scheme().loadFromFile(QString::fromLocal8Bit(argv[2]), &error)) return fail(error);
        QByteArray json = QJsonDocument(qv::dumpScheme(wb.scheme())).toJson(QJsonDocument::Indented);
        std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
        return 0;
    }
    if (!std::strcmp(command, "resave") && argc == 4) {
        if (!wb.scheme().loadFromFile(QString::fromLocal8Bit(argv[2]), &error)) return fail(error);
        if (!wb.scheme().saveToFile(QString::fromLocal8Bit(argv[3]), &error)) return fail(error);
        return 0;
    }
    return usage();
}
