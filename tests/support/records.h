#pragma once
// The record an object writes, as bytes, for comparing records in tests.
#include "model/sceneobject.h"
#include "platform/binarystream.h"

namespace qv::test {

inline Bytes recordOf(NFizObj& obj) {
    BinaryWriter w;
    obj.saveToStream(w);
    return w.take();
}

} // namespace qv::test
