#include "report/reportinsertion.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>

#include "report/reportformat.h"

namespace qv {

ReportInsertion::ReportInsertion(const ReportDocument& report, const QTextCursor& at, bool intoEmptyDocument)
    : report_(&report), base_(at.blockFormat()), intoEmptyDocument_(intoEmptyDocument),
      charFormats_(report.formats().size()) {}

const QTextCharFormat& ReportInsertion::charFormat(int32_t index) {
    std::optional<QTextCharFormat>& f = charFormats_[size_t(index)];
    if (!f) f = report_->formats()[size_t(index)].toCharFormat();
    return *f;
}

QTextBlockFormat ReportInsertion::blockFormat(const ReportDocument::Paragraph& p) const {
    QTextBlockFormat f = base_;
    if (p.alignment != 0 && Qt::Alignment(p.alignment) != base_.alignment())
        f.setAlignment(Qt::Alignment(p.alignment));
    if (p.leftMargin != base_.leftMargin()) f.setLeftMargin(p.leftMargin);
    if (p.rightMargin != base_.rightMargin()) f.setRightMargin(p.rightMargin);
    if (p.textIndent != base_.textIndent()) f.setTextIndent(p.textIndent);
    if (p.topMargin != base_.topMargin()) f.setTopMargin(p.topMargin);
    if (p.bottomMargin != base_.bottomMargin()) f.setBottomMargin(p.bottomMargin);
    return f;
}

bool ReportInsertion::step(QTextCursor& cursor, std::size_t runs) {
    QTextDocument& document = *cursor.document();
    const auto& paragraphs = report_->paragraphs();
    std::size_t inserted = 0;
    while (next_ < paragraphs.size() && inserted < runs) {
        const ReportDocument::Paragraph& p = paragraphs[next_];
        if (next_ > 0) {
            cursor.insertBlock(blockFormat(p), charFormat(p.mark));
        } else {
            const QTextBlockFormat f = blockFormat(p);
            if (f != base_) cursor.setBlockFormat(f);
            if (intoEmptyDocument_ && p.mark != 0) cursor.setBlockCharFormat(charFormat(p.mark));
        }
        ++next_;
        for (int32_t r = p.firstRun; r < p.firstRun + p.runCount; ++r) {
            const ReportDocument::Run& run = report_->runs()[size_t(r)];
            if (run.picture < 0) {
                cursor.insertText(report_->textOf(run).toString(), charFormat(run.format));
                continue;
            }
            const ReportDocument::Picture& picture = report_->pictures()[size_t(run.picture)];
            QTextImageFormat f;
            if (!picture.kind.isEmpty()) {
                f.setProperty(kPictureKindProperty, picture.kind);
                f.setProperty(kPictureDataProperty, picture.data);
                f.setProperty(kPictureWidthProperty, picture.picw);
                f.setProperty(kPictureHeightProperty, picture.pich);
            }
            // A metafile is drawn when the document first shows or writes it: a long solution
            // goes onto the page without waiting for a picture that is out of view.
            if (picture.metafile)
                f.setName(addDeferredImageResource(document, [picture] { return picture.toImage(); }));
            else
                f.setName(addImageResource(document, picture.toImage()));
            if (picture.shown.width() > 0) f.setWidth(picture.shown.width());
            if (picture.shown.height() > 0) f.setHeight(picture.shown.height());
            cursor.insertImage(f);
        }
        inserted += size_t(p.runCount) + 1;
    }
    return done();
}

} // namespace qv
