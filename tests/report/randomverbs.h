#pragma once
// Random streams of report verbs: the faces, sizes, positions, pictures and take-backs the
// solvers use, and text with what the writers must escape (braces, backslashes, markup
// characters, tabs, no-break spaces, line separators, Cyrillic, a letter beyond the Basic
// Multilingual Plane), so that two ways of writing a report can be compared on any of them.
#include <QDir>
#include <QFile>
#include <QImage>

#include <random>
#include <string>
#include <vector>

#include "platform/emfformat.h"
#include "platform/emfwriter.h"
#include "report/recordingtarget.h"
#include "support/emfsample.h"

namespace qv::test {

/// A small image and a small metafile for InsertPicture, written into `folder`.
struct VerbPictures {
    QString png, emf;
    explicit VerbPictures(const QString& folder) {
        png = QDir(folder).filePath("scheme.png");
        QImage image(6, 4, QImage::Format_RGB32);
        image.fill(QColor(0x20, 0x80, 0xC0));
        image.save(png);
        emf = QDir(folder).filePath("Test1.emf");
        EmfCanvas canvas;
        canvas.setDescription("Quorvel", "sample");
        canvas.setFrame({0, 0, 2000, 1500});
        canvas.setMapMode(emf::MmAnisotropic);
        canvas.setWindowExt(100, 100);
        canvas.setViewportExt(100, 100);
        drawSample(canvas);
        QFile f(emf);
        if (f.open(QIODevice::WriteOnly)) f.write(canvas.finish());
    }
};

/// `count` verbs drawn by `rng`; pictures only when `pictures` is given.
inline std::vector<ReportCall> randomVerbs(std::mt19937& rng, int count, const VerbPictures* pictures) {
    static const char* const texts[] = {"R",
                                        "1",
                                        "=",
                                        "+",
                                        "Решение\r",
                                        "\r",
                                        "\n",
                                        "\r\n",
                                        "w j D",
                                        "a{b}c\\d",
                                        "<&\">",
                                        "\t",
                                        "\u00A0x",
                                        "x\u2028y",
                                        "\U0001D70B",
                                        "·10",
                                        "Electrical scheme\r",
                                        "",
                                        "é ß",
                                        "12",
                                        "-j0.5",
                                        "(3+j4)",
                                        "I11=",
                                        "Inital variables\r"};
    static const char* const faces[] = {"Times New Roman", "symbol", "Symbol", "Times New Roman Cyr",
                                        "Arial"};
    static const int sizes[] = {14, 8, 18, 12, 9, 10};
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    std::vector<ReportCall> calls;
    for (int i = 0; i < count; ++i) {
        ReportCall c;
        const int kind = pick(pictures ? 20 : 19);
        if (kind < 9) {
            c.verb = ReportVerb::Insert;
            c.text = texts[pick(int(std::size(texts)))];
        } else if (kind < 12) {
            c.verb = ReportVerb::FontSize;
            c.number = sizes[pick(int(std::size(sizes)))];
        } else if (kind < 15) {
            c.verb = ReportVerb::Font;
            c.text = faces[pick(int(std::size(faces)))];
        } else if (kind < 17) {
            c.verb = ReportVerb::FormatFont;
            const int f = pick(5);
            if (f == 0) c.format = {.subscript = 1};
            if (f == 1) c.format = {.subscript = 0};
            if (f == 2) c.format = {.superscript = 1};
            if (f == 3) c.format = {.superscript = 0, .points = "14"};
            if (f == 4) c.format = {.subscript = 1, .points = "12"};
        } else if (kind < 19) {
            c.verb = ReportVerb::EditClear;
            c.number = -1 - pick(3);
        } else {
            c.verb = ReportVerb::InsertPicture;
            c.text = (pick(2) ? pictures->png : pictures->emf).toStdString();
        }
        calls.push_back(c);
    }
    return calls;
}

} // namespace qv::test
