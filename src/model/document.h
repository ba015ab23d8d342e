#pragma once
// Documents: the ordered list of the objects of one drawing, which the document owns; the
// class registry with its per-class numbering; the move protocol; streaming; and, in the
// layered documents, the tree of layers that decides visibility and drawing order.
#include <QString>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/looplistinterface.h"
#include "model/pointerarray.h"
#include "model/sceneobject.h"
#include "platform/binarystream.h"
#include "platform/canvas.h"

namespace qv {

struct Context;

/// The kind of the next label a document takes, which files it into its layer.
enum class LabelKind : uint8_t {
    Node = 0,       ///< node names
    Branch = 1,     ///< branch names
    Component = 2,  ///< component names
    Additional = 3, ///< the additional layer
    Drawing = 4,    ///< drawn with the drawings
    UserText = 6,   ///< free texts, also on the additional layer
};

/// Registry entry: a class name and the next number for objects of that class.
struct NClassInf {
    std::string className; ///< at most 200 characters
    int32_t counter = 1;
};

/// Document: owns every object in `objects()`.
class FizDisp {
  public:
    static constexpr int kMaxObjects = 10001;
    static constexpr int kMaxClasses = 1001;

    /// `context` may be null: the document then keeps a context of its own.
    explicit FizDisp(Context* context = nullptr);
    virtual ~FizDisp();
    FizDisp(const FizDisp&) = delete;
    FizDisp& operator=(const FizDisp&) = delete;

    // The virtual operations, in their order.
    virtual void dragTo(int32_t x, int32_t y, Canvas* canvas);
    /// Appends `obj` and takes ownership. Refused (false, message shown, `obj` not taken)
    /// when the document is full.
    virtual bool add(NFizObj* obj);
    virtual void deleteObject(NFizObj* obj);
    virtual bool findAt(int32_t x, int32_t y, NFizObj*& obj);
    virtual void paint(Canvas* canvas);
    virtual void clear();
    virtual void loadFromStream(BinaryReader& r);
    virtual void saveToStream(BinaryWriter& w);
    /// Union of all objects' bounds; false (rect untouched) for a document with no bounds.
    virtual bool getBounds(Rect& rect);
    virtual void paintDC(Canvas* canvas) {}
    /// What a picture of the document shows: `paint` without what only helps editing.
    virtual void paintPicture(Canvas* canvas) { paint(canvas); }

    // Pictures of the whole drawing as enhanced metafiles (model/documentexport.cpp).
    /// Writes `exportFileName` (the report's pictures): the bounds widened by 15 on every side,
    /// one unit the size of one screen pixel. False, with `error` set, when it cannot be written.
    bool exportMetafileFile(QString* error = nullptr);
    /// The picture for the Save image commands: `a` and `b` are the screen's pixels per
    /// centimetre across and down, times 100; one unit is 100000 / a hundredths of a millimetre
    /// across. The drawing has a margin of 15 units on every side.
    QByteArray makeMetafile(int32_t a, int32_t b);

    NFizObj* objectAt(int index) const;
    int indexOfObject(const NFizObj* obj) const;
    int objectCount() const { return int(objects_.size()); }
    const std::vector<NFizObj*>& objects() const { return objects_; }

    // Move protocol.
    void armMove(NFizObj* obj);
    void beginMove(int32_t x, int32_t y);
    void endMove();
    /// Forgets an armed move that has not started.
    void disarmMove() {
        if (moving_) return;
        moveArmed_ = false;
        moveObject_ = nullptr;
    }
    bool moveArmed() const { return moveArmed_; }
    bool moving() const { return moving_; }
    NFizObj* moveObject() const { return moveObject_; }
    Point movePrev;

    void clearRemovable();
    /// Tells the user that the document cannot take more objects.
    void reportFull() const;

