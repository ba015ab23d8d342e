// Workshop files (.qvw): both records read as "Open" reads them, then the Solution page's text.
// What a user does with the documents is the scheme and vector targets' part.
#include <QTextDocument>

#include "app/workbench.h"
#include "harness.h"
#include "io/workshopfile.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qv::fuzz::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qv::Workbench& wb = qv::fuzz::workbench();
    std::unique_ptr<qv::FizDisp> scheme = wb.scheme().createEmpty();
    wb.scheme().copySettingsTo(*scheme);
    std::unique_ptr<qv::FizDisp> vector = wb.vectorDoc().createEmpty();
    wb.vectorDoc().copySettingsTo(*vector);
    QByteArray solution;
    if (!qv::readWorkshop(*scheme, *vector, solution, qv::fuzz::bytesOf(data, size),
                          QStringLiteral("fuzz.qvw")))
        return 0;
    QTextDocument page;
    qv::Workbench::readSolutionRecord(solution, page, nullptr);
    return 0;
}
