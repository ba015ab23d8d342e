// Damaged and hostile scheme files: every cut length, random byte changes and huge counts
// must give a clean failure (or a clean load), never a crash, and never disturb the open
// scheme. Built with the sanitizers by ./test as well.
#include <QFile>
#include <gtest/gtest.h>

#include <random>

#include "app/workbench.h"
#include "components/branch.h"
#include "graphics/labels.h"
#include "io/documentfile.h"
#include "model/document.h"
#include "platform/binarystream.h"
#include "support/testfiles.h"

using namespace qv;

namespace {

Bytes readFile(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    QByteArray a = f.readAll();
    return Bytes(a.begin(), a.end());
}

const char* kFixtures[] = {"dc_parallel.tbe", "dc_current_source_ground.tbe", "ac_rlc.tbe"};

/// Loads `bytes` the way opening a file does: into a fresh scheme first.
struct Loader {
    Workbench wb;
    int tried = 0, loaded = 0;
    /// True when the bytes were accepted.
    bool load(const Bytes& bytes) {
        ++tried;
        NTBEFizDisp fresh(&wb.context());
        fresh.labelDocument = &wb.labelDocument();
        BinaryReader r(bytes);
        readDocument(fresh, r);
        if (r.failed()) {
            EXPECT_FALSE(r.error().empty());
            return false;
        }
        ++loaded;
        // Whatever was accepted must be safe to use.
        Rect b;
        fresh.getBounds(b);
        NFizObj* hit = nullptr;
        fresh.findAt(100, 100, hit);
        BinaryWriter w;
        fresh.saveToStream(w);
        // ... and to edit: move every node, then delete everything the user could delete.
        countConnectedParts(fresh);
        for (NFizObj* o : std::vector<NFizObj*>(fresh.objects()))
            o->endDrag();
        fresh.clearRemovable();
        fresh.paint(fresh.canvas());
        return true;
    }
};

} // namespace

TEST(Robustness, EveryCutOfARealFileFailsCleanlyOrLoads) {
    Loader loader;
    for (const char* name : kFixtures) {
        Bytes full = readFile(qv::test::fixture(name));
        ASSERT_TRUE(loader.load(full)) << name;
        int accepted = 0;
        for (size_t n = 0; n < full.size(); ++n)
            if (loader.load(Bytes(full.begin(), full.begin() + long(n)))) ++accepted;
        // Only cuts inside the optional tail may load (files without the tail are valid).
        EXPECT_LE(accepted, 14) << name;
    }
}

TEST(Robustness, RandomByteChangesNeverCrash) {
    Loader loader;
    std::mt19937 rng(20261209);
    for (const char* name : kFixtures) {
        Bytes full = readFile(qv::test::fixture(name));
        for (int round = 0; round < 1500; ++round) {
            Bytes m = full;
            int changes = 1 + int(rng() % 8);
            for (int c = 0; c < changes; ++c) {
                size_t at = rng() % m.size();
                switch (rng() % 4) {
                case 0:
                    m[at] = uint8_t(rng());
                    break;
                case 1:
                    m[at] = 0xFF;
                    break;
                case 2:
                    m[at] ^= uint8_t(1u << (rng() % 8));
                    break;
                default: // a 32-bit field made huge or negative
                    if (at + 4 <= m.size()) {
                        uint32_t v = (rng() % 2) ? 0x7FFFFFFFu : 0x80000000u + (rng() % 100);
                        for (int k = 0; k < 4; ++k)
                            m[at + size_t(k)] = uint8_t(v >> (8 * k));
                    }
                }
            }
            loader.load(m);
        }
    }
    EXPECT_EQ(loader.tried, 3 * 1500);
    RecordProperty("mutated_files", loader.tried);
}

TEST(Robustness, HugeCountsAreRefusedBeforeAnythingIsAllocated) {
    Loader loader;
    Bytes full = readFile(qv::test::fixture("dc_parallel.tbe"));
    for (uint32_t count : {0x7FFFFFFFu, 0x80000000u, 10002u, 0xFFFFFFFFu}) {
        Bytes m = full;
        for (int k = 0; k < 4; ++k)
            m[4 + size_t(k)] = uint8_t(count >> (8 * k)); // the object count
        EXPECT_FALSE(loader.load(m)) << count;
    }
}

TEST(Robustness, AnUnknownClassNameIsNamedInTheMessage) {
    Bytes full = readFile(qv::test::fixture("dc_parallel.tbe"));
    // The first class name starts at byte 8: a length byte and "NTbeNode".
    full[9] = 'X';
    Workbench wb;
    NTBEFizDisp fresh(&wb.context());
    BinaryReader r(full);
    readDocument(fresh, r);
    ASSERT_TRUE(r.failed());
    EXPECT_NE(r.error().find("Invalid class name \"XTbeNode\""), std::string::npos) << r.error();
}

namespace {

/// A file whose records each read well but whose objects disagree about their links.
struct LinkDamage {
    const char* what;
    void (*damage)(NTBEFizDisp& doc);
    const char* message; ///< part of the refusal
};

template <class T> T* at(NTBEFizDisp& doc, int index) {
    auto* obj = dynamic_cast<T*>(doc.objectAt(index));
    EXPECT_NE(obj, nullptr) << index;
    return obj;
}

void erase(std::vector<NFizSemEl*>& list, NFizSemEl* e) {
    list.erase(std::find(list.begin(), list.end(), e));
}

} // namespace

