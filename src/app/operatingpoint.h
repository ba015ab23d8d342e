#pragma once
// The results of the last solution drawn beside the scheme: the potential next to each node,
// the current with its direction next to each branch. They belong to the window, not to the
// scheme: never stored in a file, never a step of the history.
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include <QCoreApplication>

#include "model/document.h"
#include "platform/types.h"
#include "solver/complex.h"

namespace qv {

struct SolveResult;

/// The captions of the results on the drawing.
inline const QString kShowResultsCaption = QStringLiteral(QT_TRANSLATE_NOOP("qv::Message", "Show results"));
inline const QString kResultsLayerCaption = QStringLiteral(QT_TRANSLATE_NOOP("qv::Message", "Results"));
inline const QString kAcResultsCaption =
    QStringLiteral(QT_TRANSLATE_NOOP("qv::Dialog", "AC values on the drawing"));
inline const QString kAcPolarCaption = QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Dialog", "magnitude∠angle"));
inline const QString kAcRectangularCaption = QString::fromUtf8(QT_TRANSLATE_NOOP("qv::Dialog", "re+j·im"));

/// The place of "Results" in the Layers window's list, after the six layers of the scheme.
constexpr size_t kResultsLayerItem = 6;

/// How an AC value is written on the drawing.
enum class AcResultFormat { Polar, Rectangular };

/// One value on the drawing.
struct ResultLabel {
    enum Kind { Node, Branch };
    Kind kind = Node;
    QString name; ///< the node's or the branch's name
    QString text; ///< as drawn: the value with its unit
    Complex value;
    Rect box;     ///< where it is drawn, arrow included
    Point textAt; ///< top-left corner of the text
    /// Branches: the arrow of the direction the current is counted in, along the branch.
    Point arrowTail, arrowHead;
};

/// A value with its unit ("12.5 V", "250 mA"): four significant digits and a decimal prefix;
/// AC values as magnitude∠angle in degrees or as re+j·im.
QString formatResultValue(Complex value, bool ac, AcResultFormat format, const QString& unit);

class OperatingPoint : public SchemeOverlay {
  public:
    /// Takes the values of a solution of `doc` and places them beside its nodes and branches.
    /// `version` names the state of the scheme they belong to.
    void setResults(NTBEFizDisp& doc, const SolveResult& result, uint64_t version);
    /// Forgets the values (another scheme was opened).
    void clear();
    bool hasResults() const { return !labels_.empty(); }
    const std::vector<ResultLabel>& labels() const { return labels_; }
    bool ac() const { return ac_; }

    /// View → "Show results".
    bool shown = false;
    /// The "Results" item of the Layers window.
    bool layerVisible = true;
    /// True when the values are drawn now.
    bool visible() const { return shown && layerVisible && !labels_.empty(); }
    /// Rewrites the labels (the choice made in "Options"); places them again.
    void setAcFormat(NTBEFizDisp& doc, AcResultFormat format);
    AcResultFormat acFormat() const { return format_; }

    /// The present state of the scheme; values of another state are drawn greyed.
    std::function<uint64_t()> currentVersion;
    bool stale() const { return currentVersion && currentVersion() != version_; }

    static FontRec font(bool stale);

    void paint(Canvas* canvas) override;
    void extendBounds(Rect& rect, bool& any) override;

  private:
    void place(NTBEFizDisp& doc);
    struct Value {
        ResultLabel::Kind kind;
        QString name, from, to;
        Complex value;
    };
    std::vector<Value> values_;
    std::vector<ResultLabel> labels_;
    bool ac_ = false;
    AcResultFormat format_ = AcResultFormat::Polar;
    uint64_t version_ = 0;
};

} // namespace qv
