#include "app/recovery.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextDocument>
#include <QUuid>
#include <algorithm>

#include "app/workbench.h"
#include "io/workshopfile.h"
#include "platform/binarystream.h"
#include "platform/bytefile.h"
#include "report/pendingreport.h"

namespace qv {

namespace {

constexpr char kMark[] = "QVRECOV1";
constexpr size_t kMarkSize = sizeof(kMark) - 1;
constexpr int kHashSize = 32;
/// Longer file names than this are no names of a real file system.
constexpr int32_t kMaxNameBytes = 4096;
const QString kCopySuffix = QStringLiteral(".qvr");
const QString kLockSuffix = QStringLiteral(".lock");

QByteArray hashOf(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

QString baseOf(const QString& copyPath) {
    return copyPath.left(copyPath.size() - kCopySuffix.size());
}

} // namespace

QByteArray writeRecoveryRecord(const RecoveryRecord& record) {
    BinaryWriter w;
    w.writeRaw(reinterpret_cast<const uint8_t*>(kMark), kMarkSize);
    const qint64 ms = record.savedAt.toMSecsSinceEpoch();
    w.writeInt32(int32_t(uint32_t(quint64(ms) & 0xFFFFFFFFu)));
    w.writeInt32(int32_t(uint32_t(quint64(ms) >> 32)));
    const QByteArray name = record.workshopFile.toUtf8();
    w.writeInt32(int32_t(name.size()));
    w.writeRaw(reinterpret_cast<const uint8_t*>(name.constData()), size_t(name.size()));
    w.writeInt32(int32_t(record.workshop.size()));
    const QByteArray hash = hashOf(record.workshop);
    w.writeRaw(reinterpret_cast<const uint8_t*>(hash.constData()), size_t(hash.size()));
    w.writeRaw(reinterpret_cast<const uint8_t*>(record.workshop.constData()), size_t(record.workshop.size()));
    return QByteArray(reinterpret_cast<const char*>(w.bytes().data()), qsizetype(w.size()));
}

bool readRecoveryRecord(const QByteArray& bytes, RecoveryRecord& record, QString* error) {
    auto fail = [error](const QString& why) {
        if (error) *error = why;
        return false;
    };
    if (bytes.size() < qsizetype(kMarkSize) || !bytes.startsWith(kMark))
        return fail(QStringLiteral("it is not a recovery copy"));
    BinaryReader r(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
    r.seek(kMarkSize);
    const uint32_t low = uint32_t(r.int32()), high = uint32_t(r.int32());
    const int32_t nameBytes = r.int32();
    if (r.failed() || nameBytes < 0 || nameBytes > kMaxNameBytes || size_t(nameBytes) > r.remaining())
        return fail(QStringLiteral("its header is damaged"));
    const QByteArray name(reinterpret_cast<const char*>(r.data() + r.position()), nameBytes);
    r.seek(r.position() + size_t(nameBytes));
    const int32_t length = r.int32();
    if (r.failed() || r.remaining() < size_t(kHashSize)) return fail(QStringLiteral("it is cut short"));
    const QByteArray hash(reinterpret_cast<const char*>(r.data() + r.position()), kHashSize);
    r.seek(r.position() + kHashSize);
    if (length < 0 || size_t(length) != r.remaining())
        return fail(QStringLiteral("it holds %1 bytes of work where %2 were written")
                        .arg(qulonglong(r.remaining()))
                        .arg(length));
    const QByteArray workshop(reinterpret_cast<const char*>(r.data() + r.position()), length);
    if (hashOf(workshop) != hash) return fail(QStringLiteral("its content does not match its checksum"));
    record.savedAt = QDateTime::fromMSecsSinceEpoch(qint64((quint64(high) << 32) | low), Qt::UTC);
    record.workshopFile = QString::fromUtf8(name);
    record.workshop = workshop;
    return true;
}

bool checkRecoveredWork(Workbench& wb, const RecoveryRecord& record, QString* error) {
    std::unique_ptr<FizDisp> scheme = wb.scheme().createEmpty();
    wb.scheme().copySettingsTo(*scheme);
    std::unique_ptr<FizDisp> vector = wb.vectorDoc().createEmpty();
    wb.vectorDoc().copySettingsTo(*vector);
    QByteArray solution;
    const IoStatus status =
        readWorkshop(*scheme, *vector, solution, record.workshop, QStringLiteral("the work"));
    if (!status) {
        if (error) *error = status.error;
        return false;
    }
    QTextDocument page;
    QString why;
    if (!Workbench::readSolutionRecord(solution, page, &why)) {
        if (error) *error = why.isEmpty() ? QStringLiteral("its Solution page cannot be read") : why;
        return false;
    }
    return true;
}

bool restoreRecoveredWork(Workbench& workbench, const RecoveryRecord& record, QByteArray& solution,
                          QString* error) {
    workbench.cancelEditing();
    const IoStatus status = readWorkshop(workbench.scheme(), workbench.vectorDoc(), solution, record.workshop,
                                         QStringLiteral("The recovery copy"));
    if (!status) {
        if (error) *error = status.error;
        return false;
    }
    workbench.workshopFile = record.workshopFile;
    if (record.workshopFile.isEmpty())
        workbench.setCaptionNew();
    else
        workbench.setCaptionForFile(record.workshopFile);
    workbench.resetHistory();
    // Nothing of it is saved: the caption shows it, and closing or opening over any part asks.
    for (Workbench::Part part : {Workbench::Part::Scheme, Workbench::Part::Vector, Workbench::Part::Solution})
        workbench.markUnsaved(part);
    return true;
}

// ---- the keeper ----

QString RecoveryKeeper::defaultFolder() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return data.isEmpty() ? QString() : QDir(data).filePath(QStringLiteral("recovery"));
}

RecoveryKeeper::RecoveryKeeper(Workbench& workbench, const QString& folder, QTextDocument* solutionPage,
                               std::chrono::milliseconds delay)
    : workbench_(workbench), solutionPage_(solutionPage), folder_(folder) {
    const QString base = QDir(folder).filePath(QUuid::createUuid().toString(QUuid::WithoutBraces));
    copyPath_ = base + kCopySuffix;
    lockPath_ = base + kLockSuffix;
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        lastError_ = folder.isEmpty() ? QStringLiteral("There is no data folder for recovery copies")
                                      : QStringLiteral("Cannot make the folder %1").arg(folder);
        return;
    }
    lock_ = std::make_unique<QLockFile>(lockPath_);
    if (!lock_->tryLock(0)) {
        lastError_ = QStringLiteral("Cannot make the lock file %1").arg(lockPath_);
        lock_.reset();
        return;
    }
    active_ = true;
    timer_.setSingleShot(true);
    timer_.setInterval(delay);
    // The timer is the receiver, so the connections end with the keeper.
    QObject::connect(&timer_, &QTimer::timeout, [this] { writeNow(); });
    QObject::connect(&workbench_.undoStack(), &QUndoStack::indexChanged, &timer_, [this] { noteChange(); });
    if (solutionPage_) {
        QObject::connect(solutionPage_, &QTextDocument::contentsChanged, &timer_, [this] { noteChange(); });
        QObject::connect(solutionPage_, &QObject::destroyed, &timer_, [this] { solutionPage_ = nullptr; });
    }
}

RecoveryKeeper::~RecoveryKeeper() {
    // A change not yet written still goes into the copy: this end was not a clean one.
    if (active_ && timer_.isActive()) writeNow();
}

void RecoveryKeeper::noteChange() {
    // Not restarted by later changes: a stream of changes is written once per delay.
    if (active_ && !timer_.isActive()) timer_.start();
}

void RecoveryKeeper::markClean() {
    timer_.stop();
    removeOwnCopy();
}

void RecoveryKeeper::noteSaved() {
    // A part saved on its own leaves the others unsaved: the copy stays, with the new state.
    if (hasUnsavedWork())
        noteChange();
    else
        markClean();
}

bool RecoveryKeeper::hasUnsavedWork() const {
    // Each part keeps its own changed state; the page's counts even when the workbench does
    // not know the page.
    return workbench_.isModified() || (solutionPage_ && solutionPage_->isModified());
}

void RecoveryKeeper::removeOwnCopy() {
    if (active_ && QFileInfo::exists(copyPath_)) QFile::remove(copyPath_);
}

bool RecoveryKeeper::writeNow() {
    timer_.stop();
    if (!active_) return false;
    if (!hasUnsavedWork()) {
        removeOwnCopy();
        return true;
    }
    RecoveryRecord record;
    record.savedAt = QDateTime::currentDateTimeUtc();
    record.workshopFile = workbench_.workshopFile;
    // The records of the last step: a branch half placed would not read back.
    record.workshop = workbench_.committedRecord(Page::Scheme) + workbench_.committedRecord(Page::Vector);
    if (solutionPage_) {
        // The copy holds a solution whole, never the part of it already on the page.
        finishPendingReport(*solutionPage_);
        record.workshop += Workbench::solutionRecord(*solutionPage_);
    }
    QSaveFile file(copyPath_);
    if (!file.open(QIODevice::WriteOnly) || file.write(writeRecoveryRecord(record)) < 0 || !file.commit()) {
        lastError_ =
            QStringLiteral("Cannot write the recovery copy %1: %2").arg(copyPath_, file.errorString());
        return false;
    }
    lastError_.clear();
    ++writes_;
    return true;
}

std::vector<LeftCopy> RecoveryKeeper::findLeftCopies() const {
    std::vector<LeftCopy> found;
    if (!active_) return found;
    const QDir dir(folder_);
    for (const QFileInfo& info : dir.entryInfoList({QStringLiteral("*") + kCopySuffix}, QDir::Files)) {
        const QString path = info.absoluteFilePath();
        if (QFileInfo(path) == QFileInfo(copyPath_)) continue;
        auto lock = std::make_shared<QLockFile>(baseOf(path) + kLockSuffix);
        // Only a process that is gone counts, however old its lock.
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0)) continue; // its workbench is running
        LeftCopy copy;
        copy.path = path;
        copy.lock = lock;
        copy.savedAt = info.lastModified().toUTC();
        QByteArray bytes;
        if (!readByteFile(path, bytes, &copy.error)) {
            // kept aside as damaged, with the reason
        } else if (readRecoveryRecord(bytes, copy.record, &copy.error)) {
            copy.savedAt = copy.record.savedAt;
            // A copy is restored whole or not at all.
            checkRecoveredWork(workbench_, copy.record, &copy.error);
        }
        found.push_back(std::move(copy));
    }
    // Lock files whose process ended before it wrote a copy.
    for (const QFileInfo& info : dir.entryInfoList({QStringLiteral("*") + kLockSuffix}, QDir::Files)) {
        const QString path = info.absoluteFilePath();
        if (path == QFileInfo(lockPath_).absoluteFilePath() ||
            QFileInfo::exists(path.left(path.size() - kLockSuffix.size()) + kCopySuffix))
            continue;
        QLockFile stale(path);
        stale.setStaleLockTime(0);
        if (stale.tryLock(0)) stale.unlock();
    }
    std::sort(found.begin(), found.end(),
              [](const LeftCopy& a, const LeftCopy& b) { return a.savedAt > b.savedAt; });
    return found;
}

void RecoveryKeeper::removeCopy(LeftCopy& copy) {
    QFile::remove(copy.path);
    if (copy.lock) copy.lock->unlock();
}

QString RecoveryKeeper::setAside(LeftCopy& copy) {
    QString aside = copy.path + QStringLiteral(".damaged");
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = copy.path + QStringLiteral(".damaged%1").arg(n);
    if (!QFile::rename(copy.path, aside)) aside = copy.path;
    if (copy.lock) copy.lock->unlock();
    return aside;
}

} // namespace qv
