#include "model/document.h"

#include <QCoreApplication>
#include <algorithm>
#include <unordered_set>

#include "model/classregistry.h"
#include "model/context.h"

namespace qv {

namespace {
constexpr Rect kNoBounds{INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN};
}

// ---- FizDisp ----

FizDisp::FizDisp(Context* context) : context_(context), loops_(createLoopList(this)) {
    if (!context_) {
        ownContext_ = std::make_unique<Context>();
        context_ = ownContext_.get();
    }
}

FizDisp::~FizDisp() {
    loops_->clear();
    destroyObjects();
}

void FizDisp::reportFull() const {
    context_->messages()->show(
        QCoreApplication::translate("qv::Message", "The document is full: it holds at most %1 objects.")
            .arg(kMaxObjects),
        QString(), MsgButtons::Ok, MsgIcon::Warning);
}

void FizDisp::dragTo(int32_t x, int32_t y, Canvas* canvas) {
    if (moveObject_) moveObject_->dragBy(movePrev.x - x, movePrev.y - y, canvas);
    movePrev = {x, y};
}

bool FizDisp::appendObject(NFizObj* obj) {
    if (!obj) return false;
    if (objectCount() >= kMaxObjects) {
        reportFull();
        return false;
    }
    objects_.push_back(obj);
    return true;
}

bool FizDisp::add(NFizObj* obj) {
    return appendObject(obj);
}

void FizDisp::deleteObject(NFizObj* obj) {
    if (!obj) return;
    obj->detach();
    auto it = std::find(objects_.begin(), objects_.end(), obj);
    if (it == objects_.end()) {
        context_->messages()->show(QString::fromUtf8(QT_TRANSLATE_NOOP(
                                       "qv::Message", "Удаляемый элемент отсутствует в списке элементов")),
                                   QStringLiteral(QT_TRANSLATE_NOOP("qv::Message", "Open Error")),
                                   MsgButtons::OkCancel);
        return;
    }
    if (obj == moveObject_) {
        endMove();
        // The object is going: nothing may keep moving it.
        moveObject_ = nullptr;
        moving_ = moveArmed_ = false;
    }
    objects_.erase(it);
    loops_->forget(obj);
    delete obj;
    loops_->removeInvalid();
}

bool FizDisp::findAt(int32_t x, int32_t y, NFizObj*& obj) {
    for (NFizObj* o : objects_)
        if (o->hitTest(x, y)) {
            obj = o;
            return true;
        }
    return false;
}

void FizDisp::paint(Canvas* canvas) {
    for (NFizObj* o : objects_)
        o->paint(canvas);
    loops_->paintHighlighted(canvas);
}

void FizDisp::destroyObjects() {
    std::unordered_set<NFizObj*> seen;
    bool duplicates = false;
    for (NFizObj* o : objects_)
        if (!seen.insert(o).second) duplicates = true;
    // A list that holds an object twice cannot be destroyed safely; it is only emptied.
    if (!duplicates)
        for (NFizObj* o : objects_)
            delete o;
    objects_.clear();
}

void FizDisp::clear() {
    loops_->clear();
    destroyObjects();
    moveObject_ = nullptr;
    moving_ = moveArmed_ = false;
    if (labelDocument && labelDocument != this) labelDocument->clear();
}

void FizDisp::clearRemovable() {
    size_t i = 0;
    while (i < objects_.size()) {
        NFizObj* o = objects_[i];
        if (o->removable) {
            size_t before = objects_.size();
            deleteObject(o);
            if (objects_.size() < before) {
                i = 0;
                continue;
            }
        }
        ++i;
    }
}

bool FizDisp::readDocumentRecord(BinaryReader& r) {
    clearRemovable();
    // What nothing can delete (a node marked as having branches, an orphaned label) would
    // take the first indices of the file: it goes as clearing would take it.
    if (!objects_.empty()) clear();
    int32_t n = 0;
    r.readInt32(elementLength);
    r.readInt32(n);
    if (r.failed()) return false;
    if (n < 0 || n > kMaxObjects) {
        r.fail("the file declares " + std::to_string(n) + " objects (at most " + std::to_string(kMaxObjects) +
               ")");
        return false;
    }
    if (size_t(n) * 41 > r.remaining()) {
        r.fail("the file declares " + std::to_string(n) + " objects but is too short to hold them");
        return false;
    }
    std::vector<std::unique_ptr<NFizObj>> created;
    created.reserve(size_t(n));
    for (int32_t i = 0; i < n; ++i) {
        std::string name;
        r.readShortStringRaw(name, 40);
        if (r.failed()) return false;
        std::unique_ptr<NFizObj> obj = createByClassName(name);
        if (!obj) {
            r.fail("Invalid class name \"" + name + "\" (object " + std::to_string(i) + ")");
            return false;
        }
        obj->owner = this;
        created.push_back(std::move(obj));
    }
    for (auto& obj : created)
        objects_.push_back(obj.release());
    for (int32_t i = 0; i < n && !r.failed(); ++i) {
        objects_[size_t(i)]->loadFromStream(r);
        if (r.failed()) r.fail("object " + std::to_string(i));
    }
    return !r.failed();
}

void FizDisp::writeDocumentRecord(BinaryWriter& w) {
    IndexScope scope(*this);
    // Labels, the bulk of a scheme, take about 800 bytes each: grow the buffer once.
    w.reserve(w.size() + size_t(objectCount()) * 800 + 4096);
    w.writeInt32(elementLength);
    w.writeInt32(objectCount());
    for (NFizObj* o : objects_)
        w.writeShortStringRaw(o->className(), 40);
    for (NFizObj* o : objects_)
        o->saveToStream(w);
}

void FizDisp::loadFromStream(BinaryReader& r) {
    readDocumentRecord(r);
}
void FizDisp::saveToStream(BinaryWriter& w) {
    writeDocumentRecord(w);
}

bool FizDisp::getBounds(Rect& rect) {
    bool any = false;
    Rect acc;
    for (NFizObj* o : objects_) {
        Rect r = kNoBounds;
        o->getBounds(r);
        if (r == kNoBounds) continue;
        unionBounds(acc, any, r);
    }
    if (any) rect = acc;
    return any;
}

NFizObj* FizDisp::objectAt(int index) const {
    return index < 0 || index >= objectCount() ? nullptr : objects_[size_t(index)];
}

FizDisp::IndexScope::IndexScope(const FizDisp& d) : d_(d) {
    if (d_.indexScopes_++ > 0) return;
    d_.indexCache_.clear();
    d_.indexCache_.reserve(d_.objects_.size());
    // The first occurrence counts, as a scan of the list would find it.
    for (size_t i = 0; i < d_.objects_.size(); ++i)
        d_.indexCache_.emplace(d_.objects_[i], int(i));
}

FizDisp::IndexScope::~IndexScope() {
    if (--d_.indexScopes_ == 0) d_.indexCache_.clear();
}

int FizDisp::indexOfObject(const NFizObj* obj) const {
    if (!obj) return -1;
    if (indexScopes_ > 0) {
        auto it = indexCache_.find(obj);
        return it == indexCache_.end() ? -1 : it->second;
    }
    for (size_t i = 0; i < objects_.size(); ++i)
        if (objects_[i] == obj) return int(i);
    return -1;
}

void FizDisp::armMove(NFizObj* obj) {
    moveArmed_ = true;
    moveObject_ = obj;
}

void FizDisp::beginMove(int32_t x, int32_t y) {
    if (!moveArmed_) return;
    NFizObj* found = nullptr;
    if (findAt(x, y, found) && found == moveObject_) {
        moving_ = true;
        moveArmed_ = false;
        movePrev = {x, y};
    }
}

void FizDisp::endMove() {
    if (moving_ && moveObject_ && moveObject_->endDrag()) moving_ = false;
}

bool FizDisp::registerClass(const NFizObj* obj) {
    return obj && registerClassName(obj->className());
}

bool FizDisp::registerClassName(const std::string& name) {
    if (int(classes_.size()) >= kMaxClasses) {
        context_->messages()->show(
            QCoreApplication::translate("qv::Message",
                                        "The class registry is full: it holds at most %1 entries.")
                .arg(kMaxClasses),
            QString(), MsgButtons::Ok, MsgIcon::Warning);
        return false;
    }
    classes_.push_back({name, 1});
    return true;
}

void FizDisp::nextNumberFor(const std::string& name, std::string& text) {
    for (NClassInf& c : classes_)
        if (c.className == name) {
            text = std::to_string(c.counter);
            ++c.counter;
            return;
        }
}

std::unique_ptr<NFizObj> FizDisp::createByClassName(const std::string& name) const {
    return createObjectByClassName(name);
}

void FizDisp::takeNodeNumber(std::string& text) {
    text = std::to_string(nextNodeNumber++);
}
void FizDisp::takeBranchNumber(std::string& text) {
    text = std::to_string(nextBranchNumber++);
}

std::unique_ptr<FizDisp> FizDisp::createEmpty() const {
    return std::make_unique<FizDisp>(context_);
}

void FizDisp::copySettingsTo(FizDisp& fresh) const {
    fresh.labelDocument = labelDocument;
    fresh.homeDir = homeDir;
    fresh.drawColor = drawColor;
    fresh.elementLength = elementLength;
}

// ---- NLayer ----

NLayer::~NLayer() {
    for (int i = 0; i < sublayers.count(); ++i)
        delete sublayers.get(i);
}

void NLayer::paintVisible(void (NFizObj::*op)(Canvas*), Canvas* canvas) {
    if (!visible) return;
    for (int i = 0; i < layerObjects.count(); ++i)
        (layerObjects.get(i)->*op)(canvas);
    for (int i = 0; i < sublayers.count(); ++i)
        sublayers.get(i)->paintVisible(op, canvas);
}

void NLayer::drawAll(Canvas* canvas) {
    paintVisible(&NFizObj::draw, canvas);
}
void NLayer::paintAll(Canvas* canvas) {
    paintVisible(&NFizObj::paint, canvas);
}
void NLayer::paintAllDC(Canvas* canvas) {
    paintVisible(&NFizObj::paintDC, canvas);
}

NLayer* NLayer::findLayerOf(const NFizObj* obj) {
    if (layerObjects.indexOf(obj) >= 0) return this;
    for (int i = 0; i < sublayers.count(); ++i)
        if (NLayer* l = sublayers.get(i)->findLayerOf(obj)) return l;
    return nullptr;
}

void NLayer::addSublayer(NLayer* layer) {
    layer->document = document;
    sublayers.add(layer);
}

bool NLayer::findAt(int32_t x, int32_t y, NFizObj*& obj) {
    if (!visible) return false;
    for (int i = 0; i < sublayers.count(); ++i)
        if (sublayers.get(i)->findAt(x, y, obj)) return true;
    for (int i = 0; i < layerObjects.count(); ++i)
        if (layerObjects.get(i)->hitTest(x, y)) {
            obj = layerObjects.get(i);
            return true;
        }
    return false;
}

bool NLayer::removeObject(const NFizObj* obj) {
    if (layerObjects.remove(obj)) return true;
    for (int i = 0; i < sublayers.count(); ++i)
        if (sublayers.get(i)->removeObject(obj)) return true;
    return false;
}

void NLayer::saveToStream(BinaryWriter& w) {
    w.writeInt32(sublayers.count());
    w.writeInt32(layerObjects.count());
    w.writeBool(visible);
    w.writeShortString(layerName, 200);
    for (int i = 0; i < layerObjects.count(); ++i)
        w.writeInt32(document ? document->indexOfObject(layerObjects.get(i)) : -1);
    for (int i = 0; i < sublayers.count(); ++i) {
        w.writeShortStringRaw("NLayer", 100);
        sublayers.get(i)->saveToStream(w);
    }
}

void NLayer::loadFromStream(BinaryReader& r) {
    loadAtDepth(r, 0);
}

void NLayer::loadAtDepth(BinaryReader& r, int depth) {
    int32_t s = 0, m = 0;
    r.readInt32(s);
    r.readInt32(m);
    r.readBool(visible);
    r.readShortString(layerName, 200);
    if (r.failed()) return;
    // Each sublayer takes at least its name and an empty record: 101 + 210 bytes.
    if (s < 0 || m < 0 || m > FizDisp::kMaxObjects || size_t(m) * 4 + size_t(s) * 311 > r.remaining()) {
        r.fail("layer \"" + layerName + "\" declares " + std::to_string(s) + " sublayers and " +
               std::to_string(m) + " objects");
        return;
    }
    if (s > 0 && depth >= kMaxDepth) {
        r.fail("layers nest deeper than " + std::to_string(kMaxDepth) + " levels");
        return;
    }
    for (int32_t i = 0; i < m; ++i) {
        int32_t index = -1;
        r.readInt32(index);
        if (index == -1) continue;
        NFizObj* obj = document ? document->objectAt(index) : nullptr;
        if (!obj) {
            r.fail("layer \"" + layerName + "\" lists object " + std::to_string(index) +
                   ", which does not exist");
            return;
        }
        layerObjects.add(obj);
    }
    for (int32_t i = 0; i < s && !r.failed(); ++i) {
        std::string ignored;
        r.readShortStringRaw(ignored, 100);
        auto* child = new NLayer();
        addSublayer(child);
        child->loadAtDepth(r, depth + 1);
    }
}

// ---- NLayerFDisp ----

NLayerFDisp::NLayerFDisp(Context* context) : FizDisp(context) {
    rebuildLayers(true);
}

NLayerFDisp::~NLayerFDisp() = default;

void NLayerFDisp::rebuildLayers(bool named) {
    root_ = std::make_unique<NSimpLayer>();
    root_->document = this;
    for (int i = 0; i < kChildLayers; ++i) {
        auto* layer = new NLayer();
        if (named) layer->layerName = "Слой" + std::to_string(i + 1);
        root_->addSublayer(layer);
    }
}

int NLayerFDisp::layerIndexFor(const NFizObj* obj) const {
    switch (obj->layerRole()) {
    case LayerRole::Element:
        return 0;
    case LayerRole::Drawing:
        return 6;
    case LayerRole::Label:
        break;
    }
    switch (labelKind) {
    case LabelKind::Node:
        return 1;
    case LabelKind::Branch:
        return 2;
    case LabelKind::Component:
        return 3;
    case LabelKind::Drawing:
        return 4;
    case LabelKind::Additional:
    case LabelKind::UserText:
        return 5;
    }
    return -1;
}

bool NLayerFDisp::add(NFizObj* obj) {
    if (!obj) return false;
    if (objectCount() >= kMaxObjects) {
        reportFull();
        return false;
    }
    int index = layerIndexFor(obj);
    if (index >= 0 && index < root_->sublayerCount()) root_->sublayers.get(index)->addObject(obj);
    return FizDisp::add(obj);
}

void NLayerFDisp::deleteObject(NFizObj* obj) {
    if (!obj) return;
    // A file may list an object more than once in the layer tree; no listing may outlive it.
    while (root_->removeObject(obj)) {
    }
    FizDisp::deleteObject(obj);
}

bool NLayerFDisp::findAt(int32_t x, int32_t y, NFizObj*& obj) {
    return root_->findAt(x, y, obj);
}

void NLayerFDisp::paint(Canvas* canvas) {
    root_->paintAll(canvas);
    loops().paintHighlighted(canvas);
}

void NLayerFDisp::paintDC(Canvas* canvas) {
    root_->paintAllDC(canvas);
}

void NLayerFDisp::clear() {
    FizDisp::clear();
    rebuildLayers(false);
}

void NLayerFDisp::loadFromStream(BinaryReader& r) {
    if (!readDocumentRecord(r)) return;
    root_ = std::make_unique<NSimpLayer>();
    root_->document = this;
    root_->loadFromStream(r);
}

void NLayerFDisp::saveToStream(BinaryWriter& w) {
    IndexScope scope(*this);
    writeDocumentRecord(w);
    root_->saveToStream(w);
}

void NLayerFDisp::syncLayerVisibility(const std::vector<bool>& ticks) {
    for (int i = 0; i < 6 && i < int(ticks.size()); ++i)
        if (NLayer* l = root_->sublayers.get(i)) l->visible = ticks[size_t(i)] ? 1 : 0;
    if (ticks.size() > 4)
        if (NLayer* l = root_->sublayers.get(6)) l->visible = ticks[4] ? 1 : 0;
}

std::unique_ptr<FizDisp> NLayerFDisp::createEmpty() const {
    return std::make_unique<NLayerFDisp>(context());
}

// ---- NTBEFizDisp ----

NTBEFizDisp::NTBEFizDisp(Context* context) : NLayerFDisp(context) {}

void NTBEFizDisp::paintGrid(Canvas* canvas) {
    if (!gridVisible || gridStepX <= 0 || gridStepY <= 0) return;
    int64_t x0 = int64_t(gridStepX) * (viewLeft / gridStepX);
    int64_t y0 = int64_t(gridStepY) * (viewTop / gridStepY);
    int64_t nx = (int64_t(viewRight) - viewLeft) / gridStepX;
    int64_t ny = (int64_t(viewBottom) - viewTop) / gridStepY;
    if (nx < 0 || ny < 0) return;
    std::vector<Point> points;
    points.reserve(size_t((nx + 1) * (ny + 1)));
    for (int64_t j = 0; j <= ny; ++j)
        for (int64_t k = 0; k <= nx; ++k)
            points.push_back({int32_t(x0 + k * gridStepX), int32_t(y0 + j * gridStepY)});
    canvas->pixels(points, gridColor);
}

void NTBEFizDisp::paint(Canvas* canvas) {
    NLayerFDisp::paint(canvas);
    if (overlay) overlay->paint(canvas);
    paintGrid(canvas);
}

bool NTBEFizDisp::getBounds(Rect& rect) {
    bool any = NLayerFDisp::getBounds(rect);
    if (overlay) overlay->extendBounds(rect, any);
    return any;
}

void NTBEFizDisp::loadFromStream(BinaryReader& r) {
    NLayerFDisp::loadFromStream(r);
    if (r.failed()) return;
    if (r.remaining() > 0) loops().loadFromStream(r);
    if (r.failed()) return;
    if (r.remaining() >= 4) {
        int32_t mark = 0;
        r.readInt32(mark);
        if (mark == kTailMark)
            r.readExtended(frequency);
        else
            r.seek(r.position() - 4);
    }
}

void NTBEFizDisp::saveToStream(BinaryWriter& w) {
    IndexScope scope(*this);
    NLayerFDisp::saveToStream(w);
    loops().saveToStream(w);
    w.writeInt32(kTailMark);
    w.writeExtended(frequency);
}

std::unique_ptr<FizDisp> NTBEFizDisp::createEmpty() const {
    return std::make_unique<NTBEFizDisp>(context());
}

void NTBEFizDisp::copySettingsTo(FizDisp& fresh) const {
    NLayerFDisp::copySettingsTo(fresh);
    if (auto* scheme = dynamic_cast<NTBEFizDisp*>(&fresh)) scheme->frequency = frequency;
}

} // namespace qv
