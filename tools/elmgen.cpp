// Writes the element template files (the symbol drawings of the components and the ground)
// into a folder: quorvel-elmgen DIR. The files in data/elements are its output.
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "components/templates.h"
#include "io/classes.h"
#include "io/documentfile.h"
#include "model/document.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    qv::registerSchemeClasses();
    if (argc != 2) {
        std::fputs("usage: quorvel-elmgen DIR\n", stderr);
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.exists() && !QDir().mkpath(dir.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    for (const auto& t : qv::elementTemplates()) {
        qv::FizDisp doc;
        qv::buildTemplate(t.className, doc);
        if (auto status = qv::saveDocumentFile(doc, dir.filePath(QString::fromLatin1(t.fileName))); !status) {
            std::fprintf(stderr, "%s\n", status.error.toLocal8Bit().constData());
            return 1;
        }
    }
    return 0;
}
