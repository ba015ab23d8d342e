#pragma once
// Shows any dialog model as one generic Qt dialog: the widgets are built from the model's
// fields, every edit goes straight into the model, and the model decides whether OK closes.
#include <QDialog>
#include <vector>

#include "platform/dialogmodel.h"

class QButtonGroup;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QPushButton;
class QVBoxLayout;

namespace qv::gui {

/// The Qt face of one dialog model. Each field's control is named by the field's id.
class ModelDialog : public QDialog {
    Q_OBJECT
  public:
    explicit ModelDialog(DialogModel& model, QWidget* parent = nullptr);

    DialogModel& model() { return model_; }
    /// The control of a field (for a radio group: the group box), or null.
    QWidget* control(const QString& id) const;
    /// Copies the model's fields into the controls.
    void refresh();

    void accept() override;
    void reject() override;

  private:
    struct Row {
        QWidget* widget = nullptr;
        QWidget* placed = nullptr;      ///< what stands in the form: the control, or it with its buttons
        QFormLayout* form = nullptr;    ///< the column that holds it
        QButtonGroup* radios = nullptr; ///< Radio fields
        QVBoxLayout* radioLayout = nullptr;
    };
    void build();
    void focusFirstField();
    QWidget* makeControl(int index, Row& row);
    void fillRadios(int index, Row& row);
    /// Adds a control to the column of field `f`, under its caption when it has one.
    void addRow(const DialogField& f, QWidget* w, bool captioned = true);
    QFormLayout* formFor(const DialogField& f);
    int pageOf(const DialogField& f) const;
    void fillColorBox(QComboBox* box, const DialogField& f);
    void pressed(const QString& button);
    void refreshField(int index);
    /// Called after a control moved its value into field `index`.
    void edited(int index);

    DialogModel& model_;
    QVBoxLayout* outer_ = nullptr;
    std::vector<std::vector<QFormLayout*>> columns_; ///< per page, its columns
    QPushButton* ok_ = nullptr;
    std::vector<Row> rows_;
    bool refreshing_ = false;
    bool reopen_ = false;

    friend class QtDialogPresenter;
};

class QtDialogPresenter : public DialogPresenter {
  public:
    explicit QtDialogPresenter(QWidget* parent = nullptr) : parent_(parent) {}
    bool exec(DialogModel& model) override;
    bool chooseFont(FontRec& font) override;

  private:
    QWidget* parent_;
};

} // namespace qv::gui
