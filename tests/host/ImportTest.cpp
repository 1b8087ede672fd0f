// motionhost import: a points file read with the editor's import rules,
// printed as a parameter text or put into a file.
#include "HostTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace host_test;

class ImportTest : public HostTest {
protected:
    SRun Import(const std::string& points, const std::string& into = "")
    {
        return Run("import " + Q(points) + (into.empty() ? "" : " --into " + Q(into)));
    }
};

// The example file in the default text's units (rot, rpm, s on the default
// drive: 2000 increments per revolution, 1 ms): its header and its own start
// line are skipped, the five points land in internal units as the dialog
// stores them (0.25 rot = 500 increments, 30 rpm = 1 increment per period,
// 0.05 s = 50 periods); the default text's other parameters stay.
TEST_F(ImportTest, TheExampleGivesTheDialogsTableInTheDefaultUnits)
{
    const std::string points = kExamples + "import-points.txt";
    const SRun run = Import(points);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "ClearBuffer = 1\nStartPoint = 0\n"
              "ATIME.unit = s\nATIME = 0, 50, 100, 150, 200, 250\n"
              "TPOS.unit = rot\nTPOS = 0, 500, 2000, 5000, 8000, 9000\n"
              "TSPD.unit = rpm\nTSPD = 0, 1, 2, 3, 2, 0\n"
              "Execute = 0\nWaitForCompletion = 1\n");
    EXPECT_EQ(run.err,
              "motionhost: points read in rot, rpm, s, the units of the default text\n" + points +
                  ":1: skipped: no three numbers\n" +
              points + ":2: skipped: a time of 0, which the start point holds\n"
              "motionhost: 5 points taken from " + N(points) + ", 2 lines skipped\n");
    // The table passes validation: it translates.
    EXPECT_EQ(Run("translate -", run.out).status, 0);
}

// Every reason a line is skipped, by line number; at most 20 are listed,
// then how many more.
TEST_F(ImportTest, SkippedLinesAreListedByNumberAndReasonTwentyThenACount)
{
    std::string file = "pos vel time\n1 0 0.01\n1,2,3\n1 0 -2\n2 0 0.01\nnan 0 0.02\n3 0 0.005\n0 0 0\n";
    for (int i = 0; i < 30; ++i)
        file += "# comment " + std::to_string(i) + "\n";
    file += "4, 0 0,03\n";
    const std::string points = Make("points.txt", file);
    const SRun run = Import(points);
    EXPECT_EQ(run.status, 0) << run.err;
    std::string expected = "motionhost: points read in rot, rpm, s, the units of the default text\n" + points +
                           ":1: skipped: no three numbers\n" +
                           points + ":3: skipped: no three numbers\n" +
                           points + ":4: skipped: negative time\n" +
                           points + ":5: skipped: time not after the last point's\n" +
                           points + ":6: skipped: a value that is not finite\n" +
                           points + ":7: skipped: time not after the last point's\n" +
                           points + ":8: skipped: a time of 0, which the start point holds\n";
    for (int line = 9; line <= 21; ++line)
        expected += points + ":" + std::to_string(line) + ": skipped: no three numbers\n";
    expected += "motionhost: 17 more lines skipped\nmotionhost: 2 points taken from " + N(points) + ", 37 lines skipped\n";
    EXPECT_EQ(run.err, expected);
    EXPECT_NE(run.out.find("ATIME = 0, 10, 30\nTPOS.unit = rot\nTPOS = 0, 2000, 8000\n"), std::string::npos) << run.out;
}

// Status 1 when no point is taken: nothing printed, and --into leaves the
// file byte for byte as it was.
TEST_F(ImportTest, NoPointTakenIsStatus1AndWritesNothing)
{
    const std::string original = ReadFile(kExamples + "multi-point.pvt");
    const std::string into = Make("motion.pvt", original, 0640);
    const struct {
        std::string file, into, err;
    } cases[] = {
        {"", "", "motionhost: no point taken from \"%\"\n"},
        {"header only\n\n0 0 0\n", "",
         "%:1: skipped: no three numbers\n%:2: skipped: no three numbers\n"
         "%:3: skipped: a time of 0, which the start point holds\nmotionhost: no point taken from \"%\", 3 lines "
         "skipped\n"},
        // 0.4 ms: 0 in whole sampling periods, the start point's time
        {"1 2 0.4\n", into, "%:1: skipped: 0.4 ms rounds to 0 sampling periods\n"},
    };
    for (const auto& c : cases) {
        const std::string points = Make("points.txt", c.file);
        const SRun run = Import(points, c.into);
        EXPECT_EQ(run.status, 1) << c.file;
        EXPECT_EQ(run.out, "") << c.file;
        std::string err = "motionhost: points read in rot, rpm, " + std::string(c.into.empty() ? "s" : "ms") +
                          ", the units of " + (c.into.empty() ? "the default text" : N(c.into)) + "\n" + c.err;
        for (std::size_t at; (at = err.find('%')) != std::string::npos;)
            err.replace(at, 1, points);
        if (c.into.empty())
            EXPECT_EQ(run.err, err) << c.file;
        else
            EXPECT_EQ(run.err.rfind(err, 0), 0u) << run.err;
        EXPECT_EQ(ReadFile(into), original);
        EXPECT_EQ(ModeOf(into), 0640u);
        EXPECT_EQ(List(m_Work), (std::vector<std::string>{"motion.pvt", "points.txt"}));
    }
    // The --into case says that the file was left.
    EXPECT_NE(Import(Make("points.txt", "1 2 0.4\n"), into).err.find("; " + N(into) + " left as it was\n"), std::string::npos);
}

