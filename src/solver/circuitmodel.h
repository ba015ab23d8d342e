#pragma once
// The solver model of a scheme, built once per solve command: the circuit graph with the
// element records, whether the scheme is DC or AC, and the simplification that takes short
// and open branches out before a calculation. The three solution methods derive from it.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/pointerarray.h"
#include "solver/circuitgraph.h"

namespace qv {

struct Context;
class NTBEFizDisp;
class ReportTarget;

class CircuitModel {
  public:
    static constexpr Extended kPi = 3.1415926535897932385L;

    /// An empty model. Sets the workbench's solver settings (angular frequency of 50 Hz, six
    /// significant digits, seven digits).
    explicit CircuitModel(Context& context);
    virtual ~CircuitModel();
    CircuitModel(const CircuitModel&) = delete;
    CircuitModel& operator=(const CircuitModel&) = delete;

    /// Builds the model from the scheme (a model built before is discarded): nodes, branches,
    /// element records and loops. Sets the angular frequency from the scheme's frequency and
    /// the report to four significant digits of six. Marks each scheme branch that takes part.
    void buildFromScheme(NTBEFizDisp& doc);

    /// The first node, or branch, made from the scheme object at `docIndex`; null for none.
    NUsel* findNode(int docIndex) const;
    NVetv* findBranch(int docIndex) const;
    int nodeCount() const { return nodes.count(); }
    int branchCount() const { return branches.count(); }
    int loopCount() const { return loops.count(); }

    /// 0: solve as DC (sets `isDirect`); 1: solve as AC (clears it); -1: DC sources together
    /// with AC elements. A scheme without sources or AC elements answers 0 and leaves
    /// `isDirect` as it was.
    int checkCurrentKind();

    /// Takes short branches out by merging their end node into their start node, takes open
    /// branches out, then the branches that are left closed on themselves; repairs the loops
    /// to follow. Judges the branches as DC or AC by `isDirect`.
    void removeZeroBranches();
    /// Takes the open branches out (a capacitor passes no direct current), with the loops
    /// through them, and nothing else: what is left when the shorts are kept.
    void removeOpenBranches();
    /// Joins every grounded node into the first grounded node of the list: all grounds are
    /// one point, and a loop may close through them.
    void joinGroundedNodes();
    /// The node of the solution that `node` (a node as built) stands at after the merges.
    static NUsel* representative(NUsel* node);

    /// BranchOpen, BranchShort or BranchKept for a DC (`direct` = 1) or AC (0) calculation.
    static int classifyBranch(const NVetv& branch, int direct);

    /// The method's solution of a DC, or an AC, scheme into the report. Throw SolutionError.
    virtual void solveDirect(ReportTarget& target) = 0;
    virtual void solveAlternate(ReportTarget& target) = 0;

    Context& context() const { return *context_; }

    NSUselAr nodes; ///< in building order, as every list below
    NSVetvAr branches;
    /// Every node and branch as built, before any simplification or merge: the results name
    /// them all.
    NSUselAr builtNodes;
    NSVetvAr builtBranches;
    NSResAr resistors;
    NSEdsAr emfs;
    NSCompEdsAr complexEmfs;
    NSCompResAr impedances;
    NSCompIstAr complexCurrentSources;
    NSCapacAr capacitors;
    NSInductAr inductances;
    NSIstAr currentSources;
    NSContAr loops;
    int emfCount = 0;
    int currentSourceCount = 0;
    /// Scheme loops (NFCont) chosen in a method's dialog, in the user's order; empty: all
    /// loops of the scheme.
    NFizAr chosenLoops;
    /// Scheme nodes (NTbeNode) chosen in a method's dialog, in the user's order; empty: all
    /// nodes of the scheme in document order.
    NFizAr chosenNodes;
    /// The scheme, set by the solve command after building.
    NTBEFizDisp* document = nullptr;
    /// The node that stands for every grounded node in the node-voltage method.
    NUsel* commonNode = nullptr;
    NSUselAr removedNodes;
    NSVetvAr removedBranches;
    /// Loops the simplification took out: those through an open branch and those left
    /// without branches.
    NSContAr removedLoops;
    /// What the solution went on without (a scheme picture that could not be written), for
    /// the solve command to pass on.
    std::vector<std::string> notes;
    /// 1 when `checkCurrentKind` found a DC scheme.
    uint8_t isDirect = 0;

  protected:
    /// Moves the ends of `branch` that are at `from` to `to`.
    void moveBranchEnds(NVetv* branch, const NUsel* from, NUsel* to);
    /// A new object owned by the model (descendants make their own nodes with it).
    template <class T> T* make() {
        auto p = std::make_shared<T>();
        owned_.push_back(p);
        return p.get();
    }

  private:
    void reset();
    /// Classifies every branch for the simplification and marks its scheme branch as taking part.
    void classifyBranches();
    /// Takes `branch`, open, out of the model's graph and its loops out of the model.
    void takeOpenBranchOut(NVetv* branch);
    /// Takes what the simplification recorded out of the node and branch lists.
    void dropRemoved();
    /// Follows the merge of `branch`'s end node into its start node in every loop.
    void repairLoopsForMerge(NVetv* branch);
    /// Takes `branch`, closed on itself, out of every loop through it.
    void repairLoopsForClosed(NVetv* branch);
    /// Moves the loops for which `out` holds from `loops` to `removedLoops`, in their order.
    void takeLoopsOut(const std::function<bool(const NCont&)>& out);

    Context* context_;
    std::vector<std::shared_ptr<void>> owned_;
};

} // namespace qv
