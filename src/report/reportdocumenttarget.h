#pragma once
// The verbs written into a report document, at its end, with the attributes a rich-text
// editor's selection gives them: the solve command's target for report files, and the part of
// the Solution page's target that collects a solution before it goes onto the page.
#include <string_view>
#include <vector>

#include "report/reportdocument.h"
#include "report/reporttarget.h"

namespace qv {

class ReportDocumentTarget : public ReportTarget {
  public:
    /// Writes at the end of `document`, which must outlive the target.
    explicit ReportDocumentTarget(ReportDocument& document);

    /// Appends the text in the attributes in force, which it leaves as they are; "\r", "\n"
    /// and "\r\n" end a paragraph. Symbol-font letters go in as Greek letters.
    void insert(const std::string& text) override;
    /// 1 to 1638 points; anything else fails.
    void fontSize(int points) override;
    /// Sets the character set from the name (charsetForReportFont), then the font name.
    void font(const std::string& name) override;
    /// The position (and, with `points`, the size) of what is written next.
    void formatFont(const FormatFontArgs& args) override;
    /// readPicture, then appendPicture.
    void insertPicture(const InsertPictureArgs& args) override;
    /// Deletes backwards from the end, not past the start; there is nothing after the end.
    void editClear(int count) override;

    /// The picture file as the report keeps it: an enhanced metafile (known by its bytes)
    /// whole, at its frame's size at 96 pixels per inch; any other image Qt reads, one pixel
    /// per pixel. A missing, damaged or unreadable file fails with ReportError.
    static ReportDocument::Picture readPicture(const InsertPictureArgs& args);
    /// The picture centred in a paragraph of its own (text before it is ended by a paragraph
    /// break); the paragraph that follows gets the alignment that was in force before.
    void appendPicture(ReportDocument::Picture picture);

    /// The attributes the next inserted text takes.
    const RunFormat& attributes() const { return typing_; }
    void setAttributes(const RunFormat& format);
    /// After `document` was emptied or replaced: `continuesText` says whether its first
    /// paragraph continues one that holds text before the end (a picture then starts a
    /// paragraph of its own).
    void restart(bool continuesText);

  private:
    int32_t typingIndex();
    void paragraphBreak();
    /// Text without paragraph breaks, in the attributes in force.
    void appendPiece(std::string_view piece, bool greek);

    ReportDocument& doc_;
    RunFormat typing_;
    std::string fontName_; ///< the name `font` gave typing_ last; empty: another
    /// Faces named before, with their character sets: the writers switch between a few.
    struct Face {
        std::string name;
        QString family;
        int charset = 0;
    };
    std::vector<Face> faces_;
    int32_t typingIndex_ = -1; ///< typing_ in doc_, -1: not looked up yet
    std::optional<int> alignmentAfterPicture_;
    bool continuesText_ = false;
};

} // namespace qv
