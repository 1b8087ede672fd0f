// motionhost check: the trajectory report from the command line: its exit
// statuses, the table's first line, the JSON document's keys, limits from
// the options and from the setup file.
#include "HostTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace host_test;

class CheckTest : public HostTest {};

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// The keys of the JSON document's top level, in order: the lines that start
// with two spaces and a quote.
std::vector<std::string> TopKeys(const std::string& json)
{
    std::vector<std::string> keys;
    std::size_t at = 0;
    while ((at = json.find("\n  \"", at)) != std::string::npos) {
        const std::size_t from = at + 4;
        const std::size_t to = json.find('"', from);
        keys.push_back(json.substr(from, to - from));
        at = to;
    }
    return keys;
}

// The repository's points file imports to a trajectory whose velocity peaks
// at 2662 rpm, far above any velocity the file gives (90 rpm at most).
TEST_F(CheckTest, ImportedExamplePointsPeakFarAboveTheirVelocities)
{
    const SRun imported = Run("import " + Q(kExamples + "import-points.txt"));
    ASSERT_EQ(imported.status, 0) << imported.err;
    const SRun run = Run("check -", imported.out);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(FirstLine(run.out).rfind(" point    time [s]  position [rot]  velocity [rpm]", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("\npeak velocity: 2662 rpm at 0.125 s\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\nresult: valid, within the limits\n"), std::string::npos) << run.out;
}

// The JSON document has exactly the keys documented, every problem with the
// check's own text (escaped), and null peaks only where nothing was sampled.
TEST_F(CheckTest, JsonHasExactlyTheDocumentedKeys)
{
    const SRun run = Run("check " + Q(kExamples + "invalid.pvt") + " --json");
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(TopKeys(run.out), (std::vector<std::string>{"valid", "points", "samples", "problems", "peak_velocity",
                                                          "peak_acceleration", "overshoots", "limits"}));
    EXPECT_NE(run.out.find("\"valid\": false,"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("{\"point\": 2, \"message\": \"Value out of range!\\nTime value of point 2 is too distant "
                           "from the previous point.\"}"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\"peak_velocity\": {\"value\": "), std::string::npos) << run.out;
    // A table of one point has one sample: a velocity peak of 0, no segment.
    const SRun single = Run("check - --json", "ATIME = 0\nTPOS = 0\nTSPD = 0\nExecute = 0\n");
    EXPECT_EQ(single.status, 1);
    EXPECT_NE(single.out.find("\"samples\": 1,"), std::string::npos) << single.out;
    EXPECT_NE(single.out.find("\"overshoots\": [],"), std::string::npos) << single.out;
}

// Exit statuses and the first line of each: limits from the options (in the
// text's units) and from the setup file (internal units), options first.
TEST_F(CheckTest, StatusesAndLimits)
{
    const std::string motion = Q(kExamples + "multi-point.pvt");  // peaks just under 1300 rpm
    // The embedded drive (2000 increments, 1 ms: 30 rpm per increment per
    // period) with a motor of 40 increments per period, 1200 rpm.
    const std::string setup = Make("motor.json", R"({"countsPerRevolution": 2000, "samplingPeriod": 0.001,
        "maxVelocity": 40, "options": {"IsClosedPosition": 1}, "variables": [
        {"name": "TPOS", "type": "int32", "quantity": "position", "unit": "rot"},
        {"name": "TSPD", "type": "fixed", "quantity": "velocity", "unit": "rpm"},
        {"name": "ATIME", "type": "int32", "quantity": "time", "unit": "s"}]})");
    const struct {
        std::string args;
        int status;
        std::string first;  // the start of standard output, else of standard error
    } cases[] = {
        {"check " + motion, 0, " point   time [ms]"},
        {"check " + Q(kExamples + "invalid.pvt"), 1, " point   time [ms]"},
        {"check " + motion + " --max-velocity 1300", 0, " point"},
        {"check " + motion + " --max-velocity 1299.99 --json", 1, "{"},
        {"check " + motion + " --max-acceleration 1e9", 0, " point"},
        {"check " + motion + " --max-acceleration 10", 1, " point"},
        {"--setup " + Q(setup) + " check " + motion, 1, " point"},
        {"--setup " + Q(setup) + " check " + motion + " --max-velocity 2000", 0, " point"},
        {"check " + motion + " --max-velocity 0", 2, "motionhost: --max-velocity 0: expected a positive number"},
        {"check " + motion + " --max-acceleration -1", 2,
         "motionhost: --max-acceleration -1: expected a positive number"},
        {"check " + motion + " --max-velocity fast", 2, "motionhost: "},
        {"check", 2, "motionhost: FILE is required"},
        {"check " + motion + " --module " + Q(kBin + "/Velkor.so"), 2,
         "motionhost: check does not use --module: it runs no module"},
    };
    for (const auto& c : cases) {
        const SRun run = Run(c.args);
        EXPECT_EQ(run.status, c.status) << c.args << "\n" << run.err;
        const std::string& shown = run.out.empty() ? run.err : run.out;
        EXPECT_EQ(shown.rfind(c.first, 0), 0u) << c.args << "\n" << shown;
    }
    const SRun over = Run("--setup " + Q(setup) + " check " + motion + " --json");
    // The two segments around the top speed, each with its peak and the
    // setup's limit in rpm.
    const std::size_t limits = over.out.find("\"limits\": [\n    {\"segment\": 2, \"what\": \"velocity\", \"value\": 1299.9");
    ASSERT_NE(limits, std::string::npos) << over.out;
    EXPECT_NE(over.out.find("\"limit\": 1200},\n    {\"segment\": 3, \"what\": \"velocity\", \"value\": 1299.9", limits),
              std::string::npos)
        << over.out;
    EXPECT_EQ(over.out.find("\"segment\": 4", limits), std::string::npos) << over.out;
}

}  // namespace
