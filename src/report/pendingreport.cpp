#include "report/pendingreport.h"

#include <QPointer>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include "report/reportdocument.h"
#include "report/reportinsertion.h"

namespace qv {

namespace {

const char* const kWritesInStepsProperty = "qv-writes-in-steps";
const QString kPendingName = QStringLiteral("qv-pending-report");

/// The rest of a report still to go onto its page; a child of the page.
class PendingReport : public QObject {
  public:
    PendingReport(QTextDocument& page, ReportDocument&& report, const QTextCursor& at)
        : QObject(&page), report_(std::move(report)), cursor_(at), insertion_(report_, at, false) {
        setObjectName(kPendingName);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] {
            timer_.setInterval(0);
            step(kReportRunsPerStep);
        });
    }

    static PendingReport* of(const QTextDocument& page) {
        return page.findChild<PendingReport*>(kPendingName, Qt::FindDirectChildrenOnly);
    }

    /// The first step, at the caller's caret and inside its edit block; true when that was all.
    bool start(QTextCursor& caret) {
        const bool done = insertion_.step(caret, kReportRunsFirst);
        cursor_ = caret;
        // The page shows the beginning before the rest goes on.
        if (!done) timer_.start(20);
        return done;
    }

    void step(std::size_t runs) {
        // Still the solution's undo step: nothing else edits the page before it is all in.
        cursor_.joinPreviousEditBlock();
        const bool done = insertion_.step(cursor_, runs);
        cursor_.endEditBlock();
        if (done) {
            timer_.stop();
            setObjectName(QString());
            deleteLater();
        }
        if (onStep) onStep(cursor_.position(), done);
    }

    std::function<void(int, bool)> onStep;

  private:
    ReportDocument report_;
    QTextCursor cursor_;
    ReportInsertion insertion_;
    QTimer timer_;
};

} // namespace

void setWritesInSteps(QTextDocument& page, bool on) {
    page.setProperty(kWritesInStepsProperty, on);
}

bool writesInSteps(const QTextDocument& page) {
    return page.property(kWritesInStepsProperty).toBool();
}

void insertReport(ReportDocument&& report, QTextCursor& caret) {
    QTextDocument& page = *caret.document();
    finishPendingReport(page);
    if (!writesInSteps(page) || report.runs().size() + report.paragraphs().size() <= 2 * kReportRunsPerStep) {
        report.insertInto(caret);
        return;
    }
    auto* pending = new PendingReport(page, std::move(report), caret);
    if (pending->start(caret)) delete pending;
}

bool hasPendingReport(const QTextDocument& page) {
    return PendingReport::of(page) != nullptr;
}

void finishPendingReport(QTextDocument& page) {
    if (PendingReport* pending = PendingReport::of(page)) pending->step(SIZE_MAX);
}

void onPendingReportStep(QTextDocument& page, std::function<void(int, bool)> step) {
    if (PendingReport* pending = PendingReport::of(page)) pending->onStep = std::move(step);
}

} // namespace qv
