#include "TestSupport.h"
#include "cli/CalcCli.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

CliRun InProcess(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = CalcCli::Run(args, out, err);
    return {status, out.str(), err.str()};
}

bool HasLine(const std::string& out, const std::string& line) {
    std::istringstream in(out);
    for (std::string l; std::getline(in, l);) {
        if (l == line) {
            return true;
        }
    }
    return false;
}

std::string LastLine(const std::string& out) {
    std::istringstream in(out);
    std::string last;
    for (std::string l; std::getline(in, l);) {
        last = l;
    }
    return last;
}

TEST(CalcCli, ZoneExample) {
    const CliRun r = InProcess(
        {"zone", "txtOccupancy=10", "txtVentrate=2", "txtProcess=0.5", "txtSwimPoolGain=12.5"});
    EXPECT_EQ(r.status, CalcCli::kExitCompleted);
    for (const char* line : {"txtTotGain: 184.97", "txt100s: 1.8", "txt160s: 1.1", "txt200s: 0.9",
                             "txtRate100: 104.0554"}) {
        EXPECT_TRUE(HasLine(r.out, line)) << line << "\n" << r.out;
    }
    EXPECT_EQ(LastLine(r.out), "outcome: Completed");
    EXPECT_TRUE(r.err.empty());
}

// Warnings first, then the refusal, the emptied field and the focus.
TEST(CalcCli, ZoneWarningThenRefusal) {
    const CliRun r = InProcess({"zone", "txtVentrate=15", "txtInfil="});
    EXPECT_EQ(r.status, CalcCli::kExitRefused);
    std::istringstream in(r.out);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) {
        lines.push_back(l);
    }
    ASSERT_EQ(lines.size(), 5u) << r.out;
    EXPECT_EQ(lines[0].rfind("warning: ENTERED MECHANICAL VENTILATION RATE", 0), 0u);
    EXPECT_EQ(lines[1].rfind("refused txtInfil: Please enter a value for the natural", 0), 0u);
    EXPECT_EQ(lines[2], "txtInfil: ");
    EXPECT_EQ(lines[3], "focus: txtInfil");
    EXPECT_EQ(lines[4], "outcome: Refused");
}

TEST(CalcCli, PoolRefusalKeepsFocus) {
    const CliRun r = InProcess({"pool", "txtpoolarea=0.5"});
    EXPECT_EQ(r.status, CalcCli::kExitRefused);
    EXPECT_TRUE(HasLine(r.out, "txtpoolarea: "));
    EXPECT_EQ(r.out.find("focus:"), std::string::npos);
}

TEST(CalcCli, PoolIterationsGoToZoneScreen) {
    const CliRun r = InProcess({"pool"});
    EXPECT_EQ(r.status, CalcCli::kExitCompleted);
    EXPECT_TRUE(HasLine(r.out, "frmMethod1.txtiter: 440"));
    EXPECT_TRUE(HasLine(r.out, "txtm2: 99.60"));
}

// Message, focus, then the fields emptied after it, then the outcome.
TEST(CalcCli, RejectionOrder) {
    const CliRun r = InProcess({"zone", "txttemp=12"});
    EXPECT_EQ(r.status, CalcCli::kExitRejected);
    const auto message = r.out.find("message: Operating conditions out of range for "
                                    "dehumidification units.");
    const auto focus = r.out.find("focus: txttemp");
    const auto emptied = r.out.find("txtPeopleGain: \n");
    ASSERT_NE(message, std::string::npos);
    EXPECT_LT(message, focus);
    EXPECT_LT(focus, emptied);
    EXPECT_EQ(LastLine(r.out), "outcome: EnvelopeRejected");
}

TEST(CalcCli, TextsTakenAsTyped) {
    const CliRun r = InProcess({"zone", "comboActivity=Social ", "txtOccupancy= 1 0"});
    EXPECT_TRUE(HasLine(r.out, "txtPeopleGain: 0.00")) << r.out;
    const CliRun social = InProcess({"zone", "comboActivity=Social", "txtOccupancy= 1 0"});
    EXPECT_TRUE(HasLine(social.out, "txtPeopleGain: 19.92")) << social.out;
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
};

class CliUsageTest : public testing::TestWithParam<UsageCase> {};

TEST_P(CliUsageTest, ExitsWith64AndOneLine) {
    const CliRun r = InProcess(GetParam().args);
    EXPECT_EQ(r.status, CalcCli::kExitUsage);
    EXPECT_TRUE(r.out.empty());
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Errors, CliUsageTest,
    testing::Values(UsageCase{"NoArguments", {}}, UsageCase{"UnknownScreen", {"garden"}},
                    UsageCase{"UnknownField", {"zone", "txtpoolarea=5"}},
                    UsageCase{"PoolHasNoActivity", {"pool", "comboActivity=Social"}},
                    UsageCase{"NoEquals", {"pool", "txttemp"}}),
    [](const testing::TestParamInfo<UsageCase>& info) { return std::string(info.param.name); });

TEST(CalcCli, HelpListsFieldsWithCaptionsAndInitialTexts) {
    const CliRun r = InProcess({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* text :
         {"txtInfil", "Natural Infiltration Rate (a.c.h.)", "\"Office Work\"", "cmbOccupancy2",
          "Occupancy Type B (people not using pool)", "[initial \"101.325\"]"}) {
        EXPECT_NE(r.out.find(text), std::string::npos) << text;
    }
}

// The real program: exit status and output through a shell.
CliRun Program(const std::string& args) {
    const std::string command = std::string(VARNELDH_CALC_PATH) + " " + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return {-1, {}, {}};
    }
    std::string out;
    std::array<char, 4096> buf{};
    while (std::fgets(buf.data(), buf.size(), pipe) != nullptr) {
        out += buf.data();
    }
    const int raw = pclose(pipe);
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, out, {}};
}

TEST(CalcProgram, ExitStatusFollowsOutcome) {
    EXPECT_EQ(Program("zone txtOccupancy=10").status, 0);
    EXPECT_EQ(Program("zone txttemp=30 txtrh=20").status, 1);
    EXPECT_EQ(Program("pool txtrh=0").status, 2);
    const CliRun usage = Program("zone bogus=1");
    EXPECT_EQ(usage.status, 64);
    EXPECT_NE(usage.out.find("unknown zone field 'bogus'"), std::string::npos) << usage.out;
}

TEST(CalcProgram, BlanksInsideAnArgumentReachTheField) {
    const CliRun r = Program("zone 'txtVol=1 000' 'txtOccupancy=1e400'");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("refused txtOccupancy: The value entered is too large"), std::string::npos)
        << r.out;
}

} // namespace
