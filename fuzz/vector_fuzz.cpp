// Vector diagram files (.qvv): read as "Open vector diagram" reads them.
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
    std::unique_ptr<qv::FizDisp> diagram = wb.vectorDoc().createEmpty();
    wb.vectorDoc().copySettingsTo(*diagram);
    qv::BinaryReader r(data, size);
    if (qv::readDocument(*diagram, r))
        qv::fuzz::useDocument(*diagram);
    else if (r.error().empty())
        qv::fuzz::broken("a refused vector diagram without a reason");
    return 0;
}
