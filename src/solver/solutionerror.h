#pragma once
// The one failure of a solution: whatever goes wrong while a circuit is being solved ends the
// solve command, which catches this once and tells the user.
#include <stdexcept>

namespace qv {

class SolutionError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

} // namespace qv
