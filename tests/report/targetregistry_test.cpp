// Report targets by identifier.
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

#include "report/documenttarget.h"
#include "report/targetregistry.h"

using namespace qv;

TEST(ReportTargetRegistry, TheOwnTargetWritesIntoTheSolutionPage) {
    QTextDocument doc;
    QTextCursor caret(&doc);
    const ReportTargetRegistry registry = ReportTargetRegistry::standard();
    for (const char* id : {"Kelvaro.NTKVTextOut", "kelvaro.ntkvtextout"}) {
        auto target = registry.create(id, caret);
        ASSERT_NE(dynamic_cast<DocumentReportTarget*>(target.get()), nullptr) << id;
        target->insert("x");
    }
    EXPECT_EQ(doc.toPlainText(), "xx");
}

TEST(ReportTargetRegistry, WordProcessorsCannotBeCreatedHereAndSaySo) {
    QTextDocument doc;
    QTextCursor caret(&doc);
    const ReportTargetRegistry registry = ReportTargetRegistry::standard();
    for (const std::string& id : {reportTargetId(0), reportTargetId(1), std::string("No.Such.Object")}) {
        EXPECT_TRUE(id != "No.Such.Object" ? registry.contains(id) : !registry.contains(id));
        try {
            registry.create(id, caret);
            FAIL() << id << " was created";
        } catch (const ReportTargetUnavailable& e) {
            EXPECT_NE(std::string(e.what()).find("\"" + id + "\""), std::string::npos) << e.what();
        }
    }
    EXPECT_TRUE(doc.isEmpty());
}

TEST(ReportTargetRegistry, OptionValuesNameTheTargets) {
    EXPECT_EQ(reportTargetId(0), "Word.Basic");
    EXPECT_EQ(reportTargetId(1), "Word.Application.8");
    EXPECT_EQ(reportTargetId(2), "Kelvaro.NTKVTextOut");
    EXPECT_EQ(reportTargetId(7), "Kelvaro.NTKVTextOut");
}

TEST(ReportTargetRegistry, AnotherPlatformCanAddItsOwnTarget) {
    ReportTargetRegistry registry = ReportTargetRegistry::standard();
    registry.add("Word.Basic",
                 [](const ReportDestination& d) { return std::make_unique<DocumentReportTarget>(*d.caret); });
    QTextDocument doc;
    QTextCursor caret(&doc);
    EXPECT_NO_THROW(registry.create("WORD.BASIC", caret));
    registry.add("Broken", [](const ReportDestination&) { return std::unique_ptr<ReportTarget>(); });
    EXPECT_THROW(registry.create("Broken", caret), ReportTargetUnavailable);
}
