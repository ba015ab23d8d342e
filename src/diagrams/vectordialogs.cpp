#include "diagrams/vectordialogs.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "diagrams/vectordiagram.h"
#include "model/context.h"
#include "platform/numfmt.h"

namespace qv {

namespace {

/// A scale is a number other than 0: every vector point is divided by it.
std::optional<Extended> readScale(const QString& text) {
    std::optional<Extended> v = numfmt::parse(text.toStdString());
    if (!v || *v == 0 || !std::isfinite(*v)) return std::nullopt;
    return v;
}

/// A distance in centimetres as a whole number of logical units, at least one.
std::optional<int32_t> readStepCm(const QString& text) {
    std::optional<Extended> v = numfmt::parse(text.toStdString());
    if (!v || !std::isfinite(*v)) return std::nullopt;
    const Extended units = *v * 100;
    if (units < 0.5L || units > 1e9L) return std::nullopt;
    return roundCoord(units);
}

std::optional<int32_t> readStep(const QString& text) {
    bool good = false;
    const int v = text.trimmed().toInt(&good);
    if (!good || v < 1) return std::nullopt;
    return v;
}

void invalidInput(Context* ctx) {
    if (ctx)
        ctx->messages()->show(QStringLiteral(QT_TRANSLATE_NOOP("qv::Message", "Invalid input")), QString(),
                              MsgButtons::Ok);
}

QString number(Extended v) {
    return QString::fromStdString(numfmt::general(v, 15));
}

} // namespace

// ---- VectorOutputOptionsDialog ----

VectorOutputOptionsDialog::VectorOutputOptionsDialog() {
    addField({.id = "note",
              .kind = DialogField::Label,
              .text = QStringLiteral(
                  "Before make vecory diagramm calculate\r\nschem byNodes Voltage method\r\n")});
    addField({.id = "currentScale",
              .kind = DialogField::Edit,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Currents scale Amps/cm"),
              .text = "1"});
    addField({.id = "voltageScale",
              .kind = DialogField::Edit,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Voltage scale, V/cm"),
              .text = "10"});
    addField({.id = "makeCurrents",
              .kind = DialogField::Check,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Make currents diagramm")});
    addField({.id = "makeVoltages",
              .kind = DialogField::Check,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Make voltage diagramm")});
}

void VectorOutputOptionsDialog::show() {
    accepted = false;
    field("makeCurrents").checked = true;
    field("makeVoltages").checked = true;
}

bool VectorOutputOptionsDialog::ok() {
    std::optional<Extended> current = readScale(field("currentScale").text);
    std::optional<Extended> voltage = current ? readScale(field("voltageScale").text) : std::nullopt;
    if (!current || !voltage) {
        invalidInput(ctx);
        return false;
    }
    currentScale = *current;
    voltageScale = *voltage;
    makeCurrents = field("makeCurrents").checked;
    makeVoltages = field("makeVoltages").checked;
    accepted = true;
    return true;
}

// ---- VectorEditorOptionsDialog ----

VectorEditorOptionsDialog::VectorEditorOptionsDialog() {
    addField(
        {.id = "snapOff", .kind = DialogField::Check, .label = QT_TRANSLATE_NOOP("qv::Dialog", "Snap off")});
    addField({.id = "invisibleSnap",
              .kind = DialogField::Check,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Invisible snap")});
    addField({.id = "snapX",
              .kind = DialogField::Edit,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Snap step by X")});
    addField({.id = "snapY",
              .kind = DialogField::Edit,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Snap step by Y")});
    addField({.id = "snapColor",
              .kind = DialogField::ColorBox,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Snap color"),
              .showNames = false});
    addField({.id = "backgroundColor",
              .kind = DialogField::ColorBox,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Background color"),
              .showNames = false});
    addField({.id = "axisColor",
              .kind = DialogField::ColorBox,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Axis color"),
              .showNames = false});
    addField({.id = "labelsColor",
              .kind = DialogField::ColorBox,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Labels color"),
              .showNames = false});
    addField({.id = "currentsScale",
              .kind = DialogField::Edit,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Currents scale \r\nAmps/cm"),
              .column = 1});
    addField({.id = "voltageScale",
              .kind = DialogField::Edit,
              .label = QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Dialog", "Voltage scale\r\nV/см")),
              .column = 1});
    addField({.id = "bigStep",
              .kind = DialogField::Edit,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Distance between\r\nlabel cm"),
              .column = 1});
    addField({.id = "smallStep",
              .kind = DialogField::Edit,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Distance between\r\nsmall steps,cm"),
              .column = 1});
    addField({.id = "showVoltage",
              .kind = DialogField::Check,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Show voltage values"),
              .column = 1});
    addField({.id = "showCurrents",
              .kind = DialogField::Check,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Show currents values"),
              .column = 1});
}

void VectorEditorOptionsDialog::show() {
    if (!document) return;
    const NVectDiaDisp& d = *document;
    field("snapOff").checked = d.snapOff;
    field("invisibleSnap").checked = !d.snapVisible;
    field("snapX").text = QString::number(d.snapHStep);
    field("snapY").text = QString::number(d.snapVStep);
    field("snapColor").color = d.snapColor;
    field("backgroundColor").color = d.backgroundColor;
    field("axisColor").color = d.axisColor;
    field("labelsColor").color = d.labelsColor;
    field("currentsScale").text = number(d.currentsScale);
    field("voltageScale").text = number(d.voltageScale);
    field("bigStep").text = number(Extended(d.bigLinesStep) / 100);
    field("smallStep").text = number(Extended(d.smallLinesStep) / 100);
    field("showVoltage").checked = d.showVoltageValues;
    field("showCurrents").checked = d.showCurrentsValues;
}

bool VectorEditorOptionsDialog::ok() {
    if (!document) return true;
    // Everything is checked before anything is stored: a refused dialog changes nothing.
    std::optional<int32_t> snapX = readStep(field("snapX").text);
    std::optional<int32_t> snapY = readStep(field("snapY").text);
    std::optional<Extended> currents = readScale(field("currentsScale").text);
    std::optional<Extended> voltage = readScale(field("voltageScale").text);
    std::optional<int32_t> big = readStepCm(field("bigStep").text);
    std::optional<int32_t> small = readStepCm(field("smallStep").text);
    if (!snapX || !snapY || !currents || !voltage || !big || !small) {
        invalidInput(ctx);
        return false;
    }
    NVectDiaDisp& d = *document;
    d.snapHStep = *snapX;
    d.snapVStep = *snapY;
    d.currentsScale = *currents;
    d.voltageScale = *voltage;
    d.bigLinesStep = *big;
    d.smallLinesStep = *small;
    d.snapColor = field("snapColor").color;
    d.backgroundColor = field("backgroundColor").color;
    d.axisColor = field("axisColor").color;
    d.labelsColor = field("labelsColor").color;
    d.snapOff = field("snapOff").checked ? 1 : 0;
    d.snapVisible = field("invisibleSnap").checked ? 0 : 1;
    d.showVoltageValues = field("showVoltage").checked ? 1 : 0;
    d.showCurrentsValues = field("showCurrents").checked ? 1 : 0;
    return true;
}

// ---- VectorPropertiesDialog ----

VectorPropertiesDialog::VectorPropertiesDialog() {
    addField({.id = "kind",
              .kind = DialogField::List,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Vector kind"),
              .items = {QT_TRANSLATE_NOOP("qv::Dialog", "Current"),
                        QT_TRANSLATE_NOOP("qv::Dialog", "Voltage differrence"),
                        QT_TRANSLATE_NOOP("qv::Dialog", "other")}});
    addField({.id = "greek",
              .kind = DialogField::Edit,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Greek symbol"),
              .maxLength = kVectorTextLength});
    addField({.id = "main",
              .kind = DialogField::Edit,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Main label"),
              .maxLength = kVectorTextLength});
    addField({.id = "index",
              .kind = DialogField::Edit,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Index"),
              .maxLength = kVectorTextLength});
    addField(
        {.id = "color", .kind = DialogField::ColorBox, .label = QT_TRANSLATE_NOOP("qv::Dialog", "Color")});
    addField({.id = "width",
              .kind = DialogField::Spin,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Width"),
              .minimum = 0,
              .maximum = kMaxPenWidth});
}

void VectorPropertiesDialog::show() {
    if (!target) return;
    const int kind = target->vectorKind;
    field("kind").choice = kind == NVector::kCurrent ? 0 : kind == NVector::kVoltageDifference ? 1 : 2;
    field("greek").text = QString::fromStdString(target->greekText);
    field("main").text = QString::fromStdString(target->mainText);
    field("index").text = QString::fromStdString(target->indexText);
    field("color").color = target->pen.color;
    field("width").choice = std::clamp(target->pen.width, 0, kMaxPenWidth);
}

bool VectorPropertiesDialog::ok() {
    if (!target) return true;
    const int choice = field("kind").choice;
    target->vectorKind = choice == 0   ? NVector::kCurrent
                         : choice == 1 ? NVector::kVoltageDifference
                                       : NVector::kOther;
    target->greekText = clampVectorText(field("greek").text.toStdString());
    target->mainText = clampVectorText(field("main").text.toStdString());
    target->indexText = clampVectorText(field("index").text.toStdString());
    target->pen.color = field("color").color;
    target->pen.width = std::clamp(field("width").choice, 0, kMaxPenWidth);
    return true;
}

} // namespace qv
