#include "report/documenttarget.h"

#include <QTextBlock>
#include <QTextDocument>
#include <utility>

#include "report/pendingreport.h"
#include "report/reportformat.h"

namespace qv {

namespace {

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

/// The format text typed at the caret takes: a selection is replaced in the attributes of its
/// first character, as typing does.
QTextCharFormat typingFormat(const QTextCursor& caret) {
    if (!caret.hasSelection()) return caret.charFormat();
    QTextCursor first(caret);
    first.setPosition(caret.selectionStart());
    first.movePosition(QTextCursor::NextCharacter);
    return first.charFormat();
}

} // namespace

DocumentReportTarget::DocumentReportTarget(QTextCursor& caret) : caret_(caret) {
    // An earlier solution still going onto the page ends first: this one goes after it, in
    // the attributes in force there.
    finishPendingReport(*caret_.document());
    // After a picture the caret's format is the picture's: text takes only its font.
    writer_.setAttributes(RunFormat::fromCharFormat(typingFormat(caret_)));
}

DocumentReportTarget::~DocumentReportTarget() {
    while (updates_ > 0)
        endUpdate();
    flush();
}

void DocumentReportTarget::beginUpdate() {
    if (updates_++ == 0) caret_.beginEditBlock();
}

void DocumentReportTarget::endUpdate() {
    if (updates_ == 0) return;
    if (--updates_ > 0) return;
    // The solution is complete: a long one may go onto a page that writes in steps.
    flush(true);
    caret_.endEditBlock();
}

void DocumentReportTarget::begin(bool replacesSelection) {
    if (collecting_) return;
    // What an earlier solution still has to write goes before this.
    finishPendingReport(*caret_.document());
    if (replacesSelection && caret_.hasSelection()) caret_.removeSelectedText();
    // The collection continues the caret's paragraph, with its alignment and margins.
    pending_ = ReportDocument(caret_.document()->defaultFont());
    const QTextBlockFormat block = caret_.blockFormat();
    ReportDocument::Paragraph& p = pending_.lastParagraph();
    p.alignment = int(block.alignment());
    p.leftMargin = block.leftMargin();
    p.rightMargin = block.rightMargin();
    p.textIndent = block.textIndent();
    p.topMargin = block.topMargin();
    p.bottomMargin = block.bottomMargin();
    writer_.restart(caret_.position() > caret_.block().position());
    collecting_ = !caret_.hasSelection();
}

void DocumentReportTarget::settle() {
    if (updates_ == 0) flush();
}

void DocumentReportTarget::flush(bool inSteps) {
    if (!collecting_) return;
    collecting_ = false;
    if (updates_ == 0) caret_.beginEditBlock();
    if (inSteps)
        insertReport(std::exchange(pending_, ReportDocument()), caret_);
    else
        pending_.insertInto(caret_);
    if (updates_ == 0) caret_.endEditBlock();
}

bool DocumentReportTarget::selectionTakesFormat() const {
    return !collecting_ && caret_.hasSelection();
}

void DocumentReportTarget::insert(const std::string& text) {
    begin(true);
    writer_.insert(text);
    settle();
}

void DocumentReportTarget::fontSize(int points) {
    begin(false);
    writer_.fontSize(points);
    if (selectionTakesFormat()) {
        QTextCharFormat f;
        f.setFontPointSize(points);
        caret_.mergeCharFormat(f);
    }
    settle();
}

void DocumentReportTarget::font(const std::string& name) {
    begin(false);
    writer_.font(name);
    if (selectionTakesFormat()) {
        QTextCharFormat f;
        f.setProperty(kCharsetFormatProperty, charsetForReportFont(name));
        f.setFontFamilies(QStringList{QString::fromUtf8(name)});
        caret_.mergeCharFormat(f);
    }
    settle();
}

void DocumentReportTarget::formatFont(const FormatFontArgs& args) {
    begin(false);
    writer_.formatFont(args);
    // Made only where a selection or a word of the page takes it: while a solution is
    // collected, neither does.
    auto change = [&] {
        QTextCharFormat f;
        f.setVerticalAlignment(QTextCharFormat::VerticalAlignment(writer_.attributes().position));
        if (args.points != kNoPoints) f.setFontPointSize(writer_.attributes().points);
        return f;
    };
    if (selectionTakesFormat()) caret_.mergeCharFormat(change());
    if (!caret_.hasSelection()) {
        // The caret stands inside a word when a letter of it is on either side: the letter
        // before is the last one collected, or the page's when nothing was collected in its
        // paragraph; the one after is always the page's.
        const QTextDocument* doc = caret_.document();
        const int pos = caret_.position();
        QChar before;
        if (pending_.lastParagraphHasContent())
            before = pending_.lastCharacter();
        else if (pending_.paragraphs().size() == 1 && pos > caret_.block().position())
            before = doc->characterAt(pos - 1);
        if (isWordChar(before) && isWordChar(doc->characterAt(pos))) {
            flush();
            QTextCursor word(caret_);
            word.select(QTextCursor::WordUnderCursor);
            word.mergeCharFormat(change());
        }
    }
    settle();
}

void DocumentReportTarget::insertPicture(const InsertPictureArgs& args) {
    // The file is read first: a picture that fails leaves the page as it was.
    ReportDocument::Picture picture = ReportDocumentTarget::readPicture(args);
    begin(true);
    writer_.appendPicture(std::move(picture));
    settle();
}

void DocumentReportTarget::editClear(int count) {
    if (count < 0 && collecting_) {
        const int wanted = count == INT_MIN ? INT_MAX : -count;
        const int removed = pending_.removeLast(wanted);
        if (removed == wanted) {
            settle();
            return;
        }
        count = -(wanted - removed);
    }
    // Beyond what was collected the page itself loses the characters.
    flush();
    const QTextDocument* doc = caret_.document();
    const int last = doc->characterCount() - 1;
    int from = caret_.selectionEnd();
    int to = from;
    // Characters, not code units: a letter outside the Basic Multilingual Plane goes whole.
    for (int n = count; n < 0 && to > 0; ++n) {
        --to;
        if (to > 0 && doc->characterAt(to).isLowSurrogate() && doc->characterAt(to - 1).isHighSurrogate())
            --to;
    }
    for (int n = count; n > 0 && to < last; --n) {
        ++to;
        if (to < last && doc->characterAt(to - 1).isHighSurrogate() && doc->characterAt(to).isLowSurrogate())
            ++to;
    }
    caret_.setPosition(from);
    caret_.setPosition(to, QTextCursor::KeepAnchor);
    caret_.removeSelectedText();
}

} // namespace qv
