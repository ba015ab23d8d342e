#include "harness.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/workbench.h"
#include "components/branch.h"
#include "io/classes.h"
#include "io/documentfile.h"
#include "model/document.h"
#include "platform/binarystream.h"
#include "platform/canvas.h"
#include "platform/fonts.h"

namespace qv::fuzz {

namespace {
std::unique_ptr<Workbench> theWorkbench;
} // namespace

void initialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's warnings about what hostile input asks of it (pen widths out of range and the like)
    // would only slow the runs down; a fatal message still ends the run as a crash.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type != QtFatalMsg) return;
        std::fprintf(stderr, "%s\n", qPrintable(message));
        std::abort();
    });
    static QGuiApplication app(*argc, *argv);
    installFontSubstitutions();
    registerSchemeClasses();
    // The program folder holds no catalogues: the built-in ones stand.
    theWorkbench = std::make_unique<Workbench>(QCoreApplication::applicationDirPath());
}

Workbench& workbench() {
    return *theWorkbench;
}

void broken(const char* what) {
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

void useDocument(FizDisp& doc) {
    Rect bounds;
    doc.getBounds(bounds);
    NFizObj* hit = nullptr;
    doc.findAt(100, 100, hit);

    BinaryWriter w;
    doc.saveToStream(w);
    {
        std::unique_ptr<FizDisp> again = doc.createEmpty();
        doc.copySettingsTo(*again);
        BinaryReader r(w.bytes());
        if (!readDocument(*again, r)) {
            std::fprintf(stderr, "%s\n", r.error().c_str());
            broken("a document read from a file is saved as a record that does not read back");
        }
    }

    QImage picture(64, 64, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        Canvas canvas(&painter);
        doc.paint(&canvas);
    }
    countConnectedParts(doc);
    for (NFizObj* o : std::vector<NFizObj*>(doc.objects()))
        o->endDrag();
    doc.clearRemovable();
    doc.paint(doc.canvas());
}

} // namespace qv::fuzz
