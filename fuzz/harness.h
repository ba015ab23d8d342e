#pragma once
// What every fuzz target shares: the process set up as a program of the workbench is (an
// offscreen Qt application, the font substitutions, the class registry), one workbench whose
// context and label document fresh documents borrow, and the use a user makes of whatever a
// reader accepted. A target aborts on a broken promise; the sanitizers catch the rest.
#include <QByteArray>
#include <cstddef>
#include <cstdint>

namespace qv {

class FizDisp;
class Workbench;

namespace fuzz {

/// Sets the process up once; the targets call it from LLVMFuzzerInitialize.
void initialize(int* argc, char*** argv);
/// The workbench of the process.
Workbench& workbench();
inline QByteArray bytesOf(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}
/// Aborts with `what` on stderr: the fuzzer keeps the input as a crash.
[[noreturn]] void broken(const char* what);

/// Uses an accepted document as the window would: bounds, a hit test, painting on a small
/// picture, a move of every object, deleting what a user can delete. The record it saves must
/// read back into a fresh document of the same kind (a save must never write what cannot be
/// opened again).
void useDocument(FizDisp& doc);

} // namespace fuzz
} // namespace qv
