#include "components/templates.h"

#include <QDir>
#include <QFile>
#include <algorithm>

#include "components/components.h"
#include "components/nodes.h"
#include "graphics/primitives.h"
#include "model/classregistry.h"
#include "model/document.h"
#include "platform/binarystream.h"

// The element files are compiled into a static library, which a program keeps only when
// something initialises them. Outside any namespace, as Q_INIT_RESOURCE requires.
static void initElementResources() {
    Q_INIT_RESOURCE(elements);
}

namespace qv {

namespace {

void line(FizDisp& doc, Point a, Point b) {
    auto* l = new NGrLine();
    l->owner = &doc;
    l->setPoints(a, b);
    doc.add(l);
}

void circle(FizDisp& doc, Point c, int r) {
    auto* o = new NGrRound();
    o->owner = &doc;
    o->centre = c;
    o->radius = r;
    doc.add(o);
}

/// The arc of radius r about c, counter-clockwise on screen from the ray through `from` to
/// the ray through `to`.
void arc(FizDisp& doc, Point c, int r, Point from, Point to) {
    auto* a = new NGrArc();
    a->owner = &doc;
    a->centre = c;
    a->radius = r;
    a->arcStart = from;
    a->arcEnd = to;
    doc.add(a);
}

void rectangle(FizDisp& doc, int x0, int x1, int h) {
    line(doc, {x0, -h}, {x1, -h});
    line(doc, {x1, -h}, {x1, h});
    line(doc, {x1, h}, {x0, h});
    line(doc, {x0, h}, {x0, -h});
}

/// An arrow along the axis from x0 to x1 with its head at x1.
void arrow(FizDisp& doc, int x0, int x1) {
    line(doc, {x0, 0}, {x1, 0});
    line(doc, {x1, 0}, {x1 - 6, -4});
    line(doc, {x1, 0}, {x1 - 6, 4});
}

/// A source: a circle filling the gap, then what is drawn inside it.
void sourceCircle(FizDisp& doc) {
    circle(doc, {15, 0}, 15);
}

/// A small "~" above the axis inside a source circle: the sign of alternating current.
void tilde(FizDisp& doc) {
    arc(doc, {12, -8}, 3, {15, -8}, {9, -8});  // upper half
    arc(doc, {18, -8}, 3, {15, -8}, {21, -8}); // lower half
}

} // namespace

const std::vector<ElementTemplate>& elementTemplates() {
    static const std::vector<ElementTemplate> list = {
        {"NUniRes", "rez.elm"},        {"NUniEds", "Eds.elm"},         {"NUniSetObj", "Element.elm"},
        {"NUniIst", "Ist.elm"},        {"NUniCon", "Con.elm"},         {"NUniInd", "Ind.elm"},
        {"NUniImpedance", "Imp.elm"},  {"NUniCompEDS", "CompEds.elm"}, {"NUniCompCurSource", "CompIst.elm"},
        {"NFGroundObj", "Ground.elm"},
    };
    return list;
}

QString templateFileFor(const std::string& className) {
    for (const auto& t : elementTemplates())
        if (className == t.className) return QString::fromLatin1(t.fileName);
    return {};
}

bool buildTemplate(const std::string& c, FizDisp& doc) {
    if (c == "NUniRes") { // a rectangle
        doc.elementLength = 30;
        rectangle(doc, 0, 30, 6);
    } else if (c == "NUniSetObj") { // a rectangle with a diagonal
        doc.elementLength = 30;
        rectangle(doc, 0, 30, 8);
        line(doc, {0, 8}, {30, -8});
    } else if (c == "NUniImpedance") { // a rectangle crossed by "Z"
        doc.elementLength = 30;
        rectangle(doc, 0, 30, 8);
        line(doc, {10, -5}, {20, -5});
        line(doc, {20, -5}, {10, 5});
        line(doc, {10, 5}, {20, 5});
    } else if (c == "NUniEds") { // a circle with the arrow of the EMF
        doc.elementLength = 30;
        sourceCircle(doc);
        arrow(doc, 4, 26);
    } else if (c == "NUniIst") { // a circle with a double-headed arrow
        doc.elementLength = 30;
        sourceCircle(doc);
        arrow(doc, 4, 26);
        line(doc, {20, 0}, {14, -4});
        line(doc, {20, 0}, {14, 4});
    } else if (c == "NUniCompEDS") {
        doc.elementLength = 30;
        sourceCircle(doc);
        arrow(doc, 4, 26);
        tilde(doc);
    } else if (c == "NUniCompCurSource") {
        doc.elementLength = 30;
        sourceCircle(doc);
        arrow(doc, 4, 26);
        line(doc, {20, 0}, {14, -4});
        line(doc, {20, 0}, {14, 4});
        tilde(doc);
    } else if (c == "NUniCon") { // two plates
        doc.elementLength = 30;
        line(doc, {0, 0}, {12, 0});
        line(doc, {12, -10}, {12, 10});
        line(doc, {18, -10}, {18, 10});
        line(doc, {18, 0}, {30, 0});
    } else if (c == "NUniInd") { // three turns above the axis
        doc.elementLength = 30;
        for (int cx : {5, 15, 25})
            arc(doc, {cx, 0}, 5, {cx + 5, 0}, {cx - 5, 0});
    } else if (c == "NFGroundObj") { // a short lead and three bars
        doc.elementLength = 18;
        line(doc, {0, 0}, {10, 0});
        line(doc, {10, -10}, {10, 10});
        line(doc, {14, -6}, {14, 6});
        line(doc, {18, -2}, {18, 2});
    } else {
        return false;
    }
    return true;
}

QString builtInTemplateFolder() {
    static const bool initialised = (initElementResources(), true);
    Q_UNUSED(initialised);
    return QStringLiteral(":/elements");
}

bool loadTemplate(const std::string& className, FizDisp& doc, QString* error, const QString& folder) {
    QString file = templateFileFor(className);
    if (file.isEmpty()) {
        if (error)
            *error = QStringLiteral("No element template for %1").arg(QString::fromStdString(className));
        return false;
    }
    QFile in(QDir(folder).filePath(file));
    if (!in.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("Cannot open %1: %2").arg(file, in.errorString());
        return false;
    }
    return readTemplate(in.readAll(), file, doc, error);
}

bool readTemplate(const QByteArray& data, const QString& file, FizDisp& doc, QString* error) {
    BinaryReader reader(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()));
    doc.loadFromStream(reader);
    if (reader.failed()) {
        doc.clear();
        if (error)
            *error = QStringLiteral("%1 is damaged or not a file of this kind: %2")
                         .arg(file, QString::fromStdString(reader.error()));
        return false;
    }
    // A symbol must have a length to fill its gap with, and something a user can see and pick.
    QString fault;
    if (doc.elementLength <= 0)
        fault = QStringLiteral("its length is %1").arg(doc.elementLength);
    else if (std::none_of(doc.objects().begin(), doc.objects().end(), [](NFizObj* o) {
                 return dynamic_cast<NGraphObj*>(o) && !dynamic_cast<NUniGraphObj*>(o);
             }))
        fault = QStringLiteral("it holds no drawing");
    if (fault.isEmpty()) return true;
    doc.clear();
    if (error) *error = QStringLiteral("%1 is not a usable element template: %2").arg(file, fault);
    return false;
}

std::unique_ptr<NUniSetObj> createComponent(const std::string& className, FizDisp* owner, QString* error,
                                            const QString& folder) {
    std::unique_ptr<NFizObj> obj = createObjectByClassName(className);
    auto* component = dynamic_cast<NUniSetObj*>(obj.get());
    if (!component) {
        if (error) *error = QStringLiteral("%1 is not a component").arg(QString::fromStdString(className));
        return nullptr;
    }
    FizDisp tmpl(owner ? owner->context() : nullptr);
    if (!loadTemplate(className, tmpl, error, folder)) return nullptr;
    obj.release();
    std::unique_ptr<NUniSetObj> result(component);
    result->owner = owner;
    result->createFromTemplate(tmpl);
    return result;
}

std::unique_ptr<NFGroundObj> createGround(FizDisp* owner, QString* error, const QString& folder) {
    FizDisp tmpl(owner ? owner->context() : nullptr);
    if (!loadTemplate("NFGroundObj", tmpl, error, folder)) return nullptr;
    auto ground = std::make_unique<NFGroundObj>();
    ground->owner = owner;
    ground->createFromTemplate(tmpl);
    return ground;
}

} // namespace qv
