#pragma once
// The program's own report target ("Kelvaro.NTKVTextOut"): renders the verbs into a rich-text
// document (the "Solution" page) at its caret, the way a word processor's selection does.
// What a solution writes is collected as a report document and goes onto the page in one
// pass when the solution ends (at once for a verb outside beginUpdate/endUpdate).
#include <QTextCursor>

#include "report/reportdocument.h"
#include "report/reportdocumenttarget.h"
#include "report/reporttarget.h"

namespace qv {

class DocumentReportTarget : public ReportTarget {
  public:
    /// Writes at `caret` (its selection is the first thing replaced) and keeps it at the end
    /// of what was written. The caret must outlive the target.
    explicit DocumentReportTarget(QTextCursor& caret);
    ~DocumentReportTarget() override;

    /// Replaces the selection by the text; the text that follows keeps the font name and
    /// character set that were in force. Symbol-font letters go in as Greek letters.
    void insert(const std::string& text) override;
    /// 1 to 1638 points; anything else fails.
    void fontSize(int points) override;
    /// Sets the character set from the name (charsetForReportFont), then the font name.
    void font(const std::string& name) override;
    /// On the selection; with an empty selection on what is typed next and, when the caret
    /// stands inside a word, on that word.
    void formatFont(const FormatFontArgs& args) override;
    /// Inserts the picture file centred in a paragraph of its own (text before the caret is
    /// ended by a paragraph mark); the paragraph that follows gets the alignment that was in
    /// force before. An enhanced metafile (known by its bytes) is shown at its frame's size at
    /// 96 pixels per inch and kept whole for saving; any other image Qt reads goes in one
    /// pixel per pixel. A missing, damaged or unreadable file fails with ReportError and
    /// leaves the page as it was.
    void insertPicture(const InsertPictureArgs& args) override;
    /// Selects from the selection's end to `count` characters away and deletes that.
    void editClear(int count) override;
    /// One undo step for everything in between; the document changes (and its views repaint)
    /// once, at the end.
    void beginUpdate() override;
    void endUpdate() override;

  private:
    /// Before a verb: a fresh collection starts from the caret, replacing the selection
    /// first when `replacesSelection`.
    void begin(bool replacesSelection);
    /// After a verb: outside an update what was collected goes onto the page at once.
    void settle();
    /// What was collected onto the page at the caret; with `inSteps` a long solution may go on
    /// from the event loop (a page that writes in steps).
    void flush(bool inSteps = false);
    /// Whether a format verb's change also goes onto the page's selection (one not replaced
    /// by what is collected).
    bool selectionTakesFormat() const;

    QTextCursor& caret_;
    ReportDocument pending_;
    ReportDocumentTarget writer_{pending_};
    bool collecting_ = false; ///< pending_ holds what was written since the caret was read
    int updates_ = 0;
};

} // namespace qv
