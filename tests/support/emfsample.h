#pragma once
// A drawing that uses every call of the canvas, for the metafile tests.
#include <QString>

#include "platform/canvas.h"

namespace qv::test {

inline void drawSample(Canvas& c) {
    c.setPen({rgb(0, 0, 0), pmCopy, psSolid, 1});
    c.setBrush({rgb(255, 255, 255), bsClear});
    c.line({10, 10}, {190, 10});
    c.setPen({rgb(200, 0, 0), pmCopy, psSolid, 3});
    c.line({10, 20}, {190, 60});
    c.setPen({rgb(0, 0, 160), pmCopy, psDash, 1});
    c.polyline({{10, 70}, {60, 120}, {110, 70}, {160, 120}});
    c.setPen({rgb(0, 0, 0), pmCopy, psSolid, 1});
    c.setBrush({rgb(0, 160, 0), bsSolid});
    c.polygon({{20, 140}, {80, 140}, {50, 190}});
    c.setBrush({rgb(0, 0, 200), bsDiagCross});
    c.ellipse(100, 130, 180, 190);
    c.setBrush({rgb(255, 255, 255), bsClear});
    c.arc(20, 200, 100, 280, {100, 240}, {20, 240}); // the upper half
    c.ellipse(120, 210, 170, 260);
    FontRec f;
    f.name = "Arial";
    f.height = -16;
    f.color = rgb(0, 0, 0);
    c.text({20, 300}, QStringLiteral("Ua R1"), f, 0);
    f.name = "Times New Roman Cyr";
    f.style = 1;
    c.text({150, 380}, QStringLiteral("Ток"), f, 900);
    f.name = "Symbol";
    f.style = 0;
    c.text({40, 340}, QStringLiteral("wj"), f, 0);
    c.pixel({195, 395}, rgb(0, 0, 0));
    c.fillRect({170, 300, 190, 320}, rgb(120, 0, 120));
    // Interactive feedback drawn twice leaves nothing.
    c.setPen({rgb(0, 0, 0), kInvertMode, psSolid, 1});
    c.line({10, 390}, {100, 390});
    c.line({10, 390}, {100, 390});
}

} // namespace qv::test
