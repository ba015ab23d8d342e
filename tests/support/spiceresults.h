#pragma once
// A netlist's node potentials and element currents from ngspice's results, to compare the methods with.
#include <cctype>
#include <cmath>
#include <complex>
#include <map>
#include <string>
#include <utility>

#include "app/netlistreader.h"

namespace qv::test {

/// ngspice's vectors by name ("v(n1)", "i(v1)"): real and imaginary parts.
using SpiceValues = std::map<std::string, std::pair<double, double>>;

inline std::string lowerCase(std::string s) {
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

/// The potential of a netlist node in ngspice's results (0 for the ground).
inline std::complex<double> spicePotential(const Netlist& n, const SpiceValues& spice, int node) {
    if (n.nodes[size_t(node)].ground) return {};
    const auto v = spice.at("v(" + lowerCase(n.nodes[size_t(node)].name) + ")");
    return {v.first, v.second};
}

/// The current of `e` from its first written node to its second, at `frequency` (Hz; unused
/// in DC), from ngspice's node voltages, or a voltage source's own current.
inline std::complex<double> spiceCurrent(const Netlist& n, const SpiceValues& spice, const NetlistElement& e,
                                         double frequency, bool ac) {
    using C = std::complex<double>;
    auto at = [&](int node) { return spicePotential(n, spice, node); };
    const double w = 2 * M_PI * frequency;
    const C drop = at(e.node1) - at(e.node2);
    switch (e.kind) {
    case 'R':
        return drop / e.value;
    case 'L':
        return drop / C{0, w * e.value};
    case 'C':
        return drop * C{0, w * e.value};
    case 'V': {
        const auto i = spice.at("i(" + lowerCase(e.name) + ")");
        return C{i.first, i.second};
    }
    default:
        return ac ? std::polar(e.acMagnitude, e.acPhase * M_PI / 180) : C{e.value};
    }
}

} // namespace qv::test
