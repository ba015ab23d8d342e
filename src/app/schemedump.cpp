#include "app/schemedump.h"

#include <QJsonArray>

#include "diagrams/ncontdisp.h"
#include "diagrams/nfcont.h"
#include "graphics/labels.h"
#include "graphics/primitives.h"
#include "model/branch.h"
#include "model/fizdisp.h"

namespace qv {

namespace {

QString str(const std::string& s) { return QString::fromStdString(s); }

QJsonArray points(const std::vector<Point>& pts) {
    QJsonArray a;
    for (Point p : pts) a.append(QJsonArray{p.x, p.y});
    return a;
}

QJsonObject dumpObject(NTBEFizDisp& doc, NFizObj* o) {
    QJsonObject j;
    j["index"] = doc.indexOfObject(o);
    j["class"] = o->className();
    if (auto* e = dynamic_cast<NFizSemEl*>(o)) {
        j["name"] = str(e->name);
        j["label"] = doc.indexOfObject(e->nameLabel);
    }
    if (auto* n = dynamic_cast<NFUsel*>(o)) {
        j["x"] = n->x;
        j["y"] = n->y;
        QJsonArray attached;
        for (NFizSemEl* e : n->attached) attached.append(doc.indexOfObject(e));
        j["attached"] = attached;
    } else if (auto* b = dynamic_cast<NFVetv*>(o)) {
        j["node1"] = doc.indexOfObject(b->node1);
        j["node2"] = doc.indexOfObject(b->node2);
        QJsonArray entries;
        for (NFizObj* e : b->elements) {
            if (NGraphLine* s = NFVetv::asSegment(e))
                entries.append(QJsonObject{{"segment", QJsonArray{s->p1.x, s->p1.y, s->p2.x, s->p2.y}}});
            else
                entries.append(QJsonObject{{"component", doc.indexOfObject(e)}});
        }
        j["entries"] = entries;
        j["arrows"] = b->showArrows != 0;
    } else if (auto* c = dynamic_cast<NSetObj*>(o)) {
        j["branch"] = doc.indexOfObject(c->branch);
        j["orientation"] = c->orientation;
        j["length"] = c->length;
        j["start"] = QJsonArray{c->startPoint.x, c->startPoint.y};
        j["end"] = QJsonArray{c->endPoint.x, c->endPoint.y};
    } else if (auto* two = dynamic_cast<NTwoBin*>(o)) {
        j["mainText"] = str(two->mainText);
        j["indexText"] = str(two->indexText);
        j["p1"] = QJsonArray{two->p1.x, two->p1.y};
    } else if (auto* t = dynamic_cast<NTextLabel*>(o)) {
        j["text"] = str(t->text);
        j["p1"] = QJsonArray{t->p1.x, t->p1.y};
    } else if (auto* l = dynamic_cast<TwoPointGraph*>(o)) {
        j["p1"] = QJsonArray{l->p1.x, l->p1.y};
        j["p2"] = QJsonArray{l->p2.x, l->p2.y};
    } else if (auto* arc = dynamic_cast<NGrArc*>(o)) {
        j["centre"] = QJsonArray{arc->centre.x, arc->centre.y};
        j["radius"] = double(arc->radius);
        j["arcStart"] = QJsonArray{arc->arcStart.x, arc->arcStart.y};
        j["arcEnd"] = QJsonArray{arc->arcEnd.x, arc->arcEnd.y};
    } else if (auto* round = dynamic_cast<NGrRound*>(o)) {
        j["centre"] = QJsonArray{round->centre.x, round->centre.y};
        j["radius"] = double(round->radius);
    } else if (auto* many = dynamic_cast<NManypoints*>(o)) {
        j["points"] = points(many->vertices);
    }
    return j;
}

} // namespace

QJsonObject dumpScheme(NTBEFizDisp& doc) {
    QJsonObject root;
    root["frequency"] = double(doc.frequency);
    QJsonArray objects;
    for (NFizObj* o : doc.objects()) objects.append(dumpObject(doc, o));
    root["objects"] = objects;
    QJsonArray loops;
    for (int i = 0; i < doc.loops().count(); ++i) {
        NFCont* l = doc.loops().get(i);
        QJsonArray branches, nodes;
        for (NFVetv* b : l->branches) branches.append(doc.indexOfObject(b));
        for (NFUsel* n : l->nodes) nodes.append(doc.indexOfObject(n));
        loops.append(QJsonObject{{"name", str(l->name)}, {"branches", branches}, {"nodes", nodes},
                                 {"throughGround", l->throughGround != 0}});
    }
    root["loops"] = loops;
    return root;
}

} // namespace qv
