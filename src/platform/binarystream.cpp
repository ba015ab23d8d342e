#include "platform/binarystream.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

#include "platform/cp1251.h"

namespace qv {

uint8_t* BinaryWriter::grow(size_t n) {
    size_t at = buf_.size();
    if (buf_.capacity() < at + n) buf_.reserve(std::max(buf_.capacity() * 2, at + n + 4096));
    buf_.resize(at + n);
    return buf_.data() + at;
}

void BinaryWriter::writeInt32(int32_t v) {
    uint32_t u = uint32_t(v);
    uint8_t* p = grow(4);
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(u >> (8 * i));
}

void BinaryWriter::writeByte(uint8_t v) {
    buf_.push_back(v);
}

void BinaryWriter::writePoint(Point p) {
    writeInt32(p.x);
    writeInt32(p.y);
}

void BinaryWriter::writePen(const Pen& pen) {
    writeColour(pen.color);
    writeByte(pen.mode);
    writeByte(pen.style);
    writeInt32(pen.width);
}

void BinaryWriter::writeBrush(const Brush& brush) {
    writeColour(brush.color);
    writeByte(brush.style);
}

void BinaryWriter::writeFont(const FontRec& f) {
    writeColour(f.color);
    writeInt32(f.height);
    writeInt32(f.size);
    writeInt32(f.size2);
    writeInt32(f.pixelsPerInch);
    writeShortString(f.name, 100);
    writeByte(f.pitch);
    writeByte(f.style);
    writeByte(f.charset);
}

void BinaryWriter::writeShortString(const std::string& utf8, int capacity) {
    writeShortStringRaw(utf8ToCp1251(utf8), capacity);
}

void BinaryWriter::writeShortStringRaw(const std::string& cp, int capacity) {
    size_t n = std::min<size_t>(cp.size(), size_t(capacity));
    uint8_t* p = grow(size_t(capacity) + 1);
    p[0] = uint8_t(n);
    std::memcpy(p + 1, cp.data(), n);
    std::memset(p + 1 + n, 0, size_t(capacity) - n);
}

void BinaryWriter::writeExtended(Extended v) {
    auto b = encodeExtended(v);
    std::memcpy(grow(b.size()), b.data(), b.size());
}

void BinaryWriter::writeRaw(const uint8_t* data, size_t n) {
    if (n) std::memcpy(grow(n), data, n);
}

void BinaryReader::fail(const std::string& message) {
    if (!failed_) error_ = message;
    failed_ = true;
}

bool BinaryReader::pastEnd() {
    fail("unexpected end of data");
    pos_ = size_;
    return false;
}

void BinaryReader::readInt32(int32_t& v) {
    const uint8_t* p;
    if (!take(4, p)) return;
    v = qFromLittleEndian<int32_t>(p);
}

void BinaryReader::readByte(uint8_t& v) {
    const uint8_t* p;
    if (take(1, p)) v = *p;
}

void BinaryReader::readPoint(Point& pt) {
    readInt32(pt.x);
    readInt32(pt.y);
}

void BinaryReader::readColour(Colour& c) {
    int32_t v = int32_t(c);
    readInt32(v);
    c = Colour(v);
}

void BinaryReader::readPen(Pen& pen) {
    readColour(pen.color);
    readByte(pen.mode);
    readByte(pen.style);
    readInt32(pen.width);
}

void BinaryReader::readBrush(Brush& brush) {
    readColour(brush.color);
    readByte(brush.style);
}

void BinaryReader::readFont(FontRec& f) {
    readColour(f.color);
    readInt32(f.height);
    readInt32(f.size);
    readInt32(f.size2);
    readInt32(f.pixelsPerInch);
    readShortString(f.name, 100);
    readByte(f.pitch);
    readByte(f.style);
    readByte(f.charset);
}

void BinaryReader::readShortStringRaw(std::string& cp, int capacity) {
    const uint8_t* p;
    if (!take(size_t(capacity) + 1, p)) return;
    size_t n = p[0];
    if (n > size_t(capacity)) {
        fail("string length " + std::to_string(n) + " exceeds its capacity of " + std::to_string(capacity));
        return;
    }
    cp.assign(reinterpret_cast<const char*>(p + 1), n);
}

void BinaryReader::readShortString(std::string& utf8, int capacity) {
    std::string cp;
    size_t before = pos_;
    bool wasFailed = failed_;
    readShortStringRaw(cp, capacity);
    if (failed_ && !wasFailed) return;
    if (pos_ != before) utf8 = cp1251ToUtf8(cp);
}

void BinaryReader::readExtended(Extended& v) {
    const uint8_t* p;
    if (take(10, p)) v = decodeExtended(p);
}

bool BinaryReader::readRaw(uint8_t* out, size_t n) {
    const uint8_t* p;
    if (!take(n, p)) return false;
    std::copy(p, p + n, out);
    return true;
}

} // namespace qv
