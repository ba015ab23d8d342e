#pragma once
// Process-wide state of one workbench: what the program keeps once for all documents
// (message boxes, dialog presenter, the expression evaluator, the pick tolerance, the
// solver's settings, the report's picture counter). A document reaches it through
// `FizDisp::context()`; two workbenches (or two tests) never share one.
#include <QString>

#include <memory>
#include <typeindex>
#include <unordered_map>

#include "platform/dialogmodel.h"
#include "platform/extended.h"
#include "platform/messages.h"

namespace qv {

struct Context {
    Context();
    ~Context();

    /// Distance in pixels within which line hit tests succeed (4 on the scheme page).
    int pickTolerance = 4;
    /// Report picture counter.
    int pictureCounter = 0;
    /// The program folder whose "pictures" folder took the last report picture: later
    /// pictures go there without asking the file system again. Empty: none yet.
    QString pictureHome;
    /// Solver settings shared by the methods.
    Extended omega = 0;
    int numberPrecision = 6;
    int numberDigits = 0;

    /// The single, shared instance of a dialog model: dialogs keep their state between uses.
    template <class T> T& dialog() {
        auto& slot = dialogs_[std::type_index(typeid(T))];
        if (!slot) slot = std::make_unique<T>();
        return static_cast<T&>(*slot);
    }

    /// A helper kept once per workbench whose class a higher layer defines (the expression
    /// evaluator, shared by every value field, is one): made on first use.
    template <class T> T& service() {
        auto& slot = services_[std::type_index(typeid(T))];
        if (!slot) slot = std::make_shared<T>();
        return *static_cast<T*>(slot.get());
    }

    Messages* messages() const { return messages_; }
    DialogPresenter* presenter() const { return presenter_; }
    /// The front end installs its own message boxes and dialogs; by default messages are
    /// recorded and dialogs are cancelled.
    void setMessages(Messages* m) { messages_ = m ? m : defaultMessages_.get(); }
    void setPresenter(DialogPresenter* p) { presenter_ = p ? p : defaultPresenter_.get(); }

  private:
    std::unordered_map<std::type_index, std::unique_ptr<DialogModel>> dialogs_;
    std::unordered_map<std::type_index, std::shared_ptr<void>> services_;
    std::unique_ptr<RecordingMessages> defaultMessages_;
    std::unique_ptr<ScriptedPresenter> defaultPresenter_;
    Messages* messages_;
    DialogPresenter* presenter_;
};

} // namespace qv
