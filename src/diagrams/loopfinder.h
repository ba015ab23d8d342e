#pragma once
// Loops found for the user: an independent and complete set (branches - nodes + parts of
// them) for the Kirchhoff-laws and mesh-current methods. Where the drawing is planar they are
// its meshes, else the fundamental loops of a spanning tree; a branch with a current source
// lies in one loop only, its own, and those loops come last.
#include <memory>
#include <string>
#include <vector>

namespace qv {

class NFCont;
class NTBEFizDisp;

struct FoundLoops {
    /// Owned here until taken; each belongs to the document but is in no list yet.
    std::vector<std::unique_ptr<NFCont>> loops;
    /// Why no set could be given (the list would overflow); empty when found.
    std::string error;
    /// What the set could not do (a current source in a branch no loop can run through, or
    /// in several loops), one line each.
    std::vector<std::string> notes;
    bool meshes = false; ///< the drawing was planar and the loops are its meshes
    int needed = 0;      ///< branches - nodes + parts
};

/// Finds the loops of the scheme's working branches (those between two working nodes; in a
/// DC scheme not those a capacitor opens). The
/// loops run clockwise on the page, a loop through a current source the way the source
/// drives its current. Names come from the scheme's numbering, as a drawn loop's do.
FoundLoops findLoops(NTBEFizDisp& doc);

/// Puts `found` in place of the scheme's loops; the document's list owns them afterwards.
void replaceLoops(NTBEFizDisp& doc, FoundLoops& found);

} // namespace qv
