#pragma once
// Toolbar pictures: the SVG files of data/icons, compiled into the program as resources.
#include <QIcon>

namespace qv::gui {

enum class IconKind {
    New,
    Open,
    Save,
    Print,
    Left,
    Right,
    Up,
    Down,
    Snap,
    Node,
    Branch,
    Resistor,
    DcVoltage,
    DcCurrent,
    Ground,
    Capacitor,
    Inductor,
    Impedance,
    AcVoltage,
    AcCurrent,
    Line,
    Circle,
    Arc,
    Text,
    Polygon,
    Polyline,
    Vector,
    Point,
    Loop,
    LoopList,
    SolveKirchhoff,
    SolveMesh,
    SolveNodes,
    PowerBalance,
    Calculator,
    Options,
    PowerNode,
    Substation,
    PowerLine,
    Breaker,
    Transformer,
    AlignCentre,
    AlignJustify,
    AlignRight,
    Bold,
    Italic,
    Underline,
    Program ///< the program's own: the window's icon, also installed for the menu entry
};

QIcon makeIcon(IconKind kind);

} // namespace qv::gui
