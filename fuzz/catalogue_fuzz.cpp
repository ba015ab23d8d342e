// Catalogue files ("LineSpr.spr", "TransSpr.spr", "UnomSpr.spr"), one target per catalogue:
// QUORVEL_CATALOGUE names the organizer. What was accepted is saved and must read back, and its
// entries are used as the dialogs use them.
#include "app/workbench.h"
#include "harness.h"
#include "platform/binarystream.h"
#include "power/catalogue.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qv::fuzz::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QUORVEL_CATALOGUE catalogue;
    if (!catalogue.loadBytes(qv::fuzz::bytesOf(data, size), QStringLiteral("fuzz.spr"))) return 0;
    qv::BinaryWriter w;
    catalogue.saveToStream(w);
    QUORVEL_CATALOGUE again;
    QString error;
    if (!again.loadBytes(QByteArray(reinterpret_cast<const char*>(w.bytes().data()), qsizetype(w.size())),
                         QStringLiteral("again.spr"), &error) ||
        again.count() != catalogue.count())
        qv::fuzz::broken("a catalogue read from a file is saved as one that does not read back");
    catalogue.fillNames();
    for (int i = 0; i < catalogue.count(); ++i)
        if (auto* t = dynamic_cast<qv::NTransSpr*>(catalogue.at(i))) t->computeParameters();
    if (auto* classes = dynamic_cast<qv::NUnomSprOrginizer*>(&catalogue)) classes->classColour(10);
    catalogue.deleteAt(0);
    return 0;
}
