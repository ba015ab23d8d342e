#pragma once
// The workbench: the documents that live as long as the main window, the options and view
// state of the window, and the commands that both front ends (window and command line) call.
#include <QByteArray>
#include <QCoreApplication>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTextDocument>
#include <QUndoStack>
#include <functional>
#include <memory>
#include <vector>

#include "app/editor.h"
#include "app/history.h"
#include "app/operatingpoint.h"
#include "diagrams/vectordiagram.h"
#include "model/context.h"
#include "model/document.h"

class QMimeData;
class QPainter;
class QTextCursor;

namespace qv {

class PotentialDiagram;
struct SolveResult;

/// The three pages of the main window.
enum class Page { Scheme, Solution, Vector };

/// Which tool windows and toolbars a page shows.
struct ToolVisibility {
    bool layers = false;
    bool devices = false;   ///< the first device toolbar (DC devices)
    bool acDevices = false; ///< the second device toolbar
    bool drawing = false;
    bool vectorTools = false;
    friend bool operator==(const ToolVisibility&, const ToolVisibility&) = default;
};

/// How a workbench is used: behind a window, with the history of the editing; or by a batch
/// command (the command-line tool), which opens, computes and writes without one.
enum class WorkbenchUse { Interactive, Batch };

class Workbench {
  public:
    /// `programFolder`: the program's folder; the folder of the running program when empty.
    /// The catalogues and report pictures go into `homeDir()`: that folder, or the user's data
    /// folder for an installed program (see `programFolders`). A batch workbench keeps no
    /// history: opening a file does not copy its record for undo, and every commit counts as a
    /// change.
    explicit Workbench(const QString& programFolder = QString(),
                       WorkbenchUse use = WorkbenchUse::Interactive);
    ~Workbench();

    Context& context() { return context_; }
    NTBEFizDisp& scheme() { return *scheme_; }
    FizDisp& labelDocument() { return *labelDoc_; }
    NVectDiaDisp& vectorDoc() { return *vectorDoc_; }
    const QString& homeDir() const { return homeDir_; }

    static QString applicationTitle() { return QStringLiteral("TOLV - Quorvel"); }
    /// The main window's caption: "TOLV  Quorvel English" until a New, Open or Save names it.
    QString caption() const { return caption_; }
    /// The caption after a file was opened or saved: its name without the folder.
    void setCaptionForFile(const QString& path);
    void setCaptionNew();

    /// The parts of a workshop. Each has its own file command, so each keeps its own state of
    /// being saved: "Save schem" saves the scheme and nothing else.
    enum class Part { Scheme, Vector, Solution };
    /// True while any part holds changes that were not saved.
    bool isModified() const;
    /// True while `part` is not in the state it was last saved, opened or made new in; undo
    /// and redo back to that state make it unchanged again.
    bool isModified(Part part) const;
    /// `false` makes the present state of every part the saved one; `true` marks a change the
    /// history does not hold.
    void setModified(bool modified);
    /// The Solution page's text, whose own changed state counts as the third part (null: none).
    /// A long solution goes onto it in steps from the event loop, its beginning at once.
    void setSolutionPage(QTextDocument* page);
    /// Writes what a long solution still has to put onto the Solution page, at once: whatever
    /// reads, edits or replaces the page calls this first.
    void finishSolutionPage();
    /// Whether a solution is still going onto the Solution page.
    bool solutionPageInSteps() const;
    /// Called after each later step of a solution going onto the page with the position it
    /// goes on at and whether it is all in.
    void followSolutionPage(std::function<void(int position, bool finished)> step);
    /// The present state of `part` becomes its saved one (the Solution page after a workshop
    /// filled it, or after it was saved as rich text).
    void markSaved(Part part);
    /// The present state of `part` differs from its saved one (work brought back unsaved).
    void markUnsaved(Part part);
    QString workshopFile;

