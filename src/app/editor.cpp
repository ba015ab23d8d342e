#include "app/editor.h"

#include <QCoreApplication>
#include <cmath>

#include "app/workbench.h"
#include "components/branch.h"
#include "components/components.h"
#include "components/nodes.h"
#include "components/templates.h"
#include "diagrams/loop.h"
#include "diagrams/vectordiagram.h"
#include "graphics/labels.h"
#include "graphics/primitives.h"
#include "model/context.h"
#include "model/document.h"
#include "power/networkelements.h"

namespace qv {

namespace {

struct ToolInfo {
    Tool tool;
    const char* caption;
    const char* className; ///< the component class built from its template, or null
};

constexpr ToolInfo kTools[] = {
    {Tool::Node, QT_TRANSLATE_NOOP("qv::Editor", "Node"), nullptr},
    {Tool::Branch, QT_TRANSLATE_NOOP("qv::Editor", "Branch"), nullptr},
    {Tool::Resistor, QT_TRANSLATE_NOOP("qv::Editor", "Resistor"), "NUniRes"},
    {Tool::DcVoltageSource, QT_TRANSLATE_NOOP("qv::Editor", "DC voltage source"), "NUniEds"},
    {Tool::DcCurrentSource, QT_TRANSLATE_NOOP("qv::Editor", "DC curent source"), "NUniIst"},
    {Tool::Ground, QT_TRANSLATE_NOOP("qv::Editor", "Ground"), nullptr},
    {Tool::Capacitor, QT_TRANSLATE_NOOP("qv::Editor", "Capacitor"), "NUniCon"},
    {Tool::Inductor, QT_TRANSLATE_NOOP("qv::Editor", "Inductor"), "NUniInd"},
    {Tool::Impedance, QT_TRANSLATE_NOOP("qv::Editor", "Impedance"), "NUniImpedance"},
    {Tool::AcVoltageSource, QT_TRANSLATE_NOOP("qv::Editor", "AC voltage source"), "NUniCompEDS"},
    {Tool::AcCurrentSource, QT_TRANSLATE_NOOP("qv::Editor", "AC current source"), "NUniCompCurSource"},
    {Tool::Line, QT_TRANSLATE_NOOP("qv::Editor", "Line"), nullptr},
    {Tool::Circle, QT_TRANSLATE_NOOP("qv::Editor", "Circle"), nullptr},
    {Tool::Arc, QT_TRANSLATE_NOOP("qv::Editor", "Arc"), nullptr},
    {Tool::Text, QT_TRANSLATE_NOOP("qv::Editor", "Text"), nullptr},
    {Tool::Polygon, QT_TRANSLATE_NOOP("qv::Editor", "Polygon"), nullptr},
    {Tool::Polyline, QT_TRANSLATE_NOOP("qv::Editor", "Polyline"), nullptr},
    {Tool::Loop, QT_TRANSLATE_NOOP("qv::Editor", "Loop"), nullptr},
    {Tool::PowerNode, QT_TRANSLATE_NOOP("qv::Editor", "Network node"), nullptr},
    {Tool::Substation, QT_TRANSLATE_NOOP("qv::Editor", "Substation"), nullptr},
    {Tool::PowerLine, QT_TRANSLATE_NOOP("qv::Editor", "Power line"), nullptr},
    {Tool::Breaker, QT_TRANSLATE_NOOP("qv::Editor", "Breaker"), nullptr},
    {Tool::Transformer, QT_TRANSLATE_NOOP("qv::Editor", "Transformer"), nullptr},
    {Tool::Vector, QT_TRANSLATE_NOOP("qv::Editor", "Vector"), nullptr},
};

const ToolInfo& infoOf(Tool tool) {
    for (const ToolInfo& t : kTools)
        if (t.tool == tool) return t;
    return kTools[0];
}

/// Lends an event's canvas to the document (and its label document) while the event is
/// handled: objects draw their own feedback through their owner. The page's own canvas, which
/// the documents keep between events, comes back afterwards.
class CanvasLoan {
  public:
    CanvasLoan(FizDisp& doc, Canvas* canvas)
        : doc_(doc), labels_(doc.labelDocument), saved_(doc.canvasSet()),
          savedLabels_(labels_ ? labels_->canvasSet() : nullptr) {
        doc_.setCanvas(canvas);
        if (labels_) labels_->setCanvas(canvas);
    }
    ~CanvasLoan() {
        doc_.setCanvas(saved_);
        if (labels_) labels_->setCanvas(savedLabels_);
    }
    CanvasLoan(const CanvasLoan&) = delete;
    CanvasLoan& operator=(const CanvasLoan&) = delete;

