#include "app/schemedump.h"

#include <QJsonArray>

#include "components/branch.h"
#include "components/components.h"
#include "components/nodes.h"
#include "diagrams/loop.h"
#include "diagrams/looplist.h"
#include "diagrams/vectordiagram.h"
#include "graphics/labels.h"
#include "graphics/primitives.h"
#include "model/document.h"
#include "power/networkelements.h"

namespace qv {

namespace {

QString str(const std::string& s) {
    return QString::fromStdString(s);
}

QJsonArray points(const std::vector<Point>& pts) {
    QJsonArray a;
    for (Point p : pts)
        a.append(QJsonArray{p.x, p.y});
    return a;
}

QJsonArray point(Point p) {
    return QJsonArray{p.x, p.y};
}

QJsonObject transformerRecord(const NTransSpr& t) {
    return QJsonObject{
        {"ItemName", str(t.itemName)}, {"TransR", double(t.transR)}, {"TransX", double(t.transX)},
        {"Gt", double(t.gt)},          {"Bt", double(t.bt)},         {"Pxx", double(t.pxx)},
        {"Ixx", double(t.ixx)},        {"Uk", double(t.uk)},         {"Pk", double(t.pk)},
        {"Qxx", double(t.qxx)},        {"SNom", double(t.sNom)},     {"RegStep", double(t.regStep)},
        {"ULow", double(t.uLow)},      {"UHigh", double(t.uHigh)},   {"TapCount", t.tapCount},
        {"NominalTap", t.nominalTap}};
}

void nodeValues(QJsonObject& j, const NPowerNode& n) {
    j["Unom"] = double(n.unom);
    j["LoadQ"] = double(n.loadQ);
    j["LoadP"] = double(n.loadP);
    j["GenP"] = double(n.genP);
    j["GenQ"] = double(n.genQ);
    j["ShuntG"] = double(n.shuntG);
    j["ShuntB"] = double(n.shuntB);
}

/// The stored fields of the power network elements, under their record names.
void dumpPower(QJsonObject& j, FizDisp& doc, NFizObj* o) {
    if (auto* n = dynamic_cast<NPowerNode*>(o)) {
        nodeValues(j, *n);
        if (auto* t = dynamic_cast<NTransStat*>(n)) {
            j["Transformer"] = transformerRecord(*t->transformer);
            j["TransCount"] = t->transCount;
            j["TransKind"] = str(t->transKind);
            j["TapNumber"] = t->tapNumber;
            QJsonObject low{{"Name", str(t->lowNode->name)}};
            nodeValues(low, *t->lowNode);
            j["LowNode"] = low;
        }
    } else if (auto* l = dynamic_cast<NPowerLine*>(o)) {
        j["MaxCurrent"] = double(l->maxCurrent);
        j["Unom"] = double(l->unom);
        j["LineR"] = double(l->lineR);
        j["LineX"] = double(l->lineX);
        j["LineB"] = double(l->lineB);
        j["LineG"] = double(l->lineG);
        j["LengthKm"] = double(l->lengthKm);
        j["WireKind"] = str(l->wireKind);
        j["DispatchName"] = str(l->dispatchName);
        j["Circuits"] = l->circuits;
    } else if (auto* d = dynamic_cast<NFTwoDir*>(o)) {
        j["node1"] = doc.indexOfObject(d->node1);
        j["node2"] = doc.indexOfObject(d->node2);
        QJsonObject fig{
            {"class", d->figure->className()}, {"P1", point(d->figure->p1)}, {"P2", point(d->figure->p2)}};
        if (auto* b = dynamic_cast<NGBreaker*>(d->figure.get())) {
            fig["BladeStart"] = point(b->bladeStart);
            fig["BladeEnd"] = point(b->bladeEnd);
            fig["ContactPoint"] = point(b->contactPoint);
            fig["HalfGap"] = b->halfGap;
            fig["BladeOffset"] = b->bladeOffset;
        } else if (auto* t = dynamic_cast<NGTransform*>(d->figure.get())) {
            fig["Centre1"] = point(t->centre1);
            fig["Centre2"] = point(t->centre2);
            fig["LeadEnd1"] = point(t->leadEnd1);
            fig["LeadEnd2"] = point(t->leadEnd2);
            fig["Radius"] = t->radius;
        }
        j["Figure"] = fig;
        if (auto* b = dynamic_cast<NFBreaker*>(d)) j["On"] = b->on != 0;
        if (auto* t = dynamic_cast<NFTransForm*>(d)) {
            j["TapNumber"] = t->tapNumber;
            j["TransKind"] = str(t->transKind);
            j["Transformer"] = transformerRecord(*t->transformer);
        }
    }
}

QJsonObject dumpObject(FizDisp& doc, NFizObj* o) {
    QJsonObject j;
    j["index"] = doc.indexOfObject(o);
    j["class"] = o->className();
    if (auto* e = dynamic_cast<NFizSemEl*>(o)) {
        j["name"] = str(e->name);
        j["label"] = doc.indexOfObject(e->nameLabel);
    }
    dumpPower(j, doc, o);
    if (auto* n = dynamic_cast<NFUsel*>(o)) {
        j["x"] = n->x;
        j["y"] = n->y;
        if (auto* u = dynamic_cast<NFUniNode*>(n)) {
            j["shape"] = u->shape->className();
            j["connectionPoints"] = points(u->connectionPoints);
        }
        QJsonArray attached;
        for (NFizSemEl* e : n->attached)
            attached.append(doc.indexOfObject(e));
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
    } else if (auto* g = dynamic_cast<NFGroundObj*>(o)) {
        j["node"] = doc.indexOfObject(g->node1);
        j["LeadStart"] = QJsonArray{g->leadStart.x, g->leadStart.y};
        j["SymbolStart"] = QJsonArray{g->symbolStart.x, g->symbolStart.y};
    } else if (auto* c = dynamic_cast<NSetObj*>(o)) {
        j["branch"] = doc.indexOfObject(c->branch);
        j["orientation"] = c->orientation;
        j["length"] = c->length;
        if (auto* u = dynamic_cast<NUniSetObj*>(c))
            j["symbol"] = QJsonArray{u->symbol->p1.x, u->symbol->p1.y, u->symbol->p2.x, u->symbol->p2.y};
        if (auto* r = dynamic_cast<NUniRes*>(c)) j["Resistance"] = double(r->resistance);
        if (auto* e = dynamic_cast<NUniEds*>(c)) j["Emf"] = double(e->emf);
        if (auto* i = dynamic_cast<NUniIst*>(c)) j["Current"] = double(i->current);
        if (auto* l = dynamic_cast<NUniInd*>(c)) j["Inductance"] = double(l->inductance);
        if (auto* k = dynamic_cast<NUniCon*>(c)) j["Capacitance"] = double(k->capacitance);
        if (auto* z = dynamic_cast<NUniImpedance*>(c)) {
            j["Resistance"] = double(z->resistance);
            j["Reactance"] = double(z->reactance);
        }
        if (auto* a = dynamic_cast<NUniAcSource*>(c)) {
            j["Re"] = double(a->re);
            j["Im"] = double(a->im);
            j["PolarInput"] = a->polarInput;
            j["AngleInDegrees"] = a->angleInDegrees;
        }
    } else if (auto* v = dynamic_cast<NVector*>(o)) {
        j["P1"] = point(v->p1);
        j["P2"] = point(v->p2);
        j["Arrow"] = v->arrow;
        j["VectorKind"] = v->vectorKind;
        j["MainText"] = str(v->mainText);
        j["GreekText"] = str(v->greekText);
        j["IndexText"] = str(v->indexText);
        j["VectorLabel"] = doc.indexOfObject(v->liveLabel());
    } else if (auto* e = dynamic_cast<NElmLabel*>(o)) {
        j["P1"] = point(e->p1);
        j["P2"] = point(e->p2);
        j["TextWidth"] = e->textWidth;
        j["TextHeight"] = e->textHeight;
        j["LabelFontSize"] = e->labelFontSize;
        j["Spare"] = e->spare;
        j["GreekText"] = str(e->greekText);
        j["MainText"] = str(e->mainText);
        j["IndexText"] = str(e->indexText);
    } else if (dynamic_cast<NVDPoint*>(o)) {
        // The record holds no position.
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

QJsonObject dumpVectorDiagram(NVectDiaDisp& doc) {
    QJsonObject root;
    QJsonArray objects;
    for (NFizObj* o : doc.objects()) {
        QJsonObject j = dumpObject(doc, o);
        j["Pen"] =
            QJsonObject{{"Color", double(o->pen.color)}, {"Style", o->pen.style}, {"Width", o->pen.width}};
        if (auto* g = dynamic_cast<NGraphObj*>(o))
            j["Brush"] = QJsonObject{{"Color", double(g->brush.color)}, {"Style", g->brush.style}};
        j["Removable"] = o->removable;
        objects.append(j);
    }
    root["objects"] = objects;
    QJsonArray layers;
    const NSimpLayer* rootLayer = doc.rootLayer();
    for (int i = 0; i < rootLayer->sublayerCount(); ++i) {
        const NLayer* l = rootLayer->sublayers.get(i);
        QJsonArray listed;
        for (int k = 0; k < l->objectCount(); ++k)
            listed.append(doc.indexOfObject(l->layerObjects.get(k)));
        layers.append(QJsonObject{{"name", str(l->layerName)}, {"objects", listed}});
    }
    root["layers"] = layers;
    return root;
}

QJsonObject dumpScheme(NTBEFizDisp& doc) {
    QJsonObject root;
    root["frequency"] = double(doc.frequency);
    QJsonArray objects;
    for (NFizObj* o : doc.objects())
        objects.append(dumpObject(doc, o));
    root["objects"] = objects;
    QJsonArray loops;
    for (int i = 0; i < doc.loops().count(); ++i) {
        NFCont* l = doc.loops().get(i);
        QJsonArray branches, nodes;
        for (NFVetv* b : l->branches)
            branches.append(doc.indexOfObject(b));
        for (NFUsel* n : l->nodes)
            nodes.append(doc.indexOfObject(n));
        loops.append(QJsonObject{{"name", str(l->name)},
                                 {"branches", branches},
                                 {"nodes", nodes},
                                 {"throughGround", l->throughGround != 0}});
    }
    root["loops"] = loops;
    return root;
}

} // namespace qv
