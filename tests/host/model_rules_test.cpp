// The platform-free rules: tokens, vendor marker, bounded text, row lookups and target choice.
#include "model_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string_view>

using namespace model_rules;

namespace {

struct TokenCase {
    std::string_view text;
    std::string_view token;
};

TEST(SecondAmpersandToken, FollowsTheStandardTokenizer) {
    const TokenCase cases[] = {
        {"%Cam%=Cam,USB\\VID_07E3&PID_30FE", "PID_30FE"},
        {"%Cam%=Cam,USB\\VID_07E3&PID_30FE&MI_00", "PID_30FE"},
        {"USB\\VID_07E3&PID_4000&REV_0001", "PID_4000"},
        {"Vid_07e3&&&Pid_30fe", "Pid_30fe"},
        {"&&Vid_07e3&Pid_30fe", "Pid_30fe"},
        {"Vid_07e3&Pid_30fe&", "Pid_30fe"},
        {"Vid_07e3& Pid ", " Pid "},
        {"Vid_07e3&", ""},
        {"Vid_07e3&&&", ""},
        {"&&&Vid_07e3", ""},
        {"Vid_07e3", ""},
        {"", ""},
        {"&", ""},
    };
    for (const TokenCase& c : cases) EXPECT_EQ(SecondAmpersandToken(c.text), c.token) << c.text;
}

TEST(CopySecondAmpersandToken, RefusesWhatDoesNotFit) {
    char token[12];
    EXPECT_TRUE(CopySecondAmpersandToken("Vid_07e3&Pid_30fe123", token, sizeof token));
    EXPECT_STREQ(token, "Pid_30fe123");
    EXPECT_FALSE(CopySecondAmpersandToken("Vid_07e3&Pid_30fe1234", token, sizeof token));
    EXPECT_STREQ(token, "");
    EXPECT_FALSE(CopySecondAmpersandToken("Vid_07e3&", token, sizeof token));
    EXPECT_FALSE(CopySecondAmpersandToken("Vid_07e3", token, sizeof token));
}

TEST(HasVendorMarker, AnyLetterCaseAnywhereInTheName) {
    const std::pair<std::string_view, bool> cases[] = {
        {"Vid_07e3&Pid_30fe", true},  {"VID_07E3&PID_30FE", true}, {"vid_07E3&pid_30fe", true},
        {"ROOT_HUB&Vid_07e3", true},  {"Vid_07e", false},          {"Vid_07e4&Pid_30fe", false},
        {"Vid_045e&Pid_07e3", false}, {"Vid07e3&Pid_30fe", false}, {"", false},
    };
    for (const auto& [name, expected] : cases) EXPECT_EQ(HasVendorMarker(name), expected) << name;
}

TEST(IsInfFileName, OnlyTheNameItselfEndingInInf) {
    const std::pair<std::string_view, bool> cases[] = {
        {"orv30fe.inf", true}, {"ORV30FE.Inf", true}, {"orv30fe.inf_old", false},
        {"a.inf.bak", false},  {"inf", false},        {"", false},
    };
    for (const auto& [name, expected] : cases) EXPECT_EQ(IsInfFileName(name), expected) << name;
}

TEST(ComposeText, BoundedByTheBuffer) {
    char out[8];
    EXPECT_TRUE(ComposeText(out, sizeof out, "abc", "\\", "def"));
    EXPECT_STREQ(out, "abc\\def");
    EXPECT_FALSE(ComposeText(out, sizeof out, "abcd", "\\", "def"));
    EXPECT_STREQ(out, "");
    EXPECT_TRUE(ComposeText(out, sizeof out, "", ""));
    EXPECT_STREQ(out, "");
    EXPECT_FALSE(ComposeText(out, 0, "", ""));
}

TEST(TextInField, NeverReadsPastTheField) {
    char full[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(TextInField(full, sizeof full).size(), 4u);
    char terminated[4] = {'a', '\0', 'c', 'd'};
    EXPECT_EQ(TextInField(terminated, sizeof terminated), "a");
}

// A table with the given (token, name) rows; an empty token ends it.
ModelTable MakeTable(std::initializer_list<std::pair<const char*, const char*>> rows) {
    ModelTable table{};
    int row = 0;
    for (const auto& [token, name] : rows) {
        std::strcpy(table.rows[row].productToken, token);
        std::strcpy(table.rows[row].friendlyName, name);
        ++row;
    }
    return table;
}

TEST(ModelTableWalks, StopAtTheFirstEmptyToken) {
    ModelTable table = MakeTable({{"PID_1", ""}, {"PID_2", "Cam"}, {"", "Hidden"}, {"PID_3", "Beyond"}});
    EXPECT_EQ(CountModelRows(table), 2);
    EXPECT_EQ(FindRowByToken(table, "PID_2"), 1);
    EXPECT_EQ(FindRowByToken(table, "PID_3"), NO_ROW);
    EXPECT_EQ(FindRowByName(table, "Hidden"), NO_ROW);
    EXPECT_EQ(FindRowByName(table, "Beyond"), NO_ROW);
}

TEST(ModelTableWalks, AFullTableStopsAtItsEnd) {
    ModelTable table{};
    for (ModelEntry& entry : table.rows) std::strcpy(entry.productToken, "PID_1");
    EXPECT_EQ(CountModelRows(table), MODEL_TABLE_CAPACITY);
    EXPECT_EQ(FindRowByToken(table, "PID_2"), NO_ROW);
    EXPECT_EQ(FindFirstNamedRow(table), NO_ROW);
}

TEST(FindRowByToken, ExactAndCaseSensitive) {
    ModelTable table = MakeTable({{"pid_30fe", ""}, {"PID_30FE", ""}, {"PID_30FE", ""}});
    EXPECT_EQ(FindRowByToken(table, "PID_30FE"), 1);
    EXPECT_EQ(FindRowByToken(table, "PID_30F"), NO_ROW);
    EXPECT_EQ(FindRowByToken(table, "PID_30FE "), NO_ROW);
}

struct TargetCase {
    int matchCount;
    std::string_view selected;
    int row;
};

TEST(ChooseTargetRow, OneMatchTakesTheFirstNamedRowSeveralTakeTheSelection) {
    ModelTable table = MakeTable({{"PID_1", ""}, {"PID_2", "Cam B"}, {"PID_3", "Cam A"}, {"PID_4", "Cam A"}});
    const TargetCase cases[] = {
        {1, "", 1},           {1, "Cam A", 1}, {2, "Cam A", 2}, {3, "Cam B", 1},
        {2, "Cam C", NO_ROW}, {2, "", NO_ROW}, {0, "", NO_ROW}, {2, "cam a", NO_ROW},
    };
    for (const TargetCase& c : cases)
        EXPECT_EQ(ChooseTargetRow(table, c.matchCount, c.selected), c.row) << c.matchCount << " " << c.selected;
}

TEST(ChooseTargetRow, NoNamedRowMeansNoTarget) {
    ModelTable table = MakeTable({{"PID_1", ""}, {"PID_2", ""}});
    EXPECT_EQ(ChooseTargetRow(table, 1, ""), NO_ROW);
    EXPECT_EQ(ChooseTargetRow(table, 2, ""), NO_ROW);
}

}  // namespace
