#include "model/classregistry.h"

#include "graphics/labels.h"
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
    {"NUserTextLabel", make<NUserTextLabel>},
    {"NGpolyGon", make<NGpolyGon>},
    {"NGpolyLine", make<NGpolyLine>},
    {"NTbeLine", make<NTbeLine>},
    {"NTbeNode", make<NTbeNode>},
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
