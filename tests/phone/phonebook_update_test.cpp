#include "phone/phonebook_update.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tabellan {
namespace {

using Lines = std::vector<std::string>;
using ::testing::HasSubstr;
using ::testing::Not;

const std::string kAnn = "1,\"555\",129,\"Ann\"";
const std::string kBo = "2,\"666\",129,\"Bo\"";
const std::string kCy = "5,\"777\",129,\"Cy\"";

UpdatePlan Adding(Lines lines) {
    return {std::move(lines), {}};
}

TEST(LocationKey, TextBeforeTheFirstComma) {
    EXPECT_EQ(LocationKey(kAnn), "1");
    EXPECT_EQ(LocationKey("123,\"5\""), "123");
    EXPECT_EQ(LocationKey(",\"5\",129,\"New\""), "");
    EXPECT_EQ(LocationKey("a note"), "");
    EXPECT_EQ(LocationKey(""), "");
}

TEST(CardEntryLines, LinesOneAndTwoAreNeverCompared) {
    EXPECT_EQ(CardEntryLines({"Phone", kAnn, kBo}), (Lines{kBo}));
    EXPECT_TRUE(CardEntryLines({"Phone", ""}).empty());
    EXPECT_TRUE(CardEntryLines({"Phone"}).empty());
    EXPECT_TRUE(CardEntryLines({}).empty());
}

TEST(CompareForUpdate, SameEntriesInAnyOrderNeedNoUpdate) {
    EXPECT_TRUE(CompareForUpdate({kAnn, kBo, kCy}, {kCy, kAnn, kBo}).Empty());
    EXPECT_TRUE(CompareForUpdate({kAnn, kBo}, {kAnn, "", kBo, ""}).Empty());
    EXPECT_TRUE(CompareForUpdate({}, {}).Empty());
}

TEST(CompareForUpdate, ChangedNameIsAReplacementNotADelete) {
    const std::string renamed = "2,\"666\",129,\"Bob\"";
    const UpdatePlan plan = CompareForUpdate({kAnn, kBo}, {kAnn, renamed});
    EXPECT_EQ(plan.addList, (Lines{renamed}));
    EXPECT_TRUE(plan.deleteList.empty());
    EXPECT_EQ(UpdateCommands(plan),
              (std::vector<PhoneCommand>{{"AT+cpbw=" + renamed, "Inserting " + renamed}}));
}

TEST(CompareForUpdate, ComparisonIsExact) {
    const std::string upper = "1,\"555\",129,\"ANN\"";
    const std::string blank = "1,\"555\",129,\"Ann\" ";
    EXPECT_EQ(CompareForUpdate({kAnn}, {upper}).addList, (Lines{upper}));
    EXPECT_EQ(CompareForUpdate({kAnn}, {blank}).addList, (Lines{blank}));
    EXPECT_TRUE(CompareForUpdate({kAnn}, {blank}).deleteList.empty());
}

TEST(CompareForUpdate, EntriesWhoseLocationNoLineUsesAreDeleted) {
    const UpdatePlan plan = CompareForUpdate({kAnn, kBo, kCy}, {kBo});
    EXPECT_TRUE(plan.addList.empty());
    EXPECT_EQ(plan.deleteList, (Lines{kAnn, kCy}));
    EXPECT_EQ(UpdateCommands(plan), (std::vector<PhoneCommand>{{"AT+cpbw=1", "Deleting " + kAnn},
                                                               {"AT+cpbw=5", "Deleting " + kCy}}));
    // A card holding only its index line, or an empty body, deletes everything.
    EXPECT_EQ(CompareForUpdate({kAnn, kBo}, CardEntryLines({"Phone"})).deleteList,
              (Lines{kAnn, kBo}));
    EXPECT_EQ(CompareForUpdate({kAnn, kBo}, CardEntryLines({"Phone", ""})).deleteList,
              (Lines{kAnn, kBo}));
}

TEST(CompareForUpdate, NewLinesAndLinesWithoutLocation) {
    const std::string fresh = ",\"888\",129,\"Di\"";
    const std::string moved = "9,\"555\",129,\"Ann\"";
    const UpdatePlan plan = CompareForUpdate({kAnn, kBo}, {kBo, fresh, moved});
    EXPECT_EQ(plan.addList, (Lines{fresh, moved}));
    EXPECT_EQ(plan.deleteList, (Lines{kAnn}));
}

TEST(CompareForUpdate, EmptyLinesAreDroppedOnlyWhereScanned) {
    // Without phone entries no line is scanned: the empty lines stay and send nothing.
    const UpdatePlan onlyEmpty = CompareForUpdate({}, {"", ""});
    EXPECT_EQ(onlyEmpty.addList, (Lines{"", ""}));
    EXPECT_FALSE(onlyEmpty.Empty());
    EXPECT_TRUE(UpdateCommands(onlyEmpty).empty());
    // A scan stops at its match: an empty line before the first entry's line is never
    // reached and stays as an empty row.
    EXPECT_EQ(CompareForUpdate({kAnn, kBo}, {"", kAnn, "", kBo}).addList, (Lines{""}));
    EXPECT_EQ(CompareForUpdate({kBo}, {"", kBo}).addList, (Lines{""}));
    // Empty phone entries never reach the delete list.
    EXPECT_TRUE(CompareForUpdate({"", kAnn, ""}, {kAnn}).Empty());
}

TEST(CompareForUpdate, EveryEntryTakesTheLastLineWithItsLocation) {
    const std::string first = "2,\"1\",129,\"One\"";
    const std::string second = "2,\"2\",129,\"Two\"";
    const UpdatePlan plan = CompareForUpdate({kBo}, {first, second});
    EXPECT_EQ(plan.addList, (Lines{first, second}));
    EXPECT_TRUE(plan.deleteList.empty());
    // An entry equal to a line is matched even after a line with the same key was passed.
    EXPECT_TRUE(CompareForUpdate({kAnn}, {kAnn}).Empty());
}

TEST(UpdateCommands, DeletesFirstInThePhonesOrderThenWritesInTheCardsOrder) {
    const std::string fresh = ",\"888\",129,\"Di\"";
    const std::string renamed = "2,\"666\",129,\"Bob\"";
    const UpdatePlan plan = CompareForUpdate({kCy, kAnn, kBo}, {fresh, renamed, ""});
    ASSERT_EQ(plan.deleteList, (Lines{kCy, kAnn}));
    EXPECT_EQ(UpdateCommands(plan), (std::vector<PhoneCommand>{
                                        {"AT+cpbw=5", "Deleting " + kCy},
                                        {"AT+cpbw=1", "Deleting " + kAnn},
                                        {"AT+cpbw=" + fresh, "Inserting " + fresh},
                                        {"AT+cpbw=" + renamed, "Inserting " + renamed},
                                    }));
}

TEST(CheckUpdatePlan, LocationsInsideTheRangeOrACommaAlonePass) {
    EXPECT_FALSE(
        CheckUpdatePlan({{kAnn, "250,\"1\",129,\"Z\"", ",\"2\",129,\"New\"", ""}, {}}, "1,250"));
    EXPECT_FALSE(CheckUpdatePlan({{"7,\"1\",129,\"A\""}, {"x"}}, "7"));
    EXPECT_FALSE(CheckUpdatePlan(Adding({"007,\"1\",129,\"A\""}), "1,10"));
    // Deletes come from the phone and are not checked.
    EXPECT_FALSE(CheckUpdatePlan({{}, {"a note"}}, "1,250"));
    EXPECT_FALSE(CheckUpdatePlan({{"", ""}, {}}, ""));
}

TEST(CheckUpdatePlan, OtherLinesAreRefusedByName) {
    const auto outside = CheckUpdatePlan({{kAnn, "251,\"1\",129,\"Z\""}, {}}, "1,250");
    ASSERT_TRUE(outside);
    EXPECT_THAT(*outside, HasSubstr("This line cannot be written to the phone:\r\n\r\n"
                                    "251,\"1\",129,\"Z\"\r\n"));
    EXPECT_THAT(*outside, HasSubstr("a location from 1 to 250 followed by a comma"));
    EXPECT_THAT(*outside, HasSubstr("Nothing was sent to the phone."));
    EXPECT_THAT(*outside, Not(HasSubstr(kAnn)));

    for (const std::string line : {"0,\"1\",129,\"Z\"", "call Bo on Monday", "x1,\"5\"", " 1,\"5\"",
                                   "-1,\"5\"", "99999999999999999999,\"5\""}) {
        EXPECT_TRUE(CheckUpdatePlan(Adding({line}), "1,250")) << line;
    }
    const auto several = CheckUpdatePlan(Adding({"a", kAnn, "b"}), "1,250");
    ASSERT_TRUE(several);
    EXPECT_THAT(*several,
                HasSubstr("These lines cannot be written to the phone:\r\n\r\na\r\nb\r\n"));
}

TEST(CheckUpdatePlan, ManyRefusedLinesAndAnUnknownRange) {
    Lines notes;
    for (int i = 0; i < 13; ++i) {
        notes.push_back("note " + std::to_string(i));
    }
    const auto many = CheckUpdatePlan(Adding(notes), "1,250");
    ASSERT_TRUE(many);
    EXPECT_THAT(*many, HasSubstr("note 9\r\n(and 3 more)"));
    EXPECT_THAT(*many, Not(HasSubstr("note 10")));

    const auto unknown = CheckUpdatePlan(Adding({kAnn, ",\"2\",129,\"New\""}), "");
    ASSERT_TRUE(unknown);
    EXPECT_THAT(*unknown, HasSubstr(kAnn));
    EXPECT_THAT(*unknown, HasSubstr("the phone did not tell it"));
    EXPECT_THAT(*unknown, Not(HasSubstr("New")));
}

}  // namespace
}  // namespace tabellan
