#pragma once
// Quantities per element after a node-voltage solution: the power balance, the potential
// profile of a loop and the vectors of the vector diagram. Built by one command, used once.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/sceneobject.h"
#include "platform/extended.h"
#include "solver/complex.h"

namespace qv {

class FizDisp;
class NSetObj;
class NTBEFizDisp;
class NTbeLine;
class NVectDiaDisp;
class ReportTarget;

/// One element's terminal potentials and current. `name1`/`name2` only for current sources.
struct NTbeSetObj {
    Extended dcPhi1 = 0; ///< at the terminal on the branch's Node1 side
    Extended dcPhi2 = 0; ///< at the terminal on the Node2 side
    Extended dcCurrent = 0;
    Complex acPhi1, acPhi2, acCurrent;
    std::string name1, name2; ///< UTF-8
    NSetObj* element = nullptr;
};

class NCalcPowerBalance : public NCalcClass {
  public:
    static constexpr int kProfileSize = 301;

    const char* className() const override { return "NCalcPowerBalance"; }

    /// Appends the records of one branch, walking from Node1 (and back from Node2 around a
    /// current source), from the calculation records of the last node-voltage solution.
    void buildRecordsDC(NTbeLine& branch);
    void buildRecordsAC(NTbeLine& branch);
    /// The first record of `element`, or null.
    const NTbeSetObj* findRecord(const NSetObj* element) const;
    /// Forgets the records, then builds those of every branch of `owner` in document order.
    void buildAllRecordsDC();
    void buildAllRecordsAC();
    /// The owner as a working scheme, or null.
    NTBEFizDisp* scheme() const;

    /// Builds the records of every branch of `owner` and writes the balance into `report`.
    void balanceDC();
    void balanceAC();

    /// Builds the DC records and the profile of loop `loopIndex` of the owner's loop list.
    /// False (and nothing to show) when the loop does not exist or an element on it has no
    /// record.
    bool loopProfile();

    /// Builds the AC records and turns them into vectors of `diagram` by `voltageVectors` and
    /// `currentVectors`.
    void buildVectors(NVectDiaDisp& diagram);

    ReportTarget* report = nullptr;
    std::vector<NTbeSetObj> records;
    std::array<Extended, kProfileSize> profilePotentials{};
    std::array<Extended, kProfileSize> profileAbscissas{};
    int32_t loopIndex = 0;
    int32_t profileCount = 0;
    Extended sourcePower = 0, emfPower = 0, consumerPower = 0; ///< DC sums of the balance
    Complex acConsumerPower, acSourcePower;                    ///< AC sums of the balance
    Extended omega = 0;
    uint8_t voltageVectors = 0, currentVectors = 0;
};

} // namespace qv
