#include "model/classregistry.h"

#include "components/components.h"
#include "components/nodes.h"
#include "graphics/labels.h"
#include "graphics/nunigraphobj.h"
#include "graphics/primitives.h"
#include "model/branch.h"

namespace qv {

namespace {

template <class T>
NFizObj* make() {
    return new T();
}

struct Entry {
    const char* name;
    NFizObj* (*create)();
};

// In the order of the file format's registry; classes join it as they are built.
const Entry kEntries[] = {
    {"NGrLine", make<NGrLine>},
    {"NGrRound", make<NGrRound>},
    {"NGrArc", make<NGrArc>},
    {"NFVetv", make<NFVetv>},
    {"NFUsel", make<NFUsel>},
    {"NTextLabel", make<NTextLabel>},
    {"NTwoBin", make<NTwoBin>},
    {"NUniSetObj", make<NUniSetObj>},
    {"NUniRes", make<NUniRes>},
    {"NUniGraphObj", make<NUniGraphObj>},
    {"NGShine", make<NGShine>},
    {"NGRoundNode", make<NGRoundNode>},
    {"NUserTextLabel", make<NUserTextLabel>},
    {"NGTPNode", make<NGTPNode>},
    {"NGpolyGon", make<NGpolyGon>},
    {"NGpolyLine", make<NGpolyLine>},
    {"NUniEds", make<NUniEds>},
    {"NUniIst", make<NUniIst>},
    {"NTbeLine", make<NTbeLine>},
    {"NTbeNode", make<NTbeNode>},
    {"NFGroundObj", make<NFGroundObj>},
    {"NUniCon", make<NUniCon>},
    {"NUniInd", make<NUniInd>},
    {"NUniCompCurSource", make<NUniCompCurSource>},
    {"NUniCompEDS", make<NUniCompEDS>},
    {"NUniImpedance", make<NUniImpedance>},
};

} // namespace

std::unique_ptr<NFizObj> createObjectByClassName(const std::string& name) {
    for (const Entry& e : kEntries)
        if (name == e.name) return std::unique_ptr<NFizObj>(e.create());
    return nullptr;
}

std::vector<std::string> registeredClassNames() {
    std::vector<std::string> out;
    for (const Entry& e : kEntries) out.push_back(e.name);
    return out;
}

} // namespace qv
