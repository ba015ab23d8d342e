#pragma once
// A JSON picture of a scheme or vector diagram document: every object with its stored fields, and the loops.
// Used by the command-line tool and by tests that compare schemes.
#include <QJsonObject>

namespace qv {

class NTBEFizDisp;
class NVectDiaDisp;

QJsonObject dumpScheme(NTBEFizDisp& doc);
/// The vector diagram's objects with their stored fields, and its layers with what they list.
QJsonObject dumpVectorDiagram(NVectDiaDisp& doc);

} // namespace qv
