#pragma once
// A report target that keeps the verb calls instead of rendering them: for tests of the
// writers and of anything that writes a report.
#include <functional>
#include <string>
#include <vector>

#include "report/reporttarget.h"

namespace qv {

enum class ReportVerb { Insert, FontSize, Font, FormatFont, InsertPicture, EditClear };

/// One verb call as it was made.
struct ReportCall {
    ReportVerb verb = ReportVerb::Insert;
    std::string text; ///< Insert, Font, InsertPicture (the name)
    int number = 0;   ///< FontSize, EditClear
    FormatFontArgs format;
    std::string linkToFile; ///< InsertPicture

    /// The call as a reader writes it: Insert("=") FontSize(14) Font("symbol")
    /// FormatFont(Subscript=1, Points="12") InsertPicture("a.png") EditClear(-1).
    std::string describe() const;
};

/// Makes the calls again, in order, on another target.
void replay(const std::vector<ReportCall>& calls, ReportTarget& target);

class RecordingReportTarget : public ReportTarget {
  public:
    void insert(const std::string& text) override;
    void fontSize(int points) override;
    void font(const std::string& name) override;
    void formatFont(const FormatFontArgs& args) override;
    void insertPicture(const InsertPictureArgs& args) override;
    void editClear(int count) override;
    void beginUpdate() override { ++updates; }
    void endUpdate() override { --updates; }

    std::vector<ReportCall> calls;
    /// beginUpdate calls not yet matched by endUpdate.
    int updates = 0;
    /// Called with every call before it is recorded; may throw to make the verb fail.
    std::function<void(const ReportCall&)> onCall;

    /// Every call described, separated by single spaces.
    std::string transcript() const;
    /// The text the calls show: small (below 10 points) or subscript pieces as "_{...}",
    /// superscript as "^{...}", symbol-font letters as Greek, paragraph ends as "\n", and
    /// EditClear(-1) taking back the character before.
    std::string shownText() const;
    void clear() { calls.clear(); }

  private:
    void record(ReportCall call);
};

} // namespace qv
