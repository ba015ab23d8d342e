#pragma once
// The window's commands that bring circuits in and out and find loops: "Import SPICE
// netlist", "Export SPICE netlist" and "Find loops".
#include <QString>
#include <QStringList>

namespace qv {

class Workbench;

/// "Import SPICE netlist": the netlist's scheme in place of the open one, one step of the
/// history (Undo brings the old scheme back). False with one message per offending line in
/// `problems`, the open scheme as it was.
bool importNetlistCommand(Workbench& wb, const QString& path, QStringList& problems);

/// "Export SPICE netlist": the scheme written as a netlist to `path`, titled by its file name.
bool exportNetlistCommand(Workbench& wb, const QString& path, QString& error);

/// "Find loops": a complete independent set of loops in place of the scheme's, after asking
/// when it has loops of its own; one step of the history. A set that cannot be given is told
/// by a message. False when the loops were left as they were.
bool findLoopsCommand(Workbench& wb);

/// A found set of loops in place of the scheme's, without asking (the command line). False
/// with `error` when no set can be given; `notes` get what the set cannot do.
bool putFoundLoops(Workbench& wb, QStringList& notes, QString& error);

/// The caption of the "Find loops" messages.
inline const QString kFindLoopsCaption = QStringLiteral(QT_TRANSLATE_NOOP("qv::Message", "Find loops"));

} // namespace qv
