#pragma once
// The program's own report target ("Kelvaro.NTKVTextOut"): renders the verbs into a rich-text
// document (the "Solution" page) at its caret, the way a word processor's selection does.
#include <QTextCharFormat>
#include <QTextCursor>

#include <optional>

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
    /// force before. An enhanced metafile (known by its bytes) is drawn at its frame's size at
    /// 96 pixels per inch and kept whole for saving; any other image Qt reads goes in one
    /// pixel per pixel. A missing, damaged or unreadable file fails with ReportError.
    void insertPicture(const InsertPictureArgs& args) override;
    /// Selects from the selection's end to `count` characters away and deletes that.
    void editClear(int count) override;
    /// One undo step for everything in between; the document lays itself out (and its views
    /// repaint) once, at the end.
    void beginUpdate() override;
    void endUpdate() override;

    /// The attributes the next inserted text takes.
    const QTextCharFormat& attributes() const { return typing_; }

  private:
    void mergeAttributes(const QTextCharFormat& change);
    void insertParagraphBreak();

    QTextCursor& caret_;
    QTextCharFormat typing_;
    int updates_ = 0;
    std::optional<Qt::Alignment> alignmentAfterPicture_;
};

} // namespace qv
