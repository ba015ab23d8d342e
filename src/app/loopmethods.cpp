#include "app/loopmethods.h"

#include "diagrams/loop.h"
#include "model/context.h"
#include "model/document.h"
#include "solver/kirchhoff.h"
#include "solver/meshcurrent.h"
#include "solver/solvedialogs.h"

namespace qv {

namespace {

/// The scheme's report options as the request gives them, for one solve; the methods read
/// them from the scheme.
class RequestOptions {
  public:
    RequestOptions(NTBEFizDisp& doc, const SolveRequest& r)
        : doc_(doc), picture_(doc.insertSchemeImage), data_(doc.insertInitialData),
          zero_(doc.deleteZeroBranches) {
        doc.insertSchemeImage = r.picture ? 1 : 0;
        doc.insertInitialData = r.initialData ? 1 : 0;
        doc.deleteZeroBranches = r.deleteZeroBranches ? 1 : 0;
    }
    ~RequestOptions() {
        doc_.insertSchemeImage = picture_;
        doc_.insertInitialData = data_;
        doc_.deleteZeroBranches = zero_;
    }
    RequestOptions(const RequestOptions&) = delete;
    RequestOptions& operator=(const RequestOptions&) = delete;

  private:
    NTBEFizDisp& doc_;
    uint8_t picture_, data_, zero_;
};

QStringList memoLines(const DialogModel& d) {
    const QString text = d.field("warnings").text;
    return text.isEmpty() ? QStringList{} : text.split(QLatin1Char('\n'));
}

/// Runs the DC or AC solve with the request's options in force.
void run(CircuitModel& model, const SolveRequest& request, ReportTarget& target, bool direct) {
    NTBEFizDisp* doc = model.document;
    if (!doc) {
        direct ? model.solveDirect(target) : model.solveAlternate(target);
        return;
    }
    RequestOptions options(*doc, request);
    direct ? model.solveDirect(target) : model.solveAlternate(target);
}

/// The method's shared dialog shown through the workbench's presenter; true when OK has
/// filled the model's chosen lists.
template <class Dialog> bool show(CircuitModel& model, NTBEFizDisp& doc) {
    Context& ctx = *doc.context();
    auto& dialog = ctx.dialog<Dialog>();
    dialog.document = &doc;
    dialog.model = &model;
    const bool accepted = ctx.presenter()->exec(dialog) && dialog.accepted;
    dialog.model = nullptr;
    return accepted;
}

class KirchhoffCommand : public SolveMethod {
  public:
    std::unique_ptr<CircuitModel> makeModel(Context& context) override {
        return std::make_unique<KirchhoffMethod>(context);
    }

    bool check(NTBEFizDisp& doc, QStringList& warnings) override {
        KirchhoffDialog d;
        d.document = &doc;
        d.show();
        warnings = memoLines(d);
        return d.solvable;
    }

    /// Without names, the nodes and loops the dialog lists on opening (OK pressed at once).
    bool choose(CircuitModel& model, NTBEFizDisp& doc, const SolveRequest& request, QString& error) override {
        KirchhoffDialog d;
        d.document = &doc;
        d.show();
        if (!SolveMethod::choose(model, doc, request, error)) return false;
        if (!request.nodes)
            for (NFizObj* node : d.nodeEntries)
                model.chosenNodes.add(node);
        if (!request.loops)
            for (NFCont* loop : d.loopEntries)
                model.chosenLoops.add(loop);
        return true;
    }

    void solve(CircuitModel& model, const SolveRequest& request, ReportTarget& target, bool direct) override {
        run(model, request, target, direct);
    }

    void collect(CircuitModel& model, bool direct, SolveResult& result) override {
        collectBranches(model, direct, result);
    }

    bool showDialog(CircuitModel& model, NTBEFizDisp& doc) override {
        return show<KirchhoffDialog>(model, doc);
    }
};

class MeshCurrentCommand : public SolveMethod {
  public:
    std::unique_ptr<CircuitModel> makeModel(Context& context) override {
        return std::make_unique<MeshCurrentMethod>(context);
    }

    bool check(NTBEFizDisp& doc, QStringList& warnings) override {
        MeshCurrentDialog d;
        d.document = &doc;
        d.show();
        warnings = memoLines(d);
        return d.solvable;
    }

    /// Without names, the loops without current sources and then those with them.
    bool choose(CircuitModel& model, NTBEFizDisp& doc, const SolveRequest& request, QString& error) override {
        if (!SolveMethod::choose(model, doc, request, error)) return false;
        if (request.loops) return true;
        MeshCurrentDialog d;
        d.document = &doc;
        d.model = &model;
        d.show();
        return d.ok();
    }

    void solve(CircuitModel& model, const SolveRequest& request, ReportTarget& target, bool direct) override {
        run(model, request, target, direct);
    }

    void collect(CircuitModel& model, bool direct, SolveResult& result) override {
        collectBranches(model, direct, result);
        for (int i = 0; i < model.loops.count(); ++i) {
            const NCont* loop = model.loops.get(i);
            result.loops.push_back({QString::fromStdString(loop->name),
                                    direct ? Complex{loop->meshCurrent, 0} : loop->complexMeshCurrent});
        }
    }

    bool showDialog(CircuitModel& model, NTBEFizDisp& doc) override {
        return show<MeshCurrentDialog>(model, doc);
    }
};

} // namespace

std::unique_ptr<SolveMethod> makeKirchhoffMethod() {
    return std::make_unique<KirchhoffCommand>();
}

std::unique_ptr<SolveMethod> makeMeshMethod() {
    return std::make_unique<MeshCurrentCommand>();
}

} // namespace qv
