#include "app/solvecommand.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>
#include <exception>

#include "app/loopmethods.h"
#include "components/branch.h"
#include "components/components.h"
#include "diagrams/loop.h"
#include "model/context.h"
#include "model/document.h"
#include "model/looplistinterface.h"
#include "platform/kindcast.h"
#include "platform/numfmt.h"
#include "report/reportdocument.h"
#include "report/reportfile.h"
#include "report/reporttarget.h"
#include "report/targetregistry.h"
#include "report/writers.h"
#include "solver/circuitmodel.h"
#include "solver/nodevoltage.h"
#include "solver/nodevoltagedialog.h"
#include "solver/powerbalance.h"
#include "solver/solutionerror.h"

namespace qv {

namespace {

/// Takes the verbs and keeps nothing: a solve whose numbers alone are wanted.
class DiscardingTarget : public ReportTarget {
  public:
    void insert(const std::string&) override {}
    void fontSize(int) override {}
    void font(const std::string&) override {}
    void formatFont(const FormatFontArgs&) override {}
    void insertPicture(const InsertPictureArgs&) override {}
    void editClear(int) override {}
};

class NodeVoltageCommand : public SolveMethod {
  public:
    std::unique_ptr<CircuitModel> makeModel(Context& context) override {
        return std::make_unique<NodeVoltageMethod>(context);
    }

    bool check(NTBEFizDisp& doc, QStringList& warnings) override {
        NodeVoltageDialog dialog;
        dialog.document = &doc;
        dialog.show();
        warnings = dialog.warnings;
        return dialog.calculationPossible;
    }

    void solve(CircuitModel& model, const SolveRequest& request, ReportTarget& target, bool direct) override {
        auto& m = static_cast<NodeVoltageMethod&>(model);
        m.deleteZeroBranches = request.deleteZeroBranches;
        m.insertSchemeImage = request.picture;
        m.insertInitialData = request.initialData;
        if (direct)
            m.solveDirect(target);
        else
            m.solveAlternate(target);
    }

    bool showDialog(CircuitModel& model, NTBEFizDisp& doc) override {
        Context& ctx = *doc.context();
        auto& dialog = ctx.dialog<NodeVoltageDialog>();
        dialog.document = &doc;
        dialog.solver = &model;
        const bool accepted = ctx.presenter()->exec(dialog) && dialog.accepted;
        dialog.solver = nullptr;
        return accepted;
    }

    void collect(CircuitModel& model, bool direct, SolveResult& result) override {
        // Every node under its own name: one merged away stands at the potential of the node
        // it was merged into.
        for (int i = 0; i < model.builtNodes.count(); ++i) {
            NUsel* node = model.builtNodes.get(i);
            const NUsel* at = CircuitModel::representative(node);
            result.nodes.push_back({QString::fromStdString(node->name),
                                    direct ? Complex{at->potential, 0} : at->complexPotential});
        }
        collectBranches(model, direct, result);
    }
};

// The methods by name. Each method adds one entry here.
struct MethodEntry {
    const char* name;
    std::unique_ptr<SolveMethod> (*make)();
};
const MethodEntry kMethods[] = {
    {"kirchhoff", makeKirchhoffMethod},
    {"mesh", makeMeshMethod},
    {"node", [] { return std::unique_ptr<SolveMethod>(new NodeVoltageCommand); }},
};

} // namespace

SolveRequest SolveRequest::fromScheme(const NTBEFizDisp& doc, const std::string& method) {
    SolveRequest r;
    r.method = method;
    r.picture = doc.insertSchemeImage != 0;
    r.initialData = doc.insertInitialData != 0;
    r.deleteZeroBranches = doc.deleteZeroBranches != 0;
    return r;
}

namespace {

BranchElement describe(const NSetObj& c) {
    BranchElement e;
    e.name = QString::fromStdString(c.name);
    if (auto* r = kindCast<const NUniRes>(&c)) {
        e.kind = QStringLiteral("resistor");
        e.value = {r->resistance, 0};
    } else if (auto* cap = kindCast<const NUniCon>(&c)) {
        e.kind = QStringLiteral("capacitor");
        e.value = {cap->capacitance, 0};
    } else if (auto* l = kindCast<const NUniInd>(&c)) {
        e.kind = QStringLiteral("inductor");
        e.value = {l->inductance, 0};
    } else if (auto* z = kindCast<const NUniImpedance>(&c)) {
        e.kind = QStringLiteral("impedance");
        e.value = {z->resistance, z->reactance};
        e.complex = true;
    } else if (auto* v = kindCast<const NUniEds>(&c)) {
        e.kind = QStringLiteral("emf");
        e.value = {v->emf, 0};
    } else if (auto* j = kindCast<const NUniIst>(&c)) {
        e.kind = QStringLiteral("current_source");
        e.value = {j->current, 0};
    } else if (auto* ac = kindCast<const NUniAcSource>(&c)) {
        e.kind =
            kindCast<const NUniCompCurSource>(&c) ? QStringLiteral("current_source") : QStringLiteral("emf");
        e.value = {ac->re, ac->im};
        e.complex = true;
    }
    return e;
}

} // namespace

void collectBranches(const CircuitModel& model, bool direct, SolveResult& result) {
    for (int i = 0; i < model.builtBranches.count(); ++i) {
        const NVetv* b = model.builtBranches.get(i);
        NamedValue v{QString::fromStdString(b->name),
                     direct ? Complex{b->current, 0} : b->complexCurrent,
                     QString::fromStdString(b->schemeStart->name),
                     QString::fromStdString(b->schemeEnd->name),
                     {}};
        if (b->schemeBranch)
            for (const NSetObj* c : b->schemeBranch->components()) {
                BranchElement e = describe(*c);
                if (!e.kind.isEmpty()) v.elements.push_back(e);
            }
        result.branches.push_back(v);
    }
}

std::unique_ptr<SolveMethod> makeSolveMethod(const std::string& name) {
    for (const MethodEntry& e : kMethods)
        if (name == e.name && e.make) return e.make();
    return nullptr;
}

const std::vector<std::string>& solveMethodNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> v;
        for (const MethodEntry& e : kMethods)
            v.push_back(e.name);
        return v;
    }();
    return names;
}

