#pragma once
// The circuits the solve and page benchmarks time: random circuits of a given number of
// unknowns (one node grounded), saved once as a scheme and as an ngspice netlist.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <map>
#include <random>

#include "support/randomcircuit.h"

namespace qv::bench {

struct Circuit {
    QString scheme;
    QString netlist;
};

/// The folder of the circuits: QUORVEL_BENCH_CIRCUITS when set (the files stay there, to time
/// the processes by other means too), else a temporary one.
QDir circuitFolder() {
    static QTemporaryDir temporary;
    const QString kept = qEnvironmentVariable("QUORVEL_BENCH_CIRCUITS");
    if (kept.isEmpty()) return QDir(temporary.path());
    QDir().mkpath(kept);
    return QDir(kept);
}

/// A random circuit of `unknowns` + 1 nodes, one of them grounded, saved once as a scheme and
/// as a netlist.
const Circuit& circuit(bool ac, int unknowns) {
    static const QDir dir = circuitFolder();
    static std::map<std::pair<bool, int>, Circuit> made;
    auto& c = made[{ac, unknowns}];
    if (!c.scheme.isEmpty()) return c;
    std::mt19937 rng(unsigned(unknowns) * 2 + ac);
    test::ComponentBench bench;
    test::RandomCircuit rc = test::RandomCircuit::generate(rng, ac, unknowns + 1, unknowns, 1);
    rc.draw(bench);
    const QString name = QStringLiteral("%1%2").arg(ac ? "ac" : "dc").arg(unknowns);
    c.scheme = dir.filePath(name + ".tbe");
    c.netlist = dir.filePath(name + ".cir");
    QString error;
    if (!bench.wb.saveScheme(c.scheme, &error)) qFatal("%s", qPrintable(error));
    QFile f(c.netlist);
    if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write the netlist");
    f.write(rc.netlist(unknowns).c_str());
    return c;
}

} // namespace qv::bench
