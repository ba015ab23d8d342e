#include "qtdialogpresenter.h"

#include <exception>

#include <QButtonGroup>
#include <QCheckBox>
#include <QColor>
#include <QColorDialog>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

#include "platform/canvas.h"

namespace qv::gui {
namespace {

// The dialogs' texts are the core's own, marked for translation where they stand
// (QT_TRANSLATE_NOOP with this context) and put into the interface's language here, when shown.
// Some captions carry the platform's line break.
QString displayText(const QString& s) {
    QString t = s.isEmpty() ? s : QCoreApplication::translate("qv::Dialog", s.toUtf8().constData());
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return t;
}

QIcon swatch(Colour c) {
    QPixmap p(32, 16);
    p.fill(toQColor(c));
    return QIcon(p);
}

/// A pen style (values of the file format: solid, dash, dot, dash-dot, dash-dot-dot, clear,
/// inside frame) or a brush style drawn as the sample of a style box.
QIcon styleSample(DialogField::Sample kind, int style) {
    QPixmap p(64, 16);
    p.fill(Qt::white);
    QPainter painter(&p);
    if (kind == DialogField::PenSample) {
        static const Qt::PenStyle pens[] = {Qt::SolidLine,      Qt::DashLine, Qt::DotLine,  Qt::DashDotLine,
                                            Qt::DashDotDotLine, Qt::NoPen,    Qt::SolidLine};
        painter.setPen(QPen(Qt::black, 1, style >= 0 && style < 7 ? pens[style] : Qt::SolidLine));
        painter.drawLine(2, 8, 62, 8);
    } else {
        static const Qt::BrushStyle brushes[] = {Qt::SolidPattern, Qt::NoBrush,         Qt::HorPattern,
                                                 Qt::VerPattern,   Qt::FDiagPattern,    Qt::BDiagPattern,
                                                 Qt::CrossPattern, Qt::DiagCrossPattern};
        painter.setPen(Qt::black);
        painter.setBrush(QBrush(Qt::black, style >= 0 && style < 8 ? brushes[style] : Qt::NoBrush));
        painter.drawRect(2, 2, 59, 11);
    }
    return QIcon(p);
}

} // namespace

ModelDialog::ModelDialog(DialogModel& model, QWidget* parent) : QDialog(parent), model_(model) {
    setWindowTitle(displayText(model.caption()));
    auto* outer = new QVBoxLayout(this);
    outer_ = outer;
    // One set of columns per page; a dialog without pages has its columns on itself.
    const QStringList pages = model.pageCaptions();
    QTabWidget* tabs = pages.isEmpty() ? nullptr : new QTabWidget;
    if (tabs) {
        tabs->setUsesScrollButtons(false); // every page's tab in view: the dialog grows instead
        outer->addWidget(tabs);
    }
    for (int p = 0; p < std::max<int>(1, int(pages.size())); ++p) {
        auto* columns = new QHBoxLayout;
        if (tabs) {
            auto* page = new QWidget;
            page->setLayout(columns);
            tabs->addTab(page, displayText(pages[p]));
        } else {
            outer->addLayout(columns);
        }
        columns_.emplace_back();
        for (const DialogField& f : model.fields())
            if (pageOf(f) == p)
                while (int(columns_.back().size()) <= std::clamp(f.column, 0, 1)) {
                    columns_.back().push_back(new QFormLayout);
                    columns->addLayout(columns_.back().back());
                }
        if (columns_.back().empty()) {
            columns_.back().push_back(new QFormLayout);
            columns->addLayout(columns_.back().back());
        }
    }

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(displayText(model.okText()), QDialogButtonBox::AcceptRole);
    ok_->setObjectName(QStringLiteral("ok"));
    ok_->setDefault(true);
    if (model.hasCancel())
        buttons->addButton(displayText(model.cancelText()), QDialogButtonBox::RejectRole)
            ->setObjectName(QStringLiteral("cancel"));
    for (const QString& name : model.extraButtons()) {
        QPushButton* b = buttons->addButton(displayText(name), QDialogButtonBox::ActionRole);
        b->setObjectName(name);
        connect(b, &QPushButton::clicked, this, [this, name] { pressed(name); });
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &ModelDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ModelDialog::reject);
    outer->addWidget(buttons);

    build();
    refresh();
    focusFirstField();
}

void ModelDialog::focusFirstField() {
    // The keyboard starts in the first field one can type or choose in.
    for (const Row& r : rows_)
        if (r.widget && r.widget->focusPolicy() != Qt::NoFocus && !qobject_cast<QLabel*>(r.widget) &&
            r.widget->isEnabled()) {
            r.widget->setFocus(Qt::OtherFocusReason);
            break;
        }
}

int ModelDialog::pageOf(const DialogField& f) const {
    return std::clamp(f.page, 0, std::max(0, int(model_.pageCaptions().size()) - 1));
}

QFormLayout* ModelDialog::formFor(const DialogField& f) {
    const std::vector<QFormLayout*>& columns = columns_[size_t(pageOf(f))];
    return columns[size_t(std::clamp(f.column, 0, int(columns.size()) - 1))];
}

void ModelDialog::addRow(const DialogField& f, QWidget* w, bool captioned) {
    QFormLayout* form = formFor(f);
    // Buttons beside a control stand in a column at its right, from the top down.
    QWidget* placed = w;
    if (!f.buttons.empty()) {
        placed = new QWidget;
        auto* row = new QHBoxLayout(placed);
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(w, 1);
        auto* column = new QVBoxLayout;
        for (const DialogButton& b : f.buttons) {
            auto* button = new QPushButton(displayText(b.caption));
            button->setObjectName(b.id);
            button->setAutoDefault(false);
            connect(button, &QPushButton::clicked, this, [this, id = b.id] { pressed(id); });
            column->addWidget(button);
        }
        column->addStretch(1);
        row->addLayout(column);
    }
    rows_[size_t(&f - model_.fields().data())].placed = placed;
    if (captioned && !f.label.isEmpty()) {
        // The caption is the control's buddy, so its text is the control's accessible name.
        auto* caption = new QLabel(displayText(f.label));
        caption->setBuddy(w);
        form->addRow(caption, placed);
        w->setAccessibleName(displayText(f.label).simplified());
    } else {
        form->addRow(placed);
        if (!f.label.isEmpty())
            w->setAccessibleName(displayText(f.label).simplified());
        else
            w->setAccessibleName(model_.caption());
    }
}

void ModelDialog::pressed(const QString& button) {
    if (!model_.hidesDuring(button)) {
        model_.pressed(button);
        refresh();
        return;
    }
    // Hiding a modal dialog ends its event loop: the presenter shows it again afterwards.
    reopen_ = true;
    hide();
    model_.pressed(button);
    refresh();
}

void ModelDialog::fillColorBox(QComboBox* box, const DialogField& f) {
    box->clear();
    bool found = false;
    for (const NamedColour& c : standardColours()) {
        box->addItem(swatch(c.colour), f.showNames ? QString::fromLatin1(c.name) : QString(),
                     QVariant(c.colour));
        found = found || c.colour == f.color;
    }
    if (!found) box->addItem(swatch(f.color), f.showNames ? tr("Custom") : QString(), QVariant(f.color));
}

QWidget* ModelDialog::control(const QString& id) const {
    const auto& fields = model_.fields();
    for (size_t i = 0; i < fields.size() && i < rows_.size(); ++i)
        if (fields[i].id == id) return rows_[i].widget;
    return nullptr;
}

void ModelDialog::build() {
    rows_.resize(model_.fields().size());
    for (size_t i = 0; i < rows_.size(); ++i) {
        QWidget* w = makeControl(int(i), rows_[i]);
        w->setObjectName(model_.fields()[i].id);
        rows_[i].widget = w;
    }
}

QWidget* ModelDialog::makeControl(int index, Row& row) {
    const DialogField& f = model_.fields()[size_t(index)];
    auto field = [this, index]() -> DialogField& { return model_.fields()[size_t(index)]; };
    // Lists, list boxes and spin fields keep their row or value in `choice`.
    auto storeChoice = [this, field, index](int v) {
        if (refreshing_) return;
        field().choice = v;
        edited(index);
    };
    switch (f.kind) {
    case DialogField::Edit: {
        auto* e = new QLineEdit;
        connect(e, &QLineEdit::textChanged, this, [this, field, index](const QString& t) {
            if (refreshing_) return;
            field().text = t;
            edited(index);
        });
        addRow(f, e);
        return e;
    }
    case DialogField::Check: {
        auto* c = new QCheckBox;
        connect(c, &QCheckBox::toggled, this, [this, field, index](bool on) {
            if (refreshing_) return;
            field().checked = on;
            edited(index);
        });
        addRow(f, c, false);
        return c;
    }
    case DialogField::Radio: {
        auto* box = new QGroupBox;
        row.radioLayout = new QVBoxLayout(box);
        row.radios = new QButtonGroup(box);
        connect(row.radios, &QButtonGroup::idToggled, this, [this, field, index](int id, bool on) {
            if (refreshing_ || !on) return;
            field().choice = id;
            edited(index);
        });
        addRow(f, box, false);
        return box;
    }
    case DialogField::Label: {
        auto* l = new QLabel;
        l->setWordWrap(true);
        addRow(f, l);
        return l;
    }
    case DialogField::List: {
        auto* c = new QComboBox;
        connect(c, &QComboBox::currentIndexChanged, this, storeChoice);
        addRow(f, c);
        return c;
    }
    case DialogField::CheckList: {
        auto* l = new QListWidget;
        connect(l, &QListWidget::itemChanged, this, [this, field, index, l](QListWidgetItem* item) {
            if (refreshing_) return;
            DialogField& fd = field();
            int r = l->row(item);
            if (r < 0) return;
            if (fd.itemChecks.size() < size_t(fd.items.size())) fd.itemChecks.resize(size_t(fd.items.size()));
            if (size_t(r) < fd.itemChecks.size())
                fd.itemChecks[size_t(r)] = item->checkState() == Qt::Checked;
            edited(index);
        });
        connect(l, &QListWidget::currentRowChanged, this, storeChoice);
        addRow(f, l);
        return l;
    }
    case DialogField::Color: {
        auto* b = new QPushButton;
        connect(b, &QPushButton::clicked, this, [this, field, index] {
            QColor c = QColorDialog::getColor(toQColor(field().color), this, displayText(field().label));
            if (!c.isValid()) return;
            field().color = rgb(c.red(), c.green(), c.blue());
            edited(index);
        });
        addRow(f, b);
        return b;
    }
    case DialogField::Spin: {
        auto* s = new QSpinBox;
        connect(s, &QSpinBox::valueChanged, this, storeChoice);
        addRow(f, s);
        return s;
    }
    case DialogField::ListBox: {
        // The selected line is the choice: the list takes the keyboard's focus with a current
        // line but none selected, and nothing is chosen until the user picks one.
        auto* l = new QListWidget;
        connect(l, &QListWidget::itemSelectionChanged, this, [storeChoice, l] {
            const QList<QListWidgetItem*> chosen = l->selectedItems();
            storeChoice(chosen.isEmpty() ? -1 : l->row(chosen.front()));
        });
        addRow(f, l);
        return l;
    }
    case DialogField::ColorBox:
    case DialogField::StyleBox: {
        auto* c = new QComboBox;
        c->setIconSize(f.kind == DialogField::StyleBox ? QSize(64, 16) : QSize(32, 16));
        if (f.kind == DialogField::ColorBox) {
            connect(c, &QComboBox::activated, this, [this, field, index, c](int i) {
                if (refreshing_ || i < 0) return;
                field().color = Colour(c->itemData(i).toUInt());
                edited(index);
            });
        } else {
            for (int i = 0; i < f.items.size(); ++i)
                c->addItem(styleSample(f.sample, i), f.showNames ? f.items[i] : QString());
            connect(c, &QComboBox::currentIndexChanged, this, storeChoice);
        }
        addRow(f, c);
        return c;
    }
    }
    return new QWidget;
}

void ModelDialog::fillRadios(int index, Row& row) {
    const DialogField& f = model_.fields()[size_t(index)];
    for (QAbstractButton* b : row.radios->buttons()) {
        row.radios->removeButton(b);
        delete b;
    }
    for (int i = 0; i < f.items.size(); ++i) {
        auto* r = new QRadioButton(displayText(f.items[i]));
        r->setObjectName(f.id + QString::number(i));
        row.radios->addButton(r, i);
        row.radioLayout->addWidget(r);
    }
}

void ModelDialog::refresh() {
    refreshing_ = true;
    setWindowTitle(displayText(model_.caption()));
    ok_->setEnabled(model_.okEnabled());
    for (size_t i = 0; i < rows_.size() && i < model_.fields().size(); ++i)
        refreshField(int(i));
    refreshing_ = false;
}

void ModelDialog::refreshField(int index) {
    const DialogField& f = model_.fields()[size_t(index)];
    Row& row = rows_[size_t(index)];
    QWidget* w = row.widget;
    w->setEnabled(f.enabled);
    QFormLayout* form = formFor(f);
    form->setRowVisible(row.placed, f.visible);
    if (auto* caption = qobject_cast<QLabel*>(form->labelForField(row.placed)))
        caption->setText(displayText(f.label));
    for (const DialogButton& b : f.buttons)
        if (auto* button = row.placed->findChild<QPushButton*>(b.id)) {
            button->setText(displayText(b.caption));
            button->setVisible(b.visible);
        }

    switch (f.kind) {
    case DialogField::Edit: {
        auto* e = static_cast<QLineEdit*>(w);
        e->setMaxLength(f.maxLength > 0 ? f.maxLength : 32767);
        if (e->text() != f.text) e->setText(f.text);
        break;
    }
    case DialogField::Check: {
        auto* c = static_cast<QCheckBox*>(w);
        c->setText(displayText(f.label));
        c->setChecked(f.checked);
        break;
    }
    case DialogField::Radio: {
        auto* box = static_cast<QGroupBox*>(w);
        box->setTitle(displayText(f.label));
        QList<QAbstractButton*> buttons = row.radios->buttons();
        bool same = buttons.size() == f.items.size();
        for (int i = 0; same && i < buttons.size(); ++i)
            same = row.radios->button(i)->text() == displayText(f.items[i]);
        if (!same) fillRadios(index, row);
        // An exclusive group cannot show "nothing chosen"; lift the rule while setting.
        row.radios->setExclusive(false);
        for (QAbstractButton* b : row.radios->buttons()) {
            const size_t id = size_t(row.radios->id(b));
            b->setChecked(int(id) == f.choice);
            b->setEnabled(id >= f.itemEnabled.size() || f.itemEnabled[id]);
        }
        row.radios->setExclusive(true);
        break;
    }
    case DialogField::Label: {
        auto* l = static_cast<QLabel*>(w);
        l->setText(displayText(f.text));
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, toQColor(f.color));
        l->setPalette(pal);
        break;
    }
    case DialogField::List: {
        auto* c = static_cast<QComboBox*>(w);
        QStringList now;
        for (int i = 0; i < c->count(); ++i)
            now << c->itemText(i);
        if (now != f.items) {
            c->clear();
            c->addItems(f.items);
        }
        c->setCurrentIndex(f.choice < c->count() ? f.choice : -1);
        break;
    }
    case DialogField::CheckList: {
        auto* l = static_cast<QListWidget*>(w);
        QStringList now;
        for (int i = 0; i < l->count(); ++i)
            now << l->item(i)->text();
        if (now != f.items) {
            l->clear();
            for (const QString& s : f.items) {
                auto* item = new QListWidgetItem(s, l);
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            }
        }
        for (int i = 0; i < l->count(); ++i) {
            bool on = size_t(i) < f.itemChecks.size() && f.itemChecks[size_t(i)];
            l->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        }
        l->setCurrentRow(f.choice >= 0 && f.choice < l->count() ? f.choice : -1);
        break;
    }
    case DialogField::Color:
        static_cast<QPushButton*>(w)->setIcon(swatch(f.color));
        break;
    case DialogField::Spin: {
        auto* s = static_cast<QSpinBox*>(w);
        if (f.maximum >= f.minimum) s->setRange(f.minimum, f.maximum);
        s->setValue(f.choice);
        break;
    }
    case DialogField::ListBox: {
        auto* l = static_cast<QListWidget*>(w);
        QStringList now;
        for (int i = 0; i < l->count(); ++i)
            now << l->item(i)->text();
        if (now != f.items) {
            l->clear();
            l->addItems(f.items);
        }
        if (f.choice >= 0 && f.choice < l->count()) {
            l->setCurrentRow(f.choice);
        } else {
            l->clearSelection();
            l->setCurrentRow(-1);
        }
        break;
    }
    case DialogField::ColorBox: {
        auto* c = static_cast<QComboBox*>(w);
        int at = c->findData(QVariant(f.color));
        if (at < 0) {
            fillColorBox(c, f);
            at = c->findData(QVariant(f.color));
        }
        c->setCurrentIndex(at);
        break;
    }
    case DialogField::StyleBox:
        static_cast<QComboBox*>(w)->setCurrentIndex(f.choice < f.items.size() ? f.choice : -1);
        break;
    }
}

