#pragma once
// A report as a solution writes it: headings in two faces, indexed quantities, Greek letters,
// powers of ten, systems, a picture, and the attributes a user may add afterwards.
#include <QDir>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "report/documenttarget.h"
#include "report/writers.h"

namespace qv {

/// Writes the sample report at the end of `doc`. With `pictureDir` a scheme picture is
/// written there and inserted.
inline void writeSampleReport(QTextDocument& doc, const QString& pictureDir = QString()) {
    QTextCursor caret(&doc);
    caret.movePosition(QTextCursor::End);
    {
        DocumentReportTarget t(caret);
        ReportUpdate update(t);
        t.font("Times New Roman Cyr");
        t.fontSize(14);
        t.insert("Решение методом узловых потенциалов\r");
        if (!pictureDir.isEmpty()) {
            QImage scheme(64, 40, QImage::Format_RGB32);
            scheme.fill(QColor(0x20, 0x80, 0xC0));
            const QString path = QDir(pictureDir).filePath("Test1.png");
            scheme.save(path);
            t.insertPicture({.name = path.toStdString()});
            t.insert("\r");
            t.fontSize(14);
            t.font("Times New Roman");
            t.insert("Electrical scheme\r");
        }
        t.font("Times New Roman");
        t.insert("Inital variables\r");
        writeIndexed(t, "R", "1");
        t.insert("=10Ohm; ");
        writeIndexed(t, "L", "1");
        t.insert("=0.1Gn; \r");
        writeIndexed(t, "Z", "1");
        t.insert("=");
        writeIndexed(t, "R", "1");
        t.insert("+j·");
        t.font("symbol");
        t.fontSize(18);
        t.insert("w");
        t.fontSize(14);
        t.font("Times New Roman");
        t.insert("·");
        writeIndexed(t, "L", "1");
        t.insert("+");
        t.editClear(-1);
        t.insert("=10+j·314.2·0.1·");
        writePowerOfTen(t, -6);
        t.insert("\r");
        const ComplexValue a[] = {{3, 4}, {0, -5}, {-1, 0}, {2, 0}};
        const ComplexValue b[] = {{1, -1}, {0, 0}};
        const std::string indexes[] = {"1", "2"};
        writeComplexSystem(t, b, a, 2, indexes, "j", "Symbol", 4);
        const Extended ra[] = {1, -1, 2, -1.5L};
        const Extended rb[] = {0, 10};
        const std::string letters[] = {"I", "I"};
        Sistema(t).writeSystem(ra, letters, indexes, 2, 5, 5, rb);
        writeGreekComplexValue(t, "j", "1", {0.5L, -0.25L}, 4);
        t.insert("\r");
    }
    // What a user adds on the page: bold, italic, underlined, coloured, centred text.
    QTextCharFormat f;
    f.setFontFamilies({QStringLiteral("Arial")});
    f.setFontPointSize(12);
    f.setFontWeight(QFont::Bold);
    f.setFontItalic(true);
    f.setFontUnderline(true);
    f.setForeground(QColor(0xC0, 0x10, 0x10));
    f.setBackground(QColor(0xFF, 0xFF, 0xA0));
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    centred.setLeftMargin(20);
    caret.insertBlock(centred, f);
    caret.insertText(QStringLiteral("Checked {ok} \\ done"), f);
}

} // namespace qv