// Status 2 for files that cannot be read or written: the file exception's
// message, one line; FILE is not touched.
TEST_F(ImportTest, UnreadableFilesAreOneLineWithStatus2)
{
    const std::string points = Make("points.txt", "1 0 1\n");
    const std::string into = Make("motion.pvt", ReadFile(kExamples + "multi-point.pvt"));
    const struct {
        std::string args, err;
    } cases[] = {
        {Q(m_Dir + "/absent.txt"), "motionhost: cannot read " + N(m_Dir + "/absent.txt") + ": no such file or directory\n"},
        {Q(m_Work), "motionhost: cannot read " + N(m_Work) + ": is a directory\n"},
        {Q(points) + " --into " + Q(m_Work), "motionhost: cannot write " + N(m_Work) + ": is a directory\n"},
        {Q(points) + " --into ''", "motionhost: --into needs a value, not an empty text (see motionhost help import)\n"},
        {"", "motionhost: POINTS is required (see motionhost help import)\n"},
    };
    for (const auto& c : cases) {
        const SRun run = Run("import " + c.args);
        EXPECT_EQ(run.status, 2) << c.args;
        EXPECT_EQ(run.out, "") << c.args;
        EXPECT_EQ(run.err, c.err) << c.args;
    }
    EXPECT_EQ(ReadFile(into), ReadFile(kExamples + "multi-point.pvt"));
    EXPECT_EQ(List(m_Work), (std::vector<std::string>{"motion.pvt", "points.txt"}));
}

// --into: the points are read in FILE's units (ms, rot, rpm), its other
// parameters and its permissions stay, and nothing else is left beside it.
TEST_F(ImportTest, IntoKeepsTheOtherParametersAndThePermissions)
{
    const std::string into = Make("motion.pvt", ReadFile(kExamples + "multi-point.pvt"), 0604);
    const std::string points = Make("points.txt", "P V T\n0.5 15 20\n1 30 40\n1.5 0 60\n");
    const SRun run = Import(points, into);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "motionhost: points read in rot, rpm, ms, the units of " + N(into) + "\n" + points +
                           ":1: skipped: no three numbers\nmotionhost: 3 points taken from " + N(points) +
                           ", 1 line skipped\n");
    EXPECT_EQ(ReadFile(into),
              "MASTERID = 5\nClearBuffer = 1\nStartPoint = 0\n"
              "ATIME.unit = ms\nATIME = 0, 20, 40, 60\n"
              "TPOS.unit = rot\nTPOS = 0, 1000, 2000, 3000\n"
              "TSPD.unit = rpm\nTSPD = 0, 0.5, 1, 0\n"
              "Execute = 0\nWaitForCompletion = 1\n");
    EXPECT_EQ(ModeOf(into), 0604u);
    EXPECT_EQ(List(m_Work), (std::vector<std::string>{"motion.pvt", "points.txt"}));
}

// --into a file that does not exist starts from the default text, as edit
// does, and creates the file.
TEST_F(ImportTest, IntoANewFileStartsFromTheDefaultText)
{
    const std::string into = m_Work + "/new.pvt";
    const std::string points = Make("points.txt", "1 30 0.05\n");
    const SRun run = Import(points, into);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.substr(0, run.err.find('\n')), "motionhost: points read in rot, rpm, s, the units of " + N(into));
    EXPECT_EQ(ReadFile(into), "ClearBuffer = 1\nStartPoint = 0\nATIME.unit = s\nATIME = 0, 50\nTPOS.unit = rot\n"
                              "TPOS = 0, 2000\nTSPD.unit = rpm\nTSPD = 0, 1\nExecute = 0\nWaitForCompletion = 1\n");
}

// A table that OK would refuse is imported all the same (status 0), with a
// warning; reading problems of FILE are warnings too, but not the
// validation of the table the import replaces.
TEST_F(ImportTest, WarningsForTheNewTableAndForFilesReadingNotItsOldTable)
{
    const std::string into = Make("motion.pvt", "ATIME = 0, 5\nTPOS = 0, 1\nTSPD = 0, 3\nExecute = 0\nClearBuffer = 7\n");
    const std::string points = Make("points.txt", "1 30 0.01\n");
    const SRun run = Import(points, into);
    EXPECT_EQ(run.status, 0) << run.err;
    // FILE's own last velocity is not 0: a reading message of FILE; the
    // validation of its table (the same fault) is not repeated.
    EXPECT_EQ(run.err,
              "motionhost: warning: " + N(into) + ": Parameter \"TSPD\": invalid point data (each column needs one "
              "value per point; the first point is 0 and the last velocity is 0).\n"
              "motionhost: points read in rot, rpm, s, the units of " + N(into) + "\n"
              "motionhost: 1 point taken from " + N(points) + "\n"
              "motionhost: warning: the table does not pass validation yet: Invalid values for last point. Last "
              "velocity point should be 0.\n");
    EXPECT_NE(ReadFile(into).find("ATIME = 0, 10\nTPOS.unit = rot\nTPOS = 0, 2000\nTSPD.unit = rpm\nTSPD = 0, 1\n"),
              std::string::npos)
        << ReadFile(into);
}

}  // namespace
