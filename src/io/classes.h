#pragma once
// The contents of the file format's class registry, from every layer that defines classes.

namespace qv {

/// Registers every class a scheme file may name, in the registry's order, and the loop list
/// documents create; runs once however often it is called. Programs and tests call it at
/// start-up (the workbench does it itself).
void registerSchemeClasses();

} // namespace qv
