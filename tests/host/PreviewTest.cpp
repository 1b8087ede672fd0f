// motionhost preview: the editor's preview of a parameter text as CSV, as a
// PNG of the graph, or as a summary.
#include "HostTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace host_test;

using Table = std::vector<std::vector<std::string>>;

// The CSV's rows after its header, split at commas.
Table Rows(const std::string& csv)
{
    Table rows;
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);  // the header
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t comma; (comma = line.find(',', start)) != std::string::npos; start = comma + 1)
            fields.push_back(line.substr(start, comma - start));
        fields.push_back(line.substr(start));
        rows.push_back(fields);
    }
    return rows;
}

double Number(const std::string& text)
{
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    EXPECT_TRUE(!text.empty() && *end == '\0') << "not a number: \"" << text << "\"";
    return value;
}

// The significant digits a number is written with ("100000" has one,
// "0.0500" three), and the fewest that read back as the same double.
int WrittenDigits(const std::string& text)
{
    std::string mantissa = text.substr(0, text.find_first_of("eE"));
    const bool point = mantissa.find('.') != std::string::npos;
    std::string digits;
    for (char c : mantissa)
        if (c >= '0' && c <= '9')
            digits += c;
    digits.erase(0, digits.find_first_not_of('0') == std::string::npos ? digits.size() : digits.find_first_not_of('0'));
    if (!point)
        while (!digits.empty() && digits.back() == '0')
            digits.pop_back();
    return static_cast<int>(digits.size());
}

int ShortestDigits(double value)
{
    if (value == 0)
        return 0;
    for (int precision = 1; precision < 17; ++precision) {
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
        if (std::strtod(buffer, nullptr) == value)
            return precision;
    }
    return 17;
}

// Width and height from a PNG's header chunk; 0 x 0 when it is no PNG.
std::pair<unsigned, unsigned> PngSize(const std::string& png)
{
    const std::string signature("\x89PNG\r\n\x1a\n", 8);
    if (png.size() < 33 || png.compare(0, 8, signature) != 0 || png.compare(12, 4, "IHDR") != 0 ||
        png.compare(png.size() - 8, 4, "IEND") != 0)
        return {0, 0};
    const auto be32 = [&](std::size_t at) {
        unsigned value = 0;
        for (std::size_t i = 0; i < 4; ++i)
            value = value << 8 | static_cast<unsigned char>(png[at + i]);
        return value;
    };
    return {be32(16), be32(20)};
}

const std::string kWorkedExample =
    "ATIME.unit = IU\nATIME = 0, 5, 9\nTPOS.unit = IU\nTPOS = 0, 100, 50\nTSPD.unit = IU\nTSPD = 0, 30.5, 0\nExecute = 0\n";

class PreviewTest : public HostTest {};

// Three points in internal units: the samples of the drive's fixed-point
// interpolation, exactly, each number in its shortest form.
TEST_F(PreviewTest, CsvHoldsTheSamplesOfTheWorkedExample)
{
    const SRun run = Run("preview - --csv -", kWorkedExample);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "sample,time,position,velocity,acceleration\n"
              "0,0,0,0,0\n"
              "1,1,5,10.659988403320312,10.659988403320312\n"
              "2,2,20,19.039993286132812,8.3800048828125\n"
              "3,3,42,25.139999389648438,6.100006103515625\n"
              "4,4,70,28.959991455078125,3.8199920654296875\n"
              "5,5,100,30.5,1.540008544921875\n"
              "6,6,109,-8.34375,-38.84375\n"
              "7,7,90,-26.375,-18.03125\n"
              "8,8,63,-23.59375,2.78125\n"
              "9,9,50,0,23.59375\n");
}

