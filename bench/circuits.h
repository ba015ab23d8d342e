#pragma once
// The circuits the solve and page benchmarks time: random circuits of a given number of
// unknowns (one node grounded), saved once as a scheme and as an ngspice netlist; and ladders
// of as many unknowns, drawn as the netlist import lays a scheme out.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <map>
#include <random>

#include "app/circuitcommands.h"
#include "app/workbench.h"
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

/// A ladder of `unknowns` nodes besides the ground, imported from its netlist and saved as a
/// scheme: DC, a rail of resistors fed by a current source at every node (a DC scheme holds
/// at most 44 branches without current sources); AC, two rails joined by rungs (R, L, C).
const Circuit& ladder(bool ac, int unknowns) {
    static const QDir dir = circuitFolder();
    static std::map<std::pair<bool, int>, Circuit> made;
    auto& c = made[{ac, unknowns}];
    if (!c.scheme.isEmpty()) return c;
    QString text;
    QTextStream out(&text);
    if (!ac) {
        out << "* DC ladder fed by current sources\nRA n1 0 5\n";
        for (int k = 1; k < unknowns; ++k)
            out << "R" << k << " n" << k << " n" << k + 1 << " " << k % 7 + 1 << "\n";
        for (int k = 1; k <= unknowns; ++k)
            out << "I" << k << " 0 n" << k << " DC " << (k % 4 + 1) * 0.01 << "\n";
        out << "IB n" << unknowns << " 0 DC 0.005\n.op\n.end\n";
    } else {
        // Top t1..tn, bottom b1..bn with b1 the ground: 2n - 1 unknowns.
        const int n = (unknowns + 1) / 2;
        auto bottom = [](int k) { return k == 1 ? QStringLiteral("0") : QStringLiteral("b%1").arg(k); };
        out << "* AC two-rail ladder\nV1 s 0 AC 10\nRS s t1 1\n";
        for (int k = 1; k < n; ++k) {
            out << "RT" << k << " t" << k << " t" << k + 1 << " " << k % 7 + 1 << "\n";
            out << "LB" << k << " " << bottom(k) << " " << bottom(k + 1) << " " << k % 3 + 1 << "m\n";
        }
        for (int k = 2; k <= n; ++k)
            out << (k % 2 ? "C" : "R") << "R" << k << " t" << k << " " << bottom(k) << (k % 2 ? " 2u" : " 20")
                << "\n";
        out << "RD1 t1 b2 15\nRD2 t" << n << " b" << n - 1 << " 12\nCD3 t" << n - 1 << " b" << n << " 3u\n";
        out << ".ac lin 1 50 50\n.end\n";
    }
    const QString name = QStringLiteral("%1%2ladder").arg(ac ? "ac" : "dc").arg(unknowns);
    c.netlist = dir.filePath(name + ".cir");
    c.scheme = dir.filePath(name + ".tbe");
    QFile f(c.netlist);
    if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write the netlist");
    f.write(text.toUtf8());
    f.close();
    QTemporaryDir home;
    Workbench wb(home.path());
    QStringList problems;
    QString error;
    if (!importNetlistCommand(wb, c.netlist, problems)) qFatal("%s", qPrintable(problems.join('\n')));
    if (!wb.saveScheme(c.scheme, &error)) qFatal("%s", qPrintable(error));
    return c;
}

} // namespace qv::bench
