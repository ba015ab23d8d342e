#include "app/history.h"

#include "model/document.h"

namespace qv {

DocumentState captureState(FizDisp& doc) {
    DocumentState s;
    BinaryWriter w;
    doc.saveToStream(w);
    s.record = QByteArray(reinterpret_cast<const char*>(w.bytes().data()), qsizetype(w.size()));
    for (const NClassInf& c : doc.classes())
        s.classCounters.push_back(c.counter);
    s.nextBranchNumber = doc.nextBranchNumber;
    s.nextNodeNumber = doc.nextNodeNumber;
    return s;
}

void restoreState(FizDisp& doc, const DocumentState& state) {
    doc.clear();
    BinaryReader r(reinterpret_cast<const uint8_t*>(state.record.constData()), size_t(state.record.size()));
    doc.loadFromStream(r);
    doc.restoreClassCounters(state.classCounters);
    doc.nextBranchNumber = state.nextBranchNumber;
    doc.nextNodeNumber = state.nextNodeNumber;
}

SnapshotCommand::SnapshotCommand(const QString& text, std::vector<Change> changes, Restored restored)
    : QUndoCommand(text), changes_(std::move(changes)), restored_(std::move(restored)) {}

void SnapshotCommand::undo() {
    for (auto it = changes_.rbegin(); it != changes_.rend(); ++it) {
        restoreState(*it->doc, it->before);
        if (restored_) restored_(*it->doc, it->beforeVersion);
    }
}

void SnapshotCommand::redo() {
    // QUndoStack::push runs redo at once; the action itself has already done the work.
    if (done_) {
        done_ = false;
        return;
    }
    for (Change& c : changes_) {
        restoreState(*c.doc, c.after);
        if (restored_) restored_(*c.doc, c.afterVersion);
    }
}

} // namespace qv
