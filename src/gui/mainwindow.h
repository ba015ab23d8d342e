#pragma once
// The main window: three pages, menus, toolbars, the "Layers" window and the status bar
// around one Workbench. It turns Qt events into workbench calls and shows what they answer.
#include <QHash>
#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>

#include "app/workbench.h"
#include "qtdialogpresenter.h"
#include "qtmessages.h"

class QDockWidget;
class QLabel;
class QMenu;
class QTabWidget;
class QToolBar;

namespace qv::gui {

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

    /// The menu entry with this caption, searched through every menu and submenu; null if none.
    QAction* menuAction(const QString& caption) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void buildPages();
    void buildMenus();
    void buildToolBars();
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
    void calculatorCommand();

  public:
    /// Opens a scheme file; a file that cannot be read is reported and changes nothing.
    bool openScheme(const QString& path);

  private:
    void aboutCommand();

    // The message boxes and dialogs outlive the workbench whose context points at them.
    QtMessages messages_;
    QtDialogPresenter presenter_;
    std::unique_ptr<Workbench> workbench_;

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

    /// Actions shared by a menu and a toolbar, by caption.
    QHash<QString, QAction*> shared_;
    /// The View menu's check of each toolbar.
    QHash<QToolBar*, QAction*> viewChecks_;
    bool shown_ = false;
};

} // namespace qv::gui
