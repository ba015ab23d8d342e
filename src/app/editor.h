#pragma once
// The editing of one drawing page with the mouse and keys: logical points, buttons and keys
// come in; calls on the page's objects and document go out. The window only translates its
// events and paints; everything that decides lives here, so it is tested without a window.
#include <QString>
#include <memory>

#include "platform/canvas.h"
#include "platform/extended.h"
#include "platform/types.h"

namespace qv {

class NFizObj;
class NLayerFDisp;
class NTBEFizDisp;
class Workbench;

enum class MouseButton { Left, Right, Middle };

/// Keys the pages act on.
enum class EditorKey { Left, Right, Up, Down, Escape, Delete };

/// What a tool button places.
enum class Tool {
    Node,
    Branch,
    Resistor,
    DcVoltageSource,
    DcCurrentSource,
    Ground,
    Capacitor,
    Inductor,
    Impedance,
    AcVoltageSource,
    AcCurrentSource,
    Line,
    Circle,
    Arc,
    Text,
    Polygon,
    Polyline,
    Loop,
    // The power network elements: scheme page only.
    PowerNode,
    Substation,
    PowerLine,
    Breaker,
    Transformer,
    Vector, ///< the vector page's vectors
};

/// The caption of a tool as its menu entry or button hint shows it.
QString toolCaption(Tool tool);

/// Rounds to the nearest integer, halves to even.
int32_t roundHalfEven(long double v);
/// Snaps `p` to the grid of steps `stepX`, `stepY` (nearest line, halves to the even multiple).
/// A step below 1 leaves that coordinate as it is.
Point snapToGrid(Point p, int32_t stepX, int32_t stepY);

class Editor {
  public:
    enum class Kind { Scheme, Vector };
    Editor(Workbench& workbench, NLayerFDisp& doc, Kind kind);
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    Kind kind() const { return kind_; }
    NLayerFDisp& document() { return doc_; }

    // ---- Mapping and snapping ----
    /// The logical point under device point (px, py) of the page, rounded as the page maps it.
    Point deviceToLogical(double px, double py) const;
    Point snap(Point p) const;
    /// Logical units per device pixel (the inverse of the scheme's zoom; tenths of a millimetre
    /// per pixel on the vector page).
    double unitsPerPixel() const;
    /// How many logical units the arrow keys scroll.
    int32_t scrollStep() const { return kind_ == Kind::Scheme ? 30 : 100; }
    /// The screen's logical pixels per inch; sets the vector page's scale.
    void setPixelsPerInch(double dpiX, double dpiY);

    // ---- Mouse ----
    /// `logical`: the unsnapped logical point. Feedback (marks, rubber bands) goes to `canvas`.
    void mouseDown(Point logical, MouseButton button, Canvas* canvas);
    void mouseMove(Point logical, Canvas* canvas);
    void mouseUp(Point logical, Canvas* canvas);
    void click(Canvas* canvas);
    void doubleClick(Canvas* canvas);
    /// True when a key was handled.
    bool key(EditorKey key, Canvas* canvas);

    /// The pop-up menu asked for by the last right-click: shown and with its "Delete" entry.
    struct Popup {
        bool show = false;
        bool deleteEntry = false;
        bool onObject = false; ///< the vector page has a second menu for empty space
    };
    Popup takePopup();

    // ---- Pop-up commands ----
    void deleteCommand();
    void moveCommand();
    void propertiesCommand();

    // ---- Tools ----
    /// Starts placing a new object of `tool`; a placement in progress is abandoned first.
    /// False (with a message) when the object cannot be made.
    bool startTool(Tool tool);
    bool placing() const { return bool(placed_); }
    int placementState() const { return state_; }
    NFizObj* placedObject() const { return placed_.get(); }
    /// Abandons the object being placed, undoing what it did to the document so far, and any
    /// armed move.
    void cancel();

    NFizObj* selected() const { return selected_; }
    Point lastClick() const { return lastClick_; }

    /// The status panel's text for the last pointer position.
    QString statusText() const { return status_; }
    /// What lies under the pointer ("Ветвь-2", "Узел-3", a component's value), or empty.
    QString hint() const { return hint_; }
    /// The hover text for the object under `p`.
    QString hintAt(Point p);

    /// True when the whole page must be painted again; cleared by reading.
    bool takeRepaint();
    /// Forgets every reference into the document (after it was replaced as a whole).
    void forgetObjects();

  private:
    void pickTolerance();
    void unmark(Canvas* canvas);
    /// Finished placing: the document owns the object now.
    void placed(Canvas* canvas);

    Workbench& wb_;
    NLayerFDisp& doc_;
    Kind kind_;
    std::unique_ptr<NFizObj> placed_;
    Tool tool_ = Tool::Node;
    int state_ = 0;
    NFizObj* selected_ = nullptr;
    Point lastClick_;
    QString status_, hint_;
    Popup popup_;
    bool repaint_ = false;
    double dpiX_ = 96, dpiY_ = 96;
};

} // namespace qv