  private:
    FizDisp& doc_;
    FizDisp* labels_;
    Canvas* saved_;
    Canvas* savedLabels_;
};

} // namespace

QString toolCaption(Tool tool) {
    return QCoreApplication::translate("qv::Editor", infoOf(tool).caption);
}

int32_t roundHalfEven(long double v) {
    // The default rounding mode rounds halves to even.
    return int32_t(std::llrint(v));
}

Point snapToGrid(Point p, int32_t stepX, int32_t stepY) {
    if (stepX >= 1) p.x = int32_t(int64_t(stepX) * roundHalfEven((long double)p.x / stepX));
    if (stepY >= 1) p.y = int32_t(int64_t(stepY) * roundHalfEven((long double)p.y / stepY));
    return p;
}

Editor::Editor(Workbench& workbench, NLayerFDisp& doc, Kind kind) : wb_(workbench), doc_(doc), kind_(kind) {}

Editor::~Editor() {
    cancel();
}

// ---- Mapping ----

void Editor::setPixelsPerInch(double dpiX, double dpiY) {
    if (dpiX > 0) dpiX_ = dpiX;
    if (dpiY > 0) dpiY_ = dpiY;
}

double Editor::unitsPerPixel() const {
    if (kind_ == Kind::Scheme) {
        double z = double(wb_.zoom);
        return z > 0 ? 1.0 / z : 1.0;
    }
    // Window extent 1000 / c over a viewport extent of 10, c in pixels per centimetre.
    long c = std::lround(dpiX_ / 2.54);
    long extent = std::lround(1000.0 / double(c > 0 ? c : 38));
    return double(extent) / 10.0;
}

Point Editor::deviceToLogical(double px, double py) const {
    double u = unitsPerPixel();
    if (kind_ == Kind::Scheme)
        return {roundHalfEven(wb_.scrollX + (long double)px * u),
                roundHalfEven(wb_.scrollY + (long double)py * u)};
    long c = std::lround(dpiY_ / 2.54);
    double uy = double(std::lround(1000.0 / double(c > 0 ? c : 38))) / 10.0;
    return {roundHalfEven(wb_.vdScrollX + (long double)px * u),
            roundHalfEven(wb_.vdScrollY + (long double)py * uy)};
}

Point Editor::snap(Point p) const {
    if (kind_ == Kind::Scheme) {
        auto& s = static_cast<const NTBEFizDisp&>(doc_);
        return snapToGrid(p, s.gridStepX, s.gridStepY);
    }
    const NVectDiaDisp& v = wb_.vectorDoc();
    if (v.snapOff) return p;
    return snapToGrid(p, v.snapHStep, v.snapVStep);
}

void Editor::pickTolerance() {
    wb_.context().pickTolerance = kind_ == Kind::Scheme ? 4 : 20;
}

// ---- Mouse ----

void Editor::unmark(Canvas* canvas) {
    if (!selected_) return;
    selected_->drawHighlighted(canvas);
    selected_ = nullptr;
}

void Editor::placed(Canvas* canvas) {
    NFizObj* obj = placed_.release(); // the document (or its loop list) owns it now
    obj->draw(canvas);
    repaint_ = true;
    wb_.commit(toolCaption(tool_));
}

void Editor::mouseDown(Point logical, MouseButton button, Canvas* canvas) {
    CanvasLoan loan(doc_, canvas);
    pickTolerance();
    unmark(canvas);
    lastClick_ = logical;
    Point p = snap(logical);
    if (doc_.moveArmed()) doc_.beginMove(p.x, p.y);
    if (placed_) {
        // A loop that could not be listed, or a node refused by a full document, stays with us.
        placed_->placePoint(state_, p.x, p.y);
        if (state_ == kPlacementDone) {
            bool loop = tool_ == Tool::Loop;
            if (loop && doc_.loops().indexOf(static_cast<NFCont*>(placed_.get())) < 0) {
                placed_.reset();
                repaint_ = true;
            } else {
                placed(canvas);
            }
        }
    }
    if (button == MouseButton::Right && !placed_) {
        NFizObj* found = nullptr;
        if (doc_.findAt(logical.x, logical.y, found)) {
            selected_ = found;
            popup_ = {true, found->removable != 0, true};
            selected_->drawHighlighted(canvas);
        } else if (kind_ == Kind::Vector) {
            popup_ = {true, false, false};
        }
    }
}

QString Editor::hintAt(Point p) {
    if (kind_ != Kind::Scheme) return {};
    pickTolerance();
    NFizObj* found = nullptr;
    if (!doc_.findAt(p.x, p.y, found)) return {};
    if (auto* b = dynamic_cast<NFVetv*>(found))
        return QCoreApplication::translate("qv::Editor", "Ветвь-") + QString::fromStdString(b->name);
    if (auto* n = dynamic_cast<NFUsel*>(found))
        return QCoreApplication::translate("qv::Editor", "Узел-") + QString::fromStdString(n->name);
    if (auto* c = dynamic_cast<NUniSetObj*>(found)) return QString::fromStdString(c->hintText());
    return {};
}

void Editor::mouseMove(Point logical, Canvas* canvas) {
    CanvasLoan loan(doc_, canvas);
    hint_ = hintAt(logical);
    Point p = snap(logical);
    if (doc_.moving()) doc_.dragTo(p.x, p.y, canvas);
    if (placed_) placed_->trackTo(state_, p.x, p.y, canvas);
    if (kind_ == Kind::Scheme)
        status_ = QCoreApplication::translate("qv::Editor", "Pos: %1,%2").arg(p.x).arg(p.y);
    else
        status_ = QCoreApplication::translate("qv::Editor", "Pos: %1,%2j").arg(p.x).arg(-int64_t(p.y));
}

void Editor::mouseUp(Point, Canvas*) {
    if (!doc_.moving()) return;
    doc_.endMove();
    repaint_ = true;
    if (!doc_.moving()) wb_.commit(QCoreApplication::translate("qv::Editor", "Move"));
}

void Editor::click(Canvas* canvas) {
    unmark(canvas);
}

void Editor::doubleClick(Canvas* canvas) {
    CanvasLoan loan(doc_, canvas);
    if (!dynamic_cast<NManypoints*>(placed_.get())) return;
    doc_.finishFlag = 1;
    placed_->placePoint(state_, 0, 0);
    doc_.finishFlag = 0;
    if (state_ == kPlacementDone) placed(canvas);
}

bool Editor::key(EditorKey k, Canvas* canvas) {
    int32_t& sx = kind_ == Kind::Scheme ? wb_.scrollX : wb_.vdScrollX;
    int32_t& sy = kind_ == Kind::Scheme ? wb_.scrollY : wb_.vdScrollY;
    switch (k) {
    case EditorKey::Left:
        sx -= scrollStep();
        break;
    case EditorKey::Right:
        sx += scrollStep();
        break;
    case EditorKey::Up:
        sy -= scrollStep();
        break;
    case EditorKey::Down:
        sy += scrollStep();
        break;
    case EditorKey::Escape:
        if (!placed_ && !doc_.moveArmed() && !selected_) return false;
        unmark(canvas);
        cancel();
        break;
    case EditorKey::Delete:
        if (!selected_ || !selected_->removable) return false;
        {
            NFizObj* obj = selected_;
            selected_ = nullptr;
            cancel();
            doc_.deleteObject(obj);
            wb_.commit(QCoreApplication::translate("qv::Editor", "Delete"));
        }
        break;
    }
    repaint_ = true;
    return true;
}

Editor::Popup Editor::takePopup() {
    Popup p = popup_;
    popup_ = {};
    return p;
}

// ---- Pop-up commands ----

void Editor::deleteCommand() {
    cancel();
    pickTolerance();
    NFizObj* found = nullptr;
    selected_ = nullptr;
    repaint_ = true;
    // Only what the user may delete on its own: a node with branches stays.
    if (!doc_.findAt(lastClick_.x, lastClick_.y, found) || !found->removable) return;
    doc_.deleteObject(found);
    wb_.commit(QCoreApplication::translate("qv::Editor", "Delete"));
}

void Editor::moveCommand() {
    if (!selected_) return;
    cancel();
    doc_.armMove(selected_);
}

void Editor::propertiesCommand() {
    cancel();
    selected_ = nullptr;
    pickTolerance();
    NFizObj* found = nullptr;
    repaint_ = true;
    if (!doc_.findAt(lastClick_.x, lastClick_.y, found)) return;
    found->editProperties();
    wb_.commit(QCoreApplication::translate("qv::Editor", "Properties"));
}

// ---- Tools ----

bool Editor::startTool(Tool tool) {
    cancel();
    std::unique_ptr<NFizObj> obj;
    QString error;
    const ToolInfo& info = infoOf(tool);
    if (info.className) {
        obj = createComponent(info.className, &doc_, &error);
    } else {
        switch (tool) {
        case Tool::Node:
            obj = std::make_unique<NTbeNode>();
            break;
        case Tool::Branch:
            obj = std::make_unique<NTbeLine>();
            break;
        case Tool::Ground:
            obj = createGround(&doc_, &error);
            break;
        case Tool::Line:
            obj = std::make_unique<NGrLine>();
            doc_.labelKind = LabelKind::UserText;
            break;
        case Tool::Circle:
            obj = std::make_unique<NGrRound>();
            break;
        case Tool::Arc:
            obj = std::make_unique<NGrArc>();
            break;
        case Tool::Text: {
            auto text = std::make_unique<NUserTextLabel>();
            if (kind_ == Kind::Vector) text->textFont.height = 70;
            obj = std::move(text);
            break;
        }
        case Tool::Polygon:
            obj = std::make_unique<NGpolyGon>();
            break;
        case Tool::Polyline:
            obj = std::make_unique<NGpolyLine>();
            break;
        case Tool::Vector:
            if (kind_ != Kind::Vector) return false;
            obj = std::make_unique<NVector>();
            break;
        case Tool::Loop:
            if (kind_ != Kind::Scheme) return false;
            obj = newLoop(static_cast<NTBEFizDisp&>(doc_));
            break;
        // The network elements ask for their data in their dialogs once placed, like a
        // breaker's name; they belong on the scheme only.
        case Tool::PowerNode:
            if (kind_ != Kind::Scheme) return false;
            obj = std::make_unique<NPowerNode>();
            break;
        case Tool::Substation:
            if (kind_ != Kind::Scheme) return false;
            obj = std::make_unique<NTransStat>();
            break;
        case Tool::PowerLine:
            if (kind_ != Kind::Scheme) return false;
            obj = std::make_unique<NPowerLine>();
            break;
        case Tool::Breaker:
            if (kind_ != Kind::Scheme) return false;
            obj = std::make_unique<NFBreaker>();
            break;
        case Tool::Transformer:
            if (kind_ != Kind::Scheme) return false;
            obj = std::make_unique<NFTransForm>();
            break;
        default:
            break;
        }
    }
    if (!obj) {
        if (!error.isEmpty())
            wb_.context().messages()->show(error, QString(), MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    obj->owner = &doc_;
    placed_ = std::move(obj);
    tool_ = tool;
    state_ = 0;
    return true;
}

void Editor::cancel() {
    doc_.disarmMove();
    if (!placed_) return;
    // A branch or a ground already hangs on its first node: take it off again.
    if (auto* tp = dynamic_cast<NFTwoPole*>(placed_.get())) {
        for (NFUsel* n : {tp->node1, tp->node2})
            if (n) n->detachBranch(tp);
        tp->node1 = tp->node2 = nullptr;
    }
    placed_.reset();
    state_ = 0;
    repaint_ = true;
}

bool Editor::takeRepaint() {
    bool r = repaint_;
    repaint_ = false;
    return r;
}

void Editor::forgetObjects() {
    selected_ = nullptr;
    popup_ = {};
    hint_.clear();
    repaint_ = true;
}

} // namespace qv
