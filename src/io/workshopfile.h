#pragma once
// Workshop files: the scheme record, the vector-diagram record and the text of the Solution
// page, one after the other in one file.
#include <QByteArray>
#include <QString>

#include "io/documentfile.h"

namespace qv {

class FizDisp;

/// Reads both records into fresh documents first; only when the whole file reads and its links
/// check out are `scheme` and `vector` replaced and `solution` set to the bytes after them.
IoStatus loadWorkshopFile(FizDisp& scheme, FizDisp& vector, QByteArray& solution, const QString& path);
/// The same for a workshop already in memory; `name` names it in the message.
IoStatus readWorkshop(FizDisp& scheme, FizDisp& vector, QByteArray& solution, const QByteArray& data,
                      const QString& name);
/// Stores the two records and the solution text through a temporary file.
IoStatus saveWorkshopFile(FizDisp& scheme, FizDisp& vector, const QByteArray& solution, const QString& path);

} // namespace qv
