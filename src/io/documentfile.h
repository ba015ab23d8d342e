#pragma once
// Whole document files: reading into a fresh document that is swapped in only when the file
// was read and its links check out, writing through a temporary file. Errors come back as
// values naming the file and the fault; nothing here talks to the user.
#include <QString>

namespace qv {

class BinaryReader;
class FizDisp;

/// The outcome of reading or writing a file: true, or false with the message for the user.
struct IoStatus {
    QString error;
    explicit operator bool() const { return error.isEmpty(); }
};

/// Reads a document record from `r` into `doc` and checks its links; false, with `r` failed
/// and its error set, on a damaged record.
bool readDocument(FizDisp& doc, BinaryReader& r);
/// Fails `r` when the objects of `doc` disagree about their links (a node and the elements
/// ending on it, a branch and its components, an element and its label): a link known to one
/// end only would dangle after the next deletion.
bool checkLinks(const FizDisp& doc, BinaryReader& r);

/// Reads `path` into a fresh document and takes its contents only when the whole file was
/// read; otherwise `doc` stays as it was.
IoStatus loadDocumentFile(FizDisp& doc, const QString& path);
/// Stores the document record in `path` through a temporary file beside it, so a failed
/// save never damages the file that was there.
IoStatus saveDocumentFile(FizDisp& doc, const QString& path);

} // namespace qv