// The example in display units (ms, rot, rpm): one row per sampling period,
// every number the shortest text that reads back as the same double.
TEST_F(PreviewTest, CsvOfAnExampleIsInDisplayUnitsWithShortestNumbers)
{
    const std::string csv = Make("mp.csv", "old");
    const SRun run = Run("preview " + Q(kExamples + "multi-point.pvt") + " --csv " + Q(csv));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    const std::string text = ReadFile(csv);
    EXPECT_EQ(text.rfind("sample,time,position,velocity,acceleration\n", 0), 0u);
    const Table rows = Rows(text);
    ASSERT_EQ(rows.size(), 501u);  // 0 ... 500 ms
    int fractions = 0;
    for (std::size_t s = 0; s < rows.size(); ++s) {
        ASSERT_EQ(rows[s].size(), 5u) << s;
        EXPECT_EQ(rows[s][0], std::to_string(s));
        EXPECT_EQ(Number(rows[s][1]), static_cast<double>(s));  // ms
        // rpm per ms: the change from the row before over one period, 1 ms.
        EXPECT_EQ(Number(rows[s][4]), s == 0 ? 0.0 : Number(rows[s][3]) - Number(rows[s - 1][3])) << s;
        for (const std::string& field : rows[s]) {
            EXPECT_EQ(WrittenDigits(field), ShortestDigits(Number(field))) << "row " << s << ": " << field;
            fractions += field.find_first_of(".e") != std::string::npos;
        }
    }
    EXPECT_GT(fractions, 500);  // the check above met numbers with fractions
    // The points' own values at their samples: 1, 4, 7, 8 rot at 100, 250, 400, 500 ms.
    EXPECT_EQ(rows[100][2], "1");
    EXPECT_EQ(rows[250][2], "4");
    EXPECT_EQ(rows[400][2], "7");
    EXPECT_EQ(rows[500][2], "8");
    EXPECT_EQ(rows[250][3], "1200");
    EXPECT_EQ(rows[500][3], "0");
    // Standard input gives the same bytes; a device is written into, not replaced.
    EXPECT_EQ(Run("preview - --csv -", ReadFile(kExamples + "multi-point.pvt")).out, text);
    const SRun device = Run("preview - --csv /dev/null", ReadFile(kExamples + "multi-point.pvt"));
    EXPECT_EQ(device.status, 0) << device.err;
    EXPECT_EQ(device.err, "");
}

// The picture needs no display: with none of DISPLAY, WAYLAND_DISPLAY and
// QT_QPA_PLATFORM set it is drawn offscreen, at the size asked for.
TEST_F(PreviewTest, PngIsDrawnWithoutADisplayAtTheSizeAskedFor)
{
    const struct {
        std::string size;
        unsigned width, height;
    } cases[] = {{"", 1200, 700}, {" --size 800x600", 800, 600}, {" --size 320X200", 320, 200}};
    for (const auto& c : cases) {
        const std::string png = m_Work + "/graph.png";
        const SRun run = Run("preview " + Q(kExamples + "multi-point.pvt") + " --png " + Q(png) + c.size, "", kNoDisplay);
        EXPECT_EQ(run.status, 0) << c.size << run.err;
        EXPECT_EQ(run.err, "") << c.size;
        EXPECT_EQ(run.out, "") << c.size;
        EXPECT_EQ(PngSize(ReadFile(png)), std::make_pair(c.width, c.height)) << c.size;
        EXPECT_EQ(List(m_Work), std::vector<std::string>{"graph.png"});  // no temporary file left
    }
    // The PNG on standard output, the CSV into a file, in one run.
    const SRun both = Run("preview - --png - --csv " + Q(m_Work + "/s.csv"), kWorkedExample, kNoDisplay);
    EXPECT_EQ(both.status, 0) << both.err;
    EXPECT_EQ(PngSize(both.out), std::make_pair(1200u, 700u));
    EXPECT_EQ(Rows(ReadFile(m_Work + "/s.csv")).size(), 10u);
}

