#pragma once
// Message boxes as the core asks for them; the GUI shows them with Qt, tests script them.
#include <QString>

namespace qv {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgResult { Ok, Cancel, Yes, No };
enum class MsgIcon { None, Information, Warning, Error };

/// Shows a modal message box and answers which button closed it.
class Messages {
  public:
    virtual ~Messages() = default;
    virtual MsgResult show(const QString& text, const QString& caption, MsgButtons buttons,
                           MsgIcon icon = MsgIcon::None) = 0;
};

/// Answers Ok (or Yes) to everything and remembers what was shown; the default for
/// headless use and the base of test scripts.
class RecordingMessages : public Messages {
  public:
    struct Shown {
        QString text, caption;
        MsgButtons buttons;
    };
    MsgResult show(const QString& text, const QString& caption, MsgButtons buttons, MsgIcon) override {
        shown.push_back({text, caption, buttons});
        if (!answers.isEmpty()) return answers.takeFirst();
        return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgResult::Yes
                                                                                  : MsgResult::Ok;
    }
    QList<Shown> shown;
    QList<MsgResult> answers; ///< given in order; Ok/Yes once they run out
};

} // namespace qv
