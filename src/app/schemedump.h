#pragma once
// A JSON picture of a scheme document: every object with its stored fields, and the loops.
// Used by the command-line tool and by tests that compare schemes.
#include <QJsonObject>

namespace qv {

class NTBEFizDisp;

QJsonObject dumpScheme(NTBEFizDisp& doc);

} // namespace qv
