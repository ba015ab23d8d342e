// Rich text: the Solution page of workshop files and pasted text. What was read is written
// again and must read back.
#include <QTextDocument>

#include "harness.h"
#include "report/rtf.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qv::fuzz::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QTextDocument page;
    if (!qv::readRtf(qv::fuzz::bytesOf(data, size), page)) return 0;
    QTextDocument again;
    QString error;
    if (!qv::readRtf(qv::writeRtf(page), again, &error))
        qv::fuzz::broken("rich text that was read is written as rich text that does not read back");
    return 0;
}
