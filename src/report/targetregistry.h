#pragma once
// Report targets by programmatic identifier. A solve command asks for the target its scheme's
// options name; the registry creates it or says why it cannot.
#include <QTextCursor>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "report/reporttarget.h"

namespace qv {

class ReportDocument;

/// Where a target writes: the "Solution" page at its caret, or a report document (for a
/// report file). Targets that write elsewhere (a word processor) ignore it.
struct ReportDestination {
    QTextCursor* caret = nullptr;
    ReportDocument* document = nullptr;
};

/// The program's own target: writes into the "Solution" page.
inline const std::string kOwnReportTargetId = "Kelvaro.NTKVTextOut";
/// Word processors driven by automation.
inline const std::string kWordBasicTargetId = "Word.Basic";
inline const std::string kWordApplicationTargetId = "Word.Application.8";

/// The identifier the scheme's report-target option names: 0 "Word.Basic", 1
/// "Word.Application.8", 2 (the default) and any other value the own target.
const std::string& reportTargetId(int option);

class ReportTargetRegistry {
  public:
    /// Makes a target for a destination.
    using Factory = std::function<std::unique_ptr<ReportTarget>(const ReportDestination& destination)>;

    /// Registers (or replaces) the factory of an identifier. Identifiers are compared
    /// without regard to letter case.
    void add(const std::string& id, Factory factory);
    bool contains(const std::string& id) const;
    /// The target of `id`. Throws ReportTargetUnavailable with the reason when there is no
    /// such identifier or its factory cannot create the object.
    std::unique_ptr<ReportTarget> create(const std::string& id, const ReportDestination& destination) const;
    /// The target of `id` for the "Solution" page at its caret.
    std::unique_ptr<ReportTarget> create(const std::string& id, QTextCursor& solutionCaret) const {
        return create(id, ReportDestination{&solutionCaret, nullptr});
    }
    /// The target of `id` for a report document.
    std::unique_ptr<ReportTarget> create(const std::string& id, ReportDocument& document) const {
        return create(id, ReportDestination{nullptr, &document});
    }

    /// The own target (the page's DocumentReportTarget, or a ReportDocumentTarget for a
    /// report document), and the two word-processor identifiers, which this platform has no
    /// automation for: creating them fails with that reason.
    static ReportTargetRegistry standard();

  private:
    std::map<std::string, Factory> factories_;
};

} // namespace qv
