#pragma once
// A solution that cannot go on ends as every failed solution does, with the reason; the solve
// command closes the report with it.
#include <string>

#include "solver/solutionerror.h"

namespace qv {

[[noreturn]] inline void failSolution(const std::string& reason) {
    throw SolutionError(reason);
}

} // namespace qv
