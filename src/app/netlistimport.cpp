#include "app/netlistimport.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>

#include "app/netlistreader.h"
#include "app/schemelayout.h"
#include "components/branch.h"
#include "components/components.h"
#include "components/nodes.h"
#include "components/templates.h"
#include "graphics/labels.h"
#include "model/document.h"
#include "platform/cp1251.h"

namespace qv {

namespace {

/// `text` as far as the scheme keeps it: at most `n` characters of its code page.
std::string keepable(const std::string& text, size_t n) {
    std::string bytes = utf8ToCp1251(text);
    if (bytes.size() > n) bytes.resize(n);
    return cp1251ToUtf8(bytes);
}

/// Moves a label so that its text starts at `at`.
void moveLabel(NFizSemEl& element, Point at) {
    if (!element.nameLabel) return;
    int state = 0;
    element.nameLabel->placePoint(state, at.x, at.y);
    element.nameLabel->placePoint(state, at.x + 100, at.y);
    element.labelPos = at;
}

const char* classFor(const NetlistElement& e, bool ac) {
    switch (e.kind) {
    case 'R':
        return "NUniRes";
    case 'L':
        return "NUniInd";
    case 'C':
        return "NUniCon";
    case 'V':
        return ac ? "NUniCompEDS" : "NUniEds";
    default:
        return ac ? "NUniCompCurSource" : "NUniIst";
    }
}

void setValue(NUniSetObj& c, const NetlistElement& e, bool ac) {
    const double phase = e.acPhase * std::numbers::pi / 180;
    if (auto* r = dynamic_cast<NUniRes*>(&c)) r->resistance = e.value;
    if (auto* l = dynamic_cast<NUniInd*>(&c)) l->inductance = e.value;
    if (auto* k = dynamic_cast<NUniCon*>(&c)) k->capacitance = Extended(e.value) * 1e6L; // microfarad
    if (auto* v = dynamic_cast<NUniEds*>(&c)) v->emf = e.value;
    if (auto* i = dynamic_cast<NUniIst*>(&c)) i->current = e.value;
    if (auto* s = dynamic_cast<NUniAcSource*>(&c); s && ac && e.hasAc) {
        s->re = e.acMagnitude * std::cos(phase);
        s->im = e.acMagnitude * std::sin(phase);
        s->polarInput = 1;
        s->angleInDegrees = 1;
    }
}

} // namespace

void buildSchemeFromNetlist(const Netlist& netlist, NTBEFizDisp& doc) {
    doc.clearRemovable();
    doc.loops().clear();
    doc.frequency = netlist.frequency.value_or(50.0);

    // The layout works on the scheme's nodes, numbered in their order.
    std::vector<int> schemeIndex(netlist.nodes.size(), -1);
    for (size_t i = 0; i < netlist.schemeNodes.size(); ++i)
        schemeIndex[size_t(netlist.schemeNodes[i])] = int(i);
    LayoutInput input;
    input.nodes = int(netlist.schemeNodes.size());
    const int ground = netlist.groundNode();
    input.hub = ground >= 0 ? schemeIndex[size_t(ground)] : -1;
    // Grounds are one point, so the ground may be drawn under each branch that needs it.
    input.splitHub = input.hub >= 0;
    if (input.hub < 0) {
        // Without a ground, a node with more branches than four right-angled lines can bring
        // to it is drawn below the others as the ground would be.
        std::vector<int> degree(netlist.schemeNodes.size());
        for (const NetlistBranch& b : netlist.branches) {
            ++degree[size_t(schemeIndex[size_t(b.node1)])];
            ++degree[size_t(schemeIndex[size_t(b.node2)])];
        }
        const auto busiest = std::max_element(degree.begin(), degree.end());
        if (busiest != degree.end() && *busiest > 4) input.hub = int(busiest - degree.begin());
    }
    for (int k : netlist.schemeNodes)
        input.nodeLabels.push_back(netlist.nodes[size_t(k)].name);
    for (size_t k = 0; k < netlist.branches.size(); ++k) {
        const NetlistBranch& b = netlist.branches[k];
        LayoutInput::Branch branch{schemeIndex[size_t(b.node1)],
                                   schemeIndex[size_t(b.node2)],
                                   int(b.elements.size()),
                                   {},
                                   "I" + std::to_string(k + 1)};
        for (int e : b.elements)
            branch.componentLabels.push_back(netlist.elements[size_t(e)].name);
        input.branches.push_back(std::move(branch));
    }
    const SchemeLayout layout = layOutScheme(input);

    std::vector<NTbeNode*> nodes;
    int32_t numbered = 0;
    for (size_t i = 0; i < netlist.schemeNodes.size(); ++i) {
        const NetlistNode& source = netlist.nodes[size_t(netlist.schemeNodes[i])];
        auto* n = new NTbeNode();
        n->owner = &doc;
        int state = 0;
        n->placePoint(state, layout.nodes[i].x, layout.nodes[i].y);
        n->name = source.name;
        n->updateLabel();
        moveLabel(*n, layout.labels[i]);
        nodes.push_back(n);
        bool digits = !source.name.empty() && source.name.size() < 9;
        for (char c : source.name)
            digits = digits && c >= '0' && c <= '9';
        if (digits) numbered = std::max(numbered, int32_t(std::stol(source.name)));
    }
    // The further places of the ground: grounded nodes named after it ("0_2", "0_3", ...),
    // under names no netlist node has.
    std::set<std::string> names;
    for (const NetlistNode& n : netlist.nodes) {
        std::string lower = n.name;
        for (char& c : lower)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        names.insert(lower);
    }
    int suffix = 1;
    for (size_t i = netlist.schemeNodes.size(); i < layout.nodes.size(); ++i) {
        std::string name;
        do
            name = "0_" + std::to_string(++suffix);
        while (names.count(name));
        auto* n = new NTbeNode();
        n->owner = &doc;
        int state = 0;
        n->placePoint(state, layout.nodes[i].x, layout.nodes[i].y);
        n->name = name;
        n->updateLabel();
        moveLabel(*n, layout.labels[i]);
        nodes.push_back(n);
    }
    // A node placed later by hand gets a number none of these has.
    doc.nextNodeNumber = std::max({doc.nextNodeNumber, numbered + 1, int32_t(nodes.size()) + 1});

    std::map<std::string, std::unique_ptr<FizDisp>> templates;
    for (size_t k = 0; k < netlist.branches.size(); ++k) {
        const NetlistBranch& b = netlist.branches[k];
        const std::vector<Point>& route = layout.routes[k];
        auto* line = new NTbeLine();
        line->owner = &doc;
        int state = 0;
        for (Point p : route)
            line->placePoint(state, p.x, p.y);
        line->name = std::to_string(k + 1);
        line->updateLabel();
        moveLabel(*line, layout.branchLabels[k]);
        for (size_t i = 0; i < b.elements.size(); ++i) {
            const NetlistElement& e = netlist.elements[size_t(b.elements[i])];
            const std::string className = classFor(e, netlist.ac);
            std::unique_ptr<FizDisp>& tmpl = templates[className];
            if (!tmpl) {
                tmpl = std::make_unique<FizDisp>(doc.context());
                loadTemplate(className, *tmpl, nullptr);
            }
            std::unique_ptr<NFizObj> made = doc.createByClassName(className);
            std::unique_ptr<NUniSetObj> c(dynamic_cast<NUniSetObj*>(made.get()));
            if (!c) continue;
            made.release();
            c->owner = &doc;
            c->createFromTemplate(*tmpl);
            const Point at = layout.components[k][i];
            if (!line->insertElementAt(at.x, at.y, c.get())) continue;
            c->branch = line;
            std::string number;
            doc.nextNumberFor(c->className(), number); // as placing one by hand would
            c->name = keepable(e.identifier(), size_t(kNameLength));
            setValue(*c, e, netlist.ac);
            // A voltage source raises the potential towards its first node; a current
            // source drives its current away from it.
            const bool alongBranch = e.kind == 'V' ? !b.along[i] : b.along[i];
            if (!alongBranch) c->changeDirection();
            c->updateLabel();
            moveLabel(*c, layout.componentLabels[k][i]);
            doc.add(c.release());
        }
    }
    doc.nextBranchNumber = std::max(doc.nextBranchNumber, int32_t(netlist.branches.size()) + 1);

    for (size_t i = 0; ground >= 0 && i < layout.groundPlaces.size(); ++i) {
        std::unique_ptr<NFGroundObj> g = createGround(&doc, nullptr);
        if (g) {
            const Point at = layout.nodes[size_t(layout.groundPlaces[i])];
            int state = 0;
            g->placePoint(state, at.x, at.y);
            g->placePoint(state, layout.groundEnds[i].x, layout.groundEnds[i].y);
            if (state == kPlacementDone) g.release();
        }
    }
    if (!netlist.title.empty()) {
        auto title = std::make_unique<NUserTextLabel>();
        title->owner = &doc;
        title->text = keepable(netlist.title, 100);
        title->p1 = layout.titleAt;
        title->p2 = {layout.titleAt.x + 100, layout.titleAt.y};
        title->recalc();
        doc.labelKind = LabelKind::UserText;
        if (doc.add(title.get())) title.release();
    }
}

bool importNetlistFile(NTBEFizDisp& doc, const QString& path, QStringList& problems) {
    problems.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problems
            << QCoreApplication::translate("qv::Message", "Cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    // Read one byte more than a netlist may hold, so that a larger file is told as such.
    const QByteArray bytes = file.read(qint64(NetlistLimits::kMaxBytes) + 1);
    const NetlistReading reading = readNetlist(std::string_view(bytes.constData(), size_t(bytes.size())));
    for (const NetlistProblem& p : reading.problems)
        problems << QString::fromStdString(p.message());
    if (!reading.ok()) return false;
    buildSchemeFromNetlist(reading.netlist, doc);
    return true;
}

namespace {

/// Names a netlist can take: letters, digits and '_' (others become '_'), unique in any
/// letter case, never the ground's.
class SpiceNames {
  public:
    SpiceNames() { taken_ = {"0", "gnd"}; }
    std::string take(const std::string& wanted, const std::string& fallback) {
        std::string base;
        for (size_t i = 0; i < wanted.size(); ++i) {
            const auto c = static_cast<unsigned char>(wanted[i]);
            if ((c & 0xC0) == 0x80) continue; // the rest of a character already replaced
            const bool plain =
                (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
            base += plain ? char(c) : '_';
        }
        if (base.empty()) base = fallback;
        std::string name = base;
        for (int k = 2; taken_.count(lower(name)); ++k)
            name = base + "_" + std::to_string(k);
        taken_.insert(lower(name));
        return name;
    }

  private:
    std::set<std::string> taken_;
    static std::string lower(std::string s) {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        return s;
    }
};

std::string number(long double v) {
    return QString::number(double(v), 'g', 17).toStdString();
}

/// "AC magnitude phase" of a complex amplitude, the phase in degrees.
std::string acPart(Extended re, Extended im) {
    const double m = std::hypot(double(re), double(im));
    const double phase = m == 0 ? 0 : std::atan2(double(im), double(re)) * 180 / std::numbers::pi;
    return "DC 0 AC " + number(m) + " " + number(phase);
}

} // namespace

SpiceNetlist writeSpiceNetlist(NTBEFizDisp& doc, const std::string& title) {
    SpiceNetlist out;
    std::vector<NTbeNode*> nodes;
    std::vector<NTbeLine*> branches;
    bool direct = false, alternating = false;
    for (NFizObj* o : doc.objects()) {
        if (auto* n = dynamic_cast<NTbeNode*>(o)) nodes.push_back(n);
        if (auto* b = dynamic_cast<NTbeLine*>(o); b && dynamic_cast<NTbeNode*>(b->node1) &&
                                                  dynamic_cast<NTbeNode*>(b->node2) && b->node1 != b->node2)
            branches.push_back(b);
        if (auto* c = dynamic_cast<NUniSetObj*>(o)) {
            const SourceKind k = c->sourceKind();
            direct = direct || k == SourceKind::DirectVoltage || k == SourceKind::DirectCurrent;
            alternating = alternating || k == SourceKind::AlternatingVoltage ||
                          k == SourceKind::AlternatingCurrent || dynamic_cast<NUniImpedance*>(c);
        }
    }
    if (direct && alternating) {
        out.error = "Schem include direct and alternate currents devices";
        return out;
    }
    if (branches.empty()) {
        out.error = "the scheme has no branches between nodes to write";
        return out;
    }
    const bool ac = alternating;
    const double frequency = double(doc.frequency);
    const double omega = 2 * std::numbers::pi * (frequency > 0 ? frequency : 50.0);

    // The grounded nodes are 0; without a ground, the node-voltage method's reference: the
    // last node in the scheme's order that has a branch.
    auto hasBranch = [&](const NFUsel* n) {
        return std::any_of(branches.begin(), branches.end(),
                           [&](const NTbeLine* b) { return b->node1 == n || b->node2 == n; });
    };
    bool grounded = false;
    for (NTbeNode* n : nodes)
        grounded = grounded || (n->isGrounded() && hasBranch(n));
    const NFUsel* reference = nullptr;
    if (!grounded)
        for (NTbeNode* n : nodes)
            if (hasBranch(n)) reference = n;
    SpiceNames names;
    for (NTbeNode* n : nodes) {
        if (!hasBranch(n)) continue;
        out.nodes[n] =
            (grounded ? n->isGrounded() : n == reference) ? std::string("0") : names.take(n->name, "n");
    }

    std::string text = title.empty() ? std::string("Quorvel scheme") : title;
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    text += "\n";
    for (NTbeLine* b : branches) {
        const std::string from = out.nodes[b->node1], to = out.nodes[b->node2];
        text += "* branch " + b->name + ": from node " + b->node1->name + " (" + from + ") to node " +
                b->node2->name + " (" + to + ")\n";
        // The elements from node1 to node2; `backwards` ones have node2's side as their n+.
        struct Piece {
            std::string name, value, note;
            bool backwards = false;
        };
        std::vector<Piece> pieces;
        auto add = [&](const std::string& name, const std::string& fallback, const std::string& value,
                       bool backwards = false, const std::string& note = {}) {
            pieces.push_back({names.take(name, fallback), value, note, backwards});
        };
        for (NSetObj* part : b->components()) {
            auto* c = dynamic_cast<NUniSetObj*>(part);
            if (!c) continue;
            const std::string& id = c->name;
            // An EMF raises the potential along its orientation, so its n+ lies ahead; a
            // current source drives its current from n+ through itself along its orientation.
            const bool ahead = c->orientation != 0;
            if (auto* r = dynamic_cast<NUniRes*>(c)) {
                if (r->resistance == 0)
                    add("VR" + id, "VR", "0", false, "R" + id + " of 0 Ohm, a short");
                else
                    add("R" + id, "R", number(r->resistance));
            } else if (auto* l = dynamic_cast<NUniInd*>(c)) {
                if (l->inductance == 0)
                    add("VL" + id, "VL", "0", false, "L" + id + " of 0 H, a short");
                else
                    add("L" + id, "L", number(l->inductance));
            } else if (auto* k = dynamic_cast<NUniCon*>(c)) {
                add("C" + id, "C", number(k->capacitance * 1e-6L));
            } else if (auto* z = dynamic_cast<NUniImpedance*>(c)) {
                if (z->resistance != 0) add("RZ" + id, "RZ", number(z->resistance));
                if (z->reactance > 0)
                    add("LZ" + id, "LZ", number(z->reactance / omega));
                else if (z->reactance < 0)
                    add("CZ" + id, "CZ", number(-1 / (z->reactance * omega)));
                else if (z->resistance == 0)
                    add("VZ" + id, "VZ", "0", false, "Z" + id + " of 0 Ohm, a short");
            } else if (auto* e = dynamic_cast<NUniEds*>(c)) {
                add("V" + id, "V", number(e->emf), ahead);
            } else if (auto* v = dynamic_cast<NUniCompEDS*>(c)) {
                add("V" + id, "V", acPart(v->re, v->im), ahead);
            } else if (auto* i = dynamic_cast<NUniIst*>(c)) {
                add("I" + id, "I", number(i->current), !ahead);
            } else if (auto* j = dynamic_cast<NUniCompCurSource*>(c)) {
                add("I" + id, "I", acPart(j->re, j->im), !ahead);
            }
        }
        const std::string inner = "b" + b->name;
        if (pieces.empty()) add("V" + inner, "V", "0", false, "a wire");
        std::string at = from;
        for (size_t p = 0; p < pieces.size(); ++p) {
            const Piece& piece = pieces[p];
            const std::string there =
                p + 1 == pieces.size() ? to : names.take(inner + "_" + std::to_string(p + 1), "b_");
            if (!piece.note.empty()) text += "* " + piece.note + "\n";
            text += piece.name + " " + (piece.backwards ? there + " " + at : at + " " + there) + " " +
                    piece.value + "\n";
            at = there;
        }
    }
    text += ac ? ".ac lin 1 " + number(frequency) + " " + number(frequency) + "\n" : ".op\n";
    text += ".end\n";
    out.text = text;
    return out;
}

bool exportNetlistFile(NTBEFizDisp& doc, const QString& path, QString& error) {
    const SpiceNetlist netlist = writeSpiceNetlist(doc, QFileInfo(path).completeBaseName().toStdString());
    if (!netlist.error.empty()) {
        error = QString::fromStdString(netlist.error);
        return false;
    }
    QSaveFile file(path);
    const QByteArray bytes = QByteArray::fromStdString(netlist.text);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error =
            QCoreApplication::translate("qv::Message", "Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace qv
