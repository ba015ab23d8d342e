#include "model/classregistry.h"

#include <stdexcept>

#include "model/looplistinterface.h"
#include "model/sceneobject.h"

namespace qv {

namespace {

struct Entry {
    std::string name;
    ObjectFactory create;
};

// Filled once at start-up and only read afterwards: like the classes themselves, the
// registry is the same for every workbench of the process.
std::vector<Entry>& entries() {
    static std::vector<Entry> table;
    return table;
}

LoopListFactory& loopListFactory() {
    static LoopListFactory make = nullptr;
    return make;
}

} // namespace

void registerObjectClass(const std::string& name, ObjectFactory make) {
    for (Entry& e : entries())
        if (e.name == name) {
            e.create = make;
            return;
        }
    entries().push_back({name, make});
}

std::unique_ptr<NFizObj> createObjectByClassName(const std::string& name) {
    for (const Entry& e : entries())
        if (name == e.name) return e.create();
    return nullptr;
}

std::vector<std::string> registeredClassNames() {
    std::vector<std::string> out;
    for (const Entry& e : entries())
        out.push_back(e.name);
    return out;
}

void registerLoopList(LoopListFactory make) {
    loopListFactory() = make;
}

std::unique_ptr<NContDispV> createLoopList(FizDisp* document) {
    if (!loopListFactory())
        throw std::logic_error("no loop list is registered: call registerSchemeClasses() at start-up");
    return loopListFactory()(document);
}

} // namespace qv
