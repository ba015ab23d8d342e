#pragma once
// Recovery copies: a crash, a killed process or a power cut must not take the work since the
// last save with it. While there are unsaved changes, each running workbench keeps the whole
// workshop in a copy of its own, written a few seconds after a change; a clean end removes
// it. A copy whose process is gone is offered at the next start.
#include <QByteArray>
#include <QDateTime>
#include <QLockFile>
#include <QString>
#include <QTimer>
#include <chrono>
#include <memory>
#include <vector>

class QTextDocument;

namespace qv {

class Workbench;

/// A recovery copy as its file holds it: when it was written, the workshop file the work
/// belonged to (empty for work never saved) and the workshop itself, as a workshop file
/// holds it (scheme record, vector-diagram record, the Solution page's rich text).
struct RecoveryRecord {
    QDateTime savedAt;
    QString workshopFile;
    QByteArray workshop;
};

/// The bytes of a recovery file: a mark, the time, the file name, the workshop's length and
/// its SHA-256, then the workshop.
QByteArray writeRecoveryRecord(const RecoveryRecord& record);
/// Reads a recovery file. False with `error` set when the bytes are not a recovery file or
/// were damaged (cut short, changed, extended): the checksum covers the whole workshop.
bool readRecoveryRecord(const QByteArray& bytes, RecoveryRecord& record, QString* error);

/// Reads the recovered workshop into scratch documents and a scratch page as restoring would,
/// leaving `workbench` as it is. False with `error` set when any part of it cannot be read.
bool checkRecoveredWork(Workbench& workbench, const RecoveryRecord& record, QString* error);

/// Replaces the work of `workbench` by the recovered workshop, marked as unsaved and named
/// after the file it had; the Solution page's stored text goes to `solution`. Nothing changes
/// when the workshop cannot be read (false, `error` set).
bool restoreRecoveredWork(Workbench& workbench, const RecoveryRecord& record, QByteArray& solution,
                          QString* error);

/// A copy left behind by a workbench that ended without a clean close, held (locked) by the
/// workbench that found it until it is restored, discarded, set aside or let go.
struct LeftCopy {
    QString path;
    QDateTime savedAt;     ///< from the copy, or the file's time when the copy is damaged
    QString error;         ///< why the copy cannot be restored; empty when it can
    RecoveryRecord record; ///< the copy, when it can be restored
    std::shared_ptr<QLockFile> lock;
};

/// The recovery copy of one workbench. Changes (steps of the history, the Solution page's
/// text) start a timer; when it runs out the copy is written, so a copy is never older than
/// the delay after the last change and is written at most once per delay while changes keep
/// coming. The copy is named after this keeper and guarded by a lock file for as long as the
/// keeper lives: another process tells a copy whose process is gone from a live one by the
/// lock alone.
class RecoveryKeeper {
  public:
    static constexpr std::chrono::milliseconds kDelay{5000};
    /// The folder "recovery" in the user's application data folder; empty when there is none.
    static QString defaultFolder();

    /// Starts keeping the copy of `workbench` in `folder` (made when missing). `solutionPage`,
    /// when given, is the Solution page, whose text the copy holds and whose changes count.
    RecoveryKeeper(Workbench& workbench, const QString& folder, QTextDocument* solutionPage = nullptr,
                   std::chrono::milliseconds delay = kDelay);
    /// Lets the lock go and keeps the copy: an end without `markClean` leaves the work to be
    /// offered at the next start.
    ~RecoveryKeeper();
    RecoveryKeeper(const RecoveryKeeper&) = delete;
    RecoveryKeeper& operator=(const RecoveryKeeper&) = delete;

    /// False when the folder or the lock could not be made; nothing is kept then.
    bool isActive() const { return active_; }
    QString copyPath() const { return copyPath_; }
    QString lockPath() const { return lockPath_; }
    /// Something changed: the copy is written when the delay has run out.
    void noteChange();
    /// Everything is saved, or deliberately dropped (save, New, Open, a clean close): the copy
    /// is removed and no write is pending.
    void markClean();
    /// A part was saved, opened or made new: the copy goes when nothing is left unsaved and
    /// is written again (after the delay) while another part still holds changes.
    void noteSaved();
    /// Writes the copy at once (or removes it when nothing is unsaved). False with the reason
    /// in `lastError()` when it could not be written.
    bool writeNow();
    /// How many copies this keeper has written; for the status and for tests.
    int writeCount() const { return writes_; }
    const QString& lastError() const { return lastError_; }

    /// The copies in the folder whose workbench is gone, newest first, each checked whole and
    /// locked for this keeper. Copies of running workbenches are left alone.
    std::vector<LeftCopy> findLeftCopies() const;
    /// Removes a copy that was restored or that the user discarded.
    static void removeCopy(LeftCopy& copy);
    /// Renames a damaged copy so that it is kept but not offered again; answers the new name.
    static QString setAside(LeftCopy& copy);

  private:
    bool hasUnsavedWork() const;
    void removeOwnCopy();

    Workbench& workbench_;
    QTextDocument* solutionPage_;
    QString folder_, copyPath_, lockPath_;
    std::unique_ptr<QLockFile> lock_;
    QTimer timer_;
    bool active_ = false;
    int writes_ = 0;
    QString lastError_;
};

} // namespace qv
