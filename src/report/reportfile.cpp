#include "report/reportfile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <QTextFragment>
#include <QTextImageFormat>

#include <memory>

#include "report/reportdocument.h"
#include "report/reportformat.h"
#include "report/rtf.h"

namespace qv {

namespace {

/// A copy of the document whose pictures name themselves as data (for HTML, which refers to
/// pictures by name).
std::unique_ptr<QTextDocument> withEmbeddedPictures(const QTextDocument& document) {
    std::unique_ptr<QTextDocument> copy(document.clone());
    QTextCursor cursor(copy.get());
    for (QTextBlock block = copy->begin(); block.isValid(); block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || !fragment.charFormat().isImageFormat()) continue;
            QTextImageFormat f = fragment.charFormat().toImageFormat();
            const QImage image = imageResource(document, f.name());
            if (image.isNull()) continue;
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            f.setName(QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64()));
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(f);
        }
    }
    return copy;
}

/// The text of the document without the characters that stand for pictures.
QByteArray plainText(const QTextDocument& document) {
    QString text = document.toPlainText();
    text.remove(QChar::ObjectReplacementCharacter);
    return text.toUtf8();
}

bool fail(QString* error, const QString& path, const QString& why) {
    if (error) *error = QStringLiteral("Cannot save \"%1\": %2").arg(path, why);
    return false;
}

bool writeReportFile(const QByteArray& bytes, const QString& path, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return fail(error, path, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(error, path, why);
    }
    if (!file.commit()) return fail(error, path, file.errorString());
    return true;
}

} // namespace

ReportFileFormat reportFileFormat(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("odt")) return ReportFileFormat::Odt;
    if (suffix == QLatin1String("htm") || suffix == QLatin1String("html")) return ReportFileFormat::Html;
    if (suffix == QLatin1String("pdf")) return ReportFileFormat::Pdf;
    if (suffix == QLatin1String("txt")) return ReportFileFormat::Text;
    return ReportFileFormat::Rtf;
}

bool saveReport(const ReportDocument& document, const QString& path, QString* error) {
    switch (reportFileFormat(path)) {
    case ReportFileFormat::Rtf:
        return writeReportFile(writeRtf(document), path, error);
    case ReportFileFormat::Text:
        return writeReportFile(writePlainText(document), path, error);
    case ReportFileFormat::Html:
        return writeReportFile(writeHtml(document), path, error);
    case ReportFileFormat::Odt:
    case ReportFileFormat::Pdf:
        break;
    }
    QTextDocument built;
    document.fill(built);
    return saveReport(built, path, error);
}

bool saveReport(const QTextDocument& document, const QString& path, QString* error) {
    // Into memory first: the writers close their device, which a file that is replaced only
    // when complete does not allow.
    QByteArray bytes;
    switch (reportFileFormat(path)) {
    case ReportFileFormat::Rtf:
        bytes = writeRtf(document);
        break;
    case ReportFileFormat::Text:
        bytes = plainText(document);
        break;
    case ReportFileFormat::Odt:
    case ReportFileFormat::Html: {
        const bool odt = reportFileFormat(path) == ReportFileFormat::Odt;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QTextDocumentWriter writer(&buffer, odt ? "odf" : "html");
        const bool written =
            odt ? writer.write(&document) : writer.write(withEmbeddedPictures(document).get());
        if (!written) return fail(error, path, QStringLiteral("the document could not be converted"));
        break;
    }
    case ReportFileFormat::Pdf: {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setResolution(300);
        pdf.setCreator(QStringLiteral("Quorvel"));
        document.print(&pdf);
        break;
    }
    }

    return writeReportFile(bytes, path, error);
}

} // namespace qv
