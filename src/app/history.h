#pragma once
// The undo history: every user action that changes a document becomes one command holding the
// document's own record (and its numbering) from before and after the action, and the version
// numbers that name those two states, so that a document can tell whether undo or redo has
// brought it back to the state that was saved.
#include <QByteArray>
#include <QString>
#include <QUndoCommand>
#include <functional>
#include <vector>

#include "platform/binarystream.h"

namespace qv {

class FizDisp;

/// A document as its file would hold it, plus the numbering that files do not keep, so that
/// undoing a placement gives the next object the same number again.
struct DocumentState {
    QByteArray record; ///< shared between the steps that hold the same state
    std::vector<int32_t> classCounters;
    int32_t nextBranchNumber = 1, nextNodeNumber = 1;
    friend bool operator==(const DocumentState&, const DocumentState&) = default;
};

DocumentState captureState(FizDisp& doc);
/// Replaces the contents of `doc` by `state`. The record was written by this program a moment
/// ago, so it reads back whole.
void restoreState(FizDisp& doc, const DocumentState& state);

/// One step of the history over one or more documents.
class SnapshotCommand : public QUndoCommand {
  public:
    struct Change {
        FizDisp* doc;
        DocumentState before, after;
        uint64_t beforeVersion = 0, afterVersion = 0;
    };
    /// `restored` runs after every undo and redo with the document that was replaced and the
    /// version of the state it now holds.
    using Restored = std::function<void(FizDisp&, uint64_t version)>;
    SnapshotCommand(const QString& text, std::vector<Change> changes, Restored restored);
    void undo() override;
    void redo() override;

  private:
    std::vector<Change> changes_;
    Restored restored_;
    bool done_ = true; ///< pushed after the action already ran
};

} // namespace qv
