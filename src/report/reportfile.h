#pragma once
// Saving the solution: rich text (the default), OpenDocument text, HTML, PDF or plain text,
// chosen by the file's extension.
#include <QString>

class QTextDocument;

namespace qv {

enum class ReportFileFormat { Rtf, Odt, Html, Pdf, Text };

/// The format a file name asks for: ".odt", ".htm"/".html", ".pdf", ".txt" (any letter case);
/// rich text for ".rtf" and for every other name.
ReportFileFormat reportFileFormat(const QString& path);

/// Writes the document to `path` in the format its extension names. The file is replaced only
/// when the whole of it was written; false with `error` naming the file and the fault
/// otherwise. Pictures go into every format but plain text (HTML embeds them).
bool saveReport(const QTextDocument& document, const QString& path, QString* error = nullptr);

} // namespace qv
