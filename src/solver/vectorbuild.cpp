#include "components/branch.h"
#include "diagrams/vectordiagram.h"
#include "model/document.h"
#include "solver/powerbalance.h"
#include "solver/vectorchains.h"

namespace qv {

void NCalcPowerBalance::buildVectors(NVectDiaDisp& diagram) {
    auto* scheme = dynamic_cast<NTBEFizDisp*>(owner);
    if (!scheme) return;
    records.clear();
    for (NFizObj* obj : scheme->objects())
        if (auto* branch = dynamic_cast<NTbeLine*>(obj)) buildRecordsAC(*branch);
    if (voltageVectors) addVoltageVectors(records, diagram);
    if (currentVectors) addCurrentChains(*scheme, diagram);
}

} // namespace qv
