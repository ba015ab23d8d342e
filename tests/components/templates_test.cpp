#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <climits>
#include <set>
#include <string>

#include "components/components.h"
#include "components/nodes.h"
#include "components/templates.h"
#include "graphics/primitives.h"
#include "io/documentfile.h"
#include "model/document.h"
#include "platform/binarystream.h"
#include "support/testfiles.h"

using namespace qv;

namespace {

QString elementsFolder() {
    return qv::test::requiredEnvironment("QUORVEL_ELEMENTS");
}

/// Writes `doc` as the element file `name` in `dir`.
void writeTemplate(const QTemporaryDir& dir, const char* name, FizDisp& doc) {
    ASSERT_TRUE(saveDocumentFile(doc, dir.filePath(QString::fromLatin1(name))));
}

} // namespace

TEST(ElementTemplates, TheFixedFileNamesBelongToTheirComponents) {
    EXPECT_EQ(templateFileFor("NUniRes"), "rez.elm");
    EXPECT_EQ(templateFileFor("NUniEds"), "Eds.elm");
    EXPECT_EQ(templateFileFor("NUniSetObj"), "Element.elm");
    EXPECT_EQ(templateFileFor("NTbeNode"), "");
    std::set<std::string> files;
    for (const auto& t : elementTemplates())
        EXPECT_TRUE(files.insert(t.fileName).second) << t.fileName;
}

TEST(ElementTemplates, EveryShippedFileIsWhatTheGeneratorWritesAndFillsItsGap) {
    for (const auto& t : elementTemplates()) {
        SCOPED_TRACE(t.fileName);
        const QString path = QDir(elementsFolder()).filePath(QString::fromLatin1(t.fileName));
        ASSERT_TRUE(QFile::exists(path));

        // The committed file stays in step with the drawing in the code.
        FizDisp built;
        ASSERT_TRUE(buildTemplate(t.className, built));
        BinaryWriter w;
        built.saveToStream(w);
        const QByteArray committed = qv::test::bytesOf(path);
        EXPECT_EQ(committed, QByteArray(reinterpret_cast<const char*>(w.bytes().data()), qsizetype(w.size())))
            << "regenerate data/elements with quorvel-elmgen";
        // The programs read the copies compiled into them.
        EXPECT_EQ(qv::test::bytesOf(QDir(builtInTemplateFolder()).filePath(QString::fromLatin1(t.fileName))),
                  committed);

        FizDisp doc;
        QString error;
        ASSERT_TRUE(loadTemplate(t.className, doc, &error)) << error.toStdString();
        ASSERT_GT(doc.elementLength, 0);
        ASSERT_GT(doc.objectCount(), 0);
        // Lines, circles and arcs only: everything else would stay put when the symbol turns.
        int32_t minX = INT32_MAX, maxX = INT32_MIN;
        for (NFizObj* o : doc.objects()) {
            const std::string cls = o->className();
            EXPECT_TRUE(cls == "NGrLine" || cls == "NGrRound" || cls == "NGrArc") << cls;
            Rect r{INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN};
            o->getBounds(r);
            minX = std::min({minX, r.left, r.right});
            maxX = std::max({maxX, r.left, r.right});
        }
        // Drawn from (0,0) to (ElementLength,0): the symbol meets the branch at both ends of its gap.
        EXPECT_EQ(minX, 0);
        EXPECT_EQ(maxX, doc.elementLength);

        if (std::string(t.className) == "NFGroundObj") {
            auto ground = createGround(nullptr, &error);
            ASSERT_NE(ground, nullptr) << error.toStdString();
            EXPECT_EQ(ground->symbol->elementLength, doc.elementLength);
            EXPECT_EQ(int(ground->symbol->primitives.size()), doc.objectCount());
        } else {
            auto component = createComponent(t.className, nullptr, &error);
            ASSERT_NE(component, nullptr) << error.toStdString();
            EXPECT_STREQ(component->className(), t.className);
            EXPECT_EQ(component->length, doc.elementLength);
            EXPECT_EQ(int(component->symbol->primitives.size()), doc.objectCount());
        }
    }
}

TEST(ElementTemplates, AComponentIsMadeOnlyFromAUsableTemplateOfAComponentClass) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FizDisp zeroLength;
    zeroLength.add(new NGrLine());
    writeTemplate(dir, "rez.elm", zeroLength);
    FizDisp nothingDrawn;
    nothingDrawn.elementLength = 30;
    nothingDrawn.add(new NTbeNode());
    writeTemplate(dir, "Eds.elm", nothingDrawn);
    QFile damaged(dir.filePath("Con.elm"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("\x1e\0\0\0\x05\0\0\0NGrLine", 16);
    damaged.close();
    // Cut inside its objects: the reading stops after some of them were made.
    QFile cut(dir.filePath("Imp.elm"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(qv::test::bytesOf(QDir(elementsFolder()).filePath("Imp.elm")).chopped(20));
    cut.close();

    struct Case {
        const char* className;
        const char* message;
    };
    const Case cases[] = {
        {"NUniRes", "rez.elm is not a usable element template: its length is 0"},
        {"NUniEds", "Eds.elm is not a usable element template: it holds no drawing"},
        {"NUniCon", "Con.elm is damaged"},
        {"NUniImpedance", "Imp.elm is damaged"},
        {"NUniInd", "Cannot open Ind.elm"},
        {"NTbeNode", "NTbeNode is not a component"},
        {"NGrLine", "NGrLine is not a component"},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_EQ(createComponent(c.className, nullptr, &error, dir.path()), nullptr) << c.className;
        EXPECT_TRUE(error.startsWith(QString::fromLatin1(c.message))) << error.toStdString();
    }
    QString error;
    FizDisp partly;
    EXPECT_FALSE(loadTemplate("NUniImpedance", partly, &error, dir.path()));
    EXPECT_EQ(partly.objectCount(), 0) << "a damaged template leaves nothing behind";
    EXPECT_EQ(createGround(nullptr, &error, dir.path()), nullptr);
    EXPECT_TRUE(error.startsWith("Cannot open Ground.elm")) << error.toStdString();
}

TEST(ElementTemplates, AComponentsSymbolIsACopyThatOutlivesItsTemplate) {
    NTBEFizDisp doc;
    QString error;
    auto res = createComponent("NUniRes", &doc, &error);
    ASSERT_NE(res, nullptr) << error.toStdString();
    EXPECT_EQ(res->owner, &doc);
    EXPECT_EQ(res->symbol->owner, &doc);
    // Laid into a gap from (100,100) to (130,100): the rectangle spans the gap exactly.
    res->setEnds({100, 100}, {130, 100});
    Rect r;
    res->getBounds(r);
    EXPECT_EQ(r, (Rect{100, 94, 130, 106}));
    for (const auto& p : res->symbol->primitives)
        EXPECT_EQ(p->owner, &doc);
}
