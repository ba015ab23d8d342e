#pragma once
// Dialogs are models: their fields, labels and OK/Cancel rules live here, in the core; a
// presenter shows them (a Qt dialog in the GUI, a script in tests) and only moves values.
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "platform/types.h"

namespace qv {

/// A button that stands beside a field (a list's "Up", "Down"): pressing it calls the model's
/// `pressed(id)`.
struct DialogButton {
    QString id;      ///< what `pressed` receives; unique in the dialog
    QString caption; ///< what the button reads; two buttons may read the same
    bool visible = true;
};

/// One control of a dialog.
struct DialogField {
    enum Kind {
        Edit,
        Check,
        Radio,
        Label,
        List,      ///< a drop-down list
        CheckList, ///< a list box with a tick per item
        Color,     ///< a button that opens the colour chooser
        Spin,
        ListBox,  ///< a list box: every item in view, one selected
        ColorBox, ///< a drop-down of the standard colours with their samples
        StyleBox, ///< a drop-down of pen or brush styles drawn as samples
    };
    /// What a StyleBox draws for item i (the style value i).
    enum Sample { NoSample, PenSample, BrushSample };
    QString id; ///< stable key used by models, views and scripts
    Kind kind = Edit;
    QString label;                 ///< caption beside or on the control
    QString text;                  ///< Edit: the text; Label: the shown text
    bool checked = false;          ///< Check
    int choice = 0;                ///< Radio: selected item; List: selected row (-1 none); Spin: value
    QStringList items;             ///< Radio, List, CheckList: the items
    std::vector<bool> itemChecks;  ///< CheckList: the tick of each item
    std::vector<bool> itemEnabled; ///< Radio: which items can be chosen (empty: all)
    bool visible = true;
    bool enabled = true;
    Colour color = 0;                  ///< Label: text colour; Color: the colour chosen
    int maxLength = 0;                 ///< Edit: 0 = unlimited
    int minimum = 0, maximum = 0;      ///< Spin
    Sample sample = NoSample;          ///< StyleBox
    bool showNames = true;             ///< StyleBox, ColorBox: the names beside the samples
    int column = 0;                    ///< 0: the left column of the dialog, 1: the right one
    int page = 0;                      ///< the page it stands on, for dialogs with several pages
    std::vector<DialogButton> buttons; ///< beside the control, from the top down
};

/// A named colour of the colour boxes.
struct NamedColour {
    const char* name;
    Colour colour;
};

/// The colours a colour box offers, in its order (a colour outside them is added to the box).
inline const std::vector<NamedColour>& standardColours() {
    static const std::vector<NamedColour> list = {
        {"Black", rgb(0, 0, 0)},       {"Maroon", rgb(128, 0, 0)},    {"Green", rgb(0, 128, 0)},
        {"Olive", rgb(128, 128, 0)},   {"Navy", rgb(0, 0, 128)},      {"Purple", rgb(128, 0, 128)},
        {"Teal", rgb(0, 128, 128)},    {"Gray", rgb(128, 128, 128)},  {"Silver", rgb(192, 192, 192)},
        {"Red", rgb(255, 0, 0)},       {"Lime", rgb(0, 255, 0)},      {"Yellow", rgb(255, 255, 0)},
        {"Blue", rgb(0, 0, 255)},      {"Fuchsia", rgb(255, 0, 255)}, {"Aqua", rgb(0, 255, 255)},
        {"White", rgb(255, 255, 255)},
    };
    return list;
}

/// Base of every dialog model. A presenter calls `show()` once, lets the user edit the
/// fields (calling `changed()` after each edit so the model can relabel), and then `ok()`
/// or `cancel()`; `ok()` answers whether the dialog closes.
class DialogModel {
  public:
    virtual ~DialogModel() = default;
    virtual QString caption() const = 0;
    virtual void show() {}
    virtual void changed(const QString& /*fieldId*/) {}
    virtual bool ok() { return true; }
    virtual void cancel() {}
    /// Extra buttons besides OK and Cancel (e.g. "Delete" in a list dialog).
    virtual QStringList extraButtons() const { return {}; }
    virtual void pressed(const QString& /*button*/) {}
    virtual QString okText() const { return QStringLiteral("OK"); }
    virtual QString cancelText() const { return QStringLiteral("Cancel"); }
    /// False while OK cannot be pressed: it shows greyed, and the dialog's own fields say why.
    virtual bool okEnabled() const { return true; }
    /// The caption of the dialog's one page, for dialogs laid out on a page; empty for none.
    virtual QString pageCaption() const { return {}; }
    /// The captions of the dialog's pages, in order (a field's `page` indexes them); none for a
    /// dialog without pages.
    virtual QStringList pageCaptions() const {
        return pageCaption().isEmpty() ? QStringList() : QStringList{pageCaption()};
    }
    /// Whether the dialog steps out of sight while `button` does its work (a button that
    /// shows the drawing, for instance), and comes back afterwards.
    virtual bool hidesDuring(const QString& /*button*/) const { return false; }
    /// Whether the dialog shows something on the drawing while it is open (a loop): it then
    /// opens by the window's edge rather than over the middle of the page.
    virtual bool showsDrawing() const { return false; }
    virtual bool hasCancel() const { return true; }

    std::vector<DialogField>& fields() { return fields_; }
    const std::vector<DialogField>& fields() const { return fields_; }
    DialogField& field(const QString& id);
    const DialogField& field(const QString& id) const;

  protected:
    DialogField& addField(DialogField f) {
        fields_.push_back(std::move(f));
        return fields_.back();
    }

  private:
    std::vector<DialogField> fields_;
};

/// Shows a dialog model modally. Answers true when the dialog closed through OK.
class DialogPresenter {
  public:
    virtual ~DialogPresenter() = default;
    virtual bool exec(DialogModel& model) = 0;
    /// The platform font dialog on `font`; true (and `font` changed) when confirmed.
    virtual bool chooseFont(FontRec& font) { return false; }
};

/// A presenter driven by a function: the function plays the user (edits fields, then calls
/// `ok()` or `cancel()` on the model and answers which closed the dialog). With no script
/// the dialog is cancelled.
class ScriptedPresenter : public DialogPresenter {
  public:
    using Script = std::function<bool(DialogModel&)>;
    bool exec(DialogModel& model) override {
        model.show();
        shown.push_back(model.caption());
        if (scripts.empty()) {
            model.cancel();
            return false;
        }
        Script s = std::move(scripts.front());
        scripts.erase(scripts.begin());
        return s(model);
    }
    /// Presses OK, as a user can only while it is enabled; true if the dialog closed.
    static bool pressOk(DialogModel& m) { return m.okEnabled() && m.ok(); }
    std::vector<Script> scripts;
    QStringList shown;
};

} // namespace qv
