#include "diagrams/potentialdiagram.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "diagrams/loop.h"
#include "graphics/primitives.h"
#include "model/looplistinterface.h"
#include "platform/canvas.h"
#include "platform/numfmt.h"

namespace qv {

namespace {

QString label(Extended v) {
    return QString::fromStdString(numfmt::general(v, 15));
}

/// Half the span of an axis whose two ends would coincide at `value`: 1, or a millionth of the
/// value where 1 would vanish in its rounding.
Extended halfSpan(Extended value) {
    return std::max<Extended>(1, std::fabs(value) * 1e-6L);
}

/// Pixels far outside the drawing area are kept at this distance from it: the painter needs
/// no more to draw the part that shows, and a wild value cannot overflow it.
constexpr Extended kFarOutside = 1 << 20;

/// A coordinate on the drawing area, or false for a value that is not a number.
bool pixel(Extended v, int32_t& out) {
    if (std::isnan(v)) return false;
    out = roundCoord(std::clamp<Extended>(v, -kFarOutside, kFarOutside));
    return true;
}

} // namespace

void PotentialDiagram::setProfile(const Extended* potentials, const Extended* abscissas, int count) {
    count = std::max(count, 0);
    potentials_.assign(potentials, potentials + count);
    abscissas_.assign(abscissas, abscissas + count);

    max_ = min_ = length_ = 0;
    if (count > 0) {
        max_ = min_ = potentials_[0];
        for (Extended p : potentials_) {
            if (p > max_) max_ = p;
            if (p < min_) min_ = p;
        }
        length_ = abscissas_.back();
    }
    bottom_ = min_;
    top_ = max_;
    if (!(top_ > bottom_)) {
        const Extended d = halfSpan(min_);
        bottom_ = min_ - d;
        top_ = min_ + d;
    }
    left_ = 0;
    right_ = length_;
    if (right_ == 0) {
        left_ = -1;
        right_ = 1;
    }

    // The intermediate labels add the step to a running sum, so that they read as the lines
    // of the grid were counted off.
    potentialLabels_.clear();
    const Extended step = (top_ - bottom_) / 8;
    Extended sum = 0;
    potentialLabels_ << label(bottom_);
    for (int k = 1; k < kPotentialLabels - 1; ++k) {
        sum += step;
        potentialLabels_ << label(bottom_ + sum);
    }
    potentialLabels_ << label(top_);

    const Extended span = right_ - left_;
    abscissaLabels_ = {label(left_ + span / 4), label(left_ + span / 2), label(left_ + 3 * span / 4),
                       label(right_)};
}

std::vector<Point> PotentialDiagram::points(int width, int height) const {
    const Extended sx = Extended(width) / (right_ - left_);
    const Extended sy = Extended(height) / (top_ - bottom_);
    std::vector<Point> out;
    out.reserve(potentials_.size());
    for (size_t i = 0; i < potentials_.size(); ++i) {
        Point p;
        // A point that is not a number (a damaged solution) is left out, and the profile
        // joins its neighbours.
        if (pixel(sx * (abscissas_[i] - left_), p.x) && pixel(sy * (top_ - potentials_[i]), p.y))
            out.push_back(p);
    }
    return out;
}

void PotentialDiagram::paint(Canvas& canvas, int width, int height) const {
    canvas.setPen(Pen{});
    const int dy = height / 8;
    for (int k = 0; k < 8; ++k)
        canvas.line({0, k * dy}, {width, k * dy});
    const int dx = width / 4;
    for (int k = 0; k <= 4; ++k)
        canvas.line({k * dx, 0}, {k * dx, height});

    const std::vector<Point> profile = points(width, height);
    for (size_t i = 1; i < profile.size(); ++i)
        canvas.line(profile[i - 1], profile[i]);
}

QImage PotentialDiagram::image(int width, int height) const {
    QImage picture(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    Canvas canvas(&painter);
    paint(canvas, width, height);
    return picture;
}

// ---- PotentialLoopDialog ----

PotentialLoopDialog::PotentialLoopDialog() {
    addField({.id = "loops", .kind = DialogField::ListBox, .choice = -1});
}

void PotentialLoopDialog::show() {
    DialogField& f = field("loops");
    f.items.clear();
    for (int i = 0; list && i < list->count(); ++i)
        f.items << QString::fromStdString(list->get(i)->name);
    f.choice = -1;
}

bool PotentialLoopDialog::ok() {
    const DialogField& f = field("loops");
    chosen = f.choice >= 0 && f.choice < f.items.size() ? f.choice : -1;
    return true;
}

} // namespace qv
