#include "solutionpage.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QFontComboBox>
#include <QIntValidator>
#include <QLineEdit>
#include <QResizeEvent>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/workbench.h"
#include "icons.h"

namespace qv::gui {

namespace {

/// The page's editor. Shown again after the window's tool bars changed its size while it was
/// hidden, Qt lays the whole page out anew from the top even where the text keeps its width:
/// with a few long solutions on the page that took seconds at every return to the page.
class PageEditor : public QTextEdit {
  public:
    using QTextEdit::QTextEdit;

  protected:
    void resizeEvent(QResizeEvent* event) override {
        if (lineWrapMode() == WidgetWidth && event->size().width() != event->oldSize().width() &&
            document()->pageSize().width() == viewport()->width()) {
            // The lines stay as they are laid out; only the scroll bars follow the new size.
            QResizeEvent sameWidth(event->size(), QSize(event->size().width(), event->oldSize().height()));
            QTextEdit::resizeEvent(&sameWidth);
            return;
        }
        QTextEdit::resizeEvent(event);
    }
};

} // namespace

SolutionPage::SolutionPage(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    toolBar_ = new QToolBar(tr("Solution format"), this);
    toolBar_->setObjectName(QStringLiteral("Solution format"));
    editor_ = new PageEditor(this);
    editor_->setAcceptRichText(true);
    layout->addWidget(toolBar_);
    layout->addWidget(editor_);
    editor_->installEventFilter(this);
    editor_->viewport()->installEventFilter(this);

    auto align = [this](IconKind icon, const QString& name, Qt::Alignment a) {
        QAction* act = toolBar_->addAction(makeIcon(icon), name);
        act->setObjectName(name);
        connect(act, &QAction::triggered, this, [this, a] {
            finishWriting();
            editor_->setAlignment(a);
        });
    };
    align(IconKind::AlignCentre, tr("Center"), Qt::AlignHCenter);
    align(IconKind::AlignJustify, tr("Justify"), Qt::AlignJustify);
    align(IconKind::AlignRight, tr("Align right"), Qt::AlignRight);
    toolBar_->addSeparator();

    // Each style button flips its bit of the selection as it is now.
    auto style = [this](IconKind icon, const QString& name, auto flip) {
        QAction* act = toolBar_->addAction(makeIcon(icon), name);
        act->setObjectName(name);
        connect(act, &QAction::triggered, this, [this, flip] {
            finishWriting();
            QTextCharFormat f;
            flip(editor_->textCursor().charFormat(), f);
            mergeFormat(f);
        });
    };
    style(IconKind::Bold, tr("Bold"), [](const QTextCharFormat& now, QTextCharFormat& f) {
        f.setFontWeight(now.fontWeight() > QFont::Normal ? QFont::Normal : QFont::Bold);
    });
    style(IconKind::Italic, tr("Italic"),
          [](const QTextCharFormat& now, QTextCharFormat& f) { f.setFontItalic(!now.fontItalic()); });
    style(IconKind::Underline, tr("Underline"),
          [](const QTextCharFormat& now, QTextCharFormat& f) { f.setFontUnderline(!now.fontUnderline()); });
    toolBar_->addSeparator();

    fontBox_ = new QFontComboBox(toolBar_);
    fontBox_->setObjectName(QStringLiteral("fontName"));
    fontBox_->setInsertPolicy(QComboBox::NoInsert);
    toolBar_->addWidget(fontBox_);
    sizeBox_ = new QComboBox(toolBar_);
    sizeBox_->setObjectName(QStringLiteral("fontSize"));
    sizeBox_->setEditable(true);
    sizeBox_->setInsertPolicy(QComboBox::NoInsert);
    sizeBox_->setValidator(new QIntValidator(0, 999, sizeBox_));
    for (int s : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        sizeBox_->addItem(QString::number(s));
    toolBar_->addWidget(sizeBox_);

    connect(fontBox_, &QComboBox::textActivated, this, &SolutionPage::applyFontName);
    // A name typed but not in the list is still the user's choice.
    connect(fontBox_->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { applyFontName(fontBox_->currentText()); });
    connect(sizeBox_, &QComboBox::textActivated, this, &SolutionPage::applyFontSize);
    connect(sizeBox_->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { applyFontSize(sizeBox_->currentText()); });

    connect(editor_, &QTextEdit::cursorPositionChanged, this, &SolutionPage::showSelectionFont);
    connect(editor_, &QTextEdit::selectionChanged, this, &SolutionPage::showSelectionFont);
    showSelectionFont();
}

bool SolutionPage::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    // Whatever may edit, select or copy the text; scrolling and painting leave a solution
    // going on.
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::Drop:
        finishWriting();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void SolutionPage::mergeFormat(const QTextCharFormat& format) {
    finishWriting();
    // With no selection this sets the format of what is typed next.
    editor_->mergeCurrentCharFormat(format);
}

void SolutionPage::applyFontName(const QString& name) {
    if (!fontSyncEnabled || name.trimmed().isEmpty()) return;
    QTextCharFormat f;
    f.setProperty(kCharsetProperty, Workbench::charsetForFontName(name));
    f.setFontFamilies(QStringList{name});
    mergeFormat(f);
}

void SolutionPage::applyFontSize(const QString& text) {
    if (!fontSyncEnabled) return;
    bool ok = false;
    int size = text.trimmed().toInt(&ok);
    if (!ok || size <= 0) return;
    QTextCharFormat f;
    f.setFontPointSize(size);
    mergeFormat(f);
}

void SolutionPage::showSelectionFont() {
    if (solving) return;
    QTextCharFormat f = editor_->currentCharFormat();
    QFont font = f.font().resolve(editor_->document()->defaultFont());
    QStringList families = f.fontFamilies().toStringList();
    QString family = families.isEmpty() ? font.family() : families.first();
    int size = f.fontPointSize() > 0 ? int(f.fontPointSize() + 0.5) : font.pointSize();

    bool was = fontSyncEnabled;
    fontSyncEnabled = false;
    fontBox_->setEditText(family);
    sizeBox_->setEditText(size > 0 ? QString::number(size) : QString());
    fontSyncEnabled = was;
}

} // namespace qv::gui
