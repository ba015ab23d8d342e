#include "power/cataloguedialogs.h"

#include <QCoreApplication>
#include <algorithm>

#include "components/circuitelement.h"
#include "model/context.h"
#include "platform/numfmt.h"
#include "power/catalogue.h"

namespace qv {

namespace {

QString u8(const char* s) {
    return QString::fromUtf8(s);
}

QString numberText(Extended v) {
    return QString::fromStdString(numfmt::standard(v));
}

} // namespace

// ---- PowerDialog ----

DialogField& PowerDialog::addEdit(const QString& id, const QString& label, int maxLength) {
    return addField({.id = id, .kind = DialogField::Edit, .label = label, .maxLength = maxLength});
}

void PowerDialog::setNumber(const QString& id, Extended v) {
    field(id).text = numberText(v);
}

bool PowerDialog::readField(const QString& id, const std::function<bool(const QString&)>& parse,
                            const char* what) {
    const QString text = field(id).text;
    if (parse(text)) return true;
    if (ctx)
        ctx->messages()->show(QCoreApplication::translate("qv::Message", "'%1' is not a valid %2 value")
                                  .arg(text, QCoreApplication::translate("qv::Message", what)),
                              QString(), MsgButtons::Ok, MsgIcon::Error);
    return false;
}

std::optional<Extended> PowerDialog::numberIn(const QString& id) const {
    return numfmt::parse(field(id).text.toStdString());
}

bool PowerDialog::readNumbers(std::initializer_list<const char*> ids, std::vector<Extended>& out) {
    out.clear();
    for (const char* id : ids) {
        const bool read = readField(
            id,
            [&](const QString& text) {
                std::optional<Extended> v = numfmt::parse(text.toStdString());
                if (v) out.push_back(*v);
                return v.has_value();
            },
            QT_TRANSLATE_NOOP("qv::Message", "floating point"));
        if (!read) return false;
    }
    return true;
}

bool PowerDialog::readInteger(const QString& id, int32_t& out) {
    return readField(
        id,
        [&](const QString& text) {
            bool good = false;
            const int v = text.trimmed().toInt(&good);
            if (good) out = v;
            return good;
        },
        QT_TRANSLATE_NOOP("qv::Message", "integer"));
}

std::optional<QString> PowerDialog::chosenItem(const QString& id) const {
    const DialogField& list = field(id);
    if (list.choice < 0 || list.choice >= list.items.size()) return std::nullopt;
    return list.items[list.choice];
}

std::string PowerDialog::textIn(const QString& id, int length) const {
    return cutToCharacters(field(id).text.toStdString(), length);
}

void PowerDialog::setTaps(const QString& id, int32_t count, int32_t selected) {
    DialogField& taps = field(id);
    taps.items.clear();
    for (int32_t i = 1; i <= std::min<int32_t>(count, 1000); ++i)
        taps.items << QString::number(i);
    taps.choice = selected >= 1 && selected <= taps.items.size() ? selected - 1 : -1;
}

void PowerDialog::editTransformerData(NTransSpr& data) {
    if (!ctx) return;
    auto& dlg = ctx->dialog<TransformerDataDialog>();
    dlg.ctx = ctx;
    dlg.entry = &data;
    ctx->presenter()->exec(dlg);
    dlg.entry = nullptr;
}

// ---- WireDialog ----

WireDialog::WireDialog() {
    addEdit("name", u8("Название"), kItemNameLength);
    addEdit("section", u8("Сечение провода"));
    addEdit("r0", u8("Активное удельное\n сопротивление ом/км"));
    addEdit("x0", u8("Реактивное удельное \nсопротивление ом/км"));
    addEdit("b0", u8("Емкостная проводимость\nна землю мкСм/км"));
    addEdit("g0", u8("Активная проводимость\nна землю мкСм/км"));
    addEdit("maxCurrent", u8("Допустимый ток, А"));
    addEdit("unom", u8("Номинальное напряжение, кВ"));
}

void WireDialog::show() {
    if (!entry) return;
    field("name").text = QString::fromStdString(entry->itemName);
    setNumber("section", entry->section);
    setNumber("r0", entry->r0);
    setNumber("x0", entry->x0);
    setNumber("b0", entry->b0);
    setNumber("g0", entry->g0);
    setNumber("maxCurrent", entry->maxCurrent);
    setNumber("unom", entry->unom);
}

bool WireDialog::ok() {
    std::vector<Extended> v;
    if (!readNumbers({"maxCurrent", "unom", "r0", "x0", "b0", "g0", "section"}, v)) return false;
    if (!entry) return true;
    entry->maxCurrent = v[0];
    entry->unom = v[1];
    entry->r0 = v[2];
    entry->x0 = v[3];
    entry->b0 = v[4];
    entry->g0 = v[5];
    entry->section = v[6];
    entry->itemName = textIn("name", kItemNameLength);
    return true;
}

// ---- TransformerDataDialog ----

TransformerDataDialog::TransformerDataDialog() {
    // Page 0: the nameplate.
    addEdit("name", u8("Наименование"), kItemNameLength);
    addEdit("sNom", u8("Мощность S, МВА"));
    addEdit("ixx", u8("Ixx,%"));
    addEdit("pxx", u8("Pxx, кВт"));
    addEdit("uk", u8("Uk,%"));
    addEdit("pk", u8("Pk, кВт"));
    addEdit("uHigh", u8("UВН,кВ"));
    addEdit("uLow", u8("UНН,кВ"));
    // Page 1: voltage regulation.
    addField(
        {.id = "regKind",
         .kind = DialogField::List,
         .label = u8("Способ регулирования"),
         .choice = 0,
         .items = {u8(QT_TRANSLATE_NOOP("qv::Dialog", "РПН")), u8(QT_TRANSLATE_NOOP("qv::Dialog", "ПБВ"))},
         .page = 1});
    addEdit("regStep", u8("Шаг регулирования, %")).page = 1;
    addEdit("tapCount", u8("Количество отпаек")).page = 1;
    addEdit("nominalTap", u8("Номер отпайки номинального напряжения")).page = 1;
    // Page 2: the equivalent circuit.
    addEdit("transR", u8("Активное сопротивление,ом")).page = 2;
    addEdit("transX", u8("Реактивное сопротивление\n ом")).page = 2;
    addEdit("gt", u8("Активная состовляющая \nпоперечной проводимости, мксм")).page = 2;
    addEdit("bt", u8("Реактивная состовляющая \nпоперечной проводимости, мксм")).page = 2;
    addEdit("qxx", u8("Реактиная составляющая \nпотерь в  стали")).page = 2;
    addEdit("cpxx", u8("Аактиная составляющая \nпотерь в  стали")).page = 2;
}

QStringList TransformerDataDialog::pageCaptions() const {
    return {u8("Паспортные данные"), u8("Регулирование напряжения"), u8("Расчетные данные")};
}

void TransformerDataDialog::show() {
    if (!entry) return;
    field("name").text = QString::fromStdString(entry->itemName);
    setNumber("sNom", entry->sNom);
    setNumber("ixx", entry->ixx);
    setNumber("pxx", entry->pxx);
    setNumber("uk", entry->uk);
    setNumber("pk", entry->pk);
    setNumber("uHigh", entry->uHigh);
    setNumber("uLow", entry->uLow);
    setNumber("regStep", entry->regStep);
    field("tapCount").text = QString::number(entry->tapCount);
    field("nominalTap").text = QString::number(entry->nominalTap);
    setNumber("transR", entry->transR);
    setNumber("transX", entry->transX);
    setNumber("gt", entry->gt);
    setNumber("bt", entry->bt);
    setNumber("qxx", entry->qxx);
}

void TransformerDataDialog::pressed(const QString&) {
    // The nameplate as typed: the computation needs all of it, and shows nothing until then.
    std::vector<Extended> v;
    if (!readNumbers({"sNom", "ixx", "pxx", "uk", "pk", "uHigh"}, v)) return;
    if (entry) entry->itemName = textIn("name", kItemNameLength);
    NTransSpr t;
    t.sNom = v[0];
    t.ixx = v[1];
    t.pxx = v[2];
    t.uk = v[3];
    t.pk = v[4];
    t.uHigh = v[5];
    const NTransSpr::Computed c = t.computeParameters();
    setNumber("gt", c.gt);
    setNumber("bt", c.bt);
    setNumber("transX", c.transX);
    setNumber("transR", c.transR);
}

bool TransformerDataDialog::ok() {
    std::vector<Extended> v;
    int32_t taps = 0, nominal = 0;
    if (!readNumbers({"ixx", "pxx", "gt", "bt", "uk", "pk", "uHigh", "uLow", "sNom", "regStep"}, v) ||
        !readInteger("tapCount", taps) || !readInteger("nominalTap", nominal))
        return false;
    std::vector<Extended> tail;
    if (!readNumbers({"transR", "transX", "qxx"}, tail)) return false;
    if (!entry) return true;
    entry->itemName = textIn("name", kItemNameLength);
    entry->ixx = v[0];
    entry->pxx = v[1];
    entry->gt = v[2];
    entry->bt = v[3];
    entry->uk = v[4];
    entry->pk = v[5];
    entry->uHigh = v[6];
    entry->uLow = v[7];
    entry->sNom = v[8];
    entry->regStep = v[9];
    entry->tapCount = taps;
    entry->nominalTap = nominal;
    entry->transR = tail[0];
    entry->transX = tail[1];
    entry->qxx = tail[2];
    return true;
}

// ---- VoltageClassDialog ----

VoltageClassDialog::VoltageClassDialog() {
    addEdit("unom", u8("Номинальное напряжение, кВ"));
    addEdit("uMin", u8("Минимальное значение \nнапряжения, кВ"));
    addEdit("uMax", u8("Максимальное значение \nнапряжения, кВ"));
    addField(
        {.id = "colour", .kind = DialogField::Color, .label = u8("Цвет элементов с данным напряжением")});
}

void VoltageClassDialog::show() {
    if (!entry) return;
    setNumber("unom", entry->unom);
    setNumber("uMin", entry->uMin);
    setNumber("uMax", entry->uMax);
    field("colour").color = entry->colour;
}

bool VoltageClassDialog::ok() {
    std::vector<Extended> v;
    if (!readNumbers({"unom", "uMin", "uMax"}, v)) return false;
    if (!entry) return true;
    entry->unom = v[0];
    entry->uMin = v[1];
    entry->uMax = v[2];
    entry->colour = field("colour").color;
    entry->itemName = field("unom").text.trimmed().toStdString();
    return true;
}

// ---- CatalogueWindow ----

CatalogueWindow::CatalogueWindow() {
    addField({.id = "items", .kind = DialogField::ListBox, .choice = -1});
}

QStringList CatalogueWindow::extraButtons() const {
    return {addButton(), deleteButton(), changeButton()};
}

void CatalogueWindow::refill() {
    DialogField& list = field("items");
    list.items = organizer ? organizer->fillNames() : QStringList();
    if (list.choice >= list.items.size()) list.choice = int(list.items.size()) - 1;
}

void CatalogueWindow::show() {
    field("items").choice = -1;
    refill();
}

void CatalogueWindow::pressed(const QString& button) {
    if (!organizer) return;
    const int selected = field("items").choice;
    if (button == addButton()) {
        organizer->addNew(ctx);
    } else if (button == deleteButton()) {
        organizer->deleteAt(selected); // nothing selected: nothing to delete
    } else if (button == changeButton()) {
        NSpr* entry = organizer->at(selected);
        if (!entry || !ctx) return;
        entry->edit(*ctx);
    }
    refill();
}

} // namespace qv
