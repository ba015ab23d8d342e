#pragma once
// A power network built by clicks, as the editor would build one, with scripted dialogs.
#include <gtest/gtest.h>

#include <map>

#include "power/networkelements.h"
#include "support/schemefixture.h"

namespace qv::test {

/// Sets the given field texts (and list rows, as "#row") and presses OK.
inline ScriptedPresenter::Script fill(std::map<QString, QString> texts) {
    return [texts](DialogModel& m) {
        for (const auto& [id, text] : texts) {
            DialogField& f = m.field(id);
            if (text.startsWith('#')) {
                f.choice = text.mid(1).toInt();
            } else if (f.kind == DialogField::Check) {
                f.checked = text == "1";
            } else {
                f.text = text;
            }
            m.changed(id);
        }
        return m.ok();
    };
}

inline bool cancelDialog(DialogModel& m) {
    m.cancel();
    return false;
}

struct PowerScheme : Scheme {
    /// A network node of `unom` kV placed by a click (its dialog answered with the voltage).
    template <class T = NPowerNode> T* powerNode(int32_t x, int32_t y, const char* unom) {
        if constexpr (std::is_same_v<T, NTransStat>)
            presenter.scripts.push_back(cancelDialog); // the substation has no voltage field
        else
            presenter.scripts.push_back(fill({{"unom", unom}}));
        auto* n = new T();
        n->owner = &doc;
        int state = 0;
        n->placePoint(state, x, y);
        EXPECT_EQ(state, -1);
        if constexpr (std::is_same_v<T, NTransStat>) n->unom = QString(unom).toDouble();
        return n;
    }
    /// An element between two nodes placed by two clicks; `script` answers its dialog.
    template <class T> T* twoClicks(NFUsel* a, NFUsel* b, ScriptedPresenter::Script script = cancelDialog) {
        presenter.scripts.push_back(std::move(script));
        auto* e = new T();
        e->owner = &doc;
        int state = 0;
        e->placePoint(state, clickAt(a).x, clickAt(a).y);
        e->placePoint(state, clickAt(b).x, clickAt(b).y);
        EXPECT_EQ(state, -1);
        return e;
    }
    /// Where a click picks the node: the centre of its shape (the node's own point is the
    /// corner of the shape's bounds).
    static Point clickAt(const NFUsel* n) {
        if (auto* u = dynamic_cast<const NFUniNode*>(n))
            if (auto* round = dynamic_cast<const NGRoundNode*>(u->shape.get())) return round->centre;
        return {n->x, n->y};
    }
    PowerCatalogues& catalogues() { return powerCatalogues(ctx); }
};

/// Every power element: two 110-kV nodes joined by a line, a substation, a breaker between
/// the second node and the substation, a 10-kV node fed by a transformer.
struct EveryPowerElement : PowerScheme {
    NPowerNode* a = powerNode(0, 0, "110");
    NPowerNode* b = powerNode(200, 0, "110");
    NTransStat* station = powerNode<NTransStat>(400, 0, "110");
    NPowerNode* low = powerNode(200, 200, "10");
    NPowerLine* line = twoClicks<NPowerLine>(
        a, b,
        fill({{"dispatchName", "Северная-1"}, {"wireKind", "#0"}, {"length", "12.5"}, {"circuits", "#2"}}));
    NFBreaker* breaker = twoClicks<NFBreaker>(b, station, fill({{"name", "Q1"}, {"on", "1"}}));
    NFTransForm* trans = twoClicks<NFTransForm>(low, b, fill({{"name", "T1"}, {"transKind", "#0"}}));

    EveryPowerElement() {
        a->loadP = 12.5;
        a->genQ = -3.25;
        b->shuntB = 2.75;
        station->transKind = "ТДН-10000/110";
        station->lowNode->name = "НН";
        station->lowNode->unom = 11;
        station->lowNode->loadP = 7;
        station->tapNumber = 5;
        station->transformer->sNom = 10;
        line->lineX = 4.5;
        line->lineG = 0.125;
    }
};

} // namespace qv::test
