#include "solver/modelwriters.h"

#include <QCoreApplication>

#include <cmath>

#include "model/context.h"
#include "model/document.h"
#include "model/reportpicture.h"
#include "platform/numfmt.h"
#include "report/writers.h"
#include "solver/circuitchecks.h"
#include "solver/circuitmodel.h"
#include "solver/solutionerror.h"

namespace qv {

namespace {

constexpr int kInitialDataDigits = 8;

ComplexValue value(Extended re, Extended im) {
    return ComplexValue{re, im};
}

/// The group of AC voltage sources with either letters or values for the terms.
template <class Term>
void writeEmfGroup(const NVetv& branch, ReportTarget& t, bool along, bool& before, Term term) {
    const int m = branch.complexEmfs.count();
    if (m == 0) return;
    auto positive = [&](const NCompEds* e) {
        return (e->orientation == 1 && along) || (e->orientation == 0 && !along);
    };
    if (before && (m > 1 || positive(branch.complexEmfs.get(0)))) t.insert("+");
    if (m > 1) t.insert("(");
    for (int i = 0; i < m; ++i) {
        const NCompEds* e = branch.complexEmfs.get(i);
        if (!positive(e))
            t.insert("-");
        else if (i > 0)
            t.insert("+");
        term(*e);
    }
    if (m > 1) t.insert(")");
    before = true;
}

/// `items` in brackets when there are several, `each` for every one, "+" between them.
template <class Each> void writeGroup(ReportTarget& t, int count, bool brackets, Each each) {
    if (brackets) t.insert("(");
    for (int i = 0; i < count; ++i) {
        if (i > 0) t.insert("+");
        each(i);
    }
    if (brackets) t.insert(")");
}

} // namespace

void writeBranchEmfTerms(const NVetv& branch, ReportTarget& t, bool along, bool& before) {
    writeEmfGroup(branch, t, along, before, [&](const NCompEds& e) { writeIndexed(t, "E", e.name); });
}

void writeBranchEmfValues(const NVetv& branch, ReportTarget& t, bool along, bool& before, int precision) {
    writeEmfGroup(branch, t, along, before,
                  [&](const NCompEds& e) { writeComplex(t, value(e.re, e.im), precision); });
}

void writeInitialData(const CircuitModel& model, ReportTarget& t) {
    const int precision = model.context().numberPrecision;
    auto real = [](Extended v) { return numfmt::general(v, kInitialDataDigits); };
    t.fontSize(kReportBodySize);
    t.font(kReportBodyFont);
    t.insert(QCoreApplication::translate("qv::Report", "Inital variables").toStdString() + "\r");
    t.font(kReportBodyFont);

    auto realGroup = [&](const auto& list, int count, const std::string& letter, const std::string& unit,
                         bool alwaysBreak) {
        for (int i = 0; i < count; ++i) {
            const auto* e = list.get(i);
            writeIndexed(t, letter, e->name);
            t.insert("=" + real(e->value) + unit);
        }
        if (alwaysBreak || count > 0) t.insert("\r");
        t.font(kReportBodyFont);
    };
    auto complexGroup = [&](const auto& list, const std::string& letter, const std::string& unit) {
        for (int i = 0; i < list.count(); ++i) {
            const auto* e = list.get(i);
            writeIndexed(t, letter, e->name);
            t.insert("=");
            writeComplex(t, value(e->re, e->im), precision);
            t.insert(unit);
        }
        if (list.count() > 0) t.insert("\r");
        t.font(kReportBodyFont);
    };

    realGroup(model.resistors, model.resistors.count(), "R", "Ohm; ", true);
    realGroup(model.emfs, model.emfs.count(), "E", "V; ", true);
    realGroup(model.currentSources, std::min(model.currentSourceCount, model.currentSources.count()), "J",
              "A; ", true);
    realGroup(model.inductances, model.inductances.count(), "L", "Gn; ", false);
    realGroup(model.capacitors, model.capacitors.count(), "\u0421", "mkF; ", false);
    complexGroup(model.complexEmfs, "E", " V;");
    complexGroup(model.complexCurrentSources, "J", " A;");
    complexGroup(model.impedances, "Z", " ohm;");
}

void writeBranchImpedance(CircuitModel& model, NVetv& b, ReportTarget& t) {
    const Context& ctx = model.context();
    const int p = ctx.numberPrecision;
    const Extended omega = ctx.omega;
    auto num = [&](Extended v) { return numfmt::general(v, p); };
    const int nR = b.resistors.count();
    const int nL = b.inductances.count();
    const int nC = b.capacitors.count();
    const int nZ = b.impedances.count();
    const int nX = nL + nC;

    writeIndexed(t, "Z", b.name);
    t.insert("=");

    // Symbolic part.
    if (nR > 0) writeGroup(t, nR, nR > 1, [&](int i) { writeIndexed(t, "R", b.resistors.get(i)->name); });
    if (nX > 0) {
        if (nR > 0) t.insert("+");
        t.insert(nX >= 2 ? "j" + kMultiplySign + "(" : "j" + kMultiplySign);
        for (int i = 0; i < nL; ++i) {
            if (i > 0) t.insert("+");
            writeOmega(t);
            t.insert(kMultiplySign);
            writeIndexed(t, "L", b.inductances.get(i)->name);
        }
        for (int i = 0; i < nC; ++i) {
            if (i > 0) t.insert("+");
            t.insert("-1/(");
            writeOmega(t);
            t.insert(kMultiplySign);
            writeIndexed(t, "C", b.capacitors.get(i)->name);
            t.insert(")");
        }
        if (nX > 1) t.insert(")");
    }
    if (nZ > 0) {
        if (nR + nX > 0) t.insert("+");
        writeGroup(t, nZ, nZ > 1, [&](int i) { writeIndexed(t, "Z", b.impedances.get(i)->name); });
    }
    const bool any = nR + nX + nZ > 0;
    if (any) t.insert("=");

    // Numeric part, in the same order, adding up the impedance.
    if (nR > 0)
        writeGroup(t, nR, nR > 1, [&](int i) {
            const Extended r = b.resistors.get(i)->value;
            t.insert(num(r));
            b.impedance.re += r;
        });
    if (nX > 0) {
        if (nR > 0) t.insert("+");
        t.insert(nX >= 2 ? "j" + kMultiplySign + "(" : "j" + kMultiplySign);
        for (int i = 0; i < nL; ++i) {
            if (i > 0) t.insert("+");
            const Extended l = b.inductances.get(i)->value;
            t.insert(num(omega) + kMultiplySign + num(l));
            b.impedance.im += l * omega;
        }
        for (int i = 0; i < nC; ++i) {
            if (i > 0) t.insert("+");
            const NCapacitor* c = b.capacitors.get(i);
            t.insert("-1/(");
            t.insert(num(omega) + kMultiplySign + num(c->value));
            t.insert(kMultiplySign);
            writePowerOfTen(t, -6);
            t.insert(")");
            const Extended wc = c->value * omega;
            if (wc == 0 || !std::isfinite(static_cast<double>(wc)))
                throw SolutionError("the reactance of capacitor C" + c->name +
                                    " cannot be computed: its capacitance or the frequency is 0");
            b.impedance.im -= 1000000 / wc;
        }
        if (nX > 1) t.insert(")");
    }
    if (nZ > 0) {
        if (nR + nX > 0) t.insert("+");
        writeGroup(t, nZ, nZ > 1, [&](int i) {
            const NCompRes* z = b.impedances.get(i);
            writeComplex(t, value(z->re, z->im), p);
            b.impedance.re += z->re;
            b.impedance.im += z->im;
        });
    }
    if (any) t.insert("=");
    writeComplex(t, value(b.impedance.re, b.impedance.im), p);
    t.insert("\r");
}

void insertSchemePicture(CircuitModel& model, ReportTarget& t) {
    if (!model.document) return;
    const ReportPicture picture = writeReportPicture(*model.document);
    if (!picture) {
        // Without a picture file the solution goes on without the picture and its caption.
        const QString why =
            picture.error + QStringLiteral(" The solution goes on without the scheme picture.");
        model.notes.push_back(why.toStdString());
        model.context().messages()->show(why, QString(), MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    t.insertPicture({.name = picture.path.toStdString()});
    t.insert("\r");
    t.fontSize(kReportBodySize);
    t.font(kReportBodyFont);
    t.insert(QCoreApplication::translate("qv::Report", "Electrical scheme").toStdString() + "\r");
}

void writeRecoveredCurrent(const RecoveredCurrent& found, ReportTarget& t, bool direct,
                           const std::function<void(ReportTarget&)>& value) {
    const NVetv& b = *found.branch;
    writeIndexed(t, "I", b.name);
    t.insert("=");
    bool formula = false;
    if (found.way == RecoveredCurrent::CurrentLaw) {
        for (const auto& [other, sign] : found.terms) {
            writeIndexed(t, sign < 0 ? "-I" : formula ? "+I" : "I", other->name);
            formula = true;
        }
    } else if (found.way == RecoveredCurrent::OwnLoop && direct && b.currentSource) {
        writeIndexed(t, b.currentSource->orientation == 1 ? "J" : "-J", b.currentSource->name);
        formula = true;
    } else if (found.way == RecoveredCurrent::OwnLoop && !direct && b.complexCurrentSource) {
        writeIndexed(t, b.complexCurrentSource->orientation == 1 ? "J" : "-J", b.complexCurrentSource->name);
        formula = true;
    } else if (found.way == RecoveredCurrent::OwnLoop && direct && b.emfs.count() > 0) {
        const int e = b.emfs.count();
        if (e > 1) t.insert("(");
        for (int q = 0; q < e; ++q) {
            const NEds* s = b.emfs.get(q);
            writeIndexed(t, s->orientation == 1 ? (q == 0 ? "E" : "+E") : "-E", s->name);
        }
        if (e > 1) t.insert(")");
        t.insert("/");
        writeGroup(t, b.resistors.count(), b.resistors.count() > 1,
                   [&](int i) { writeIndexed(t, "R", b.resistors.get(i)->name); });
        formula = true;
    } else if (found.way == RecoveredCurrent::OwnLoop && !direct && b.complexEmfs.count() > 0) {
        bool before = false;
        writeBranchEmfTerms(b, t, true, before);
        t.insert("/");
        writeIndexed(t, "Z", b.name);
        formula = true;
    }
    if (formula) t.insert("=");
    value(t);
}

} // namespace qv
