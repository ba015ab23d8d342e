#pragma once
// The solve command, shared by the window and the command line: build the chosen method's
// model, check the kind of the scheme, write the worked solution through a report target and
// hand back the numbers it found.
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogmodel.h"
#include "platform/messages.h"
#include "solver/complex.h"

class QTextCursor;

namespace qv {

class CircuitModel;
class NTBEFizDisp;
class ReportDocument;
class ReportTarget;
struct Context;

/// What to solve and how.
struct SolveRequest {
    std::string method; ///< "kirchhoff", "mesh" or "node"
    /// Node or loop names in the user's order; none: what the method's dialog lists on open.
    std::optional<QStringList> nodes;
    std::optional<QStringList> loops;
    /// Hertz; none: the scheme's own frequency. Stored in the scheme as the "Freqncy"
    /// command stores it.
    std::optional<double> frequency;
    /// Where the worked solution goes; null: nowhere (only the numbers are wanted).
    ReportTarget* target = nullptr;
    bool picture = true;
    bool initialData = true;
    bool deleteZeroBranches = true;
    /// Node-voltage method: the power balance follows the solution in the report.
    bool balance = false;

    /// A request with the scheme's own report options.
    static SolveRequest fromScheme(const NTBEFizDisp& doc, const std::string& method);
};

/// A component of a branch as the results describe it.
struct BranchElement {
    QString name;
    /// "resistor", "capacitor", "inductor", "impedance", "emf" or "current_source".
    QString kind;
    /// Ohm, microfarad, henry, ohm, volt, ampere; real values in `re`.
    Complex value;
    bool complex = false; ///< an impedance, or an AC source
};

struct NamedValue {
    QString name;
    Complex value; ///< DC values in `re`
    /// Branches: the nodes their current is counted from and to, and their components from
    /// the first node to the second.
    QString from, to;
    std::vector<BranchElement> elements;
};

/// The sums of a power balance: DC in `re` (AC: P in `re`, Q in `im`).
struct PowerBalanceSums {
    bool ac = false;
    Complex consumers;
    Complex emf;            ///< DC only
    Complex currentSources; ///< DC only
    Complex sources;        ///< EMFs and current sources together
};

struct SolveResult {
    enum Status {
        Solved,
        Refused, ///< the method's dialog would not allow the calculation (warnings say why)
        Failed,  ///< "Solution error", a mixed scheme, an unknown method or name
    };
    Status status = Failed;
    bool ac = false;
    double frequency = 0;
    /// Node-voltage method: every node under its own name, merged or not, the reference at 0.
    std::vector<NamedValue> nodes;
    std::vector<NamedValue> branches;        ///< every branch, the open ones at 0
    std::vector<NamedValue> loops;           ///< mesh-current method
    QStringList warnings;                    ///< the dialog's warnings
    QStringList errors;                      ///< the message shown to the user, then the reason
    std::optional<PowerBalanceSums> balance; ///< when the request asked for it
};

/// One solution method as the command drives it.
class SolveMethod {
  public:
    virtual ~SolveMethod() = default;
    /// A fresh model of the method.
    virtual std::unique_ptr<CircuitModel> makeModel(Context& context) = 0;
    /// The checks of the method's dialog on open: its warnings; false when its OK is disabled.
    virtual bool check(NTBEFizDisp& doc, QStringList& warnings) = 0;
    /// Puts the named nodes or loops into the model's chosen lists; false with `error` for a
    /// name the scheme does not have. The default takes `nodes` and `loops` by name.
    virtual bool choose(CircuitModel& model, NTBEFizDisp& doc, const SolveRequest& request, QString& error);
    /// Runs the DC (`direct`) or AC solution into the target, throwing on failure.
    virtual void solve(CircuitModel& model, const SolveRequest& request, ReportTarget& target,
                       bool direct) = 0;
    /// The numbers found, at full precision.
    virtual void collect(CircuitModel& model, bool direct, SolveResult& result) = 0;
    /// The method's dialog for the model, shown through the workbench's presenter; true
    /// when closed by OK (the dialog has filled the model's chosen lists).
    virtual bool showDialog(CircuitModel& model, NTBEFizDisp& doc) = 0;
};

/// Every branch of the scheme as the model was built, in order, with its current (`current`
/// for DC, else `complexCurrent`), its nodes and its components.
void collectBranches(const CircuitModel& model, bool direct, SolveResult& result);

/// The method of a name ("kirchhoff", "mesh", "node"); null for a method not built.
std::unique_ptr<SolveMethod> makeSolveMethod(const std::string& name);
/// The names the command line accepts, in this order.
const std::vector<std::string>& solveMethodNames();

/// Solves the scheme as the request says. A failure inside the solution is reported once
/// ("Solution error" and the reason) with the partial report kept in the target.
SolveResult solveScheme(NTBEFizDisp& doc, const SolveRequest& request);

/// As solveScheme, for a model already made and chosen (the window's dialogs did that).
SolveResult solveWithModel(NTBEFizDisp& doc, SolveMethod& method, CircuitModel& model,
                           const SolveRequest& request);

/// Solves into a document at `caret` through the report target the scheme's options name
/// (the Solution page's own target by default). A target that cannot be made fails the
/// command with its reason before anything is solved.
SolveResult solveIntoDocument(NTBEFizDisp& doc, SolveRequest request, QTextCursor& caret);
/// As solveIntoDocument, appending to a report document.
SolveResult solveIntoReport(NTBEFizDisp& doc, SolveRequest request, ReportDocument& report);
/// As solveIntoReport into a fresh report saved at `reportPath` in the format of its
/// extension, also after a failure (the partial report). `saveError` gets the reason when
/// the file could not be written.
SolveResult solveToReportFile(NTBEFizDisp& doc, SolveRequest request, const QString& reportPath,
                              QString& saveError);

/// The window's command: the method's dialog, then the solution into a document at `caret`
/// through the target the scheme's options name; failures and a mixed scheme are told by a
/// message box. False when nothing was solved. `result`, when given, gets the numbers.
bool runSolveCommand(NTBEFizDisp& doc, const std::string& method, QTextCursor& caret,
                     SolveResult* result = nullptr);

/// {"method", "kind", "frequency", "nodes", "branches", "loops", "balance"}: numbers for DC,
/// [re, im] for AC; "nodes" only for the node-voltage method, "loops" only for the mesh
/// method; each branch with "from", "to" and "elements" ({"name", "kind", "value"}, the value
/// a number or [re, im]); "balance" only when the result holds one ({"consumers", "emf",
/// "current_sources", "sources"} for DC; {"consumers", "sources"} as [P, Q] for AC).
QJsonObject solveResultJson(const std::string& method, const SolveResult& result);

/// "freqency": the frequency of the AC sources in hertz; OK stores the number typed. A text
/// that is not a number, or a negative one, is told in a message and keeps the dialog open.
class FrequencyDialog : public DialogModel {
  public:
    FrequencyDialog();
    QString caption() const override { return QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "freqency")); }
    QString cancelText() const override {
        return QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Dialog", "Отмена"));
    }
    bool ok() override;
    Messages* messages = nullptr; ///< set while shown
    /// Fills the edit box with the scheme's frequency, shows the dialog and stores the
    /// number typed. True when stored.
    static bool edit(NTBEFizDisp& doc);
    double value = 50;
};

/// Writes the power balance of the scheme's last node-voltage results into `target`, DC when
/// `direct`, else AC at the scheme's frequency. Throws what the target throws.
PowerBalanceSums writePowerBalance(NTBEFizDisp& doc, ReportTarget& target, bool direct);

/// The window's "Power balance" command: the reminder that it needs a node-voltage solution,
/// then the balance into a document at `caret` through the target the scheme's options name.
/// A scheme with DC and AC sources gets the mixed-scheme message and no balance. False when
/// nothing was written.
bool runPowerBalanceCommand(NTBEFizDisp& doc, QTextCursor& caret);

inline const QString kPowerBalanceReminder = QStringLiteral(QT_TRANSLATE_NOOP(
    "qv::Message", "To calculate power balance you mast solve shem by nodes voltge method"));

inline const QString kSolutionError = QStringLiteral(QT_TRANSLATE_NOOP("qv::Message", "Solution error"));
inline const QString kMixedScheme =
    QStringLiteral(QT_TRANSLATE_NOOP("qv::Message", "Schem include direct and alternate currents devices"));

} // namespace qv
