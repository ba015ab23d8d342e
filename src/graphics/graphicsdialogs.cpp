#include "graphics/graphicsdialogs.h"

#include <QFontDatabase>
#include <algorithm>
#include <cmath>

namespace qv {

namespace {

/// Pen style names in the order of the pen-style values; the view shows line samples.
const QStringList kPenStyles = {"Solid", "Dash", "Dot", "DashDot", "DashDotDot", "Clear", "InsideFrame"};
/// Brush style names in the order of the brush-style values.
const QStringList kBrushStyles = {"Solid",     "Clear",     "Horizontal", "Vertical",
                                  "FDiagonal", "BDiagonal", "Cross",      "DiagCross"};

constexpr uint8_t kBold = 1, kItalic = 2, kUnderline = 4, kStrikeOut = 8;

uint8_t withBit(uint8_t style, uint8_t bit, bool on) {
    return on ? uint8_t(style | bit) : uint8_t(style & ~bit);
}

} // namespace

// ---- GraphicsPropertiesDialog ----

GraphicsPropertiesDialog::GraphicsPropertiesDialog() {
    // Pen controls in the left column, brush controls in the right one.
    addField({.id = "penColor",
              .kind = DialogField::ColorBox,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Line color")});
    addField({.id = "penStyle",
              .kind = DialogField::StyleBox,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Line kind"),
              .items = kPenStyles,
              .sample = DialogField::PenSample,
              .showNames = false});
    addField({.id = "penWidth",
              .kind = DialogField::Spin,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Line width"),
              .minimum = 0,
              .maximum = kMaxPenWidth});
    addField({.id = "brushStyle",
              .kind = DialogField::StyleBox,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Fill kind"),
              .items = kBrushStyles,
              .sample = DialogField::BrushSample,
              .column = 1});
    addField({.id = "brushColor",
              .kind = DialogField::ColorBox,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "fill color"),
              .column = 1});
}

void GraphicsPropertiesDialog::show() {
    if (pen_) {
        field("penColor").color = pen_->color;
        field("penStyle").choice = pen_->style < kPenStyles.size() ? pen_->style : -1;
        field("penWidth").choice = std::clamp(pen_->width, 0, kMaxPenWidth);
    }
    if (brush_) {
        field("brushStyle").choice = brush_->style < kBrushStyles.size() ? brush_->style : -1;
        field("brushColor").color = brush_->color;
    }
}

bool GraphicsPropertiesDialog::ok() {
    // A list without a selection leaves that style as it was.
    if (pen_) {
        pen_->color = field("penColor").color;
        int style = field("penStyle").choice;
        if (style >= 0 && style < kPenStyles.size()) pen_->style = uint8_t(style);
        pen_->width = std::clamp(field("penWidth").choice, 0, kMaxPenWidth);
    }
    if (brush_) {
        brush_->color = field("brushColor").color;
        int style = field("brushStyle").choice;
        if (style >= 0 && style < kBrushStyles.size()) brush_->style = uint8_t(style);
    }
    return true;
}

// ---- TextInputDialog ----

TextInputDialog::TextInputDialog() {
    QStringList names = {"Times New Roman Cyr", "Times New Roman", "Arial", "Symbol"};
    for (const QString& family : QFontDatabase::families())
        if (!names.contains(family)) names << family;
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    addField({.id = "text", .kind = DialogField::Edit, .maxLength = kMaxTextLength});
    addField({.id = "fontName", .kind = DialogField::List, .items = names});
    addField({.id = "size",
              .kind = DialogField::Spin,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Size"),
              .minimum = kMinHeight,
              .maximum = kMaxHeight});
    addField({.id = "color", .kind = DialogField::Color, .label = QT_TRANSLATE_NOOP("qv::Dialog", "Color")});
    addField({.id = "bold", .kind = DialogField::Check, .label = QT_TRANSLATE_NOOP("qv::Dialog", "Bold")});
    addField(
        {.id = "italic", .kind = DialogField::Check, .label = QT_TRANSLATE_NOOP("qv::Dialog", "Italic")});
    addField({.id = "underline",
              .kind = DialogField::Check,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Underlined")});
    addField({.id = "strikeout",
              .kind = DialogField::Check,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "Strikeout")});
}

void TextInputDialog::show() {
    DialogField& names = field("fontName");
    QString name = QString::fromStdString(dialogFont.name);
    int index = int(names.items.indexOf(name));
    if (index < 0) {
        // A font the list does not know (read from a file) is still offered as it stands.
        names.items << name;
        index = int(names.items.size()) - 1;
    }
    names.choice = index;
    field("color").color = dialogFont.color;
    field("bold").checked = dialogFont.style & kBold;
    field("italic").checked = dialogFont.style & kItalic;
    field("underline").checked = dialogFont.style & kUnderline;
    field("strikeout").checked = dialogFont.style & kStrikeOut;
    field("size").choice = std::clamp(int(std::abs(int64_t(dialogFont.height))), kMinHeight, kMaxHeight);
}

void TextInputDialog::pressed(const QString& button) {
    if (button != QLatin1String("Font") || !fontPresenter) return;
    FontRec chosen = dialogFont;
    if (fontPresenter->chooseFont(chosen)) dialogFont = chosen;
}

bool TextInputDialog::ok() {
    const DialogField& names = field("fontName");
    if (names.choice >= 0 && names.choice < names.items.size())
        dialogFont.name = names.items[names.choice].toStdString();
    dialogFont.color = field("color").color;
    uint8_t style = dialogFont.style;
    style = withBit(style, kBold, field("bold").checked);
    style = withBit(style, kItalic, field("italic").checked);
    style = withBit(style, kUnderline, field("underline").checked);
    style = withBit(style, kStrikeOut, field("strikeout").checked);
    dialogFont.style = style;
    // The size field holds pixels; the sign convention of the font's height is kept.
    int32_t px = std::clamp(field("size").choice, kMinHeight, kMaxHeight);
    dialogFont.height = dialogFont.height > 0 ? px : -px;
    int32_t ppi = dialogFont.pixelsPerInch > 0 ? dialogFont.pixelsPerInch : 96;
    dialogFont.size = dialogFont.size2 = int32_t(std::lround(px * 72.0 / ppi));
    return true;
}

} // namespace qv
