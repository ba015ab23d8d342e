#pragma once
// A report document going into a rich-text document a part at a time: a long solution can
// show its first screen on the page while the rest follows.
#include <QTextBlockFormat>
#include <QTextCharFormat>

#include <cstddef>
#include <optional>
#include <vector>

#include "report/reportdocument.h"

class QTextCursor;

namespace qv {

/// Inserts `report` at a cursor as ReportDocument::insertInto does, whole paragraphs at a
/// time. The report must outlive the insertion.
class ReportInsertion {
  public:
    /// `at` gives the block format the report's paragraphs take theirs from; with
    /// `intoEmptyDocument` the first paragraph's mark format is set too.
    ReportInsertion(const ReportDocument& report, const QTextCursor& at, bool intoEmptyDocument);

    /// Inserts paragraphs at `cursor` until `runs` runs went in (the paragraph under way is
    /// finished) or the report is in; the cursor ends after what went in. True when the
    /// whole report is in.
    bool step(QTextCursor& cursor, std::size_t runs);
    bool done() const { return next_ >= report_->paragraphs().size(); }

  private:
    const QTextCharFormat& charFormat(int32_t index);
    QTextBlockFormat blockFormat(const ReportDocument::Paragraph& p) const;

    const ReportDocument* report_;
    QTextBlockFormat base_;
    bool intoEmptyDocument_;
    std::size_t next_ = 0; ///< the next paragraph to insert
    /// Each format is made once: the document finds an equal one by its hash.
    std::vector<std::optional<QTextCharFormat>> charFormats_;
};

} // namespace qv