// Usage errors: one line, status 2, nothing written or printed.
TEST_F(PreviewTest, BadSizesAndOutputsAreOneLineWithStatus2)
{
    const std::string file = Q(kExamples + "multi-point.pvt");
    const std::string png = " --png " + Q(m_Work + "/g.png");
    const std::string see = " (see motionhost help preview)\n";
    const std::string form = ": expected WIDTHxHEIGHT in pixels, such as 1200x700" + see;
    const std::string range = ": the width must be 320 ... 16384 and the height 200 ... 16384 pixels" + see;
    const struct {
        std::string args, err;
    } cases[] = {
        {png + " --size abc", "motionhost: --size abc" + form},
        {png + " --size 1200x", "motionhost: --size 1200x" + form},
        {png + " --size x700", "motionhost: --size x700" + form},
        {png + " --size 1200x700x3", "motionhost: --size 1200x700x3" + form},
        {png + " --size -5x700", "motionhost: --size -5x700" + form},
        {png + " --size +1200x700", "motionhost: --size +1200x700" + form},
        {png + " --size 99999999999x700", "motionhost: --size 99999999999x700" + form},
        {png + " --size 0x0", "motionhost: --size 0x0" + range},
        {png + " --size 319x700", "motionhost: --size 319x700" + range},
        {png + " --size 1200x199", "motionhost: --size 1200x199" + range},
        {png + " --size 16385x700", "motionhost: --size 16385x700" + range},
        {" --size 800x600", "motionhost: --size needs --png: it is the picture's size" + see},
        {" --csv - --png -", "motionhost: --csv and --png cannot both write standard output" + see},
        {" --csv " + Q(m_Work + "/x") + " --png " + Q(m_Work + "/x"), "motionhost: --csv and --png name the same file" + see},
        {" --csv ''", "motionhost: --csv needs a value, not an empty text" + see},
        {png + " --size ''", "motionhost: --size needs a value, not an empty text" + see},
        {" --png --", "motionhost: --png needs a value, not --" + see},
    };
    for (const auto& c : cases) {
        const SRun run = Run("preview " + file + c.args);
        EXPECT_EQ(run.status, 2) << c.args;
        EXPECT_EQ(run.out, "") << c.args;
        EXPECT_EQ(run.err, c.err) << c.args;
        EXPECT_TRUE(List(m_Work).empty()) << c.args;
    }
}

// File errors: one line, status 2; every output is checked before the work,
// so nothing is printed or written when one of them cannot be.
TEST_F(PreviewTest, OutputsThatCannotBeWrittenAreOneLineWithStatus2)
{
    const std::string file = Q(kExamples + "multi-point.pvt");
    Make("keep.csv", "old csv");
    const struct {
        std::string args, err;
    } cases[] = {
        {" --csv " + Q(m_Work + "/keep.csv") + " --png " + Q(m_Dir + "/absent/g.png"),
         "motionhost: cannot write " + N(m_Dir + "/absent/g.png") + ": the folder " + N(m_Dir + "/absent") + " does not exist\n"},
        {" --png " + Q(m_Work), "motionhost: cannot write " + N(m_Work) + ": is a directory\n"},
        {" --csv " + Q(m_Work + "/keep.csv/s.csv"), "motionhost: cannot write " + N(m_Work + "/keep.csv/s.csv") + ": not a directory\n"},
        {" --csv -", ""},  // (the input below is missing: nothing on standard output)
    };
    for (const auto& c : cases) {
        const std::string input = c.err.empty() ? Q(m_Dir + "/absent.pvt") : file;
        const SRun run = Run("preview " + input + c.args);
        EXPECT_EQ(run.status, 2) << c.args;
        EXPECT_EQ(run.out, "") << c.args;
        EXPECT_EQ(run.err, c.err.empty() ? "motionhost: cannot read " + N(m_Dir + "/absent.pvt") + ": no such file or directory\n"
                                         : c.err)
            << c.args;
        EXPECT_EQ(List(m_Work), std::vector<std::string>{"keep.csv"}) << c.args;
        EXPECT_EQ(ReadFile(m_Work + "/keep.csv"), "old csv") << c.args;
    }
}