    // Class registry and numbering.
    bool registerClass(const NFizObj* obj);
    /// Registers a class by its registry name (what `registerClass` does with an object).
    bool registerClassName(const std::string& name);
    void nextNumberFor(const std::string& name, std::string& text);
    const std::vector<NClassInf>& classes() const { return classes_; }
    /// Sets the numbering counters of the registered classes, in registry order.
    void restoreClassCounters(const std::vector<int32_t>& counters) {
        for (size_t i = 0; i < classes_.size() && i < counters.size(); ++i)
            classes_[i].counter = counters[i];
    }
    std::unique_ptr<NFizObj> createByClassName(const std::string& name) const;
    void takeNodeNumber(std::string& text);
    void takeBranchNumber(std::string& text);
    int32_t nextBranchNumber = 1;
    int32_t nextNodeNumber = 1;

    Context* context() const { return context_; }
    /// Where the objects draw outside a repaint: the page's canvas, or one that draws nothing.
    Canvas* canvas() { return canvas_ ? canvas_ : &nullCanvas_; }
    /// The canvas given, or null. The giver takes it back before it goes.
    Canvas* canvasSet() const { return canvas_; }
    void setCanvas(Canvas* c) { canvas_ = c; }
    NContDispV& loops() { return *loops_; }

    uint8_t finishFlag = 0;
    Colour drawColor = 0;
    QString homeDir;
    LabelKind labelKind = LabelKind::Node;
    FizDisp* labelDocument = nullptr; ///< lends its canvas to the inner texts of two-part labels
    int32_t elementLength = 0;
    QString exportFileName;

    /// A fresh, empty document of the same class and settings, for safe loading.
    virtual std::unique_ptr<FizDisp> createEmpty() const;
    /// Copies the settings a load depends on (context, label document, values that a file
    /// may leave unchanged) into `fresh`.
    virtual void copySettingsTo(FizDisp& fresh) const;

  protected:
    /// Appends without the layer filing of layered documents (used while loading).
    bool appendObject(NFizObj* obj);
    /// Destroys objects as `clear` does and empties the list.
    void destroyObjects();
    bool readDocumentRecord(BinaryReader& r);
    void writeDocumentRecord(BinaryWriter& w);

    std::vector<NFizObj*> objects_;

    /// While a record is written, references are looked up in a table instead of by
    /// scanning the list (which made saving quadratic). Scopes nest.
    class IndexScope {
      public:
        explicit IndexScope(const FizDisp& d);
        ~IndexScope();
        IndexScope(const IndexScope&) = delete;
        IndexScope& operator=(const IndexScope&) = delete;

      private:
        const FizDisp& d_;
    };

  private:
    mutable std::unordered_map<const NFizObj*, int> indexCache_;
    mutable int indexScopes_ = 0;
    Context* context_;
    std::unique_ptr<Context> ownContext_;
    Canvas* canvas_ = nullptr;
    Canvas nullCanvas_;
    std::unique_ptr<NContDispV> loops_;
    std::vector<NClassInf> classes_;
    bool moveArmed_ = false;
    bool moving_ = false;
    NFizObj* moveObject_ = nullptr;
};

/// A layer: lists (does not own) objects and owns its child layers.
class NLayer {
  public:
    virtual ~NLayer();
    virtual void drawAll(Canvas* canvas);
    virtual NLayer* findLayerOf(const NFizObj* obj);
    virtual void loadFromStream(BinaryReader& r);
    virtual void saveToStream(BinaryWriter& w);
    virtual void paintAll(Canvas* canvas);

    void addSublayer(NLayer* layer); ///< takes ownership
    void addObject(NFizObj* obj) { layerObjects.add(obj); }
    void paintAllDC(Canvas* canvas);
    int objectCount() const { return layerObjects.count(); }
    int sublayerCount() const { return sublayers.count(); }
    bool findAt(int32_t x, int32_t y, NFizObj*& obj);
    bool removeObject(const NFizObj* obj);
    /// Layer trees nest at most this deep in files.
    static constexpr int kMaxDepth = 32;
    void loadAtDepth(BinaryReader& r, int depth);

