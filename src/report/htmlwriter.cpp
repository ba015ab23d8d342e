// Writing a report document as HTML and as plain text. The HTML is the one a rich-text
// editor's document of the same content gives (paragraph by paragraph, a span per run with
// the attributes that differ from the document's font), so a report reads the same whichever
// way it was made.
#include <QBuffer>
#include <QTextCharFormat>

#include <array>
#include <unordered_map>

#include "report/reportdocument.h"
#include "report/reportfile.h"

namespace qv {

namespace {

using Paragraph = ReportDocument::Paragraph;
using Run = ReportDocument::Run;

QString colourValue(QRgb rgba) {
    const QColor c = QColor::fromRgba(rgba);
    if (c.alpha() == 255) return c.name();
    if (c.alpha() == 0) return QStringLiteral("transparent");
    QString alpha = QString::number(c.alphaF(), 'f', 6);
    while (alpha.endsWith(QLatin1Char('0')))
        alpha.chop(1);
    if (alpha.endsWith(QLatin1Char('.'))) alpha.chop(1);
    return QStringLiteral("rgba(%1,%2,%3,%4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(alpha);
}

class HtmlWriter {
  public:
    explicit HtmlWriter(const ReportDocument& document) : doc_(document), styles_(document.formats().size()) {
        const QFont& f = document.defaultFont();
        defaultFamilies_ = f.families();
        if (defaultFamilies_.isEmpty()) defaultFamilies_ = QStringList{f.family()};
        defaultPoints_ = f.pointSizeF();
    }

    QString write() {
        const QFont& f = doc_.defaultFont();
        html_.reserve(doc_.text().size() * 6 + 1024);
        html_ +=
            QLatin1String("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\" "
                          "\"http://www.w3.org/TR/REC-html40/strict.dtd\">\n"
                          "<html><head><meta name=\"qrichtext\" content=\"1\" /><meta charset=\"utf-8\" />"
                          "<style type=\"text/css\">\n"
                          "p, li { white-space: pre-wrap; }\n"
                          "hr { height: 1px; border-width: 0; }\n"
                          "li.unchecked::marker { content: \"\\2610\"; }\n"
                          "li.checked::marker { content: \"\\2612\"; }\n"
                          "</style></head><body style=\"");
        emitFamilies(defaultFamilies_);
        if (f.pointSizeF() > 0) {
            html_ += QLatin1String(" font-size:") + QString::number(f.pointSizeF()) + QLatin1String("pt;");
        } else if (f.pixelSize() > 0) {
            html_ += QLatin1String(" font-size:") + QString::number(f.pixelSize()) + QLatin1String("px;");
        }
        html_ += QLatin1String(" font-weight:") + QString::number(f.weight()) + QLatin1Char(';');
        html_ += f.italic() ? QLatin1String(" font-style:italic;") : QLatin1String(" font-style:normal;");
        html_ += QLatin1String("\">");
        for (const Paragraph& p : doc_.paragraphs())
            writeParagraph(p);
        html_ += QLatin1String("</body></html>");
        return html_;
    }

  private:
    void emitFamilies(const QStringList& families) {
        html_ += QLatin1String(" font-family:");
        bool first = true;
        for (const QString& family : families) {
            if (!first) html_ += QLatin1Char(',');
            first = false;
            const QLatin1String quote =
                family.contains(QLatin1Char('\'')) ? QLatin1String("&quot;") : QLatin1String("'");
            html_ += quote + family.toHtmlEscaped() + quote;
        }
        html_ += QLatin1Char(';');
    }

    /// The attributes of `f` that differ from the document's font, as a style.
    QString style(const RunFormat& f) {
        QString saved;
        std::swap(saved, html_);
        if (!f.family.isEmpty() && QStringList{f.family} != defaultFamilies_) emitFamilies({f.family});
        if (f.points > 0 && f.points != defaultPoints_)
            html_ += QLatin1String(" font-size:") + QString::number(f.points) + QLatin1String("pt;");
        if (f.weight != RunFormat::kUnset && f.weight != doc_.defaultFont().weight())
            html_ += QLatin1String(" font-weight:") + QString::number(f.weight) + QLatin1Char(';');
        if (f.italic && !doc_.defaultFont().italic()) html_ += QLatin1String(" font-style:italic;");
        if (f.underline || f.strikeOut) {
            html_ += QLatin1String(" text-decoration:");
            if (f.underline) html_ += QLatin1String(" underline");
            if (f.strikeOut) html_ += QLatin1String(" line-through");
            html_ += QLatin1Char(';');
        }
        if (f.foreground) html_ += QLatin1String(" color:") + colourValue(*f.foreground) + QLatin1Char(';');
        if (f.background)
            html_ += QLatin1String(" background-color:") + colourValue(*f.background) + QLatin1Char(';');
        switch (f.position) {
        case QTextCharFormat::AlignSubScript:
            html_ += QLatin1String(" vertical-align:sub;");
            break;
        case QTextCharFormat::AlignSuperScript:
            html_ += QLatin1String(" vertical-align:super;");
            break;
        case QTextCharFormat::AlignMiddle:
            html_ += QLatin1String(" vertical-align:middle;");
            break;
        case QTextCharFormat::AlignTop:
            html_ += QLatin1String(" vertical-align:top;");
            break;
        case QTextCharFormat::AlignBottom:
            html_ += QLatin1String(" vertical-align:bottom;");
            break;
        default:
            break;
        }
        std::swap(saved, html_);
        return saved;
    }

    const QString& styleOf(int32_t format) {
        std::optional<QString>& s = styles_[size_t(format)];
        if (!s) s = style(doc_.formats()[size_t(format)]);
        return *s;
    }

    /// Right to left when the first letter with a direction of its own writes so.
    bool rightToLeft(const Paragraph& p) const {
        const std::vector<Run>& runs = doc_.runs();
        for (int32_t r = p.firstRun; r < p.firstRun + p.runCount; ++r) {
            const QStringView text = doc_.textOf(runs[size_t(r)]);
            for (qsizetype i = 0; i < text.size(); ++i) {
                char32_t c = text[i].unicode();
                if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                    c = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
                    ++i;
                }
                switch (QChar::direction(c)) {
                case QChar::DirL:
                    return false;
                case QChar::DirR:
                case QChar::DirAL:
                    return true;
                default:
                    break;
                }
            }
        }
        return false;
    }

    void writeParagraph(const Paragraph& p) {
        html_ += QLatin1String("\n<p");
        const int align = p.alignment == 0 ? int(Qt::AlignLeft) : p.alignment;
        if (align & Qt::AlignLeft) {
        } else if (align & Qt::AlignRight) {
            html_ += QLatin1String(" align=\"right\"");
        } else if (align & Qt::AlignHCenter) {
            html_ += QLatin1String(" align=\"center\"");
        } else if (align & Qt::AlignJustify) {
            html_ += QLatin1String(" align=\"justify\"");
        }
        if (rightToLeft(p)) html_ += QLatin1String(" dir='rtl'");
        const bool empty = p.runCount == 0;
        html_ += QLatin1String(" style=\"");
        if (empty) html_ += QLatin1String("-qt-paragraph-type:empty;");
        html_ += margins(p);
        // An empty paragraph shows the attributes of its mark, which no text repeats.
        if (empty) html_ += styleOf(p.mark);
        html_ += QLatin1String("\">");
        if (empty) html_ += QLatin1String("<br />");
        const std::vector<Run>& runs = doc_.runs();
        for (int32_t r = p.firstRun; r < p.firstRun + p.runCount; ++r) {
            const Run& run = runs[size_t(r)];
            if (run.picture >= 0) {
                writePicture(doc_.pictures()[size_t(run.picture)]);
                continue;
            }
            const QString& s = styleOf(run.format);
            if (!s.isEmpty()) html_ += QLatin1String("<span style=\"") + s + QLatin1String("\">");
            writeText(doc_.textOf(run));
            if (!s.isEmpty()) html_ += QLatin1String("</span>");
        }
        html_ += QLatin1String("</p>");
    }

    /// A paragraph's margins as its style gives them; most paragraphs share the last one's.
    const QString& margins(const Paragraph& p) {
        const std::array<qreal, 5> values{p.topMargin, p.bottomMargin, p.leftMargin, p.rightMargin,
                                          p.textIndent};
        if (margins_.isEmpty() || values != marginValues_) {
            marginValues_ = values;
            margins_ = QLatin1String(" margin-top:") + QString::number(p.topMargin) +
                       QLatin1String("px; margin-bottom:") + QString::number(p.bottomMargin) +
                       QLatin1String("px; margin-left:") + QString::number(p.leftMargin) +
                       QLatin1String("px; margin-right:") + QString::number(p.rightMargin) +
                       QLatin1String("px; -qt-block-indent:0; text-indent:") + QString::number(p.textIndent) +
                       QLatin1String("px;");
        }
        return margins_;
    }

    /// The text with the characters HTML reserves escaped and line breaks as breaks, written
    /// straight on: a report has tens of thousands of runs, mostly a few plain letters.
    void writeText(QStringView text) {
        qsizetype plain = 0; // the start of the letters not written yet
        for (qsizetype i = 0; i < text.size(); ++i) {
            QLatin1StringView replacement;
            switch (text[i].unicode()) {
            case '<':
                replacement = QLatin1StringView("&lt;");
                break;
            case '>':
                replacement = QLatin1StringView("&gt;");
                break;
            case '&':
                replacement = QLatin1StringView("&amp;");
                break;
            case '"':
                replacement = QLatin1StringView("&quot;");
                break;
            case '\n':
            case QChar::LineSeparator:
                replacement = QLatin1StringView("<br />");
                break;
            default:
                continue;
            }
            html_ += text.mid(plain, i - plain);
            html_ += replacement;
            plain = i + 1;
        }
        html_ += text.mid(plain);
    }

    void writePicture(const ReportDocument::Picture& picture) {
        html_ += QLatin1String("<img");
        const QString src = source(picture);
        if (!src.isEmpty()) html_ += QLatin1String(" src=\"") + src + QLatin1Char('"');
        if (picture.shown.width() > 0)
            html_ += QLatin1String(" width=\"") + QString::number(picture.shown.width()) + QLatin1Char('"');
        if (picture.shown.height() > 0)
            html_ += QLatin1String(" height=\"") + QString::number(picture.shown.height()) + QLatin1Char('"');
        html_ += QLatin1String(" />");
    }

    /// What the picture shows as the address of its PNG data, made once for an image that
    /// several pictures show.
    QString source(const ReportDocument::Picture& picture) {
        const QImage image = picture.toImage();
        if (image.isNull()) return {};
        const auto cached = png_.find(image.cacheKey());
        if (cached != png_.end()) return cached->second;
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        const QString src =
            (QLatin1String("data:image/png;base64,") + QString::fromLatin1(png.toBase64())).toHtmlEscaped();
        png_.emplace(image.cacheKey(), src);
        return src;
    }

    const ReportDocument& doc_;
    QStringList defaultFamilies_;
    qreal defaultPoints_ = 0;
    QString html_;
    QString margins_;
    std::array<qreal, 5> marginValues_{};
    std::vector<std::optional<QString>> styles_;
    std::unordered_map<qint64, QString> png_;
};

} // namespace

QByteArray writeHtml(const ReportDocument& document) {
    return HtmlWriter(document).write().toUtf8();
}

QByteArray writePlainText(const ReportDocument& document) {
    QString text;
    text.reserve(document.text().size() + qsizetype(document.paragraphs().size()));
    const auto& runs = document.runs();
    bool first = true;
    for (const ReportDocument::Paragraph& p : document.paragraphs()) {
        if (!first) text += QLatin1Char('\n');
        first = false;
        for (int32_t r = p.firstRun; r < p.firstRun + p.runCount; ++r) {
            const ReportDocument::Run& run = runs[size_t(r)];
            if (run.picture >= 0) continue;
            for (QChar c : document.textOf(run)) {
                switch (c.unicode()) {
                case QChar::LineSeparator:
                case QChar::ParagraphSeparator:
                case 0xFDD0:
                case 0xFDD1:
                    text += QLatin1Char('\n');
                    break;
                case QChar::Nbsp:
                    text += QLatin1Char(' ');
                    break;
                case QChar::ObjectReplacementCharacter:
                    break;
                default:
                    text += c;
                }
            }
        }
    }
    return text.toUtf8();
}

} // namespace qv
