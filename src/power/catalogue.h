#pragma once
// The reference catalogues of the power network elements: wires (per-kilometre data of a
// conductor), two-winding transformer types and voltage classes (a colour per voltage range).
// A catalogue is an ordered list of entries kept by an organizer and stored as a flat file.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

#include "platform/extended.h"
#include "platform/types.h"

namespace qv {

class BinaryReader;
class BinaryWriter;
struct Context;

/// Longest catalogue name (`ItemName`, and the type names elements keep), in characters.
inline constexpr int kItemNameLength = 100;

/// A catalogue entry ("spr" = spravochnik, a reference book).
class NSpr {
  public:
    virtual ~NSpr() = default;
    /// Opens the entry's dialog on it; true when it closed through OK.
    virtual bool edit(Context& ctx) = 0;
    virtual void saveToStream(BinaryWriter& w) const;
    virtual void loadFromStream(BinaryReader& r);
    /// The size of a record, for checking counts against the bytes left.
    virtual size_t recordSize() const { return kItemNameLength + 1; }

    std::string itemName; ///< at most kItemNameLength characters
};

/// A wire: per-kilometre data of an overhead-line conductor.
class NWireSpr : public NSpr {
  public:
    bool edit(Context& ctx) override;
    void saveToStream(BinaryWriter& w) const override;
    void loadFromStream(BinaryReader& r) override;
    size_t recordSize() const override { return NSpr::recordSize() + 7 * 10; }

    Extended section = 0;    ///< cross-section, mm2
    Extended maxCurrent = 0; ///< A
    Extended unom = 0;       ///< kV
    Extended r0 = 0, x0 = 0; ///< Ohm/km
    Extended b0 = 0, g0 = 0; ///< uS/km
};

/// A two-winding transformer type: nameplate and equivalent-circuit data.
class NTransSpr : public NSpr {
  public:
    bool edit(Context& ctx) override;
    void saveToStream(BinaryWriter& w) const override;
    void loadFromStream(BinaryReader& r) override;
    size_t recordSize() const override { return NSpr::recordSize() + 13 * 10 + 2 * 4; }

    /// The equivalent circuit from the nameplate (`Gt`, `Bt` in uS, `TransX`, `TransR` in Ohm),
    /// referred to the high voltage.
    struct Computed {
        Extended gt, bt, transX, transR;
    };
    Computed computeParameters() const;

    Extended transR = 0, transX = 0; ///< Ohm
    Extended gt = 0, bt = 0;         ///< uS
    Extended pxx = 0;                ///< no-load losses, kW
    Extended ixx = 0;                ///< no-load current, %
    Extended uk = 0;                 ///< short-circuit voltage, %
    Extended pk = 0;                 ///< short-circuit losses, kW
    Extended qxx = 0;                ///< reactive part of the iron losses
    Extended sNom = 0;               ///< MVA
    Extended regStep = 0;            ///< tap step, %
    Extended uLow = 0, uHigh = 0;    ///< kV
    int32_t tapCount = 0;
    int32_t nominalTap = 0;
};

/// A voltage class ("Unom" = nominal voltage): the colour of the elements whose voltage lies
/// strictly between `uMin` and `uMax`. Its name is the nominal voltage as text.
class NUnomSpr : public NSpr {
  public:
    bool edit(Context& ctx) override;
    void saveToStream(BinaryWriter& w) const override;
    void loadFromStream(BinaryReader& r) override;
    size_t recordSize() const override { return NSpr::recordSize() + 3 * 10 + 4; }

    Extended unom = 0, uMin = 0, uMax = 0; ///< kV
    Colour colour = 0;
};

/// The organizer of a catalogue ("orginizer" as the file format spells it): its entries in
/// order. Owns them; lists that only refer to entries of a catalogue are plain vectors.
class NSprOrginizer {
  public:
    NSprOrginizer() = default;
    virtual ~NSprOrginizer() = default;
    NSprOrginizer(const NSprOrginizer&) = delete;
    NSprOrginizer& operator=(const NSprOrginizer&) = delete;

