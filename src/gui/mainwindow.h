#pragma once
// The main window: three pages, menus, toolbars, the "Layers" window and the status bar
// around one Workbench. It turns Qt events into workbench calls and shows what they answer.
#include <QHash>
#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/recovery.h"
#include "app/workbench.h"
#include "platform/language.h"
#include "qtdialogpresenter.h"
#include "qtmessages.h"

class QDockWidget;
class QKeyEvent;
class QLabel;
class QMenu;
class QSpinBox;
class QTabWidget;
class QToolBar;

namespace qv::gui {

class DrawingArea;
class LayerList;
class SchemePage;
class SolutionPage;
class VectorPage;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    /// `homeDir`: the program's folder; the folder of the running program when empty.
    explicit MainWindow(const QString& homeDir = QString(), QWidget* parent = nullptr);
    ~MainWindow() override;

    Workbench& workbench() { return *workbench_; }

    Page currentPage() const;
    void setCurrentPage(Page page);

    SchemePage* schemePage() const { return schemePage_; }
    SolutionPage* solutionPage() const { return solutionPage_; }
    VectorPage* vectorPage() const { return vectorPage_; }
    QDockWidget* layersWindow() const { return layers_; }
    LayerList* layerList() const { return layerList_; }
    QTabWidget* pages() const { return tabs_; }
    QLabel* statusPanel(int index) const { return index == 0 ? status0_ : status1_; }

    /// The language chosen in View > "Language" (kept in the settings); as written when none.
    static Language chosenLanguage();

    /// The menu entry with this caption, searched through every menu and submenu; null if none.
    QAction* menuAction(const QString& caption) const;

    /// Opens a scheme (.tbe), vector diagram (.qvv) or workshop (.qvw) file by its suffix,
    /// after asking about unsaved changes. False when nothing was opened; the fault goes to
    /// `error` when given, to a message box otherwise.
    bool openFile(const QString& path, QString* error = nullptr);
    /// The drawing area of a page, or null for the Solution page.
    DrawingArea* drawingArea(Page page) const;
    /// The Solution page as a workshop file stores it, and back. One place to change the
    /// stored form.
    QByteArray solutionBytes() const;
    void setSolutionBytes(const QByteArray& bytes);
    void saveSolutionCommand();

    /// Replaces the file dialogs (tests): answers the chosen path, empty for Cancel.
    std::function<QString(bool save, const QString& filter)> fileChooser;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void buildPages();
    void buildMenus();
    void buildLanguageMenu(QMenu* view);
    void buildToolBars();
    /// "Insert Device" → "Power network" and its toolbar, hidden until the View menu shows it.
    /// View → "Show results" and the AC format of the values, from the user's settings.
    void buildResultsView(QMenu* view);
    /// "Option": the dialog, then the AC format of the values kept for the next start.
    void optionsCommand();
    void buildPowerNetworkTools(QMenu* insert, QMenu* view);
    void buildLayersWindow();
    void buildStatusBar();
    QAction* command(QMenu* menu, const QString& caption, std::function<void()> run = {});
    QToolBar* makeToolBar(const QString& name);
    void viewToggle(QMenu* menu, const QString& caption, QToolBar* bar);
    void applyPageTools();
    void repaintScheme();
    void exitCommand();
    void openSchemeCommand();
    /// "Solve by ..." of a method ("node"): its dialog, then the solution at the Solution
    /// page's caret, and the page shown.
    void solveCommand(const std::string& method);
    void saveSchemeCommand();
    void saveSchemeImageCommand();
    void saveVectorImageCommand();
    void createVectorCommand();
    void calculatorCommand();
    void newCommand();
    void openCommand();
    /// "Save" (`askName` false: asks only when there is no file yet) and "Save As".
    bool saveCommand(bool askName);
    void openVectorCommand();
    void saveVectorCommand();
    void printCommand();
    void toolCommand(Page page, Tool tool);
    void undoCommand(bool redo);
    void popupMenu(Page page, QPoint globalPos, const Editor::Popup& popup);
    void navigate(EditorKey key);
    /// Scrolls the drawing page for an arrow key; false for other keys and on the Solution page.
    bool arrowKey(const QKeyEvent& event);
    /// Asks "Save file?" over unsaved changes of the part a command replaces (`replaced`, or
    /// any part when none is named); false when the user cancels (or saving failed).
    bool maybeSave(const QString& caption, std::optional<Workbench::Part> replaced = std::nullopt);
    QString chooseFile(bool save, const QString& start, const QString& filter);
    /// "Save ... image": a picture name, its extension added from the chosen filter.
    QString choosePicturePath();
    /// Caption, undo entries and the other things that follow an edit.
    void updateCaption();
    void refreshPages();
    void addRecentFile(const QString& path);
    void rebuildRecentMenu();
    bool loadFile(const QString& path, QString* error = nullptr);
    void showError(const QString& text);

  public:
    /// Opens a scheme file; a file that cannot be read is reported and changes nothing.
    bool openScheme(const QString& path);
    /// Tells once, through the workbench's message boxes, which catalogue files could not be
    /// read at start-up. The program calls it after showing the window.
    void showCatalogueErrors();

    /// Starts keeping a recovery copy of the work in `folder`, written `delay` after a change.
    /// The program does this at start-up; without it nothing is written.
    void startRecovery(const QString& folder = RecoveryKeeper::defaultFolder(),
                       std::chrono::milliseconds delay = RecoveryKeeper::kDelay);
    RecoveryKeeper* recovery() const { return recovery_.get(); }
    /// Offers the work of a window that ended without a clean close: "Restore unsaved work
    /// from <date time>?" with "Restore" and "Discard". A damaged copy is reported and set
    /// aside. The program calls it after `startRecovery`.
    void offerRecovery();

  private:
    void aboutCommand();

    // The message boxes and dialogs outlive the workbench whose context points at them.
    QtMessages messages_;
    QtDialogPresenter presenter_;
    std::unique_ptr<Workbench> workbench_;
    std::unique_ptr<RecoveryKeeper> recovery_;

    QTabWidget* tabs_ = nullptr;
    SchemePage* schemePage_ = nullptr;
    SolutionPage* solutionPage_ = nullptr;
    VectorPage* vectorPage_ = nullptr;
    QDockWidget* layers_ = nullptr;
    LayerList* layerList_ = nullptr;
    QLabel* status0_ = nullptr;
    QLabel* status1_ = nullptr;
    QDialog* calculator_ = nullptr; ///< modeless, made on first use

    QToolBar* files_ = nullptr;
    QToolBar* navigation_ = nullptr;
    QToolBar* calculation_ = nullptr;
    QToolBar* dcDevices_ = nullptr;
    QToolBar* acDevices_ = nullptr;
    QToolBar* drawing_ = nullptr;
    QToolBar* vectorTools_ = nullptr;
    QToolBar* powerNetwork_ = nullptr;
    QSpinBox* zoom_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    QMenu* recent_ = nullptr;
    bool vectorAxis_ = true;

    /// The commands that a menu and a toolbar share.
    enum class Shared {
        New,
        Open,
        Save,
        Print,
        NewLoop,
        LoopsList,
        PowerBalance,
        Calculator,
        BackgroundAndSnap,
        Count
    };
    std::array<QAction*, size_t(Shared::Count)> shared_{};
    /// "Insert Device" commands, which the "DC Devices" toolbar shows too, in menu order.
    std::vector<QAction*> dcDeviceActions_;
    /// The View menu's check of each toolbar.
    QHash<QToolBar*, QAction*> viewChecks_;
    bool shown_ = false;
};

} // namespace qv::gui
