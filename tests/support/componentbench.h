#pragma once
// A scheme of a workbench built by clicks, with scripted dialogs: nodes, branches and
// components placed as the editor places them. Component symbols come from the element
// templates drawn in memory, so no template file is read.
#include <gtest/gtest.h>

#include <memory>

#include "app/workbench.h"
#include "components/branch.h"
#include "components/components.h"
#include "components/nodes.h"
#include "components/templates.h"
#include "model/document.h"
#include "platform/dialogmodel.h"
#include "support/placement.h"

namespace qv::test {

/// Dialog scripts: each plays the user once.
inline bool pressOk(DialogModel& m) {
    return m.ok();
}
inline bool pressCancel(DialogModel& m) {
    m.cancel();
    return false;
}
/// A one-value component dialog answered with `v`.
inline ScriptedPresenter::Script value(const QString& v) {
    return [v](DialogModel& m) {
        m.field("value").text = v;
        return m.ok();
    };
}

struct ComponentBench {
    Workbench wb{QStringLiteral(".")};
    NTBEFizDisp& doc = wb.scheme();
    ScriptedPresenter dialogs;

    ComponentBench() { wb.context().setPresenter(&dialogs); }
    ~ComponentBench() { wb.context().setPresenter(nullptr); }

    NTbeNode* node(int32_t x, int32_t y) { return test::placeNode(doc, x, y); }

    /// A branch placed by clicks: on `a`, on each corner, on `b`.
    NTbeLine* branch(NFUsel* a, NFUsel* b, std::vector<Point> corners = {}) {
        return test::placeBranch(doc, a, b, corners);
    }

    /// A component of class T with its symbol from its template, not yet placed.
    template <class T> std::unique_ptr<T> fresh() {
        auto c = std::make_unique<T>();
        FizDisp tmpl(&wb.context());
        EXPECT_TRUE(buildTemplate(c->className(), tmpl));
        c->owner = &doc;
        c->createFromTemplate(tmpl);
        return c;
    }

    /// A component of class T placed by a click at (x, y); `script` answers the dialog that
    /// placement opens.
    template <class T> T* place(int32_t x, int32_t y, ScriptedPresenter::Script script = pressOk) {
        auto c = fresh<T>();
        dialogs.scripts.push_back(std::move(script));
        const qsizetype shown = dialogs.shown.size();
        int state = 0;
        c->placePoint(state, x, y);
        // A class without a dialog leaves the script unused; it must not answer the next one.
        if (dialogs.shown.size() == shown) dialogs.scripts.clear();
        EXPECT_EQ(state, -1) << "no branch at (" << x << ", " << y << ")";
        if (state != -1) return nullptr;
        return c.release(); // the document owns it now
    }

    /// A ground placed by two clicks: on `n`, then at its free end.
    NFGroundObj* ground(NFUsel* n, Point freeEnd) {
        auto g = std::make_unique<NFGroundObj>();
        g->owner = &doc;
        FizDisp tmpl(&wb.context());
        EXPECT_TRUE(buildTemplate("NFGroundObj", tmpl));
        g->createFromTemplate(tmpl);
        int state = 0;
        g->placePoint(state, n->x, n->y);
        g->placePoint(state, freeEnd.x, freeEnd.y);
        EXPECT_EQ(state, -1);
        return state == -1 ? g.release() : nullptr;
    }

    /// Opens the properties dialog of `c` once with `script` as the user.
    void edit(NFizObj* c, ScriptedPresenter::Script script) {
        dialogs.scripts.push_back(std::move(script));
        c->editProperties();
        EXPECT_TRUE(dialogs.scripts.empty()) << "no dialog was shown";
        dialogs.scripts.clear();
    }
};

} // namespace qv::test
