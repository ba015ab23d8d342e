#include "power/elementdialogs.h"

#include <cmath>

#include "model/context.h"
#include "platform/binarystream.h"
#include "platform/numfmt.h"
#include "power/networkelements.h"

namespace qv {

namespace {

QString u8(const char* s) {
    return QString::fromUtf8(s);
}

PowerCatalogues* cataloguesOf(Context* ctx) {
    return ctx ? &powerCatalogues(*ctx) : nullptr;
}

/// The row of `name` in `items`, -1 when absent.
int rowOf(const QStringList& items, const std::string& name) {
    return int(items.indexOf(QString::fromStdString(name)));
}

} // namespace

void copyTransformer(const NTransSpr& from, NTransSpr& to) {
    BinaryWriter w;
    from.saveToStream(w);
    BinaryReader r(w.bytes());
    to.loadFromStream(r);
}

// ---- PowerNodeDialog ----

PowerNodeDialog::PowerNodeDialog() {
    addEdit("name", u8("Диспетчерское наименование"), kNameLength);
    addEdit("loadP", u8("Активная мощность\nнагрузки, МВт"));
    addEdit("loadQ", u8("Реактивная мощность\nнагрузки, мвар"));
    addEdit("genP", u8("Активная мощность\nгенерации,  МВт"));
    addEdit("genQ", u8("Реактивная мощность\nгенерации,  мвар"));
    addEdit("shuntG", u8("Активная проводимость \nшунта, мксм"));
    addEdit("shuntB", u8("Реактивная проводимость \nшунта, мксм"));
    addEdit("unom", u8("Напряжение, кВ"));
    addField({.id = "unomClasses", .kind = DialogField::List, .choice = -1});
}

void PowerNodeDialog::show() {
    DialogField& classes = field("unomClasses");
    classes.choice = -1;
    classes.items.clear();
    if (PowerCatalogues* c = cataloguesOf(ctx)) classes.items = c->voltageClasses.fillNames();
    if (!node) return;
    field("name").text = QString::fromStdString(node->name);
    setNumber("loadP", node->loadP);
    setNumber("loadQ", node->loadQ);
    setNumber("genP", node->genP);
    setNumber("genQ", node->genQ);
    setNumber("shuntG", node->shuntG);
    setNumber("shuntB", node->shuntB);
    setNumber("unom", node->unom);
}

void PowerNodeDialog::changed(const QString& id) {
    if (id != "unomClasses") return;
    if (std::optional<QString> chosen = chosenItem("unomClasses")) field("unom").text = *chosen;
}

bool PowerNodeDialog::ok() {
    std::vector<Extended> v;
    if (!readNumbers({"loadP", "loadQ", "genP", "genQ", "shuntG", "shuntB", "unom"}, v)) return false;
    if (!node) return true;
    node->name = textIn("name", kNameLength);
    node->loadP = v[0];
    node->loadQ = v[1];
    node->genP = v[2];
    node->genQ = v[3];
    node->shuntG = v[4];
    node->shuntB = v[5];
    node->unom = v[6];
    return true;
}

// ---- SubstationDialog ----

SubstationDialog::SubstationDialog() {
    addEdit("name", u8("Диспетчерское наименование "), kNameLength);
    addField({.id = "transKind", .kind = DialogField::List, .label = u8("Тип трансформатора"), .choice = -1});
    QStringList counts;
    for (int i = 1; i <= 6; ++i)
        counts << QString::number(i);
    addField({.id = "transCount",
              .kind = DialogField::List,
              .label = u8("Количествоо трансформаторов"),
              .choice = 0,
              .items = counts});
    addField({.id = "tapNumber",
              .kind = DialogField::List,
              .label = u8("Номер отпайки трансформаторов"),
              .choice = -1});
}

void SubstationDialog::rebuildTaps(int32_t selected) {
    setTaps("tapNumber", working_.tapCount, selected);
}

void SubstationDialog::show() {
    DialogField& kinds = field("transKind");
    kinds.items.clear();
    if (PowerCatalogues* c = cataloguesOf(ctx)) kinds.items = c->transformers.fillNames();
    if (!station) return;
    copyTransformer(*station->transformer, working_);
    highUnom_ = station->unom;
    lowUnom_ = station->lowNode->unom;
    field("name").text = QString::fromStdString(station->name);
    kinds.choice = rowOf(kinds.items, station->transKind);
    field("transCount").choice =
        station->transCount >= 1 && station->transCount <= 6 ? station->transCount - 1 : 0;
    rebuildTaps(station->tapNumber);
}

void SubstationDialog::changed(const QString& id) {
    if (id != "transKind") return;
    PowerCatalogues* c = cataloguesOf(ctx);
    if (!c) return;
    auto* entry = dynamic_cast<NTransSpr*>(c->transformers.at(field("transKind").choice));
    if (!entry) return;
    copyTransformer(*entry, working_);
    highUnom_ = entry->uHigh;
    lowUnom_ = entry->uLow;
    rebuildTaps(entry->nominalTap);
}

void SubstationDialog::pressed(const QString& button) {
    if (!station || !ctx) return;
    if (button == loadButton()) {
        // The low-voltage side is in no document: its dialog alone, without a label to keep.
        auto& dlg = ctx->dialog<PowerNodeDialog>();
        dlg.ctx = ctx;
        dlg.node = station->lowNode.get();
        const Extended before = station->lowNode->unom;
        station->lowNode->unom = lowUnom_;
        ctx->presenter()->exec(dlg);
        lowUnom_ = station->lowNode->unom;
        station->lowNode->unom = before;
        dlg.node = nullptr;
    } else if (button == transformerButton()) {
        editTransformerData(working_);
        rebuildTaps(field("tapNumber").choice + 1);
    }
}

bool SubstationDialog::ok() {
    if (!station) return true;
    station->name = textIn("name", kNameLength);
    if (std::optional<QString> kind = chosenItem("transKind"))
        station->transKind = cutToCharacters(kind->toStdString(), kItemNameLength);
    station->transCount = field("transCount").choice + 1;
    const int tap = field("tapNumber").choice;
    if (tap >= 0) station->tapNumber = tap + 1;
    copyTransformer(working_, *station->transformer);
    station->unom = highUnom_;
    station->lowNode->unom = lowUnom_;
    return true;
}

// ---- LineDialog ----

LineDialog::LineDialog() {
    addEdit("dispatchName", u8("Диспетчерское наименование"), kItemNameLength);
    addField({.id = "wireKind", .kind = DialogField::List, .label = u8("Тип Провода"), .choice = -1});
    addEdit("r", u8("Активное \nсопротивление Ом"));
    addEdit("x", u8("Реактивное \nсопротивление Ом"));
    addEdit("b", u8("Емкостная \nпроводимость мкСм \n(Положительное число)"));
    addEdit("g", u8("Активная \nпроводимость мкСм"));
    addEdit("maxCurrent", u8("Максимально допустимый\n ток А"));
    addEdit("length", u8("Длина км"));
    addField({.id = "circuits",
              .kind = DialogField::Spin,
              .label = u8("Колличество параллельных\nцепей"),
              .choice = 1,
              .minimum = 1,
              .maximum = 100});
}

void LineDialog::show() {
    wires_.clear();
    DialogField& kinds = field("wireKind");
    kinds.items.clear();
    kinds.choice = -1;
    if (!line) return;
    if (PowerCatalogues* c = cataloguesOf(ctx))
        for (const auto& e : c->wires.items) {
            const auto* w = static_cast<const NWireSpr*>(e.get());
            if (std::fabs(w->unom - line->unom) < line->unom / 10) {
                wires_.push_back(w);
                kinds.items << QString::fromStdString(w->itemName);
            }
        }
    kinds.choice = rowOf(kinds.items, line->wireKind);
    field("dispatchName").text = QString::fromStdString(line->dispatchName);
    setNumber("r", line->lineR);
    setNumber("x", line->lineX);
    setNumber("b", line->lineB);
    setNumber("g", line->lineG);
    setNumber("maxCurrent", line->maxCurrent);
    setNumber("length", line->lengthKm);
    field("circuits").choice = std::max<int32_t>(1, line->circuits);
}

void LineDialog::fillFromWire() {
    const int row = field("wireKind").choice;
    if (row < 0 || row >= int(wires_.size())) return;
    std::optional<Extended> l = numberIn("length");
    if (!l) return;
    const NWireSpr& w = *wires_[size_t(row)];
    const Extended k = std::max(1, field("circuits").choice);
    setNumber("r", *l * w.r0 / k);
    setNumber("x", *l * w.x0 / k);
    setNumber("b", k * *l * w.b0);
    setNumber("g", k * *l * w.g0);
    setNumber("maxCurrent", w.maxCurrent);
}

void LineDialog::changed(const QString& id) {
    if (id == "wireKind" || id == "length" || id == "circuits") fillFromWire();
}

bool LineDialog::ok() {
    std::vector<Extended> v;
    if (!readNumbers({"r", "x", "b", "g", "maxCurrent", "length"}, v)) return false;
    if (line) {
        line->dispatchName = textIn("dispatchName", kItemNameLength);
        if (std::optional<QString> kind = chosenItem("wireKind"))
            line->wireKind = cutToCharacters(kind->toStdString(), kItemNameLength);
        line->lineR = v[0];
        line->lineX = v[1];
        line->lineB = v[2];
        line->lineG = v[3];
        line->maxCurrent = v[4];
        line->lengthKm = v[5];
        line->circuits = std::max(1, field("circuits").choice);
    }
    wires_.clear();
    return true;
}

// ---- BreakerDialog ----

BreakerDialog::BreakerDialog() {
    addEdit("name", QStringLiteral("Breaker name"), kNameLength);
    addField({.id = "on", .kind = DialogField::Check, .label = QStringLiteral("ON")});
}

void BreakerDialog::show() {
    if (!breaker) return;
    field("name").text = QString::fromStdString(breaker->name);
    field("on").checked = breaker->on != 0;
}

bool BreakerDialog::ok() {
    if (!breaker) return true;
    breaker->name = textIn("name", kNameLength);
    breaker->on = field("on").checked ? 1 : 0;
    return true;
}

// ---- TransformerDialog ----

TransformerDialog::TransformerDialog() {
    addEdit("name", u8("Диспетчерское наименование"), kNameLength);
    addField({.id = "transKind", .kind = DialogField::List, .label = u8("Тип трансформатора"), .choice = -1});
    addField({.id = "tapNumber", .kind = DialogField::List, .label = u8("Положение отпайки"), .choice = -1});
}

void TransformerDialog::rebuildTaps(int32_t selected) {
    setTaps("tapNumber", working_.tapCount, selected);
}

void TransformerDialog::show() {
    types_.clear();
    DialogField& kinds = field("transKind");
    kinds.items.clear();
    kinds.choice = -1;
    if (!transformer) return;
    std::optional<Extended> u1 = nodeVoltage(transformer->node1), u2 = nodeVoltage(transformer->node2);
    if (PowerCatalogues* c = cataloguesOf(ctx))
        for (const auto& e : c->transformers.items) {
            const auto* t = static_cast<const NTransSpr*>(e.get());
            // Ends that are not network nodes give no voltages to choose by: every type fits.
            if (u1 && u2) {
                const Extended uh = std::max(*u1, *u2), ul = std::min(*u1, *u2);
                if (!(std::fabs(t->uHigh - uh) < t->uHigh / 10 && std::fabs(t->uLow - ul) < t->uLow / 10))
                    continue;
            }
            types_.push_back(t);
            kinds.items << QString::fromStdString(t->itemName);
        }
    kinds.choice = rowOf(kinds.items, transformer->transKind);
    copyTransformer(*transformer->transformer, working_);
    field("name").text = QString::fromStdString(transformer->name);
    rebuildTaps(transformer->tapNumber);
}

void TransformerDialog::changed(const QString& id) {
    if (id != "transKind") return;
    const int row = field("transKind").choice;
    if (row < 0 || row >= int(types_.size())) return;
    copyTransformer(*types_[size_t(row)], working_);
    rebuildTaps(working_.nominalTap);
}

void TransformerDialog::pressed(const QString&) {
    if (!ctx) return;
    editTransformerData(working_);
    rebuildTaps(field("tapNumber").choice + 1);
}

bool TransformerDialog::ok() {
    if (transformer) {
        if (std::optional<QString> kind = chosenItem("transKind"))
            transformer->transKind = cutToCharacters(kind->toStdString(), kItemNameLength);
        const int tap = field("tapNumber").choice;
        if (tap >= 0) transformer->tapNumber = tap + 1;
        transformer->name = textIn("name", kNameLength);
        copyTransformer(working_, *transformer->transformer);
    }
    types_.clear();
    return true;
}

} // namespace qv
