#pragma once
// The two methods that work on the loops the user drew: Kirchhoff's laws and mesh currents,
// as the solve command drives them.
#include <memory>

#include "app/solvecommand.h"

namespace qv {

std::unique_ptr<SolveMethod> makeKirchhoffMethod();
std::unique_ptr<SolveMethod> makeMeshMethod();

} // namespace qv
