// Schemes read as "Open schem" reads them and then solved by each method as the command line
// solves: a file that opens must not break a solution.
#include "app/solvecommand.h"
#include "app/workbench.h"
#include "harness.h"
#include "io/documentfile.h"
#include "platform/binarystream.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qv::fuzz::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qv::Workbench& wb = qv::fuzz::workbench();
    std::unique_ptr<qv::FizDisp> scheme = wb.scheme().createEmpty();
    wb.scheme().copySettingsTo(*scheme);
    qv::BinaryReader r(data, size);
    if (!qv::readDocument(*scheme, r)) return 0;
    auto& doc = static_cast<qv::NTBEFizDisp&>(*scheme);
    for (const std::string& method : qv::solveMethodNames()) {
        qv::SolveRequest request = qv::SolveRequest::fromScheme(doc, method);
        request.picture = false;
        qv::solveScheme(doc, request);
    }
    return 0;
}
