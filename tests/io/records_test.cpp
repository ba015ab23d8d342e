// Every class of the registry writes a record that reads back into a fresh object of the
// same class and then writes the same bytes: a field read in another order or width than it
// was written shows here, whatever the class.
#include <gtest/gtest.h>

#include "model/classregistry.h"
#include "support/records.h"

using namespace qv;

TEST(Records, EveryRegisteredClassReadsBackWhatItWrote) {
    const std::vector<std::string> names = registeredClassNames();
    ASSERT_GE(names.size(), 26u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        std::unique_ptr<NFizObj> obj = createObjectByClassName(name);
        ASSERT_NE(obj, nullptr);
        EXPECT_EQ(obj->className(), name);
        // Start the copy from other values, so that the read, not the constructor, fills them.
        obj->pen.width = 3;
        obj->highlighted = 1;
        const Bytes rec = test::recordOf(*obj);
        std::unique_ptr<NFizObj> back = createObjectByClassName(name);
        BinaryReader r(rec);
        back->loadFromStream(r);
        EXPECT_FALSE(r.failed()) << r.error();
        EXPECT_EQ(r.remaining(), 0u);
        EXPECT_EQ(test::recordOf(*back), rec);
        EXPECT_EQ(back->pen.width, 3);
    }
}

TEST(Records, AnUnknownClassNameMakesNothing) {
    EXPECT_EQ(createObjectByClassName("NTbeline"), nullptr); // the names are case-sensitive
    EXPECT_EQ(createObjectByClassName(""), nullptr);
}
