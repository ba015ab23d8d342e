// Element templates (.elm): read as a component's symbol is read, then a resistor made from the
// symbol, laid between two points, turned round, hit and painted.
#include <QImage>
#include <QPainter>

#include "app/workbench.h"
#include "components/components.h"
#include "components/templates.h"
#include "harness.h"
#include "platform/canvas.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qv::fuzz::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qv::Workbench& wb = qv::fuzz::workbench();
    qv::FizDisp tmpl(&wb.context());
    QString error;
    if (!qv::readTemplate(qv::fuzz::bytesOf(data, size), QStringLiteral("fuzz.elm"), tmpl, &error)) {
        if (error.isEmpty()) qv::fuzz::broken("a refused template without a reason");
        return 0;
    }
    std::unique_ptr<qv::FizDisp> scheme = wb.scheme().createEmpty();
    wb.scheme().copySettingsTo(*scheme);
    qv::NUniRes resistor;
    resistor.owner = scheme.get();
    resistor.createFromTemplate(tmpl);
    resistor.setEnds({100, 100}, {100 + resistor.length, 100});
    resistor.changeDirection();
    resistor.hitTest(110, 100);
    qv::Rect bounds;
    resistor.getBounds(bounds);
    QImage picture(64, 64, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&picture);
    qv::Canvas canvas(&painter);
    resistor.paint(&canvas);
    return 0;
}