bool SolveMethod::choose(CircuitModel& model, NTBEFizDisp& doc, const SolveRequest& request, QString& error) {
    if (request.nodes)
        for (const QString& name : *request.nodes) {
            NFizObj* found = nullptr;
            for (NFizObj* obj : doc.objects())
                if (auto* n = dynamic_cast<NFUsel*>(obj); n && QString::fromStdString(n->name) == name) {
                    found = n;
                    break;
                }
            if (!found) {
                error = QStringLiteral("the scheme has no node named '%1'").arg(name);
                return false;
            }
            model.chosenNodes.add(found);
        }
    if (request.loops)
        for (const QString& name : *request.loops) {
            NFizObj* found = nullptr;
            for (int i = 0; i < doc.loops().count() && !found; ++i)
                if (QString::fromStdString(doc.loops().get(i)->name) == name) found = doc.loops().get(i);
            if (!found) {
                error = QStringLiteral("the scheme has no loop named '%1'").arg(name);
                return false;
            }
            model.chosenLoops.add(found);
        }
    return true;
}

SolveResult solveScheme(NTBEFizDisp& doc, const SolveRequest& request) {
    SolveResult result;
    std::unique_ptr<SolveMethod> method = makeSolveMethod(request.method);
    if (!method) {
        result.errors << QStringLiteral("the %1 method is not available yet")
                             .arg(QString::fromStdString(request.method));
        return result;
    }
    if (!method->check(doc, result.warnings)) {
        result.status = SolveResult::Refused;
        return result;
    }
    std::unique_ptr<CircuitModel> model = method->makeModel(*doc.context());
    QString error;
    if (!method->choose(*model, doc, request, error)) {
        result.errors << error;
        return result;
    }
    SolveResult solved = solveWithModel(doc, *method, *model, request);
    solved.warnings = result.warnings + solved.warnings;
    return solved;
}

namespace {

SolveResult solveAndReport(NTBEFizDisp& doc, SolveMethod& method, CircuitModel& model,
                           const SolveRequest& asked) {
    SolveResult result;
    if (asked.frequency) doc.frequency = *asked.frequency;
    result.frequency = double(doc.frequency);
    DiscardingTarget discard;
    ReportTarget& target = asked.target ? *asked.target : discard;
    // Only the numbers wanted: no picture file is written for nobody to see.
    SolveRequest request = asked;
    if (!asked.target) request.picture = false;

    model.buildFromScheme(doc);
    model.document = &doc;
    const int kind = model.checkCurrentKind();
    if (kind < 0) {
        result.errors << kMixedScheme;
        return result;
    }
    const bool direct = kind == 0;
    // A scheme without any source answers DC without saying so; its branches are judged as DC.
    model.isDirect = direct ? 1 : 0;
    result.ac = !direct;

    QString reason;
    try {
        ReportUpdate update(target);
        method.solve(model, request, target, direct);
        method.collect(model, direct, result);
        if (request.balance && request.method == "node")
            result.balance = writePowerBalance(doc, target, direct);
        result.status = SolveResult::Solved;
        return result;
    } catch (const std::exception& e) {
        reason = QString::fromStdString(e.what());
    }
    // The report keeps what was written; the reason closes it.
    result.errors << kSolutionError << reason;
    try {
        ReportUpdate update(target);
        target.insert("\r");
        target.fontSize(14);
        target.font(kReportBodyFont);
        target.insert(QCoreApplication::translate("qv::Report", "Solution error: ").toStdString() +
                      reason.toStdString() + "\r");
    } catch (const std::exception&) {
        // The target itself failed; the message box still tells the user.
    }
    return result;
}

} // namespace

