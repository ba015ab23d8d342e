#include "io/documentfile.h"

#include <QFileInfo>
#include <algorithm>
#include <unordered_map>

#include "components/branch.h"
#include "components/circuitelement.h"
#include "diagrams/vectordiagram.h"
#include "graphics/labels.h"
#include "model/document.h"
#include "platform/binarystream.h"
#include "platform/bytefile.h"
#include "platform/kindcast.h"

namespace qv {

namespace {
std::string inQuotes(const std::string& name) {
    return "\"" + name + "\"";
}
} // namespace

bool checkLinks(const FizDisp& doc, BinaryReader& r) {
    // Deleting relies on every link being known to both of its ends exactly once: a node to
    // the elements that end on it, a branch to its components, an element to its label.
    // A link known to one side only would be left dangling by a later deletion.
    auto index = [&](const NFizObj* o) { return std::to_string(doc.indexOfObject(o)); };
    std::unordered_map<const NUniLabel*, const NFizSemEl*> labelOwners;
    std::unordered_map<const NSetObj*, const NFVetv*> holders;
    std::unordered_map<const NFizSemEl*, int> listed;
    for (NFizObj* o : doc.objects()) {
        auto* e = kindCast<NFizSemEl>(o);
        if (!e) continue;
        if (e->nameLabel) {
            auto [it, fresh] = labelOwners.emplace(e->nameLabel, e);
            if (!fresh) {
                r.fail("label " + index(e->nameLabel) + " belongs to object " + index(it->second) +
                       " and to object " + index(e));
                return false;
            }
            // Re-labelling places the label by clicks, and a free text takes such clicks as its
            // own placement: it would join the document a second time.
            if (kindCast<NUserTextLabel>(e->nameLabel)) {
                r.fail("label " + index(e->nameLabel) + " of object " + index(e) + " is a free text");
                return false;
            }
            if (e->nameLabel->removable) {
                r.fail("label " + index(e->nameLabel) + " of object " + index(e) + " is marked removable");
                return false;
            }
        }
        if (auto* node = kindCast<NFUsel>(e)) {
            if (!node->attached.empty() && node->removable) {
                r.fail("node " + inQuotes(node->name) + " is marked removable although elements end on it");
                return false;
            }
            listed.clear();
            for (NFizSemEl* a : node->attached)
                ++listed[a];
            for (NFizSemEl* a : node->attached) {
                auto* tp = kindCast<NFTwoPole>(a);
                int ends = tp ? (tp->node1 == node) + (tp->node2 == node) : 0;
                if (listed[a] != ends) {
                    r.fail("node " + inQuotes(node->name) + " lists object " + index(a) + " " +
                           std::to_string(listed[a]) + " time(s), but that object ends on it " +
                           std::to_string(ends) + " time(s)");
                    return false;
                }
            }
        }
        if (auto* tp = kindCast<NFTwoPole>(e))
            for (NFUsel* end : {tp->node1, tp->node2})
                if (end && std::find(end->attached.begin(), end->attached.end(), tp) == end->attached.end()) {
                    r.fail("object " + index(tp) + " ends on node " + inQuotes(end->name) +
                           ", which does not list it");
                    return false;
                }
        if (auto* branch = kindCast<NFVetv>(e))
            for (NSetObj* c : branch->components()) {
                if (c->branch != branch || !holders.emplace(c, branch).second) {
                    r.fail("component " + index(c) + " is listed by branch " + index(branch) +
                           ", but is not that branch's alone");
                    return false;
                }
            }
    }
    for (NFizObj* o : doc.objects())
        if (auto* c = kindCast<NSetObj>(o); c && c->branch && !holders.count(c)) {
            r.fail("component " + index(c) + " names branch " + index(c->branch) +
                   ", which does not hold it");
            return false;
        }
    // A vector deletes its label with itself: a label shared by two vectors would be deleted
    // twice.
    std::unordered_map<const NElmLabel*, const NVector*> vectorOfLabel;
    for (NFizObj* o : doc.objects())
        if (auto* v = kindCast<NVector>(o); v && v->vectorLabel)
            if (!vectorOfLabel.emplace(v->vectorLabel, v).second) {
                r.fail("label " + index(v->vectorLabel) + " belongs to vectors " +
                       index(vectorOfLabel[v->vectorLabel]) + " and " + index(v));
                return false;
            }
    return true;
}

bool readDocument(FizDisp& doc, BinaryReader& r) {
    doc.loadFromStream(r);
    return !r.failed() && checkLinks(doc, r);
}

IoStatus saveDocumentFile(FizDisp& doc, const QString& path) {
    BinaryWriter w;
    doc.saveToStream(w);
    QString why;
    if (!writeByteFile(w, path, &why))
        return {QStringLiteral("Cannot save %1: %2").arg(QFileInfo(path).fileName(), why)};
    return {};
}

IoStatus loadDocumentFile(FizDisp& doc, const QString& path) {
    QByteArray data;
    QString why;
    if (!readByteFile(path, data, &why))
        return {QStringLiteral("Cannot open %1: %2").arg(QFileInfo(path).fileName(), why)};
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.constData());
    // Read into a fresh document first: a damaged file must leave this one untouched.
    {
        std::unique_ptr<FizDisp> fresh = doc.createEmpty();
        doc.copySettingsTo(*fresh);
        BinaryReader probe(bytes, size_t(data.size()));
        if (!readDocument(*fresh, probe))
            return {QStringLiteral("%1 is damaged or not a file of this kind: %2")
                        .arg(QFileInfo(path).fileName(), QString::fromStdString(probe.error()))};
    }
    doc.clear();
    BinaryReader r(bytes, size_t(data.size()));
    doc.loadFromStream(r);
    if (r.failed())
        return {QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), QString::fromStdString(r.error()))};
    return {};
}

} // namespace qv
