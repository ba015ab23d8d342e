#pragma once
// The "Potential diagram" command: the loop is chosen, its DC potential profile is taken from
// the last node-voltage solution, and the diagram is shown or written to a file.
#include <QSize>
#include <QString>

#include "diagrams/potentialdiagram.h"

namespace qv {

class NTBEFizDisp;

/// The profile of loop `loopIndex` of the scheme's loop list, from the calculation records of
/// the last node-voltage solution. False (and `diagram` unchanged) when there is no such loop
/// or an element on it has no DC record.
bool loopPotentialDiagram(NTBEFizDisp& doc, int loopIndex, PotentialDiagram& diagram);

/// The command of the window up to showing the diagram: "Select Loop for voltage diagramm."
/// through the workbench's presenter, then the chosen loop's profile. False when no loop was
/// chosen or its profile cannot be made; nothing is to be shown then.
bool choosePotentialDiagram(NTBEFizDisp& doc, PotentialDiagram& diagram);

/// The command line's: solves the scheme by the node-voltage method (its whole node list, the
/// scheme's own options, no report), then takes the profile of the loop named `loopName`.
/// False with `error` set for an unknown loop, a solution that failed or was refused, or a loop
/// that runs through an element without a DC record; `refused` tells the refusal apart.
bool solvedPotentialDiagram(NTBEFizDisp& doc, const QString& loopName, PotentialDiagram& diagram,
                            QString& error, bool* refused = nullptr);

/// Writes the drawing area of `size` pixels: PNG or SVG by the name's extension, a Windows
/// bitmap for any other name. False with `error` set when the file cannot be written.
bool writePotentialPicture(const PotentialDiagram& diagram, const QString& path, QSize size, QString* error);

} // namespace qv
