#pragma once
// A SPICE netlist made into a scheme, and a scheme written as a netlist that ngspice runs as
// it stands.
#include <QString>
#include <QStringList>
#include <map>
#include <string>

namespace qv {

class NFUsel;
class NTBEFizDisp;
struct Netlist;

/// Reads the netlist file at `path` and puts its scheme in place of what `doc` holds. False,
/// with one message per offending line in `problems`, when the file cannot be taken; `doc`
/// is then as it was.
bool importNetlistFile(NTBEFizDisp& doc, const QString& path, QStringList& problems);

/// Builds the scheme of a netlist read without problems into `doc`, in place of what it held:
/// a node per node the netlist keeps (the ground as a node with a ground symbol), a branch per
/// chain of elements, each component under its netlist name without the letter, laid out
/// by `layOutScheme`.
void buildSchemeFromNetlist(const Netlist& netlist, NTBEFizDisp& doc);

/// A scheme as a netlist.
struct SpiceNetlist {
    std::string text; ///< empty when `error` says why there is none
    std::string error;
    std::map<const NFUsel*, std::string> nodes; ///< the netlist's name of each scheme node
};

/// The scheme as a netlist titled `title`: one element per component (an impedance as its
/// resistance and an inductance or capacitance at the scheme's frequency, an EMF as a V
/// source, a current source as an I source), the nodes under their own names ("0" for the
/// grounded ones, or without a ground the node the node-voltage method takes as reference),
/// the nodes inside a branch named after it, `.op` or `.ac` at the scheme's frequency.
SpiceNetlist writeSpiceNetlist(NTBEFizDisp& doc, const std::string& title);

/// Writes `writeSpiceNetlist` to `path` through a temporary file; false with `error` set.
bool exportNetlistFile(NTBEFizDisp& doc, const QString& path, QString& error);

} // namespace qv
