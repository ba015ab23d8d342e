// The generic Qt dialog: any dialog model's fields become controls, edits reach the model at
// once, and the model decides whether OK closes.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "gui/qtdialogpresenter.h"
#include "modal.h"

using namespace qv;
using qv::gui::QtDialogPresenter;

namespace {

// A model with one field of most kinds: it echoes the name in capitals, shows "extra" only
// while "more" is ticked, and refuses OK with a red message while the name is empty.
class ProbeDialog : public DialogModel {
  public:
    ProbeDialog() {
        addField({.id = "name", .kind = DialogField::Edit, .label = "Name", .maxLength = 5});
        addField({.id = "echo", .kind = DialogField::Label});
        addField({.id = "error", .kind = DialogField::Label, .visible = false});
        addField({.id = "more", .kind = DialogField::Check, .label = "More"});
        addField({.id = "extra", .kind = DialogField::Edit, .label = "Extra", .visible = false});
        addField({.id = "kind", .kind = DialogField::Radio, .label = "Kind", .items = {"A", "B", "C"}});
        addField({.id = "pick", .kind = DialogField::List, .label = "Pick", .items = {"x", "y"}});
        addField({.id = "ticks",
                  .kind = DialogField::CheckList,
                  .items = {"p", "q"},
                  .itemChecks = {false, false}});
        addField({.id = "count",
                  .kind = DialogField::Spin,
                  .label = "Count",
                  .choice = 3,
                  .minimum = 1,
                  .maximum = 9});
    }
    QString caption() const override { return "Probe"; }
    void show() override { field("echo").text = "shown"; }
    void changed(const QString& id) override {
        changes << id;
        if (id == "name") field("echo").text = field("name").text.toUpper();
        if (id == "more") field("extra").visible = field("more").checked;
    }
    bool ok() override {
        ++oks;
        if (!field("name").text.isEmpty()) return true;
        DialogField& e = field("error");
        e.text = "Name is empty";
        e.visible = true;
        e.color = rgb(255, 0, 0);
        return false;
    }
    void cancel() override { ++cancels; }

    QStringList changes;
    int oks = 0, cancels = 0;
};

template <class W> W* child(QDialog* d, const QString& name) {
    W* w = d->findChild<W*>(name);
    if (!w) ADD_FAILURE() << "no control " << name.toStdString();
    return w;
}

void press(QDialog* d, const char* button) {
    if (auto* b = child<QPushButton>(d, button))
        b->click();
    else
        d->reject();
}

} // namespace

TEST(QtDialogPresenterTest, EditsReachTheModalModelAndItsAnswersAreShown) {
    ProbeDialog model;
    QtDialogPresenter presenter;
    QString title, echoAtStart, echoAfterTyping;
    bool extraBefore = true, extraAfter = false;
    onModal([&](QDialog* d) {
        title = d->windowTitle();
        auto* name = child<QLineEdit>(d, "name");
        auto* echo = child<QLabel>(d, "echo");
        auto* extra = child<QLineEdit>(d, "extra");
        if (!name || !echo || !extra) return d->reject();
        echoAtStart = echo->text();
        QTest::keyClicks(name, "abcdefgh"); // longer than the field allows
        echoAfterTyping = echo->text();
        extraBefore = extra->isVisibleTo(d);
        if (auto* more = child<QCheckBox>(d, "more")) more->click();
        extraAfter = extra->isVisibleTo(d);
        if (auto* c = child<QRadioButton>(d, "kind2")) c->click();
        if (auto* pick = child<QComboBox>(d, "pick")) pick->setCurrentIndex(1);
        if (auto* ticks = child<QListWidget>(d, "ticks")) ticks->item(1)->setCheckState(Qt::Checked);
        if (auto* count = child<QSpinBox>(d, "count")) count->setValue(7);
        press(d, "ok");
    });

    EXPECT_TRUE(presenter.exec(model));

    EXPECT_EQ(title, "Probe");
    EXPECT_EQ(echoAtStart, "shown");
    EXPECT_EQ(echoAfterTyping, "ABCDE");
    EXPECT_FALSE(extraBefore);
    EXPECT_TRUE(extraAfter);
    EXPECT_EQ(model.field("name").text, "abcde");
    EXPECT_TRUE(model.field("more").checked);
    EXPECT_EQ(model.field("kind").choice, 2);
    EXPECT_EQ(model.field("pick").choice, 1);
    EXPECT_EQ(model.field("ticks").itemChecks, (std::vector<bool>{false, true}));
    EXPECT_EQ(model.field("count").choice, 7);
    EXPECT_EQ(model.changes.count("name"), 5);
    EXPECT_EQ(model.oks, 1);
    EXPECT_EQ(model.cancels, 0);
}

