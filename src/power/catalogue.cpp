#include "power/catalogue.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "model/context.h"
#include "platform/binarystream.h"
#include "platform/bytefile.h"
#include "power/cataloguedialogs.h"

namespace qv {

// ---- entries ----

void NSpr::saveToStream(BinaryWriter& w) const {
    w.writeShortString(itemName, kItemNameLength);
}

void NSpr::loadFromStream(BinaryReader& r) {
    r.readShortString(itemName, kItemNameLength);
}

namespace {

template <class Dialog, class Entry> bool editWith(Context& ctx, Entry* entry) {
    auto& dlg = ctx.dialog<Dialog>();
    dlg.ctx = &ctx;
    dlg.entry = entry;
    bool confirmed = ctx.presenter()->exec(dlg);
    dlg.entry = nullptr;
    return confirmed;
}

} // namespace

bool NWireSpr::edit(Context& ctx) {
    return editWith<WireDialog>(ctx, this);
}

void NWireSpr::saveToStream(BinaryWriter& w) const {
    NSpr::saveToStream(w);
    for (Extended v : {g0, r0, b0, section, maxCurrent, x0, unom})
        w.writeExtended(v);
}

void NWireSpr::loadFromStream(BinaryReader& r) {
    NSpr::loadFromStream(r);
    for (Extended* v : {&g0, &r0, &b0, &section, &maxCurrent, &x0, &unom})
        r.readExtended(*v);
}

bool NTransSpr::edit(Context& ctx) {
    return editWith<TransformerDataDialog>(ctx, this);
}

void NTransSpr::saveToStream(BinaryWriter& w) const {
    NSpr::saveToStream(w);
    for (Extended v : {transR, transX, gt, bt, pxx, ixx, uk, pk, qxx, sNom, regStep, uLow, uHigh})
        w.writeExtended(v);
    w.writeInt32(tapCount);
    w.writeInt32(nominalTap);
}

void NTransSpr::loadFromStream(BinaryReader& r) {
    NSpr::loadFromStream(r);
    for (Extended* v :
         {&transR, &transX, &gt, &bt, &pxx, &ixx, &uk, &pk, &qxx, &sNom, &regStep, &uLow, &uHigh})
        r.readExtended(*v);
    r.readInt32(tapCount);
    r.readInt32(nominalTap);
}

NTransSpr::Computed NTransSpr::computeParameters() const {
    const Extended u = uHigh, s = sNom, u2 = u * u;
    Computed c;
    c.gt = pxx / 1000 / u2 * 1e6L;
    c.bt = ixx * s / (u2 * 100) * 1e6L;
    c.transX = u2 * uk / (s * 100);
    c.transR = u2 * pk / (s * s * 1000);
    return c;
}

bool NUnomSpr::edit(Context& ctx) {
    return editWith<VoltageClassDialog>(ctx, this);
}

void NUnomSpr::saveToStream(BinaryWriter& w) const {
    NSpr::saveToStream(w);
    w.writeExtended(unom);
    w.writeExtended(uMin);
    w.writeExtended(uMax);
    w.writeColour(colour);
}

void NUnomSpr::loadFromStream(BinaryReader& r) {
    NSpr::loadFromStream(r);
    r.readExtended(unom);
    r.readExtended(uMin);
    r.readExtended(uMax);
    r.readColour(colour);
}

// ---- organizers ----

NSpr* NSprOrginizer::addNew(Context* ctx) {
    std::unique_ptr<NSpr> entry = newEntry();
    NSpr* raw = entry.get();
    if (editOnAdd && ctx) raw->edit(*ctx);
    items.push_back(std::move(entry));
    return raw;
}

void NSprOrginizer::saveToStream(BinaryWriter& w) const {
    w.writeInt32(int32_t(items.size()));
    for (const auto& e : items)
        e->saveToStream(w);
}

void NSprOrginizer::loadFromStream(BinaryReader& r) {
    std::vector<std::unique_ptr<NSpr>> read;
    if (readEntries(r, read)) items = std::move(read);
}

bool NSprOrginizer::readEntries(BinaryReader& r, std::vector<std::unique_ptr<NSpr>>& read) const {
    int32_t n = 0;
    r.readInt32(n);
    if (r.failed()) return false;
    const size_t size = newEntry()->recordSize();
    if (n < 0 || size_t(n) > r.remaining() / size) {
        r.fail("the catalogue lists " + std::to_string(n) + " entries");
        return false;
    }
    read.reserve(size_t(n));
    for (int32_t i = 0; i < n && !r.failed(); ++i) {
        read.push_back(newEntry());
        read.back()->loadFromStream(r);
    }
    return !r.failed();
}

QStringList NSprOrginizer::fillNames() const {
    QStringList names;
    for (const auto& e : items)
        names << QString::fromStdString(e->itemName);
    return names;
}

void NSprOrginizer::deleteAt(int index) {
    if (index < 0 || index >= count()) return;
    items.erase(items.begin() + index);
}

bool NSprOrginizer::loadFile(const QString& path, QString* error) {
    QByteArray data;
    QString why;
    if (!readByteFile(path, data, &why)) {
        if (error) *error = QStringLiteral("Cannot read %1: %2").arg(path, why);
        return false;
    }
    return loadBytes(data, path, error);
}

bool NSprOrginizer::loadBytes(const QByteArray& data, const QString& name, QString* error) {
    BinaryReader r(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()));
    std::vector<std::unique_ptr<NSpr>> read;
    if (readEntries(r, read) && r.remaining() != 0) r.fail("bytes are left after the last entry");
    if (r.failed()) {
        if (error) *error = QStringLiteral("%1 is damaged: %2").arg(name, QString::fromStdString(r.error()));
        return false;
    }
    items = std::move(read);
    return true;
}

