#include "power/networkelements.h"

#include <cmath>

#include "graphics/labels.h"
#include "model/classregistry.h"
#include "model/context.h"
#include "model/document.h"
#include "platform/binarystream.h"
#include "power/elementdialogs.h"

namespace qv {

namespace {

/// The voltage-class colour of `u` in the catalogues of `owner`'s workbench (black without one).
Colour classColourOf(const FizDisp* owner, Extended u) {
    if (!owner || !owner->context()) return 0;
    return powerCatalogues(*owner->context()).voltageClasses.classColour(u);
}

template <class Dialog, class Target> bool runDialog(FizDisp* owner, Target* target, Target* Dialog::*slot) {
    Context* ctx = owner->context();
    auto& dlg = ctx->dialog<Dialog>();
    dlg.ctx = ctx;
    dlg.*slot = target;
    bool confirmed = ctx->presenter()->exec(dlg);
    dlg.*slot = nullptr;
    return confirmed;
}

Point rounded(Extended x, Extended y) {
    return {roundCoord(x), roundCoord(y)};
}

} // namespace

std::optional<Extended> nodeVoltage(const NFUsel* node) {
    if (auto* p = dynamic_cast<const NPowerNode*>(node)) return p->unom;
    return std::nullopt;
}

// ---- NPowerNode ----

void NPowerNode::applyClassColour() {
    shape->pen.color = classColourOf(owner, unom);
}

void NPowerNode::editProperties() {
    if (!owner) return;
    runDialog<PowerNodeDialog>(owner, this, &PowerNodeDialog::node);
    updateLabel();
    applyClassColour();
}

void NPowerNode::autoName() {
    // A number first, so that a cancelled dialog still leaves a named node.
    if (owner) owner->takeNodeNumber(name);
    unom = 110;
    editProperties();
    defaultLabelPos(labelPos);
    updateLabel();
}

void NPowerNode::saveNodeValues(BinaryWriter& w) const {
    for (Extended v : {shuntB, shuntG, genP, genQ, loadP, loadQ, unom})
        w.writeExtended(v);
}

void NPowerNode::loadNodeValues(BinaryReader& r) {
    for (Extended* v : {&shuntB, &shuntG, &genP, &genQ, &loadP, &loadQ, &unom})
        r.readExtended(*v);
}

void NPowerNode::saveToStream(BinaryWriter& w) {
    NFUniNode::saveToStream(w);
    saveNodeValues(w);
}

void NPowerNode::loadFromStream(BinaryReader& r) {
    NFUniNode::loadFromStream(r);
    loadNodeValues(r);
}

// ---- NTransStat ----

NTransStat::NTransStat()
    : transformer(std::make_unique<NTransSpr>()), lowNode(std::make_unique<NPowerNode>()) {
    shape = std::make_unique<NGTPNode>();
}

NTransStat::~NTransStat() = default;

void NTransStat::editProperties() {
    if (!owner) return;
    runDialog<SubstationDialog>(owner, this, &SubstationDialog::station);
    updateLabel();
    applyClassColour();
}

void NTransStat::saveToStream(BinaryWriter& w) {
    NPowerNode::saveToStream(w);
    w.writeInt32(transCount);
    w.writeShortString(transKind, kItemNameLength);
    w.writeInt32(tapNumber);
    transformer->saveToStream(w);
    lowNode->saveNodeValues(w);
    w.writeShortString(lowNode->name, kNameLength);
}

void NTransStat::loadFromStream(BinaryReader& r) {
    NPowerNode::loadFromStream(r);
    r.readInt32(transCount);
    r.readShortString(transKind, kItemNameLength);
    r.readInt32(tapNumber);
    transformer->loadFromStream(r);
    lowNode->loadNodeValues(r);
    r.readShortString(lowNode->name, kNameLength);
}

// ---- NPowerLine ----

bool NPowerLine::voltageCheck() {
    // An end that is not a network node has no voltage to compare.
    std::optional<Extended> start = nodeVoltage(node1), other = nodeVoltage(node2);
    if (!start) return false;
    unom = *start;
    if (!other || !(std::fabs(unom - *other) > unom / 10)) return false;
    if (owner && owner->context())
        owner->context()->messages()->show(
            QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Message", "Ветвь соедмеяет узлы разного напряжения")),
            QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Message", "Предупреждение")), MsgButtons::Ok,
            MsgIcon::Warning);
    return true;
}

void NPowerLine::editProperties() {
    if (!owner) return;
    voltageCheck();
    runDialog<LineDialog>(owner, this, &LineDialog::line);
    name = cutToCharacters(dispatchName, kNameLength);
    updateLabel();
    pen.color = classColourOf(owner, unom);
}

void NPowerLine::autoName() {
    // Placing ends here: the dialog starts with the voltage check, so it runs once.
    defaultLabelPos(labelPos);
    editProperties();
    updateLabel();
}

void NPowerLine::updateLabel(int, int) {
    if (!owner) return;
    if (!ensureLabel(nameLabel ? nullptr : std::make_unique<NTextLabel>(), LabelKind::Node)) return;
    if (auto* text = dynamic_cast<NTextLabel*>(nameLabel)) text->text = name;
    placeLabel();
}

void NPowerLine::saveToStream(BinaryWriter& w) {
    NFVetv::saveToStream(w);
    for (Extended v : {lineB, lineG, lengthKm, lineR, lineX, unom, maxCurrent})
        w.writeExtended(v);
    w.writeShortString(dispatchName, kItemNameLength);
    w.writeShortString(wireKind, kItemNameLength);
    w.writeInt32(circuits);
    w.writeExtended(lineR);
    w.writeExtended(lineX);
}

void NPowerLine::loadFromStream(BinaryReader& r) {
    NFVetv::loadFromStream(r);
    for (Extended* v : {&lineB, &lineG, &lengthKm, &lineR, &lineX, &unom, &maxCurrent})
        r.readExtended(*v);
    r.readShortString(dispatchName, kItemNameLength);
    r.readShortString(wireKind, kItemNameLength);
    r.readInt32(circuits);
    // The file holds the resistance and reactance twice; the second copy stands.
    r.readExtended(lineR);
    r.readExtended(lineX);
}

// ---- NFTwoDir ----

NFTwoDir::NFTwoDir(std::unique_ptr<TwoPointGraph> fig) : figure(std::move(fig)) {}
NFTwoDir::~NFTwoDir() = default;

void NFTwoDir::trackTo(int state, int32_t x, int32_t y, Canvas* canvas) {
    figure->owner = owner;
    figure->trackTo(state, x, y, canvas);
}

bool NFTwoDir::hitTest(int32_t x, int32_t y) {
    figure->owner = owner;
    return figure->hitTest(x, y);
}

void NFTwoDir::draw(Canvas* canvas) {
    figure->paint(canvas);
}

void NFTwoDir::getBounds(Rect& rect) {
    figure->getBounds(rect);
}

void NFTwoDir::placePoint(int& state, int32_t x, int32_t y) {
    curPoint = {x, y};
    if (!owner || state == kPlacementDone) return;
    figure->owner = owner;
    NFizObj* found = nullptr;
    if (!owner->findAt(x, y, found)) return;
    auto* node = dynamic_cast<NFUsel*>(found);
    if (!node || !node->canAttach()) return;
    if (state == 0) {
        node->attachBranch(this, x, y);
        node1 = node;
        Point p{x, y};
        node->connectionPoint(this, p);
        figure->p1 = figure->p2 = figure->cursor = p;
        figure->recalc();
        state = 1;
        return;
    }
    if (node == node1) return;
    if (owner->objectCount() + 2 > FizDisp::kMaxObjects) {
        owner->reportFull();
        return;
    }
    node->attachBranch(this, x, y);
    node2 = node;
    Point p{x, y};
    node->connectionPoint(this, p);
    figure->p2 = p;
    figure->recalc();
    state = kPlacementDone;
    owner->add(this);
    placed();
}

void NFTwoDir::placed() {
    autoName();
    updateLabel();
}

void NFTwoDir::updateLabel(int, int) {
    if (!owner) return;
    if (!ensureLabel(nameLabel ? nullptr : std::make_unique<NTextLabel>(), LabelKind::Node)) return;
    if (auto* text = dynamic_cast<NTextLabel*>(nameLabel)) text->text = name;
    placeLabel();
}

void NFTwoDir::defaultLabelPos(Point& p) {
    figure->recalc();
    figure->localToWorld(12, figure->len / 2, p);
}

void NFTwoDir::nodeMoved(NFUsel* node) {
    if (!node) return;
    if (node == node1) node->connectionPoint(this, figure->p1);
    if (node == node2) node->connectionPoint(this, figure->p2);
    figure->recalc();
}

void NFTwoDir::saveToStream(BinaryWriter& w) {
    NFTwoPole::saveToStream(w);
    w.writeShortStringRaw(figure->className(), 100);
    figure->saveToStream(w);
}

void NFTwoDir::loadFromStream(BinaryReader& r) {
    NFTwoPole::loadFromStream(r);
    std::string cls;
    r.readShortStringRaw(cls, 100);
    if (r.failed()) return;
    std::unique_ptr<NFizObj> obj = createObjectByClassName(cls);
    // Labels are two-point figures too, but their texts belong to a document.
    auto* fig = dynamic_cast<TwoPointGraph*>(obj.get());
    if (!fig || dynamic_cast<NUniLabel*>(fig)) {
        r.fail("Invalid class name \"" + cls + "\" for the figure of an element");
        return;
    }
    obj.release();
    figure.reset(fig);
    figure->owner = owner;
    figure->loadFromStream(r);
}

// ---- NFBreaker ----

NFBreaker::NFBreaker() : NFTwoDir(std::make_unique<NGBreaker>()) {}

void NFBreaker::editProperties() {
    if (!owner) return;
    runDialog<BreakerDialog>(owner, this, &BreakerDialog::breaker);
    if (auto u = nodeVoltage(node1)) unom = *u;
    figure->pen.color = classColourOf(owner, unom);
    if (auto* b = dynamic_cast<NGBreaker*>(figure.get())) b->bladeOffset = on ? 2 : 6;
    figure->recalc();
    updateLabel();
}

void NFBreaker::saveToStream(BinaryWriter& w) {
    NFTwoDir::saveToStream(w);
    w.writeByte(on);
}

void NFBreaker::loadFromStream(BinaryReader& r) {
    NFTwoDir::loadFromStream(r);
    r.readByte(on);
}

// ---- NFTransForm ----

NFTransForm::NFTransForm()
    : NFTwoDir(std::make_unique<NGTransform>()), transformer(std::make_unique<NTransSpr>()) {}
NFTransForm::~NFTransForm() = default;

void NFTransForm::orient() {
    std::optional<Extended> u1 = nodeVoltage(node1), u2 = nodeVoltage(node2);
    if (!u1 || !u2 || !(*u1 < *u2)) return;
    std::swap(node1, node2);
    std::swap(figure->p1, figure->p2);
    figure->recalc();
}

void NFTransForm::placed() {
    orient();
    autoName();
    editProperties();
}

void NFTransForm::editProperties() {
    if (!owner) return;
    runDialog<TransformerDialog>(owner, this, &TransformerDialog::transformer);
    updateLabel();
}

void NFTransForm::saveToStream(BinaryWriter& w) {
    NFTwoDir::saveToStream(w);
    w.writeInt32(tapNumber);
    w.writeShortString(transKind, kItemNameLength);
    transformer->saveToStream(w);
    w.writeShortString(transKind, kItemNameLength);
}

void NFTransForm::loadFromStream(BinaryReader& r) {
    NFTwoDir::loadFromStream(r);
    r.readInt32(tapNumber);
    r.readShortString(transKind, kItemNameLength);
    transformer->loadFromStream(r);
    r.readShortString(transKind, kItemNameLength);
}

// ---- NGBreaker ----

void NGBreaker::recalc() {
    TwoPointGraph::recalc();
    const Extended mx = (Extended(p1.x) + p2.x) / 2, my = (Extended(p1.y) + p2.y) / 2;
    const Extended e = halfGap, r = bladeOffset;
    bladeStart = rounded(mx - e * cos, my - e * sin);
    bladeEnd = rounded(mx + e * cos - r * sin, my + e * sin + r * cos);
    contactPoint = rounded(mx + e * cos, my + e * sin);
}

void NGBreaker::draw(Canvas* canvas) {
    canvas->line(p1, bladeStart);
    canvas->line(bladeStart, bladeEnd);
    canvas->line(contactPoint, p2);
}

void NGBreaker::saveToStream(BinaryWriter& w) {
    TwoPointGraph::saveToStream(w);
    w.writePoint(bladeStart);
    w.writePoint(bladeEnd);
    w.writePoint(contactPoint);
    w.writeInt32(halfGap);
    w.writeInt32(bladeOffset);
}

void NGBreaker::loadFromStream(BinaryReader& r) {
    TwoPointGraph::loadFromStream(r);
    r.readPoint(bladeStart);
    r.readPoint(bladeEnd);
    r.readPoint(contactPoint);
    r.readInt32(halfGap);
    r.readInt32(bladeOffset);
}

// ---- NGTransform ----

void NGTransform::recalc() {
    TwoPointGraph::recalc();
    const Extended mx = (Extended(p1.x) + p2.x) / 2, my = (Extended(p1.y) + p2.y) / 2;
    const Extended lead = 1.5L * radius, half = Extended(radius) / 2;
    leadEnd1 = rounded(mx - lead * cos, my - lead * sin);
    leadEnd2 = rounded(mx + lead * cos, my + lead * sin);
    centre1 = rounded(mx - half * cos, my - half * sin);
    centre2 = rounded(mx + half * cos, my + half * sin);
}

void NGTransform::draw(Canvas* canvas) {
    canvas->line(p1, leadEnd1);
    canvas->line(p2, leadEnd2);
    for (Point c : {centre2, centre1}) {
        // A full elliptic arc: an outline whatever the brush.
        const int32_t l = int32_t(uint32_t(c.x) - uint32_t(radius)),
                      t = int32_t(uint32_t(c.y) - uint32_t(radius));
        const int32_t rr = int32_t(uint32_t(c.x) + uint32_t(radius)),
                      b = int32_t(uint32_t(c.y) + uint32_t(radius));
        canvas->arc(l, t, rr, b, {l, t}, {l, t});
    }
}

bool NGTransform::hitTest(int32_t x, int32_t y) {
    if (TwoPointGraph::hitTest(x, y)) return true;
    // Squares in 64 bits: a point far away must not wrap round to a hit.
    const int64_t r2 = int64_t(radius) * radius;
    for (Point c : {centre1, centre2}) {
        const int64_t dx = int64_t(x) - c.x, dy = int64_t(y) - c.y;
        if (dx * dx + dy * dy < r2) return true;
    }
    return false;
}

void NGTransform::saveToStream(BinaryWriter& w) {
    TwoPointGraph::saveToStream(w);
    for (Point p : {centre2, centre1, leadEnd1, leadEnd2})
        w.writePoint(p);
    w.writeInt32(radius);
}

void NGTransform::loadFromStream(BinaryReader& r) {
    TwoPointGraph::loadFromStream(r);
    for (Point* p : {&centre2, &centre1, &leadEnd1, &leadEnd2})
        r.readPoint(*p);
    r.readInt32(radius);
}

} // namespace qv