// A table the editor would open but OK would refuse: previewed all the
// same (status 0), its messages as warnings, one per line; points that do
// not advance by a whole sampling period are left out, and a warning says so.
TEST_F(PreviewTest, ATableThatFailsValidationIsPreviewedWithWarnings)
{
    const std::string text = "ATIME.unit = IU\nATIME = 0, 5, 5.5, 9\nTPOS.unit = IU\nTPOS = 0, 100, 3, 50\n"
                             "TSPD.unit = IU\nTSPD = 0, 30.5, 1, 0\nExecute = 0\n";
    const SRun run = Run("preview - --csv -", text);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err,
              "motionhost: warning: Value out of range!\n"
              "motionhost: warning: Time value of point 2 is identical with previous point.\n"
              "motionhost: warning: 1 point left out: a point's time must pass the previous point's by at least one "
              "whole sampling period\n");
    // The same samples as without the point at 5.5.
    EXPECT_EQ(run.out, Run("preview - --csv -", kWorkedExample).out);

    // Not a parameter text at all: the start point alone, every message a warning.
    const SRun garbage = Run("preview -", std::string("\x01\xff garbage\0", 11));
    EXPECT_EQ(garbage.status, 0);
    EXPECT_EQ(garbage.out.substr(0, garbage.out.find("units:")), "points: 1\nsamples: 1\n");
    EXPECT_NE(garbage.err.find("motionhost: warning: Parameter \"Execute\" is missing.\n"), std::string::npos);
    for (std::size_t line = 0; line < garbage.err.size(); line = garbage.err.find('\n', line) + 1)
        EXPECT_EQ(garbage.err.compare(line, 21, "motionhost: warning: "), 0) << garbage.err;
}

// Over the sample budget: said on standard error as the graph says it, the
// PNG shows that message, the CSV is not written (its old file stays).
TEST_F(PreviewTest, TooLongToDrawIsSaidAndTheCsvIsNotWritten)
{
    const std::string csv = Make("long.csv", "old csv");
    const std::string png = m_Work + "/long.png";
    const std::string text = "ATIME = 0, 50000000, 60000000\nTPOS = 0, 10, 20\nTSPD = 0, 0, 0\nExecute = 0\n";
    const SRun run = Run("preview - --csv " + Q(csv) + " --png " + Q(png), text);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err,
              "motionhost: warning: Value out of range!\n"
              "motionhost: warning: Time value of point 1 is too distant from the previous point.\n"
              "motionhost: warning: The trajectory is too long to draw: 60000001 sampling periods (at most 50000000).\n"
              "motionhost: warning: " + N(csv) + " not written: the trajectory is not drawn\n");
    EXPECT_EQ(ReadFile(csv), "old csv");
    EXPECT_EQ(PngSize(ReadFile(png)), std::make_pair(1200u, 700u));
    EXPECT_EQ(List(m_Work), (std::vector<std::string>{"long.csv", "long.png"}));

    const SRun summary = Run("preview -", text);
    EXPECT_EQ(summary.status, 0);
    EXPECT_EQ(summary.out, "points: 3\nsamples: 60000001 (not drawn)\nunits: time s, position rot, velocity rpm\n");
}

// Without outputs: a summary whose ranges are those of the CSV's columns.
TEST_F(PreviewTest, SummaryGivesPointsSamplesUnitsAndRanges)
{
    const std::string file = Q(kExamples + "multi-point.pvt");
    const SRun run = Run("preview " + file);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const Table rows = Rows(Run("preview " + file + " --csv -").out);
    ASSERT_EQ(rows.size(), 501u);
    std::string expected = "points: 5\nsamples: 501\nunits: time ms, position rot, velocity rpm\n";
    const char* names[] = {"time", "position", "velocity"};
    const char* units[] = {"ms", "rot", "rpm"};
    std::istringstream lines(run.out);
    std::string line;
    for (int i = 0; i < 3; ++i)
        std::getline(lines, line);
    for (int column = 1; column <= 3; ++column) {
        double lo = Number(rows[0][column]), hi = lo;
        for (const auto& row : rows) {
            lo = std::min(lo, Number(row[column]));
            hi = std::max(hi, Number(row[column]));
        }
        ASSERT_TRUE(std::getline(lines, line));
        const std::string name = std::string(names[column - 1]) + ": ";
        ASSERT_EQ(line.rfind(name, 0), 0u) << line;
        const auto dots = line.find(" ... ");
        const auto unit = line.rfind(' ');
        ASSERT_NE(dots, std::string::npos) << line;
        EXPECT_EQ(Number(line.substr(name.size(), dots - name.size())), lo) << line;
        EXPECT_EQ(Number(line.substr(dots + 5, unit - dots - 5)), hi) << line;
        EXPECT_EQ(line.substr(unit + 1), units[column - 1]) << line;
    }
    EXPECT_FALSE(std::getline(lines, line)) << line;
    EXPECT_EQ(run.out.substr(0, expected.size()), expected);
}

}  // namespace
