#pragma once
// Rich text (RTF 1.x) for the report's documents: the "Solution" page is saved, kept in
// workshop files and pasted as rich text. Qt reads and writes no rich text of this kind.
#include <QByteArray>
#include <QString>

class QTextCursor;
class QTextDocument;

namespace qv {

class ReportDocument;

/// The document as rich text: fonts with their character sets, sizes, bold, italic,
/// underline, strike-out, subscript, superscript, colours, paragraph alignment and indents,
/// pictures as PNG (pictures read from rich text in other kinds are written back unchanged).
/// Characters outside ASCII are written as Unicode with a one-byte fallback in the font's
/// code page ("?" when it has none).
QByteArray writeRtf(const QTextDocument& document);
/// The same for a report document.
QByteArray writeRtf(const ReportDocument& document);

/// Replaces the document's content by the rich text. Bytes that do not start as rich text are
/// refused (false, `error` says why) and leave the document as it was; damaged rich text is
/// read as far as it makes sense.
bool readRtf(const QByteArray& rtf, QTextDocument& document, QString* error = nullptr);

/// Inserts the rich text at the cursor, as a paste does, and leaves the cursor after it.
bool insertRtf(const QByteArray& rtf, QTextCursor& cursor, QString* error = nullptr);

} // namespace qv
