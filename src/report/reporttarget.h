#pragma once
// The report channel: every solver writes its expanded solution as a stream of six text verbs
// (insert, font size, font, format font, insert picture, clear) into a report target. The
// target is created by its programmatic identifier (see targetregistry.h); solvers never ask
// which target they talk to.
#include <optional>
#include <stdexcept>
#include <string>

namespace qv {

/// A verb that failed. The solve command catches it once and shows "Solution error"; what was
/// written before the fault stays in the report.
class ReportError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// A target that cannot be created (unknown identifier, or a word processor this platform
/// cannot drive). Raised before the solution starts.
class ReportTargetUnavailable : public ReportError {
  public:
    using ReportError::ReportError;
};

/// The value of `FormatFont`'s `Points` when the caller leaves it out ("none"): the size is
/// then left as it is.
inline const std::string kNoPoints = "нема";

/// Named arguments of `FormatFont`. An argument left out counts as 0.
struct FormatFontArgs {
    std::optional<int> subscript;
    std::optional<int> superscript;
    /// A size in points as text, or kNoPoints. Text that is not an integer fails the verb.
    std::string points = kNoPoints;
};

/// Named arguments of `InsertPicture`.
struct InsertPictureArgs {
    std::string name;       ///< the picture file
    std::string linkToFile; ///< passed on to word processors ("1"); empty: not given
};

/// A report target: the six verbs. Text is UTF-8; "\r" (also "\n", "\r\n") ends a paragraph.
/// Every verb may throw ReportError.
class ReportTarget {
  public:
    virtual ~ReportTarget() = default;

    /// `Insert`: the text at the caret, in the attributes in force.
    virtual void insert(const std::string& text) = 0;
    /// `FontSize`: the size in points of what follows.
    virtual void fontSize(int points) = 0;
    /// `Font`: the typeface of what follows ("Times New Roman", "symbol").
    virtual void font(const std::string& name) = 0;
    /// `FormatFont`: superscript when `superscript` is 1, otherwise subscript when `subscript`
    /// is 1, otherwise the normal position; with `points` first the size.
    virtual void formatFont(const FormatFontArgs& args) = 0;
    /// `InsertPicture`: the picture stored in the file.
    virtual void insertPicture(const InsertPictureArgs& args) = 0;
    /// `EditClear`: deletes from the caret to `count` characters away (-1: the one before).
    virtual void editClear(int count) = 0;

    /// A whole solution is written between these two: one undo step, one repaint.
    virtual void beginUpdate() {}
    virtual void endUpdate() {}
};

/// Brackets a solution with beginUpdate/endUpdate, also when a verb throws.
class ReportUpdate {
  public:
    explicit ReportUpdate(ReportTarget& target) : target_(target) { target_.beginUpdate(); }
    ~ReportUpdate() { target_.endUpdate(); }
    ReportUpdate(const ReportUpdate&) = delete;
    ReportUpdate& operator=(const ReportUpdate&) = delete;

  private:
    ReportTarget& target_;
};

/// Character sets a report font carries (the rich-text format needs them).
enum Charset : int {
    kAnsiCharset = 0,
    kDefaultCharset = 1,
    kSymbolCharset = 2,
    kCyrillicCharset = 204,
};

/// The character set `Font` gives a face name: Cyrillic for "Times New Roman Cyr", Symbol for
/// "Symbol", the default set for anything else (letter case ignored).
int charsetForReportFont(const std::string& name);

} // namespace qv