TEST(QtDialogPresenterTest, RefusedOkKeepsTheDialogOpenAndShowsTheModelsMessage) {
    ProbeDialog model;
    QtDialogPresenter presenter;
    bool openAfterRefusal = false, errorShown = false;
    QString errorText;
    QColor errorColour;
    onModal([&](QDialog* d) {
        press(d, "ok"); // the name is still empty
        openAfterRefusal = d->isVisible();
        if (auto* error = child<QLabel>(d, "error")) {
            errorShown = error->isVisibleTo(d);
            errorText = error->text();
            errorColour = error->palette().color(QPalette::WindowText);
        }
        if (auto* name = child<QLineEdit>(d, "name")) QTest::keyClicks(name, "R1");
        press(d, "ok");
    });

    EXPECT_TRUE(presenter.exec(model));

    EXPECT_TRUE(openAfterRefusal);
    EXPECT_TRUE(errorShown);
    EXPECT_EQ(errorText, "Name is empty");
    EXPECT_EQ(errorColour, QColor(255, 0, 0));
    EXPECT_EQ(model.oks, 2);
}

TEST(QtDialogPresenterTest, CancelTellsTheModelAndAnswersFalse) {
    ProbeDialog model;
    QtDialogPresenter presenter;
    onModal([&](QDialog* d) {
        if (auto* name = child<QLineEdit>(d, "name")) QTest::keyClicks(name, "x");
        press(d, "cancel");
    });

    EXPECT_FALSE(presenter.exec(model));
    EXPECT_EQ(model.cancels, 1);
    EXPECT_EQ(model.oks, 0);
}

namespace {

// A model laid out on a named page in two columns, with a list box, colour and style boxes,
// and a button that steps the dialog aside while it works.
class LayoutProbe : public DialogModel {
  public:
    LayoutProbe() {
        addField({.id = "info", .kind = DialogField::Label, .text = "read me"});
        addField({.id = "value", .kind = DialogField::Edit});
        addField(
            {.id = "rows", .kind = DialogField::ListBox, .label = "Rows", .choice = -1, .items = {"a", "b"}});
        addField({.id = "colour", .kind = DialogField::ColorBox, .label = "Color", .color = rgb(0, 128, 0)});
        addField({.id = "pen",
                  .kind = DialogField::StyleBox,
                  .label = "Line kind",
                  .items = {"Solid", "Dash"},
                  .sample = DialogField::PenSample,
                  .showNames = false,
                  .column = 1});
    }
    QString caption() const override { return "Layout"; }
    QString pageCaption() const override { return "Page one"; }
    QStringList extraButtons() const override { return {"Look"}; }
    bool hidesDuring(const QString& b) const override { return b == "Look"; }
    void pressed(const QString&) override {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        visibleWhilePressed = d && d->isVisible();
        ++presses;
    }
    bool visibleWhilePressed = true;
    int presses = 0;
};

} // namespace

TEST(QtDialogPresenterTest, LayoutFocusAndNamesFollowTheModel) {
    LayoutProbe model;
    gui::ModelDialog dialog(model);
    dialog.show();
    QApplication::processEvents();
    // The keyboard starts in the first input field, not on OK.
    EXPECT_EQ(QApplication::focusWidget(), dialog.control("value"));
    // A caption is its control's buddy and names it; a field without one takes the dialog's.
    EXPECT_EQ(dialog.control("rows")->accessibleName(), "Rows");
    EXPECT_EQ(dialog.control("value")->accessibleName(), "Layout");
    auto* tabs = dialog.findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->tabText(0), "Page one");
    // The right column stands to the right of the left one.
    EXPECT_GT(dialog.control("pen")->mapTo(&dialog, QPoint(0, 0)).x(),
              dialog.control("colour")->mapTo(&dialog, QPoint(0, 0)).x() + dialog.control("colour")->width() -
                  1);

    auto* rows = qobject_cast<QListWidget*>(dialog.control("rows"));
    ASSERT_NE(rows, nullptr);
    rows->setCurrentRow(1);
    EXPECT_EQ(model.field("rows").choice, 1);

    auto* colours = qobject_cast<QComboBox*>(dialog.control("colour"));
    ASSERT_NE(colours, nullptr);
    EXPECT_EQ(colours->currentText(), "Green");
    const int red = colours->findText("Red");
    ASSERT_GE(red, 0);
    colours->setCurrentIndex(red);
    emit colours->activated(red);
    EXPECT_EQ(model.field("colour").color, rgb(255, 0, 0));

    auto* pens = qobject_cast<QComboBox*>(dialog.control("pen"));
    ASSERT_NE(pens, nullptr);
    EXPECT_TRUE(pens->itemText(1).isEmpty()) << "line samples without names";
    EXPECT_FALSE(pens->itemIcon(0).isNull());
    EXPECT_NE(pens->itemIcon(0).pixmap(64, 16).toImage(), pens->itemIcon(1).pixmap(64, 16).toImage());
}

