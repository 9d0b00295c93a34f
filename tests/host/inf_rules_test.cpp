// The package check's platform-free reading of INF lines.
#include "inf_rules.h"

#include <gtest/gtest.h>

#include <string_view>
#include <utility>

using namespace inf_rules;

namespace {

// Hardware ids and decorations are proven on real packages under Wine; DriverVer's form only here.
TEST(InfRules, DriverVerInTheInstallersForm) {
    const std::pair<std::string_view, bool> versions[] = {
        {"12/01/2026,1.0.0.7", true},    {"1/2/2026", true},
        {"12/01/2026, 1.0", true},       {"2026-12-01,1.0.0.7", false},
        {"12/01/26,1.0.0.7", false},     {"12/01/2026,", false},
        {"12/01/2026,1.0.0.7.8", false}, {"", false}};
    for (const auto& [driverVer, expected] : versions)
        EXPECT_EQ(IsWellFormedDriverVer(driverVer), expected) << driverVer;
}

TEST(InfRules, SectionsNeverReadPastTheirBuffer) {
    const char models[] = {'a', '=', 'b', '\0', 'c', '=', 'd'};  // cut short by the platform: no closing NUL
    const char decorated[] = "C = D ; same line\0A=B\0\0";
    EXPECT_EQ(FirstLineMissingFrom(models, sizeof models, decorated, sizeof decorated), "");
    EXPECT_EQ(FirstLineMissingFrom(decorated, sizeof decorated, models, 3), "C = D ; same line");
}

}  // namespace