// In dc_current_source_ground: nodes 0, 2, 4 (labels 1, 3, 5); branches 6 (0-4 at file
// level: node1 4, node2 0), 8, 10, 12; components 15 (on 6), 17 (on 8), 19 and 21 (on 10),
// 23 (on 12), each with the label just before it; the ground 24 on node 4.
TEST(Robustness, LinksThatDeletingWouldLeaveDanglingAreRefused) {
    const LinkDamage cases[] = {
        {"a node lists a branch twice",
         [](NTBEFizDisp& d) { at<NFUsel>(d, 0)->attached.push_back(at<NFVetv>(d, 6)); },
         "node \"1\" lists object 6"},
        {"a node lists a branch that does not end on it",
         [](NTBEFizDisp& d) { at<NFUsel>(d, 2)->attached.push_back(at<NFVetv>(d, 12)); },
         "node \"2\" lists object 12"},
        {"a node lists a component",
         [](NTBEFizDisp& d) { at<NFUsel>(d, 0)->attached.push_back(at<NSetObj>(d, 17)); },
         "node \"1\" lists object 17"},
        {"a branch ends on a node that does not list it",
         [](NTBEFizDisp& d) { erase(at<NFUsel>(d, 4)->attached, at<NFVetv>(d, 6)); },
         "object 6 ends on node \"3\""},
        {"a ground hangs on a node that does not list it",
         [](NTBEFizDisp& d) { erase(at<NFUsel>(d, 4)->attached, at<NFizSemEl>(d, 24)); },
         "object 24 ends on node \"3\""},
        {"a component sits in two branches",
         [](NTBEFizDisp& d) { at<NFVetv>(d, 8)->insertAt(1, at<NSetObj>(d, 19)); }, "component 19"},
        {"a component sits twice in its branch",
         [](NTBEFizDisp& d) { at<NFVetv>(d, 10)->insertAt(1, at<NSetObj>(d, 19)); }, "component 19"},
        {"a component names another branch than the one it sits in",
         [](NTBEFizDisp& d) { at<NSetObj>(d, 17)->branch = at<NFVetv>(d, 10); }, "component 17"},
        {"a component names a branch that does not hold it",
         [](NTBEFizDisp& d) { at<NFVetv>(d, 12)->elements.erase(at<NFVetv>(d, 12)->elements.begin() + 1); },
         "component 23"},
        {"two elements share a label",
         [](NTBEFizDisp& d) { at<NSetObj>(d, 17)->nameLabel = at<NSetObj>(d, 15)->nameLabel; }, "label 14"},
        {"a node with branches is marked removable", [](NTBEFizDisp& d) { d.objectAt(0)->removable = 1; },
         "node \"1\""},
        {"the label of an element is marked removable", [](NTBEFizDisp& d) { d.objectAt(1)->removable = 1; },
         "label 1"},
    };
    Bytes full = readFile(qv::test::fixture("dc_current_source_ground.tbe"));
    for (const auto& c : cases) {
        Workbench wb;
        BinaryWriter w;
        {
            NTBEFizDisp doc(&wb.context());
            doc.labelDocument = &wb.labelDocument();
            BinaryReader r(full);
            readDocument(doc, r);
            ASSERT_FALSE(r.failed()) << r.error();
            c.damage(doc);
            doc.saveToStream(w);
            doc.clear(); // the damage may not survive deleting; destroy without detaching
        }
        NTBEFizDisp fresh(&wb.context());
        fresh.labelDocument = &wb.labelDocument();
        BinaryReader r(w.bytes());
        readDocument(fresh, r);
        EXPECT_TRUE(r.failed()) << c.what;
        EXPECT_NE(r.error().find(c.message), std::string::npos) << c.what << ": " << r.error();
    }
}

TEST(Robustness, AnElementWhoseLabelIsAFreeTextIsRefused) {
    // Re-labelling would take the free text's placement clicks: it would join the document
    // a second time, after which nothing in the document could be destroyed safely.
    Bytes full = readFile(qv::test::fixture("dc_current_source_ground.tbe"));
    Workbench wb;
    BinaryWriter w;
    {
        NTBEFizDisp doc(&wb.context());
        BinaryReader r(full);
        readDocument(doc, r);
        auto* text = new NUserTextLabel();
        text->owner = &doc;
        text->removable = 0;
        ASSERT_TRUE(doc.add(text));
        auto* node = at<NFUsel>(doc, 0);
        node->nameLabel = text; // its own label is left without an element
        doc.saveToStream(w);
    }
    NTBEFizDisp fresh(&wb.context());
    BinaryReader r(w.bytes());
    readDocument(fresh, r);
    if (!r.failed()) {
        const int before = fresh.objectCount();
        at<NFUsel>(fresh, 0)->updateLabel();
        EXPECT_EQ(fresh.objectCount(), before) << "the label joined its document a second time";
        fresh.clear();
    }
    EXPECT_NE(r.error().find("label 25 of object 0 is a free text"), std::string::npos) << r.error();
}
