#pragma once
// A long solution goes onto the Solution page in steps: the first screenful at once, the rest
// from the event loop a part at a time, so that the page shows the solution's beginning at
// once and the window never waits for the whole of it.
#include <cstddef>
#include <functional>

class QTextCursor;
class QTextDocument;

namespace qv {

class ReportDocument;

/// Lets long reports go into `page` in steps. Off by default: until the event loop has run,
/// a document written in steps holds only the beginning of its report.
void setWritesInSteps(QTextDocument& page, bool on);
bool writesInSteps(const QTextDocument& page);

/// Runs (and paragraph marks) the first step puts onto the page: a screenful and more.
constexpr std::size_t kReportRunsFirst = 600;
/// Runs (and paragraph marks) each later step puts onto the page: a few milliseconds of
/// inserting and laying out, so that the window stays responsive.
constexpr std::size_t kReportRunsPerStep = 1500;

/// Writes `report` at `caret` as ReportDocument::insertInto does. When the page writes in
/// steps and the report is longer than two steps, only the first step goes in now (the caret
/// ends after it, inside the caller's edit block) and the rest follows from the event loop
/// at the same place, each step joined to the caller's undo step.
void insertReport(ReportDocument&& report, QTextCursor& caret);

/// Whether part of a report is still to go onto `page`.
bool hasPendingReport(const QTextDocument& page);
/// Writes what is still to go onto `page` at once. Whatever reads, edits or replaces the
/// page calls this first, so that nothing sees, saves or edits half a solution.
void finishPendingReport(QTextDocument& page);
/// Called after each later step with the position the report goes on at (after what is in)
/// and whether it is all in. Nothing is called when no report is pending.
void onPendingReportStep(QTextDocument& page, std::function<void(int position, bool finished)> step);

} // namespace qv
