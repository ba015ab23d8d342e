#include "io/classes.h"

#include <mutex>

#include "components/branch.h"
#include "components/components.h"
#include "components/nodes.h"
#include "diagrams/loop.h"
#include "diagrams/looplist.h"
#include "diagrams/vectordiagram.h"
#include "graphics/labels.h"
#include "graphics/primitives.h"
#include "graphics/symbol.h"
#include "model/classregistry.h"
#include "power/networkelements.h"

namespace qv {

namespace {

template <class T> std::unique_ptr<NFizObj> make() {
    return std::make_unique<T>();
}

struct Entry {
    const char* name;
    ObjectFactory create;
};

// In the order of the file format's registry.
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
    {"NPowerNode", make<NPowerNode>},
    {"NPowerLine", make<NPowerLine>},
    {"NTransStat", make<NTransStat>},
    {"NFTransForm", make<NFTransForm>},
    {"NGShine", make<NGShine>},
    {"NGRoundNode", make<NGRoundNode>},
    {"NGBreaker", make<NGBreaker>},
    {"NFBreaker", make<NFBreaker>},
    {"NUserTextLabel", make<NUserTextLabel>},
    {"NGTransform", make<NGTransform>},
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
    {"NVector", make<NVector>},
    {"NVDPoint", make<NVDPoint>},
    {"NElmLabel", make<NElmLabel>},
};

} // namespace

void registerSchemeClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (const Entry& e : kEntries)
            registerObjectClass(e.name, e.create);
        registerLoopList([](FizDisp* document) -> std::unique_ptr<NContDispV> {
            return std::make_unique<NContDisp>(document);
        });
    });
}

} // namespace qv
