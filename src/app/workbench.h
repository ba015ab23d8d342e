#pragma once
// The workbench: the documents that live as long as the main window, the options and view
// state of the window, and the commands that both front ends (window and command line) call.
#include <QSize>
#include <QString>
#include <QStringList>
#include <memory>

#include "model/context.h"
#include "model/fizdisp.h"

class QPainter;

namespace qv {

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

class Workbench {
  public:
    /// `homeDir`: the program's folder (element templates, report pictures); the folder of the
    /// running program when empty.
    explicit Workbench(const QString& homeDir = QString());
    ~Workbench();

    Context& context() { return context_; }
    NTBEFizDisp& scheme() { return *scheme_; }
    FizDisp& labelDocument() { return *labelDoc_; }
    NLayerFDisp& vectorDoc() { return *vectorDoc_; }
    const QString& homeDir() const { return homeDir_; }

    static QString applicationTitle() { return QStringLiteral("TOLV - Quorvel"); }
    /// The main window's caption: "TOLV  Quorvel English" until a New, Open or Save names it.
    QString caption() const { return caption_; }
    /// The caption after a file was opened or saved: its name without the folder.
    void setCaptionForFile(const QString& path);
    void setCaptionNew();

    bool modified = false;
    QString workshopFile;

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
    /// "Set all branch arrows" (`show`) and "Kill all branch arrows".
    void setAllArrows(bool show);
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

    /// Number formats of the power balance.
    int balanceDigits = 8, balancePrecision = 6;

  private:
    Context context_;
    QString homeDir_;
    std::unique_ptr<NTBEFizDisp> scheme_;
    std::unique_ptr<FizDisp> labelDoc_;
    std::unique_ptr<NLayerFDisp> vectorDoc_;
    QString caption_ = QStringLiteral("TOLV  Quorvel English");
};

} // namespace qv
