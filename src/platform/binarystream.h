#pragma once
// Flat little-endian records over a byte buffer: the memory streams the documents write
// themselves into and read themselves from.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/extended.h"
#include "platform/types.h"

namespace qv {

using Bytes = std::vector<uint8_t>;

/// Appends records to a growing byte buffer.
class BinaryWriter {
  public:
    void writeInt32(int32_t v);
    void writeByte(uint8_t v);
    void writeBool(bool v) { writeByte(v ? 1 : 0); }
    void writePoint(Point p);
    void writeColour(Colour c) { writeInt32(int32_t(c)); }
    void writePen(const Pen& pen);
    void writeBrush(const Brush& brush);
    void writeFont(const FontRec& font);
    /// ShortString[capacity]: length byte, then capacity bytes of CP1251 text padded with
    /// zeros. Text longer than capacity is cut.
    void writeShortString(const std::string& utf8, int capacity);
    /// Writes raw CP1251 bytes as a ShortString (used when bytes must be kept as read).
    void writeShortStringRaw(const std::string& cp1251, int capacity);
    void writeExtended(Extended v);
    void writeRaw(const uint8_t* data, size_t n);

    void reserve(size_t n) { buf_.reserve(n); }
    const Bytes& bytes() const { return buf_; }
    Bytes take() { return std::move(buf_); }
    size_t size() const { return buf_.size(); }

  private:
    /// Room for n more bytes at the end; answers where they start.
    uint8_t* grow(size_t n);
    Bytes buf_;
};

/// Reads records from a byte buffer it does not own. Reading past the end leaves the target
/// unchanged and sets `failed()`; a loader can also fail it with a message of its own.
class BinaryReader {
  public:
    BinaryReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit BinaryReader(const Bytes& b) : data_(b.data()), size_(b.size()) {}

    void readInt32(int32_t& v);
    void readByte(uint8_t& v);
    void readBool(uint8_t& v) { readByte(v); }
    void readPoint(Point& p);
    void readColour(Colour& c);
    void readPen(Pen& pen);
    void readBrush(Brush& brush);
    void readFont(FontRec& font);
    /// Reads ShortString[capacity] into UTF-8. A length byte above capacity is an error.
    void readShortString(std::string& utf8, int capacity);
    /// Same, but keeps the CP1251 bytes as they are.
    void readShortStringRaw(std::string& cp1251, int capacity);
    void readExtended(Extended& v);
    bool readRaw(uint8_t* out, size_t n);

    int32_t int32() {
        int32_t v = 0;
        readInt32(v);
        return v;
    }

    size_t position() const { return pos_; }
    size_t size() const { return size_; }
    size_t remaining() const { return size_ - pos_; }
    void seek(size_t pos) { pos_ = pos <= size_ ? pos : size_; }
    const uint8_t* data() const { return data_; }

    bool failed() const { return failed_; }
    const std::string& error() const { return error_; }
    /// Marks the read as failed; the first message is kept.
    void fail(const std::string& message);

  private:
    /// The next `n` bytes; every read goes through here, so the end of data is handled apart.
    bool take(size_t n, const uint8_t*& p) {
        if (n > size_ - pos_) [[unlikely]]
            return pastEnd();
        p = data_ + pos_;
        pos_ += n;
        return true;
    }
    bool pastEnd();
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool failed_ = false;
    std::string error_;
};

} // namespace qv
