#pragma once
// The class registry of the file format: class names to constructors, and the loop list a
// document creates with itself. The layers that define the classes fill it once at start-up
// (see `registerSchemeClasses` in io/); the model only looks names up.
#include <memory>
#include <string>
#include <vector>

namespace qv {

class FizDisp;
class NContDispV;
class NFizObj;

using ObjectFactory = std::unique_ptr<NFizObj> (*)();
using LoopListFactory = std::unique_ptr<NContDispV> (*)(FizDisp* document);

/// Appends a class to the registry (a name registered again keeps its place and takes the
/// new constructor). The order is the order of the file format's registry.
void registerObjectClass(const std::string& name, ObjectFactory make);
/// A new object of the named class (case-sensitive), or null for a name the registry does
/// not know.
std::unique_ptr<NFizObj> createObjectByClassName(const std::string& name);
/// The names the registry knows, in its order.
std::vector<std::string> registeredClassNames();

void registerLoopList(LoopListFactory make);
/// The loop list of a new document; throws std::logic_error when none is registered.
std::unique_ptr<NContDispV> createLoopList(FizDisp* document);

} // namespace qv
