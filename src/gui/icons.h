#pragma once
// Toolbar pictures, painted at start-up so the program needs no image files beside it.
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
    AlignCentre,
    AlignJustify,
    AlignRight,
    Bold,
    Italic,
    Underline
};

QIcon makeIcon(IconKind kind);

} // namespace qv::gui
