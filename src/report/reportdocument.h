#pragma once
// The report as data: paragraphs of runs (text in one set of character attributes) and
// pictures, as the report verbs leave them. The rich-text, HTML and plain-text writers write
// straight from it, so a batch solve never pays for a text editor's document; the Solution
// page, ODT and PDF take a QTextDocument built from it in one pass.
#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QRgb>
#include <QSizeF>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class QTextBlockFormat;
class QTextCharFormat;
class QTextCursor;
class QTextDocument;

namespace qv {

/// The character attributes of a run. An attribute may be left unset, and unset is not the
/// same as its default value: a rich-text editor keeps the two apart too, and the HTML of a
/// run says only what is set.
struct RunFormat {
    static constexpr int kUnset = -1;

    QString family;                 ///< the face; empty: unset
    int charset = kUnset;           ///< the face's character set (204 Cyrillic, 2 Symbol, 1 default)
    double points = 0;              ///< the size in points; 0: unset
    int weight = kUnset;            ///< QFont weight (400 normal, 700 bold)
    int8_t position = kUnset;       ///< a QTextCharFormat::VerticalAlignment (normal, sub, super)
    bool italic = false;            ///< set only when true
    bool underline = false;         ///< set only when true
    bool strikeOut = false;         ///< set only when true
    std::optional<QRgb> foreground; ///< the text colour
    std::optional<QRgb> background; ///< the highlight

    bool operator==(const RunFormat&) const = default;

    /// Whether text in this format shows Greek letters for Latin ones: the Symbol character
    /// set, or no character set and the symbol face.
    bool isSymbol() const;
    /// The character set the rich text gives it: the one set, else Symbol for the symbol face
    /// and the default set for any other.
    int effectiveCharset() const;

    /// The attributes of a rich-text editor's format that this format keeps.
    static RunFormat fromCharFormat(const QTextCharFormat& format);
    /// A rich-text editor's format with these attributes set, in a fixed order.
    QTextCharFormat toCharFormat() const;
};

/// The report document. Appending goes through ReportDocumentTarget (the verbs) or
/// fromTextDocument; the writers and the builders read it.
class ReportDocument {
  public:
    /// A picture: an enhanced metafile kept whole (drawn only for the formats that need an
    /// image), or an image.
    struct Picture {
        QByteArray kind; ///< rich-text picture kind ("emfblip", ...); empty for an image
        QByteArray data; ///< the picture's bytes as they are kept
        int picw = 0;    ///< the kept picture's size as rich text gives it (\picw, \pich)
        int pich = 0;
        QImage image;          ///< an image picture; null for a kept one
        QSizeF shown;          ///< the size shown, in pixels at 96 per inch (0: the natural size)
        bool metafile = false; ///< the kept bytes are an enhanced metafile we can draw

        /// What the picture shows: the image, or the metafile drawn at its shown size within
        /// the pixel budget (a null image when it cannot be drawn).
        QImage toImage() const;
    };
    /// Text of one format, or one picture. `length` counts UTF-16 code units of `text()`.
    struct Run {
        int32_t format = 0; ///< index into formats(); a picture's is that of the text around it
        int32_t begin = 0;  ///< in the document's text
        int32_t length = 0;
        int32_t picture = -1; ///< index into pictures(); -1 for text
    };
    struct Paragraph {
        int alignment = 0; ///< Qt::Alignment; 0: unset (left)
        qreal leftMargin = 0, rightMargin = 0, textIndent = 0, topMargin = 0, bottomMargin = 0;
        int32_t mark = 0; ///< the format of its paragraph mark: an empty line's height
        int32_t firstRun = 0;
        int32_t runCount = 0;
    };

    /// A document of one empty paragraph; faces and sizes left unset are those of `defaultFont`
    /// (the application's font when none is given, as a new rich-text document has it).
    ReportDocument();
    explicit ReportDocument(const QFont& defaultFont);
    ~ReportDocument();
    ReportDocument(const ReportDocument&);
    ReportDocument& operator=(const ReportDocument&);
    ReportDocument(ReportDocument&&) noexcept;
    ReportDocument& operator=(ReportDocument&&) noexcept;

    /// The font of text whose face or size is unset.
    const QFont& defaultFont() const { return defaultFont_; }
    const QString& defaultFamily() const { return defaultFamily_; }
    /// The default font's size, 12 points when it has none in points.
    double defaultPoints() const { return defaultPoints_; }
    const std::vector<Paragraph>& paragraphs() const { return paragraphs_; }
    const std::vector<Run>& runs() const { return runs_; }
    const std::vector<RunFormat>& formats() const { return formats_; }
    const std::vector<Picture>& pictures() const { return pictures_; }
    /// Every run's text one after another (a picture stands as U+FFFC).
    const QString& text() const { return text_; }
    QStringView textOf(const Run& run) const { return QStringView(text_).mid(run.begin, run.length); }
    bool isEmpty() const { return runs_.empty() && paragraphs_.size() == 1; }

    // ---- Building (at the end) ----
    /// The index of `format`, added when new.
    int32_t formatIndex(const RunFormat& format);
    /// Appends text without paragraph breaks in the format of that index; it joins the last
    /// run when that has the same format.
    void appendText(QStringView text, int32_t format);
    void appendText(QLatin1StringView text, int32_t format);
    /// Ends the last paragraph; the new one has the given alignment and mark format and the
    /// margins of the one before.
    void appendParagraph(int alignment, int32_t mark);
    void appendPicture(Picture picture, int32_t format);
    Paragraph& lastParagraph() { return paragraphs_.back(); }
    /// Whether the last paragraph holds anything.
    bool lastParagraphHasContent() const { return paragraphs_.back().runCount > 0; }
    /// The last character of the last paragraph; a null character when it holds none.
    QChar lastCharacter() const;
    /// Deletes up to `count` characters at the end (a paragraph break, a picture and a letter
    /// outside the Basic Multilingual Plane count one each). Joined paragraphs keep the mark
    /// of the earlier one, and its alignment and margins unless it was empty (then those of
    /// the later one), as an editor joins them. Returns how many were deleted.
    int removeLast(int count);

    /// The document of a rich-text editor: what the writers of this document keep of it.
    static ReportDocument fromTextDocument(const QTextDocument& document);

    /// Inserts the document at `cursor` in one pass, as typing it there would: the first
    /// paragraph continues the cursor's block (taking its alignment only when that differs),
    /// each further one is a new block with the format of the cursor's block and its own
    /// alignment and margins. Runs go in whole, one insertion each. Metafiles are drawn for
    /// the document's images. The cursor ends after what was inserted; call it inside an edit
    /// block for one undo step.
    void insertInto(QTextCursor& cursor) const;
    /// Fills an empty rich-text document with this one, first paragraph and its mark included.
    void fill(QTextDocument& document) const;

  private:
    void insert(QTextCursor& cursor, bool intoEmptyDocument) const;

    QFont defaultFont_;
    QString defaultFamily_;
    double defaultPoints_ = 12;
    QString text_;
    std::vector<Run> runs_;
    std::vector<Paragraph> paragraphs_;
    std::vector<RunFormat> formats_;
    std::vector<Picture> pictures_;
    /// The formats formatIndex found last, the latest first; -1: none.
    std::array<int32_t, 4> recentFormats_{-1, -1, -1, -1};
};

} // namespace qv
