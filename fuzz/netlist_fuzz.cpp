// SPICE netlists, read as "Import SPICE netlist" reads them: an accepted netlist becomes a
// scheme that is used as the window would, and that scheme written as a netlist must be taken
// again (an export that cannot be imported would lose the work).
#include <cstdio>
#include <string>

#include "app/netlistimport.h"
#include "app/netlistreader.h"
#include "app/workbench.h"
#include "harness.h"
#include "model/document.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qv::fuzz::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const qv::NetlistReading reading =
        qv::readNetlist(std::string_view(reinterpret_cast<const char*>(data), size));
    if (reading.problems.size() > size_t(qv::NetlistLimits::kMaxProblems))
        qv::fuzz::broken("more problems than the reader promises");
    if (!reading.ok()) {
        for (const qv::NetlistProblem& p : reading.problems)
            if (p.text.empty()) qv::fuzz::broken("a refused netlist without a reason");
        return 0;
    }
    qv::Workbench& wb = qv::fuzz::workbench();
    std::unique_ptr<qv::FizDisp> fresh = wb.scheme().createEmpty();
    wb.scheme().copySettingsTo(*fresh);
    auto& scheme = static_cast<qv::NTBEFizDisp&>(*fresh);
    qv::buildSchemeFromNetlist(reading.netlist, scheme);
    const qv::SpiceNetlist written = qv::writeSpiceNetlist(scheme, "again");
    const qv::NetlistReading again = qv::readNetlist(written.text);
    if (written.error.empty() && !again.ok()) {
        for (const qv::NetlistProblem& p : again.problems)
            std::fprintf(stderr, "%s\n", p.message().c_str());
        qv::fuzz::broken("an imported netlist's scheme exports as a netlist that is refused");
    }
    qv::fuzz::useDocument(scheme);
    return 0;
}
