#pragma once
#include <QString>
#include <optional>

namespace qv {

/// The languages of the program's texts. `AsWritten` loads no translation: every caption,
/// message and report heading is the program's own text, which files and scripts rely on.
/// `English` gives the same texts in plain spelling, `Russian` a Russian interface and report.
enum class Language { AsWritten, English, Russian };

/// The language a `--language` value or a stored setting names ("as-written", "en", "ru");
/// none for anything else.
std::optional<Language> languageFromName(const QString& name);
QString languageName(Language language);

/// Puts the translations of `language` in force for the running application (the program's
/// own, and for Russian also Qt's for its standard buttons where the system has them).
/// Returns false when a translation could not be loaded; the texts then stay as written.
bool installLanguage(Language language);

/// The language in force.
Language currentLanguage();

} // namespace qv
