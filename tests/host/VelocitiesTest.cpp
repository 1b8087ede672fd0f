// motionhost velocities, split and import --velocities: velocities from
// positions and long segments divided, as a user runs them from a shell.
#include "HostTestUtil.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace host_test;

class VelocitiesTest : public HostTest {};

// The line of a parameter text that starts with `key`.
std::string Line(const std::string& text, const std::string& key)
{
    std::string needle = "\n";
    needle.append(key).append(" = ");
    const auto at = text.find(needle);
    return at == std::string::npos ? std::string() : text.substr(at + 1, text.find('\n', at + 1) - at - 1);
}

// A one-second table on the 1 ms drive, given as positions and times only:
// import takes the two-number lines with --velocities and computes the
// velocities; the 1000-period segments do not pass the check until split,
// which divides each in two and leaves a table that translates.
TEST_F(VelocitiesTest, ImportedPositionsGetVelocitiesAndSplitMakesThemLoadable)
{
    const std::string points = m_Work + "/seconds.txt";
    // "1,2,3" reads as 1.2 and .3 but is one word, not two numbers.
    WriteFile(points, "0.5 1\n2 2\n4, 3\n1,2,3\n5 4\n");
    const SRun without = Run("import " + Q(points));
    EXPECT_EQ(without.status, 1);  // no line has three numbers
    const SRun imported = Run("import " + Q(points) + " --velocities spline");
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(Line(imported.out, "TPOS"), "TPOS = 0, 1000, 4000, 8000, 10000");
    EXPECT_NE(imported.err.find(":4: skipped: neither two nor three numbers"), std::string::npos) << imported.err;
    EXPECT_EQ(Line(imported.out, "TSPD").substr(0, 10), "TSPD = 0, ");
    EXPECT_NE(Line(imported.out, "TSPD"), "TSPD = 0, 0, 0, 0, 0");
    EXPECT_NE(imported.err.find("does not pass validation yet"), std::string::npos) << imported.err;
    EXPECT_NE(imported.err.find(", 0 overshoots"), std::string::npos) << imported.err;
    EXPECT_EQ(Run("translate -", imported.out).status, 1);

    const SRun split = Run("split -", imported.out);
    ASSERT_EQ(split.status, 0) << split.err;
    EXPECT_EQ(Line(split.out, "ATIME"), "ATIME = 0, 500, 1000, 1500, 2000, 2500, 3000, 3500, 4000");
    EXPECT_NE(split.err.find("motionhost: 4 points added\n"), std::string::npos) << split.err;
    EXPECT_EQ(Run("translate -", split.out).status, 0);
    // Split again: nothing to divide, the same text.
    const SRun again = Run("split -", split.out);
    EXPECT_EQ(again.out, split.out);
    EXPECT_NE(again.err.find("no segment to split"), std::string::npos) << again.err;
}

TEST_F(VelocitiesTest, InPlaceReplacesTheFileAndARefusalLeavesItAsItWas)
{
    struct SCase {
        const char* table;
        int status;
        const char* velocities;  // the TSPD line after the run
        const char* message;     // in standard error
    };
    const SCase cases[] = {
        {"ATIME = 0, 100, 200\nTPOS = 0, 5000, 10000\nTSPD = 0, 1, 0\n", 0, "TSPD = 0, 50, 0", "0 overshoots"},
        // Positions and times alone: the velocities are what is computed.
        {"ATIME = 0, 100, 200\nTPOS = 0, 5000, 10000\n", 0, "TSPD = 0, 50, 0", "0 overshoots"},
        {"ATIME = 0, 100, 100\nTPOS = 0, 5000, 10000\nTSPD = 0, 1, 0\n", 1, "TSPD = 0, 1, 0",
         "motionhost: cannot compute the velocities: Value out of range! Time value of point 2 is identical with "
         "previous point; "},
        // Columns of different lengths are not cut to the shortest.
        {"ATIME = 0, 100, 200\nTPOS = 0, 5000\nTSPD = 0, 1, 0\n", 1, "TSPD = 0, 1, 0",
         "motionhost: cannot change the table: its columns hold 3 times, 2 positions and 3 velocities; "},
    };
    for (const SCase& c : cases) {
        const std::string file = m_Work + "/motion.pvt";
        std::string text = "ATIME.unit = IU\nTPOS.unit = IU\nTSPD.unit = IU\n";
        text.append(c.table).append("Execute = 0\n");
        WriteFile(file, text);
        const SRun run = Run("velocities " + Q(file) + " --method monotone --in-place");
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.out, "");
        std::string message = c.message;
        if (c.status != 0)
            message.append(N(file)).append(" left as it was\n");
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        std::string written = "\n";
        written.append(ReadFile(file));
        EXPECT_EQ(Line(written, "TSPD"), c.velocities);
        if (c.status != 0) {
            EXPECT_EQ(ReadFile(file), text);
        }
    }
    // A points file is not a parameter text: refused, and kept.
    const std::string points = m_Work + "/points.txt";
    WriteFile(points, "1 0 0.1\n");
    EXPECT_EQ(Run("split " + Q(points) + " --in-place").status, 2);
    EXPECT_EQ(ReadFile(points), "1 0 0.1\n");
    EXPECT_EQ(Run("velocities - --method monotone --in-place").status, 2);
    EXPECT_EQ(Run("velocities - --method cubic").status, 2);
}

}  // namespace
