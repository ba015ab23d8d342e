#pragma once
// The potential diagram of a loop: how the DC potential changes along the loop, against the
// resistance passed. The diagram keeps its own copy of the profile and lays it on a drawing
// area of any size; the loop is chosen in "Select Loop for voltage diagramm.".
#include <QImage>
#include <QStringList>
#include <vector>

#include "platform/dialogmodel.h"
#include "platform/extended.h"
#include "platform/types.h"

namespace qv {

class Canvas;
class NContDispV;

class PotentialDiagram {
  public:
    /// The drawing area of the "Voltage diagramm" window at its first size, in pixels.
    static constexpr int kWidth = 477;
    static constexpr int kHeight = 285;
    /// Potential labels (bottom to top) and abscissa labels.
    static constexpr int kPotentialLabels = 9;
    static constexpr int kAbscissaLabels = 4;

    /// Replaces the copy of the profile with the first `count` points of the two arrays
    /// (none when `count` is 0 or less) and sets the scale and the labels.
    void setProfile(const Extended* potentials, const Extended* abscissas, int count);

    int count() const { return int(potentials_.size()); }
    const std::vector<Extended>& potentials() const { return potentials_; }
    const std::vector<Extended>& abscissas() const { return abscissas_; }

    /// The largest and the smallest potential of the profile, and the abscissa of its last
    /// point (the loop's resistance); 0 for an empty profile.
    Extended max() const { return max_; }
    Extended min() const { return min_; }
    Extended length() const { return length_; }

    /// The potentials of the drawing area's bottom and top edges and the abscissas of its left
    /// and right edges. They are min, max, 0 and X, except where these coincide: a flat
    /// profile is centred between value − d and value + d, and a profile without resistance
    /// between −d and d ohms, with d = 1 (or a millionth of the value, when that is larger), so
    /// that the scale is never divided by zero.
    Extended bottom() const { return bottom_; }
    Extended top() const { return top_; }
    Extended left() const { return left_; }
    Extended right() const { return right_; }

    /// The nine potential labels from the bottom up and the four abscissa labels from the left
    /// (at a quarter, half, three quarters and the whole of the axis), general format with 15
    /// significant digits.
    const QStringList& potentialLabels() const { return potentialLabels_; }
    const QStringList& abscissaLabels() const { return abscissaLabels_; }

    /// The profile's points on a drawing area of `width` x `height` pixels, in order.
    std::vector<Point> points(int width, int height) const;

    /// Draws the grid and the profile with the canvas's default pen; the drawing area's top
    /// left corner is the canvas's origin.
    void paint(Canvas& canvas, int width, int height) const;

    /// The drawing area as a picture: white, grid and profile.
    QImage image(int width = kWidth, int height = kHeight) const;

  private:
    std::vector<Extended> potentials_, abscissas_;
    Extended max_ = 0, min_ = 0, length_ = 0;
    Extended bottom_ = -1, top_ = 1, left_ = -1, right_ = 1;
    QStringList potentialLabels_, abscissaLabels_;
};

/// "Select Loop for voltage diagramm.": the names of the scheme's loops; OK stores the selected
/// line as the chosen loop (-1 when none is selected). The choice is kept from one showing to
/// the next; closing the dialog otherwise leaves it as it was.
class PotentialLoopDialog : public DialogModel {
  public:
    PotentialLoopDialog();
    QString caption() const override {
        return QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "Select Loop for voltage diagramm."));
    }
    /// Fills the list with the names of the loops of `list`, none of them selected.
    void show() override;
    bool ok() override;
    bool hasCancel() const override { return false; }

    const NContDispV* list = nullptr; ///< not owned; set by the caller before showing
    int chosen = 0;                   ///< index into the loop list, -1 for none
};

} // namespace qv
