#include "platform/fonts.h"

#include <QFont>

namespace qv {

void installFontSubstitutions() {
    QFont::insertSubstitution(QStringLiteral("Times New Roman Cyr"), QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    // Symbol-font text is turned into real Greek letters, which a serif face has.
    QFont::insertSubstitution(QStringLiteral("Symbol"), QStringLiteral("Liberation Serif"));
}

bool isSymbolFont(const QString& name) {
    return name.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0;
}

char16_t symbolToGreek(char16_t u) {
    // The symbol font's layout of the Latin letters, 'A'..'Z' then 'a'..'z'.
    static const char16_t upper[26] = {
        u'\u0391', u'\u0392', u'\u03A7', u'\u0394', u'\u0395', u'\u03A6', u'\u0393', u'\u0397', u'\u0399',
        u'\u03D1', u'\u039A', u'\u039B', u'\u039C', u'\u039D', u'\u039F', u'\u03A0', u'\u0398', u'\u03A1',
        u'\u03A3', u'\u03A4', u'\u03A5', u'\u03C2', u'\u03A9', u'\u039E', u'\u03A8', u'\u0396'};
    static const char16_t lower[26] = {
        u'\u03B1', u'\u03B2', u'\u03C7', u'\u03B4', u'\u03B5', u'\u03D5', u'\u03B3', u'\u03B7', u'\u03B9',
        u'\u03C6', u'\u03BA', u'\u03BB', u'\u03BC', u'\u03BD', u'\u03BF', u'\u03C0', u'\u03B8', u'\u03C1',
        u'\u03C3', u'\u03C4', u'\u03C5', u'\u03D6', u'\u03C9', u'\u03BE', u'\u03C8', u'\u03B6'};
    if (u >= u'A' && u <= u'Z') return upper[u - u'A'];
    if (u >= u'a' && u <= u'z') return lower[u - u'a'];
    return u;
}

QString symbolToGreek(const QString& text) {
    QString out = text;
    for (QChar& c : out)
        c = QChar(symbolToGreek(c.unicode()));
    return out;
}

} // namespace qv