TEST(QtDialogPresenterTest, AButtonThatStepsAsideHidesTheDialogAndBringsItBack) {
    LayoutProbe model;
    gui::QtDialogPresenter presenter;
    int step = 0;
    std::function<void(QDialog*)> act = [&](QDialog* d) {
        if (step++ == 0) {
            // Clicking hides the dialog, which ends its modal loop: the presenter shows it
            // again, and the next step closes it.
            onModal(act);
            d->findChild<QPushButton*>("Look")->click();
        } else {
            EXPECT_TRUE(d->isVisible());
            d->reject();
        }
    };
    onModal(act);
    EXPECT_FALSE(presenter.exec(model));
    EXPECT_EQ(model.presses, 1);
    EXPECT_FALSE(model.visibleWhilePressed);
    EXPECT_EQ(step, 2);
}

namespace {

// Three pages, a list with its own buttons beside it, a cancel button of its own wording, and
// an OK that stays greyed while nothing is chosen.
class PagedProbe : public DialogModel {
  public:
    PagedProbe() {
        addField({.id = "rows",
                  .kind = DialogField::ListBox,
                  .label = "Rows",
                  .choice = -1,
                  .items = {"a", "b", "c"},
                  .buttons = {{"rowsUp", "Up"}, {"rowsDelete", "Delete", false}}});
        addField({.id = "second", .kind = DialogField::Edit, .label = "Second", .page = 1});
        addField({.id = "third", .kind = DialogField::Edit, .label = "Third", .page = 2});
    }
    QString caption() const override { return "Paged"; }
    QStringList pageCaptions() const override { return {"One", "Two", "Three"}; }
    QString cancelText() const override { return QString::fromUtf8("Отмена"); }
    bool okEnabled() const override { return field("rows").choice >= 0; }
    void pressed(const QString& button) override { presses << button; }
    QStringList presses;
};

} // namespace

TEST(QtDialogPresenterTest, PagesButtonsBesideAListAndAGreyedOk) {
    PagedProbe model;
    gui::ModelDialog dialog(model);
    dialog.show();
    QApplication::processEvents();
    auto* tabs = dialog.findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(2), "Three");
    EXPECT_EQ(tabs->widget(1)->findChild<QLineEdit*>("second"), dialog.control("second"));
    EXPECT_EQ(tabs->widget(2)->findChild<QLineEdit*>("third"), dialog.control("third"));
    auto* cancel = dialog.findChild<QPushButton*>("cancel");
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), QString::fromUtf8("Отмена"));

    // The list has the keyboard, yet no line is chosen: OK is greyed until one is.
    auto* rows = qobject_cast<QListWidget*>(dialog.control("rows"));
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(QApplication::focusWidget(), rows);
    EXPECT_TRUE(rows->selectedItems().isEmpty());
    EXPECT_EQ(model.field("rows").choice, -1);
    auto* ok = dialog.findChild<QPushButton*>("ok");
    ASSERT_NE(ok, nullptr);
    EXPECT_FALSE(ok->isEnabled());
    QTest::keyClick(rows, Qt::Key_Return); // the greyed default button is not pressed
    EXPECT_TRUE(dialog.isVisible());
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, Qt::NoModifier,
                      rows->visualItemRect(rows->item(1)).center());
    EXPECT_EQ(model.field("rows").choice, 1);
    EXPECT_TRUE(ok->isEnabled());

    // The buttons stand to the right of their list and tell the model their own ids.
    auto* up = dialog.findChild<QPushButton*>("rowsUp");
    ASSERT_NE(up, nullptr);
    EXPECT_EQ(up->text(), "Up");
    EXPECT_GE(up->mapTo(&dialog, QPoint(0, 0)).x(), rows->mapTo(&dialog, QPoint(rows->width(), 0)).x());
    EXPECT_FALSE(dialog.findChild<QPushButton*>("rowsDelete")->isVisible());
    up->click();
    EXPECT_EQ(model.presses, QStringList{"rowsUp"});
    model.field("rows").buttons[1].visible = true;
    dialog.refresh();
    EXPECT_TRUE(dialog.findChild<QPushButton*>("rowsDelete")->isVisible());
}
