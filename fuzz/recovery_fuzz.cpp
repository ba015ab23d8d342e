// Recovery copies: read and checked as the start-up offer does, whole or not at all.
#include "app/recovery.h"
#include "app/workbench.h"
#include "harness.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qv::fuzz::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qv::RecoveryRecord record;
    QString error;
    if (!qv::readRecoveryRecord(qv::fuzz::bytesOf(data, size), record, &error)) {
        if (error.isEmpty()) qv::fuzz::broken("a refused recovery copy without a reason");
        return 0;
    }
    qv::checkRecoveredWork(qv::fuzz::workbench(), record, &error);
    return 0;
}
