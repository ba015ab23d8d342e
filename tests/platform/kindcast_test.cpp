#include "platform/kindcast.h"

#include <gtest/gtest.h>

namespace {

// Single, multiple and virtual inheritance: the cast must land on the same subobject as
// dynamic_cast, asked again and again (the answers come from what was kept).
struct Base {
    virtual ~Base() = default;
    int base = 0;
};
struct Left : Base {
    int left = 1;
};
struct Right : Base {
    int right = 2;
};
struct Both : Left, Right {
    int both = 3;
};
struct Shared : virtual Base {
    int shared = 4;
};
struct Diamond : Shared {
    int diamond = 5;
};
struct Other {
    virtual ~Other() = default;
};
struct Mixed : Other, Left {};

template <class T, class Object> void expectSame(Object* object) {
    for (int round = 0; round < 3; ++round)
        EXPECT_EQ(qv::kindCast<T>(object), dynamic_cast<T*>(object))
            << typeid(T).name() << " round " << round;
}

TEST(KindCast, GivesWhatDynamicCastGivesFromEverySubobject) {
    Left left;
    Both both;
    Diamond diamond;
    Mixed mixed;
    Base* bases[] = {&left, static_cast<Left*>(&both), static_cast<Right*>(&both), &diamond, &mixed};
    for (Base* b : bases) {
        expectSame<Left>(b);
        expectSame<Right>(b);
        expectSame<Both>(b);
        expectSame<Shared>(b);
        expectSame<Diamond>(b);
        expectSame<Other>(b); // a cross-cast
        expectSame<const Base>(static_cast<const Base*>(b));
    }
    Other* other = &mixed;
    expectSame<Left>(other);
    expectSame<Base>(other);
    EXPECT_EQ(qv::kindCast<Left>(static_cast<Base*>(nullptr)), nullptr);
}

} // namespace