SolveResult solveWithModel(NTBEFizDisp& doc, SolveMethod& method, CircuitModel& model,
                           const SolveRequest& request) {
    SolveResult result = solveAndReport(doc, method, model, request);
    // What the solution went on without reaches the caller with the dialog's warnings.
    for (const std::string& note : model.notes)
        result.warnings << QString::fromStdString(note);
    return result;
}

namespace {

/// The solution through the target the scheme's options name for `destination`.
SolveResult solveInto(NTBEFizDisp& doc, SolveRequest request, const ReportDestination& destination) {
    std::unique_ptr<ReportTarget> target;
    try {
        target = ReportTargetRegistry::standard().create(reportTargetId(doc.reportTarget), destination);
    } catch (const std::exception& e) {
        SolveResult failed;
        failed.errors << QString::fromStdString(e.what());
        return failed;
    }
    request.target = target.get();
    return solveScheme(doc, request);
}

} // namespace

SolveResult solveIntoDocument(NTBEFizDisp& doc, SolveRequest request, QTextCursor& caret) {
    return solveInto(doc, std::move(request), ReportDestination{&caret, nullptr});
}

SolveResult solveIntoReport(NTBEFizDisp& doc, SolveRequest request, ReportDocument& report) {
    return solveInto(doc, std::move(request), ReportDestination{nullptr, &report});
}

SolveResult solveToReportFile(NTBEFizDisp& doc, SolveRequest request, const QString& reportPath,
                              QString& saveError) {
    ReportDocument report;
    SolveResult result = solveIntoReport(doc, std::move(request), report);
    if (result.status != SolveResult::Refused && !saveReport(report, reportPath, &saveError) &&
        saveError.isEmpty())
        saveError = QStringLiteral("cannot write %1").arg(reportPath);
    return result;
}