    /// A new entry with zero values and an empty name, edited first when `editOnAdd` is set;
    /// appended whichever button closed its dialog. Answers the entry.
    NSpr* addNew(Context* ctx);
    /// The count, then each entry's record.
    void saveToStream(BinaryWriter& w) const;
    /// Replaces the entries by those of the record; on a damaged record the catalogue stays
    /// as it was and the reader is failed.
    void loadFromStream(BinaryReader& r);
    QStringList fillNames() const;
    void clear() { items.clear(); }
    /// Removes and frees the entry at `index`; an index out of range does nothing.
    void deleteAt(int index);
    int count() const { return int(items.size()); }
    NSpr* at(int index) const { return index >= 0 && index < count() ? items[size_t(index)].get() : nullptr; }
    /// Appends `entry` and takes it.
    void append(std::unique_ptr<NSpr> entry) { items.push_back(std::move(entry)); }

    /// Reads the catalogue from a file; false (catalogue unchanged, `error` set) when the file
    /// cannot be read or is damaged.
    bool loadFile(const QString& path, QString* error = nullptr);
    /// The same for a file's bytes already in memory; `name` names it in the message.
    bool loadBytes(const QByteArray& data, const QString& name, QString* error = nullptr);
    /// Writes the catalogue through a temporary file renamed over `path`.
    bool saveFile(const QString& path, QString* error = nullptr) const;

    std::vector<std::unique_ptr<NSpr>> items;
    uint8_t editOnAdd = 1;

  protected:
    /// The entries of a record, or false with `r` failed.
    bool readEntries(BinaryReader& r, std::vector<std::unique_ptr<NSpr>>& read) const;
    virtual std::unique_ptr<NSpr> newEntry() const { return std::make_unique<NWireSpr>(); }
};

/// The transformer catalogue.
class NTransSprOrginizer : public NSprOrginizer {
  protected:
    std::unique_ptr<NSpr> newEntry() const override { return std::make_unique<NTransSpr>(); }
};

/// The voltage classes.
class NUnomSprOrginizer : public NSprOrginizer {
  public:
    /// The colour of the last class, in catalogue order, with minimum < u < maximum; black (0)
    /// when there is none.
    Colour classColour(Extended u) const;

  protected:
    std::unique_ptr<NSpr> newEntry() const override { return std::make_unique<NUnomSpr>(); }
};

/// The three catalogues of a workbench. Made with the defaults a new user starts from;
/// `loadPowerCatalogues` replaces them by the files stored earlier.
struct PowerCatalogues {
    PowerCatalogues();
    NSprOrginizer wires;
    NTransSprOrginizer transformers;
    NUnomSprOrginizer voltageClasses;

    static constexpr const char* kWireFile = "LineSpr.spr";
    static constexpr const char* kVoltageClassFile = "UnomSpr.spr";
    static constexpr const char* kTransformerFile = "TransSpr.spr";
};

/// The catalogues of the workbench of `ctx` (made with their defaults on first use).
PowerCatalogues& powerCatalogues(Context& ctx);

/// Where the catalogue files are written: `programFolder` when it is writable, else the
/// user's application data folder (created when missing).
QString catalogueFolder(const QString& programFolder);

/// Reads the catalogue files present in the catalogue folder (or, failing that, in the
/// program folder) into the catalogues of `ctx`. A damaged file leaves the defaults and adds
/// its message to `errors`.
void loadPowerCatalogues(Context& ctx, const QString& programFolder, QStringList* errors = nullptr);

/// Which catalogue a catalogue window edits.
enum class CatalogueKind { Wires, Transformers, VoltageClasses };

/// Shows the catalogue window ("Справочник") on the catalogue of `ctx` and then stores the
/// catalogue in its file in the catalogue folder. False with `error` set when it could not be
/// written.
bool editCatalogue(Context& ctx, CatalogueKind kind, const QString& programFolder, QString* error = nullptr);

} // namespace qv