bool NSprOrginizer::saveFile(const QString& path, QString* error) const {
    BinaryWriter w;
    saveToStream(w);
    QString why;
    if (writeByteFile(w, path, &why)) return true;
    if (error) *error = QStringLiteral("Cannot write %1: %2").arg(path, why);
    return false;
}

Colour NUnomSprOrginizer::classColour(Extended u) const {
    Colour c = 0;
    for (const auto& e : items) {
        const auto* v = static_cast<const NUnomSpr*>(e.get());
        if (v->uMin < u && u < v->uMax) c = v->colour;
    }
    return c;
}

// ---- the workbench's catalogues ----

namespace {

void addWire(NSprOrginizer& o, const char* name, Extended section, Extended maxCurrent, Extended unom,
             Extended r0, Extended x0, Extended b0) {
    auto w = std::make_unique<NWireSpr>();
    w->itemName = name;
    w->section = section;
    w->maxCurrent = maxCurrent;
    w->unom = unom;
    w->r0 = r0;
    w->x0 = x0;
    w->b0 = b0;
    o.append(std::move(w));
}

void addTransformer(NSprOrginizer& o, const char* name, Extended s, Extended uh, Extended ul, Extended pxx,
                    Extended ixx, Extended uk, Extended pk, Extended step, int32_t taps) {
    auto t = std::make_unique<NTransSpr>();
    t->itemName = name;
    t->sNom = s;
    t->uHigh = uh;
    t->uLow = ul;
    t->pxx = pxx;
    t->ixx = ixx;
    t->uk = uk;
    t->pk = pk;
    t->regStep = step;
    t->tapCount = taps;
    t->nominalTap = (taps + 1) / 2;
    const NTransSpr::Computed c = t->computeParameters();
    t->gt = c.gt;
    t->bt = c.bt;
    t->transX = c.transX;
    t->transR = c.transR;
    t->qxx = ixx * s * 10; // kvar: Ixx % of the rated power
    o.append(std::move(t));
}

void addClass(NSprOrginizer& o, const char* name, Extended unom, Extended lo, Extended hi, Colour c) {
    auto v = std::make_unique<NUnomSpr>();
    v->itemName = name;
    v->unom = unom;
    v->uMin = lo;
    v->uMax = hi;
    v->colour = c;
    o.append(std::move(v));
}

} // namespace

