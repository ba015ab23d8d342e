#include "platform/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace qv {
namespace {

Language gLanguage = Language::AsWritten;

} // namespace

std::optional<Language> languageFromName(const QString& name) {
    if (name == QLatin1String("as-written")) return Language::AsWritten;
    if (name == QLatin1String("en")) return Language::English;
    if (name == QLatin1String("ru")) return Language::Russian;
    return std::nullopt;
}

QString languageName(Language language) {
    switch (language) {
    case Language::English:
        return QStringLiteral("en");
    case Language::Russian:
        return QStringLiteral("ru");
    case Language::AsWritten:
        break;
    }
    return QStringLiteral("as-written");
}

bool installLanguage(Language language) {
    // Installed once for the life of the process; the windows are built in the language.
    static QTranslator* own = nullptr;
    static QTranslator* qt = nullptr;
    for (QTranslator** t : {&own, &qt}) {
        if (*t) QCoreApplication::removeTranslator(*t);
        delete *t;
        *t = nullptr;
    }
    gLanguage = Language::AsWritten;
    if (language == Language::AsWritten) return true;
    // The compiled translations are resources of the program, so a build folder and an
    // installed program find them alike.
    own = new QTranslator;
    if (!own->load(QStringLiteral(":/i18n/quorvel_%1.qm").arg(languageName(language)))) {
        delete own;
        own = nullptr;
        return false;
    }
    QCoreApplication::installTranslator(own);
    gLanguage = language;
    if (language == Language::Russian) {
        // Qt's standard buttons ("Cancel", "Yes") from the system's Qt translations, if any.
        qt = new QTranslator;
        if (qt->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(qt);
        else {
            delete qt;
            qt = nullptr;
        }
    }
    return true;
}

Language currentLanguage() {
    return gLanguage;
}

} // namespace qv
