#pragma once
// A scheme built by clicks, as the editor builds one, with scripted dialogs and recorded
// message boxes.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/branch.h"
#include "components/nodes.h"
#include "diagrams/loop.h"
#include "graphics/primitives.h"
#include "model/classregistry.h"
#include "model/context.h"
#include "model/document.h"
#include "support/placement.h"

namespace qv::test {

struct Scheme {
    Context ctx;
    ScriptedPresenter presenter;
    std::vector<std::unique_ptr<NFGroundObj>> grounds; ///< hang on nodes; not drawn or picked
    FizDisp labels;
    NTBEFizDisp doc{&ctx};

    Scheme() {
        ctx.setPresenter(&presenter);
        doc.labelDocument = &labels;
        doc.registerClassName("NFCont");
    }

    RecordingMessages& messages() { return *static_cast<RecordingMessages*>(ctx.messages()); }

    NTbeNode* node(int32_t x, int32_t y) { return test::placeNode(doc, x, y); }
    /// A branch placed by clicks: on `a`, on each corner, on `b`.
    NTbeLine* branch(NFUsel* a, NFUsel* b, std::vector<Point> corners = {}) {
        return test::placeBranch(doc, a, b, corners);
    }
    /// Grounds a node. The ground stays out of the document: only the node needs to know it.
    void ground(NFUsel* n) {
        grounds.push_back(std::make_unique<NFGroundObj>());
        NFGroundObj* g = grounds.back().get();
        g->owner = &doc;
        int32_t x = n->x, y = n->y;
        n->attachBranch(g, x, y);
        g->node1 = n;
    }
    /// A component of the given class placed by a click on a branch.
    NSetObj* component(const std::string& className, Point at) {
        auto* c = dynamic_cast<NSetObj*>(createObjectByClassName(className).release());
        EXPECT_NE(c, nullptr) << className << " is not a component class";
        c->owner = &doc;
        int state = 0;
        c->placePoint(state, at.x, at.y);
        EXPECT_EQ(state, -1);
        return c;
    }

    static Point at(const NFUsel* n) { return {n->x, n->y}; }
    /// The middle of a branch's first segment.
    static Point mid(const NFVetv* b) {
        const NGraphLine* s = b->segments().front();
        return {(s->p1.x + s->p2.x) / 2, (s->p1.y + s->p2.y) / 2};
    }
};

/*  n1 --b12-- n2
     \         |  \
     b31      b23  b23b     branches named 1..4 in placing order
        \      |  /
           -- n3        */
struct Triangle : Scheme {
    NTbeNode* n1 = node(0, 0);
    NTbeNode* n2 = node(100, 0);
    NTbeNode* n3 = node(100, 100);
    NTbeLine* b12 = branch(n1, n2);
    NTbeLine* b23 = branch(n2, n3);
    NTbeLine* b31 = branch(n3, n1);
    NTbeLine* b23b = branch(n2, n3, {{150, 0}, {150, 100}});
};

/// Counts its own destruction, to show which loops are freed.
struct ProbeLoop : NFCont {
    explicit ProbeLoop(bool* freed) : freed(freed) {}
    ~ProbeLoop() override { *freed = true; }
    bool* freed;
};

} // namespace qv::test
