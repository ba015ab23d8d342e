#pragma once
// The class registry of the file format: class names to constructors.
#include <memory>
#include <string>
#include <vector>

namespace qv {

class NFizObj;

/// A new object of the named class (case-sensitive), or null for a name the registry does
/// not know.
std::unique_ptr<NFizObj> createObjectByClassName(const std::string& name);

/// The names the registry knows, in its order.
std::vector<std::string> registeredClassNames();

} // namespace qv
