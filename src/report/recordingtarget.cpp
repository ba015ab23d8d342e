#include "report/recordingtarget.h"

#include <QString>

#include "platform/fonts.h"

namespace qv {

namespace {

std::string quoted(const std::string& s) {
    return "\"" + s + "\"";
}

} // namespace

std::string ReportCall::describe() const {
    switch (verb) {
    case ReportVerb::Insert:
        return "Insert(" + quoted(text) + ")";
    case ReportVerb::FontSize:
        return "FontSize(" + std::to_string(number) + ")";
    case ReportVerb::Font:
        return "Font(" + quoted(text) + ")";
    case ReportVerb::FormatFont: {
        std::string args;
        auto add = [&](const std::string& a) { args += (args.empty() ? "" : ", ") + a; };
        if (format.subscript) add("Subscript=" + std::to_string(*format.subscript));
        if (format.superscript) add("Superscript=" + std::to_string(*format.superscript));
        if (format.points != kNoPoints) add("Points=" + quoted(format.points));
        return "FormatFont(" + args + ")";
    }
    case ReportVerb::InsertPicture:
        return "InsertPicture(" + quoted(text) +
               (linkToFile.empty() ? "" : ", LinkToFile=" + quoted(linkToFile)) + ")";
    case ReportVerb::EditClear:
        return "EditClear(" + std::to_string(number) + ")";
    }
    return {};
}

void RecordingReportTarget::record(ReportCall call) {
    if (onCall) onCall(call);
    calls.push_back(std::move(call));
}

void RecordingReportTarget::insert(const std::string& text) {
    ReportCall c;
    c.verb = ReportVerb::Insert;
    c.text = text;
    record(std::move(c));
}

void RecordingReportTarget::fontSize(int points) {
    ReportCall c;
    c.verb = ReportVerb::FontSize;
    c.number = points;
    record(std::move(c));
}

void RecordingReportTarget::font(const std::string& name) {
    ReportCall c;
    c.verb = ReportVerb::Font;
    c.text = name;
    record(std::move(c));
}

void RecordingReportTarget::formatFont(const FormatFontArgs& args) {
    ReportCall c;
    c.verb = ReportVerb::FormatFont;
    c.format = args;
    record(std::move(c));
}

void RecordingReportTarget::insertPicture(const InsertPictureArgs& args) {
    ReportCall c;
    c.verb = ReportVerb::InsertPicture;
    c.text = args.name;
    c.linkToFile = args.linkToFile;
    record(std::move(c));
}

void RecordingReportTarget::editClear(int count) {
    ReportCall c;
    c.verb = ReportVerb::EditClear;
    c.number = count;
    record(std::move(c));
}

std::string RecordingReportTarget::transcript() const {
    std::string out;
    for (const ReportCall& c : calls) {
        if (!out.empty()) out += ' ';
        out += c.describe();
    }
    return out;
}

std::string RecordingReportTarget::shownText() const {
    enum Mode { Normal, Low, High };
    struct Shown {
        QChar ch;
        Mode mode;
    };
    std::vector<Shown> shown;
    int size = 14;
    bool symbol = false;
    Mode position = Normal;
    for (const ReportCall& c : calls) {
        switch (c.verb) {
        case ReportVerb::Insert: {
            QString text = QString::fromUtf8(c.text);
            text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QChar('\r'), QChar('\n'));
            if (symbol) text = symbolToGreek(text);
            const Mode mode = position != Normal ? position : size < 10 ? Low : Normal;
            for (QChar ch : text)
                shown.push_back({ch, ch == '\n' ? Normal : mode});
            break;
        }
        case ReportVerb::FontSize:
            size = c.number;
            break;
        case ReportVerb::Font:
            symbol = charsetForReportFont(c.text) == kSymbolCharset;
            break;
        case ReportVerb::FormatFont:
            if (c.format.points != kNoPoints)
                size = QString::fromStdString(c.format.points).trimmed().toInt();
            position = c.format.superscript.value_or(0) == 1 ? High
                       : c.format.subscript.value_or(0) == 1 ? Low
                                                             : Normal;
            break;
        case ReportVerb::InsertPicture:
            shown.push_back({QChar(0xFFFC), Normal});
            break;
        case ReportVerb::EditClear:
            if (c.number < 0)
                shown.resize(shown.size() - std::min(shown.size(), size_t(-static_cast<long>(c.number))));
            break;
        }
    }
    QString out;
    Mode open = Normal;
    for (const Shown& s : shown) {
        if (s.mode != open) {
            if (open != Normal) out += '}';
            if (s.mode == Low) out += QLatin1String("_{");
            if (s.mode == High) out += QLatin1String("^{");
            open = s.mode;
        }
        out += s.ch;
    }
    if (open != Normal) out += '}';
    return out.toStdString();
}

void replay(const std::vector<ReportCall>& calls, ReportTarget& t) {
    for (const ReportCall& c : calls) {
        switch (c.verb) {
        case ReportVerb::Insert:
            t.insert(c.text);
            break;
        case ReportVerb::FontSize:
            t.fontSize(c.number);
            break;
        case ReportVerb::Font:
            t.font(c.text);
            break;
        case ReportVerb::FormatFont:
            t.formatFont(c.format);
            break;
        case ReportVerb::InsertPicture:
            t.insertPicture({c.text, c.linkToFile});
            break;
        case ReportVerb::EditClear:
            t.editClear(c.number);
            break;
        }
    }
}

} // namespace qv
