#pragma once
// The report writers that read the solver model: the EMF terms of a branch, the initial data
// of a scheme and the impedance line of a branch.
#include <functional>

#include "report/reporttarget.h"

namespace qv {

class CircuitModel;
class NVetv;
struct RecoveredCurrent;

/// The branch's AC voltage sources as a group of indexed terms ("+E1", "+(E2-E3)"); nothing
/// for a branch without them. A source counts positive when it acts along the direction the
/// caller walks (`along` set and orientation 1, or `along` clear and orientation 0). `before`
/// says whether a term precedes on this side (a leading "+" is written then) and is set after
/// a group was written.
void writeBranchEmfTerms(const NVetv& branch, ReportTarget& target, bool along, bool& before);
/// The same group with the sources' complex values in place of their letters.
void writeBranchEmfValues(const NVetv& branch, ReportTarget& target, bool along, bool& before, int precision);

/// "Inital variables" and one line per kind of element of the model with the values.
void writeInitialData(const CircuitModel& model, ReportTarget& target);

/// One line Z=symbolic sum=numeric sum=value for the branch, and the numbers added into its
/// `impedance`. Throws SolutionError when a capacitor's reactance cannot be computed (zero
/// capacitance or zero angular frequency).
void writeBranchImpedance(CircuitModel& model, NVetv& branch, ReportTarget& target);

/// The current line of a branch the simplification took out: "I" with its name, "=", how its
/// current was found (the other currents at its node, its sources over its resistance or
/// impedance; nothing for an open branch), "=" and the value that `value` writes. DC when
/// `direct`.
void writeRecoveredCurrent(const RecoveredCurrent& found, ReportTarget& target, bool direct,
                           const std::function<void(ReportTarget&)>& value);

/// The scheme's picture at the start of a solution, then "Electrical scheme": the next
/// "Test<N>.emf" of the report picture folder is written and given to the target's
/// `insertPicture`. When the file cannot be written, a message box and the model's `notes`
/// say why and nothing is inserted; a target that cannot insert the picture throws.
/// Nothing without the model's scheme.
void insertSchemePicture(CircuitModel& model, ReportTarget& target);

} // namespace qv
