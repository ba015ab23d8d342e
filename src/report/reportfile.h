#pragma once
// Saving the solution: rich text (the default), OpenDocument text, HTML, PDF or plain text,
// chosen by the file's extension.
#include <QByteArray>
#include <QString>

class QTextDocument;

namespace qv {

class ReportDocument;

enum class ReportFileFormat { Rtf, Odt, Html, Pdf, Text };

/// The format a file name asks for: ".odt", ".htm"/".html", ".pdf", ".txt" (any letter case);
/// rich text for ".rtf" and for every other name.
ReportFileFormat reportFileFormat(const QString& path);

/// Writes the document to `path` in the format its extension names. The file is replaced only
/// when the whole of it was written; false with `error` naming the file and the fault
/// otherwise. Pictures go into every format but plain text (HTML embeds them).
bool saveReport(const QTextDocument& document, const QString& path, QString* error = nullptr);
/// The same for a report document: rich text, HTML and plain text are written straight from
/// it, OpenDocument text and PDF from a rich-text document built from it.
bool saveReport(const ReportDocument& document, const QString& path, QString* error = nullptr);

/// The report as HTML, as a rich-text editor writes the same content (UTF-8), its pictures
/// embedded as PNG.
QByteArray writeHtml(const ReportDocument& document);
/// The report's text, paragraphs ended by line feeds (UTF-8), without its pictures.
QByteArray writePlainText(const ReportDocument& document);

} // namespace qv
