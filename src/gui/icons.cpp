#include "icons.h"

#include <QString>
#include <algorithm>
#include <utility>

// The pictures are compiled into quorvel_gui, a static library: a program keeps them only
// when something initialises them. Outside any namespace, as Q_INIT_RESOURCE requires.
static void initIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace qv::gui {
namespace {

/// The picture of each kind: data/icons/NAME.svg.
constexpr std::pair<IconKind, const char*> kIconFiles[] = {
    {IconKind::New, "new"},
    {IconKind::Open, "open"},
    {IconKind::Save, "save"},
    {IconKind::Print, "print"},
    {IconKind::Left, "left"},
    {IconKind::Right, "right"},
    {IconKind::Up, "up"},
    {IconKind::Down, "down"},
    {IconKind::Snap, "snap"},
    {IconKind::Node, "node"},
    {IconKind::Branch, "branch"},
    {IconKind::Resistor, "resistor"},
    {IconKind::DcVoltage, "dc-voltage"},
    {IconKind::DcCurrent, "dc-current"},
    {IconKind::Ground, "ground"},
    {IconKind::Capacitor, "capacitor"},
    {IconKind::Inductor, "inductor"},
    {IconKind::Impedance, "impedance"},
    {IconKind::AcVoltage, "ac-voltage"},
    {IconKind::AcCurrent, "ac-current"},
    {IconKind::Line, "line"},
    {IconKind::Circle, "circle"},
    {IconKind::Arc, "arc"},
    {IconKind::Text, "text"},
    {IconKind::Polygon, "polygon"},
    {IconKind::Polyline, "polyline"},
    {IconKind::Vector, "vector"},
    {IconKind::Point, "point"},
    {IconKind::Loop, "loop"},
    {IconKind::LoopList, "loop-list"},
    {IconKind::SolveKirchhoff, "solve-kirchhoff"},
    {IconKind::SolveMesh, "solve-mesh"},
    {IconKind::SolveNodes, "solve-nodes"},
    {IconKind::PowerBalance, "power-balance"},
    {IconKind::Calculator, "calculator"},
    {IconKind::Options, "options"},
    {IconKind::PowerNode, "power-node"},
    {IconKind::Substation, "substation"},
    {IconKind::PowerLine, "power-line"},
    {IconKind::Breaker, "breaker"},
    {IconKind::Transformer, "transformer"},
    {IconKind::AlignCentre, "align-centre"},
    {IconKind::AlignJustify, "align-justify"},
    {IconKind::AlignRight, "align-right"},
    {IconKind::Bold, "bold"},
    {IconKind::Italic, "italic"},
    {IconKind::Underline, "underline"},
    {IconKind::Program, "quorvel"},
};

} // namespace

QIcon makeIcon(IconKind kind) {
    static const bool initialised = (initIconResources(), true);
    Q_UNUSED(initialised);
    auto it = std::find_if(std::begin(kIconFiles), std::end(kIconFiles),
                           [kind](const auto& entry) { return entry.first == kind; });
    if (it == std::end(kIconFiles)) return QIcon();
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(it->second)));
}

} // namespace qv::gui