    // ---- Editing and the history ----
    Editor& schemeEditor() { return *schemeEditor_; }
    Editor& vectorEditor() { return *vectorEditor_; }
    Editor& editorFor(Page page) { return page == Page::Vector ? *vectorEditor_ : *schemeEditor_; }
    /// The canvas of a drawing page, set by the page while it exists (null: none). The page's
    /// document, and the scheme's label document, draw on it what they draw outside a repaint
    /// (feedback, a label's upkeep, a loop shown while its dialog is open).
    void setPageCanvas(Page page, Canvas* canvas);
    Canvas* pageCanvas(Page page) const { return pageCanvases_[page == Page::Vector]; }
    QUndoStack& undoStack() { return undo_; }
    /// Records what changed in either document since the last step as one step named `text`
    /// (nothing when nothing changed). Every action that changes a document ends with it.
    void commit(const QString& text);
    /// Abandons placements and armed moves on both pages.
    void cancelEditing();
    void undo();
    void redo();
    /// Starts the history afresh from the documents as they are (after New and Open).
    void resetHistory();
    /// The record of a page's document after the last step of the history: what a save would
    /// write, without a placement that is still in progress.
    const QByteArray& committedRecord(Page page) const {
        return page == Page::Vector ? vectorBase_.record : schemeBase_.record;
    }
    /// The layer ticks of each page; kept over undo and open, which replace the layers.
    void setLayerTicks(Page page, const std::vector<bool>& ticks);

    // ---- File commands ----
    /// "New": removes what can be removed from both drawings; the caller empties the Solution page.
    void newWorkshop();
    /// "Open": scheme, vector diagram and the Solution page's text (`solution`).
    bool openWorkshop(const QString& path, QByteArray& solution, QString* error);
    /// "Save"/"Save As" into `path`.
    bool saveWorkshop(const QString& path, const QByteArray& solution, QString* error);
    bool openVector(const QString& path, QString* error);
    bool saveVector(const QString& path, QString* error);

    /// Shows "Options" for the scheme and stores it on OK. True when confirmed.
    bool showOptions();

    /// "Open schem": replaces the scheme with the file's; the open scheme stays as it was when
    /// the file cannot be read (false, `error` names the file and the fault).
    bool openScheme(const QString& path, QString* error);
    /// "Save schem".
    bool saveScheme(const QString& path, QString* error);
    /// "Save schem image": the scheme's picture as .emf, .svg, .pdf or .png by the name's
    /// extension, at the screen's `dpiX` by `dpiY` pixels per inch (app/pictures.cpp).
    bool exportSchemePicture(const QString& path, QString* error, double dpiX = 96, double dpiY = 96);
    /// "Save vector diagram image": one unit of the diagram is a tenth of a millimetre.
    bool exportVectorPicture(const QString& path, QString* error);
    /// The catalogue windows of the power network elements: each shows "Справочник" on the
    /// workbench's catalogue and then writes it to its file ("LineSpr.spr", "TransSpr.spr",
    /// "UnomSpr.spr") in the program folder, or in the user's data folder when the program
    /// folder is not writable. False with `error` set when the file could not be written.
    bool showWireCatalogue(QString* error);
    bool showTransformerCatalogue(QString* error);
    bool showVoltageClasses(QString* error);
    /// Catalogue files found damaged at start-up (their defaults stand), one message each.
    QStringList catalogueErrors;

    /// "Loops List" on the scheme.
    void showLoopsList();
    /// "Potential diagram" up to its window: "Select Loop for voltage diagramm.", then the
    /// chosen loop's profile from the last node-voltage solution (app/potentialcommand.cpp).
    /// False when there is nothing to show.
    bool potentialDiagram(PotentialDiagram& diagram);
    /// The Solution page's document as a workshop file stores it: rich text (RTF).
    static QByteArray solutionRecord(const QTextDocument& page);
    /// Fills the Solution page from a workshop's stored text (RTF; HTML or plain text are read
    /// as such). False with `error` set when rich text is damaged; the page is then unchanged.
    static bool readSolutionRecord(const QByteArray& bytes, QTextDocument& page, QString* error);
    /// "Save solution": RTF, or ODT, HTML, PDF or plain text by the name's extension.
    static bool saveSolution(const QTextDocument& page, const QString& path, QString* error);
    /// "Set all branch arrows" (`show`) and "Kill all branch arrows".
    void setAllArrows(bool show);
    /// "Background and snap": shows "Desktop options" and stores it on OK. True when confirmed.
    bool showDesktopOptions();
    /// The grid button.
    void toggleGrid() { scheme_->gridVisible = scheme_->gridVisible ? 0 : 1; }
    /// The value of an expression as a value field reads it; false with `error` set when the
    /// text is not a valid expression.
    bool evaluate(const std::string& expression, Extended& value, QString& error);
    /// The calculator, ready to be shown: it does not block the window, and OK evaluates.
    DialogModel& calculator();