bool runSolveCommand(NTBEFizDisp& doc, const std::string& methodName, QTextCursor& caret, SolveResult* out) {
    Context& ctx = *doc.context();
    std::unique_ptr<SolveMethod> method = makeSolveMethod(methodName);
    if (!method) return false;
    std::unique_ptr<CircuitModel> model = method->makeModel(ctx);
    if (!method->showDialog(*model, doc)) return false;
    std::unique_ptr<ReportTarget> target;
    try {
        target = ReportTargetRegistry::standard().create(reportTargetId(doc.reportTarget), caret);
    } catch (const std::exception& e) {
        ctx.messages()->show(QString::fromStdString(e.what()), QString(), MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    SolveRequest request = SolveRequest::fromScheme(doc, methodName);
    request.target = target.get();
    const SolveResult result = solveWithModel(doc, *method, *model, request);
    if (out) *out = result;
    if (result.status == SolveResult::Solved) return true;
    ctx.messages()->show(result.errors.value(0), QString(), MsgButtons::Ok, MsgIcon::Error);
    return false;
}

QJsonObject solveResultJson(const std::string& method, const SolveResult& result) {
    auto number = [&](Complex v) -> QJsonValue {
        if (!result.ac) return double(v.re);
        return QJsonArray{double(v.re), double(v.im)};
    };
    auto list = [&](const std::vector<NamedValue>& values, const char* key) {
        QJsonArray a;
        for (const NamedValue& v : values)
            a.append(QJsonObject{{QStringLiteral("name"), v.name}, {QLatin1String(key), number(v.value)}});
        return a;
    };
    QJsonArray branches;
    for (const NamedValue& v : result.branches) {
        QJsonArray elements;
        for (const BranchElement& e : v.elements)
            elements.append(
                QJsonObject{{QStringLiteral("name"), e.name},
                            {QStringLiteral("kind"), e.kind},
                            {QStringLiteral("value"),
                             e.complex ? QJsonValue(QJsonArray{double(e.value.re), double(e.value.im)})
                                       : QJsonValue(double(e.value.re))}});
        branches.append(QJsonObject{{QStringLiteral("name"), v.name},
                                    {QStringLiteral("current"), number(v.value)},
                                    {QStringLiteral("from"), v.from},
                                    {QStringLiteral("to"), v.to},
                                    {QStringLiteral("elements"), elements}});
    }
    QJsonObject o;
    o[QStringLiteral("method")] = QString::fromStdString(method);
    o[QStringLiteral("kind")] = result.ac ? QStringLiteral("ac") : QStringLiteral("dc");
    o[QStringLiteral("frequency")] = result.frequency;
    if (method == "node") o[QStringLiteral("nodes")] = list(result.nodes, "potential");
    o[QStringLiteral("branches")] = branches;
    if (method == "mesh") o[QStringLiteral("loops")] = list(result.loops, "current");
    if (const auto& b = result.balance) {
        QJsonObject balance;
        if (b->ac) {
            balance[QStringLiteral("consumers")] =
                QJsonArray{double(b->consumers.re), double(b->consumers.im)};
            balance[QStringLiteral("sources")] = QJsonArray{double(b->sources.re), double(b->sources.im)};
        } else {
            balance[QStringLiteral("consumers")] = double(b->consumers.re);
            balance[QStringLiteral("emf")] = double(b->emf.re);
            balance[QStringLiteral("current_sources")] = double(b->currentSources.re);
            balance[QStringLiteral("sources")] = double(b->sources.re);
        }
        o[QStringLiteral("balance")] = balance;
    }
    return o;
}

PowerBalanceSums writePowerBalance(NTBEFizDisp& doc, ReportTarget& target, bool direct) {
    NCalcPowerBalance calc;
    calc.owner = &doc;
    calc.report = &target;
    calc.omega = 2 * CircuitModel::kPi * doc.frequency;
    PowerBalanceSums sums;
    sums.ac = !direct;
    if (direct) {
        calc.balanceDC();
        sums.consumers = {calc.consumerPower, 0};
        sums.emf = {calc.emfPower, 0};
        sums.currentSources = {calc.sourcePower, 0};
        sums.sources = {calc.emfPower + calc.sourcePower, 0};
    } else {
        calc.balanceAC();
        sums.consumers = calc.acConsumerPower;
        sums.sources = calc.acSourcePower;
    }
    return sums;
}

bool runPowerBalanceCommand(NTBEFizDisp& doc, QTextCursor& caret) {
    Messages& messages = *doc.context()->messages();
    // The balance reads the calculation records the node-voltage method leaves.
    messages.show(kPowerBalanceReminder, QString(), MsgButtons::Ok, MsgIcon::Information);
    std::unique_ptr<ReportTarget> target;
    try {
        target = ReportTargetRegistry::standard().create(reportTargetId(doc.reportTarget), caret);
    } catch (const std::exception& e) {
        messages.show(QString::fromStdString(e.what()), QString(), MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    const SchemeSources kinds = sourceKinds(doc);
    if (kinds == SchemeSources::Mixed) {
        messages.show(kMixedScheme, QString(), MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    try {
        ReportUpdate update(*target);
        writePowerBalance(doc, *target, kinds == SchemeSources::DirectOrNone);
    } catch (const std::exception& e) {
        messages.show(kSolutionError + QStringLiteral(": ") + QString::fromStdString(e.what()), QString(),
                      MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    return true;
}

FrequencyDialog::FrequencyDialog() {
    addField({.id = "Edit1",
              .kind = DialogField::Edit,
              .label = QT_TRANSLATE_NOOP("qv::Dialog", "freqency of current and voltage sources, Hz"),
              .text = "50"});
}

bool FrequencyDialog::ok() {
    const QString text = field("Edit1").text;
    const std::optional<Extended> v = numfmt::parse(text.toStdString());
    // A frequency is a finite number not below 0; anything else is told and keeps the dialog open.
    QString refusal;
    if (!v || !std::isfinite(double(*v)))
        refusal =
            QCoreApplication::translate("qv::Message", "'%1' is not a valid floating point value").arg(text);
    else if (*v < 0)
        refusal =
            QCoreApplication::translate("qv::Message", "'%1' is not a valid frequency: it cannot be negative")
                .arg(text);
    if (!refusal.isEmpty()) {
        if (messages) messages->show(refusal, QString(), MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    value = double(*v);
    return true;
}

bool FrequencyDialog::edit(NTBEFizDisp& doc) {
    Context& ctx = *doc.context();
    auto& d = ctx.dialog<FrequencyDialog>();
    d.field("Edit1").text = QString::fromStdString(numfmt::standard(doc.frequency));
    d.messages = ctx.messages();
    const bool confirmed = ctx.presenter()->exec(d);
    d.messages = nullptr;
    if (!confirmed) return false;
    doc.frequency = d.value;
    return true;
}

} // namespace qv
