#pragma once
// Reading and showing enhanced metafiles, ours or anybody's. Loading checks the header and
// the chain of records against the bytes there are: a damaged file gives an error and never
// a picture. Playing draws the records it knows onto a QPainter and skips the others; a
// record whose counts or offsets do not fit inside it is skipped too.
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <vector>

#include "platform/types.h"

class QPainter;

namespace qv {

class EmfPicture {
  public:
    /// Files larger than this are refused rather than read.
    static constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

    /// Takes `data` as a whole metafile. False, with a message in `error`, when it is not one
    /// or is damaged (cut short, a record that runs past the end, no end record).
    bool load(const QByteArray& data, QString* error);
    /// The same for a file; the message names the file.
    bool loadFile(const QString& path, QString* error);
    bool isNull() const { return records_.empty(); }

    /// The header's bounds (device units) and frame (hundredths of a millimetre).
    const Rect& bounds() const { return bounds_; }
    const Rect& frame() const { return frame_; }
    /// The frame's size in millimetres.
    QSizeF sizeMm() const;
    /// The size in pixels at `dpi` pixels per inch, at least 1 by 1.
    QSize pixelSize(double dpi = 96) const;
    int recordCount() const { return int(records_.size()); }
    /// Records of types the player does not draw (counted by the last `play`).
    int skippedRecords() const { return skipped_; }
    const QString& description() const { return description_; }

    /// Draws the picture's frame scaled into `target`, in the painter's current coordinates.
    void play(QPainter& painter, const QRectF& target) const;
    /// The picture on a background of `background`, at `dpi` pixels per inch.
    QImage toImage(double dpi = 96, QColor background = Qt::white) const;

  private:
    struct Record {
        uint32_t type;
        uint32_t offset;
        uint32_t size;
    };
    QByteArray data_;
    std::vector<Record> records_;
    Rect bounds_, frame_;
    int32_t deviceW_ = 0, deviceH_ = 0, deviceMmW_ = 0, deviceMmH_ = 0;
    uint16_t handles_ = 0;
    QString description_;
    mutable int skipped_ = 0;
    friend class EmfPlayer;
};

} // namespace qv