    static ToolVisibility toolsForPage(Page page);
    /// The character set the Solution page's font box gives a font: symbol (2) for "Symbol",
    /// Russian (204) for any other name.
    static int charsetForFontName(const QString& name);

    // View state of the pages.
    Extended zoom = 1.0L;
    int32_t scrollX = 0, scrollY = 0;
    int32_t vdScrollX = 0, vdScrollY = 0;
    /// Centres the vector diagram's origin on a page of the given size in pixels, given the
    /// screen's pixels per centimetre.
    void centreVectorPage(QSize pagePixels, double pixelsPerCmX, double pixelsPerCmY);

    /// Paints the scheme page of `size` pixels: background, objects, grid. Sets the scheme's
    /// visible rectangle from the scroll position and zoom.
    void paintScheme(QPainter& painter, QSize size);
    /// Sets `painter` to draw the scheme's logical coordinates on the page.
    void setSchemeMapping(QPainter& painter) const;
    /// The same for the vector diagram page, at `dpiX` x `dpiY` logical pixels per inch.
    void setVectorMapping(QPainter& painter, double dpiX, double dpiY) const;
    /// Paints the vector diagram page.
    void paintVector(QPainter& painter, QSize size, double dpiX, double dpiY);

    /// "Create vector diagramm": "Vectory output options", then the diagram of the last
    /// node-voltage solution in place of everything on the vector page. False when the
    /// dialog was cancelled.
    bool createVectorDiagram();
    /// The diagram itself, at `currentScale` amperes and `voltageScale` volts per centimetre
    /// (both other than 0): the page is emptied and the vectors built from the scheme's
    /// calculation records.
    void buildVectorDiagram(Extended currentScale, Extended voltageScale, bool currents, bool voltages);
    /// The vector page's "Snap": shows or hides the grid dots.
    void toggleVectorSnap() { vectorDoc_->snapVisible = vectorDoc_->snapVisible ? 0 : 1; }
    /// "Axis", "Snap options" and "Background options" of the vector page.
    void showVectorEditorOptions() { vectorDoc_->showEditorOptions(); }
    /// The vector page's "Copy": its picture for the clipboard (the caller owns it).
    QMimeData* vectorPictureMimeData();

    /// The values of the last solution beside the scheme (app/operatingpoint.cpp).
    OperatingPoint& operatingPoint() { return operatingPoint_; }
    /// Places the values of a solution of the scheme as it is now.
    void keepSolution(const SolveResult& result);
    /// The window's solve command (`runSolveCommand`), whose values are kept for the drawing.
    bool solveIntoPage(const std::string& method, QTextCursor& caret);

    /// Number formats of the power balance.
    int balanceDigits = 8, balancePrecision = 6;

  private:
    Context context_;
    QString homeDir_;
    std::unique_ptr<NTBEFizDisp> scheme_;
    std::unique_ptr<FizDisp> labelDoc_;
    std::unique_ptr<NVectDiaDisp> vectorDoc_;
    std::unique_ptr<Editor> schemeEditor_, vectorEditor_;
    QUndoStack undo_;
    bool keepsHistory_ = true;
    DocumentState schemeBase_, vectorBase_;
    /// The state each document is in and the state it was last saved in, by version numbers
    /// that each step of the history hands out.
    uint64_t lastVersion_ = 0;
    uint64_t schemeVersion_ = 0, vectorVersion_ = 0;
    uint64_t schemeSaved_ = 0, vectorSaved_ = 0;
    QPointer<QTextDocument> solutionPage_;
    bool changedOutsideHistory_ = false;
    /// A document was replaced as a whole by a file or by New: a new state, and the saved one.
    void markLoaded(FizDisp& doc);
    std::vector<bool> schemeTicks_, vectorTicks_;
    Canvas* pageCanvases_[2] = {}; ///< scheme, vector
    /// After a document was replaced as a whole: editors forget it, layer ticks are applied.
    void documentReplaced(FizDisp& doc);
    QString caption_ = QCoreApplication::translate("qv::Workbench", "TOLV  Quorvel English");
    OperatingPoint operatingPoint_;
};

} // namespace qv
