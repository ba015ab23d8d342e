#include "solver/circuitgraph.h"

namespace qv {

bool NCont::runsAlong(int k) const {
    if (size_t(k) < forward.size()) return forward[size_t(k)] != 0;
    return nodes.get(k) == branches.get(k)->startNode;
}

Complex NVetv::complexEmfSum() const {
    Complex sum;
    for (int i = 0; i < complexEmfs.count(); ++i) {
        const NCompEds* e = complexEmfs.get(i);
        const Complex v{e->re, e->im};
        sum = e->orientation == 1 ? CAdd(sum, v) : CSub(sum, v);
    }
    return sum;
}

} // namespace qv