void ModelDialog::edited(int index) {
    model_.changed(model_.fields()[size_t(index)].id);
    refresh();
}

void ModelDialog::accept() {
    bool closes = false;
    try {
        closes = model_.ok();
    } catch (const std::exception& e) {
        // Some dialogs leave a bad value to the general error message and stay open.
        QMessageBox::critical(this, QString(), QString::fromUtf8(e.what()));
    }
    if (closes)
        QDialog::accept();
    else
        refresh(); // the model may now show why it stays open
}

void ModelDialog::reject() {
    model_.cancel();
    QDialog::reject();
}

bool QtDialogPresenter::exec(DialogModel& model) {
    model.show();
    ModelDialog dialog(model, parent_);
    if (model.showsDrawing() && parent_) {
        // By the window's right edge, below its toolbars, so the page's middle stays in view.
        dialog.adjustSize();
        const QRect window = parent_->window()->geometry();
        dialog.move(std::max(window.left(), window.right() - dialog.width() - 24), window.top() + 120);
    }
    for (;;) {
        const int result = dialog.exec();
        if (!dialog.reopen_) return result == QDialog::Accepted;
        // It stepped aside for a button's work; it comes back as if opened afresh, not with
        // the keyboard on that button, where Enter would press it again.
        dialog.reopen_ = false;
        dialog.focusFirstField();
    }
}

bool QtDialogPresenter::chooseFont(FontRec& font) {
    bool ok = false;
    QFont start = Canvas::toQFont(font);
    if (font.size > 0) start.setPointSize(font.size);
    QFont chosen = QFontDialog::getFont(&ok, start, parent_);
    if (!ok) return false;
    int ppi = font.pixelsPerInch > 0 ? font.pixelsPerInch : 96;
    font.name = chosen.family().toStdString();
    if (chosen.pointSize() > 0) {
        font.size = chosen.pointSize();
        font.height = -int(std::lround(chosen.pointSize() * ppi / 72.0));
    } else if (chosen.pixelSize() > 0) {
        font.height = -chosen.pixelSize();
        font.size = int(std::lround(chosen.pixelSize() * 72.0 / ppi));
    }
    font.style = uint8_t((chosen.bold() ? 1 : 0) | (chosen.italic() ? 2 : 0) | (chosen.underline() ? 4 : 0) |
                         (chosen.strikeOut() ? 8 : 0));
    return true;
}

} // namespace qv::gui
