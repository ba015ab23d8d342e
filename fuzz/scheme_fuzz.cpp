// Scheme files (.tbe): read as "Open schem" reads them, into a fresh scheme, then used as the
// window would.
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
    if (qv::readDocument(*scheme, r))
        qv::fuzz::useDocument(*scheme);
    else if (r.error().empty())
        qv::fuzz::broken("a refused scheme without a reason");
    return 0;
}
