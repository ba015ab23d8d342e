#pragma once
// The "Solution" page: the rich-text report and its formatting toolbar.
#include <QTextFormat>
#include <QWidget>
#include <functional>

class QAction;
class QComboBox;
class QFontComboBox;
class QTextCharFormat;
class QTextEdit;
class QToolBar;

namespace qv::gui {

/// Char-format property holding the character set of a run (204 Russian, 2 symbol), which
/// Qt fonts do not carry but the rich-text export needs.
constexpr int kCharsetProperty = QTextFormat::UserProperty;

class SolutionPage : public QWidget {
    Q_OBJECT
  public:
    explicit SolutionPage(QWidget* parent = nullptr);

    QTextEdit* editor() const { return editor_; }
    QToolBar* toolBar() const { return toolBar_; }
    QFontComboBox* fontBox() const { return fontBox_; }
    QComboBox* sizeBox() const { return sizeBox_; }

    /// The font boxes act on the selection only while this is true; it is false while the
    /// page itself shows the selection's font in them and while a solution is written.
    bool fontSyncEnabled = true;
    /// True while a solution writes into the page; the boxes then stop following the selection.
    bool solving = false;
    /// Called before the user or the toolbar edits the page (a solution still going onto it
    /// is finished first, so that nothing lands in the middle of it).
    std::function<void()> beforeEdit;

    /// Sets the selection's character set for `name`, then its font name.
    void applyFontName(const QString& name);
    /// Sets the selection's size in points; sizes of 0 and below are ignored.
    void applyFontSize(const QString& text);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void finishWriting() {
        if (beforeEdit) beforeEdit();
    }
    void mergeFormat(const QTextCharFormat& format);
    void showSelectionFont();

    QTextEdit* editor_;
    QToolBar* toolBar_;
    QFontComboBox* fontBox_;
    QComboBox* sizeBox_;
};

} // namespace qv::gui