PowerCatalogues::PowerCatalogues() {
    // Common steel-aluminium overhead wires: R0, X0 in Ohm/km, B0 in uS/km.
    addWire(wires, "АС-70/11 10кВ", 70, 265, 10, 0.429, 0.382, 0);
    addWire(wires, "АС-95/16 35кВ", 95, 330, 35, 0.306, 0.421, 2.65);
    addWire(wires, "АС-120/19 110кВ", 120, 390, 110, 0.249, 0.427, 2.66);
    addWire(wires, "АС-150/24 110кВ", 150, 450, 110, 0.198, 0.420, 2.70);
    addWire(wires, "АС-240/32 220кВ", 240, 605, 220, 0.118, 0.435, 2.60);
    // Common two-winding types: S MVA, UH/UL kV, Pxx kW, Ixx %, Uk %, Pk kW, step %, taps.
    addTransformer(transformers, "ТМН-6300/35", 6.3, 35, 11, 8, 0.8, 7.5, 46.5, 1.5, 13);
    addTransformer(transformers, "ТДН-10000/110", 10, 115, 11, 14, 0.9, 10.5, 60, 1.78, 19);
    addTransformer(transformers, "ТДН-16000/110", 16, 115, 11, 18, 0.7, 10.5, 85, 1.78, 19);
    addTransformer(transformers, "ТРДН-25000/110", 25, 115, 10.5, 25, 0.65, 10.5, 120, 1.78, 19);
    addTransformer(transformers, "ТМ-1000/10", 1, 10, 0.4, 2.1, 1.2, 5.5, 12.2, 2.5, 5);
    // Voltage classes: each colour for the range around its nominal voltage.
    addClass(voltageClasses, "0.4", 0.4, 0.2, 1, rgb(128, 128, 128));
    addClass(voltageClasses, "6", 6, 5, 8, rgb(0, 128, 0));
    addClass(voltageClasses, "10", 10, 8, 15, rgb(0, 0, 255));
    addClass(voltageClasses, "35", 35, 25, 50, rgb(255, 128, 0));
    addClass(voltageClasses, "110", 110, 90, 150, rgb(0, 160, 160));
    addClass(voltageClasses, "220", 220, 180, 300, rgb(200, 0, 200));
}

PowerCatalogues& powerCatalogues(Context& ctx) {
    return ctx.service<PowerCatalogues>();
}

QString catalogueFolder(const QString& programFolder) {
    QFileInfo program(programFolder);
    if (program.isDir() && program.isWritable()) return QDir(programFolder).absolutePath();
    QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return data;
}

namespace {

NSprOrginizer& catalogueOf(PowerCatalogues& c, CatalogueKind kind) {
    switch (kind) {
    case CatalogueKind::Transformers:
        return c.transformers;
    case CatalogueKind::VoltageClasses:
        return c.voltageClasses;
    case CatalogueKind::Wires:
        break;
    }
    return c.wires;
}

const char* fileOf(CatalogueKind kind) {
    switch (kind) {
    case CatalogueKind::Transformers:
        return PowerCatalogues::kTransformerFile;
    case CatalogueKind::VoltageClasses:
        return PowerCatalogues::kVoltageClassFile;
    case CatalogueKind::Wires:
        break;
    }
    return PowerCatalogues::kWireFile;
}

} // namespace

void loadPowerCatalogues(Context& ctx, const QString& programFolder, QStringList* errors) {
    PowerCatalogues& c = powerCatalogues(ctx);
    const QString written = catalogueFolder(programFolder);
    for (CatalogueKind kind :
         {CatalogueKind::Wires, CatalogueKind::Transformers, CatalogueKind::VoltageClasses}) {
        const QString name = QString::fromLatin1(fileOf(kind));
        QString path = QDir(written).filePath(name);
        if (!QFileInfo::exists(path)) path = QDir(programFolder).filePath(name);
        if (!QFileInfo::exists(path)) continue;
        QString error;
        if (!catalogueOf(c, kind).loadFile(path, &error) && errors) errors->append(error);
    }
}

bool editCatalogue(Context& ctx, CatalogueKind kind, const QString& programFolder, QString* error) {
    NSprOrginizer& organizer = catalogueOf(powerCatalogues(ctx), kind);
    auto& window = ctx.dialog<CatalogueWindow>();
    window.ctx = &ctx;
    window.organizer = &organizer;
    organizer.editOnAdd = 1;
    ctx.presenter()->exec(window);
    window.organizer = nullptr;
    return organizer.saveFile(
        QDir(catalogueFolder(programFolder)).filePath(QString::fromLatin1(fileOf(kind))), error);
}

} // namespace qv