    std::string layerName; ///< at most 200 characters
    NLayerAr sublayers;
    NFizAr layerObjects;
    uint8_t visible = 1;
    FizDisp* document = nullptr;

  private:
    /// Applies `op` to the objects of this layer and then of its child layers, in order,
    /// skipping layers that are not visible.
    void paintVisible(void (NFizObj::*op)(Canvas*), Canvas* canvas);
};

/// The root of a layer tree.
class NSimpLayer : public NLayer {};

/// Document whose objects are filed into layers by kind.
class NLayerFDisp : public FizDisp {
  public:
    static constexpr int kChildLayers = 8;
    explicit NLayerFDisp(Context* context = nullptr);
    ~NLayerFDisp() override;

    bool add(NFizObj* obj) override;
    void deleteObject(NFizObj* obj) override;
    bool findAt(int32_t x, int32_t y, NFizObj*& obj) override;
    void paint(Canvas* canvas) override;
    void clear() override;
    void loadFromStream(BinaryReader& r) override;
    void saveToStream(BinaryWriter& w) override;
    void paintDC(Canvas* canvas) override;

    /// Copies the ticks of the layer check-list (items 0..5: Devices, Nodes Labels, Branch
    /// Labels, Devices Labels, Drawings, Additional Layer) into the layers.
    void syncLayerVisibility(const std::vector<bool>& ticks);
    NSimpLayer* rootLayer() const { return root_.get(); }
    /// Index of the child layer `obj` is filed into, or -1 for none.
    int layerIndexFor(const NFizObj* obj) const;

    std::unique_ptr<FizDisp> createEmpty() const override;

  protected:
    void rebuildLayers(bool named);

  private:
    std::unique_ptr<NSimpLayer> root_;
};

/// What is drawn over a scheme without being part of it: never stored, never a step of the
/// history, hidden from the report's picture by its owner. Shown on the page, in the Save
/// image pictures and in printing.
class SchemeOverlay {
  public:
    virtual ~SchemeOverlay() = default;
    virtual void paint(Canvas* canvas) = 0;
    /// Grows `rect` (valid when `any`) to cover what `paint` draws now.
    virtual void extendBounds(Rect& rect, bool& any) = 0;
};

/// The circuit scheme: report options, AC frequency, background grid and visible area.
class NTBEFizDisp : public NLayerFDisp {
  public:
    static constexpr int32_t kTailMark = 123445;
    explicit NTBEFizDisp(Context* context = nullptr);

    void paint(Canvas* canvas) override;
    void loadFromStream(BinaryReader& r) override;
    void saveToStream(BinaryWriter& w) override;
    /// The objects' bounds and what the overlay draws.
    bool getBounds(Rect& rect) override;
    /// The layered paint and the overlay, without the grid.
    void paintPicture(Canvas* canvas) override;
    /// Drawn over the layers (not owned; null: none).
    SchemeOverlay* overlay = nullptr;

    uint8_t deleteZeroBranches = 1;
    uint8_t insertSchemeImage = 1;
    uint8_t insertInitialData = 1;
    uint8_t reportTarget = 2; ///< 0, 1: word processors (not on this platform); 2: internal editor
    uint8_t gridVisible = 1;
    Extended frequency = 50.0L;
    Colour backColor = 0xFFFFFF;
    Colour gridColor = 0;
    int32_t gridStepX = 10, gridStepY = 10;
    int32_t viewTop = 0, viewLeft = 0, viewBottom = 0, viewRight = 0;

    /// Draws the grid dots of the visible rectangle.
    void paintGrid(Canvas* canvas);

    std::unique_ptr<FizDisp> createEmpty() const override;
    void copySettingsTo(FizDisp& fresh) const override;
};

} // namespace qv
