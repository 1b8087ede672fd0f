// motionhost end to end: the built host loads the built module and runs its
// commands, as a user runs them from a shell.
#include "HostTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace host_test;

TEST_F(HostTest, InfoPrintsIdentityAndVersionAndWritesTheIcon)
{
    const SRun run = Run("info --icon '" + m_Dir + "/icon.bmp'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "class: Motion\ntype: PVT\norder id: 4160\nenabled: yes\nversion: 1.0.0.1\ndescription: Velkor DLL\n");
    const std::string bmp = ReadFile(m_Dir + "/icon.bmp");
    // File header, 40-byte info header, 16 colours, 16 rows of 8 bytes.
    ASSERT_EQ(bmp.size(), 14u + 40u + 64u + 128u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(static_cast<unsigned char>(bmp[10]), 118);  // pixel data offset
    // Top row (stored last): 77 22 77 77 77 77 77 77.
    EXPECT_EQ(bmp.substr(bmp.size() - 8), std::string("\x77\x22\x77\x77\x77\x77\x77\x77", 8));
}

TEST_F(HostTest, DefaultsFailTranslationUntilPointsAreAdded)
{
    const SRun defaults = Run("defaults");
    ASSERT_EQ(defaults.status, 0) << defaults.err;
    const SRun run = Run("translate -", defaults.out);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Invalid number of points. You should have at least 2 points.\n");
}

TEST_F(HostTest, TranslatesAnExampleByteForByte)
{
    const SRun run = Run("translate '" + kExamples + "multi-point.pvt'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "  MASTERID = 81; // Set host address to 5\r\n"
              "  SETPVT 0xCF00; //Clear PVT buffer\r\n"
              "  MODE PVT; // Set PVT Mode\r\n"
              "  TUM1;//Start from actual value of position reference\r\n"
              "  CPR;\r\n"
              "  PVTP 2000L, 30, 100U, 0;//PVT(1[rot], 900[rpm], 100[ms])\r\n"
              "  UPD; //Execute immediate\r\n"
              "  PVTP 6000L, 40, 150U, 0;//PVT(4[rot], 1200[rpm], 250[ms])\r\n"
              "  PVTP 6000L, 30, 150U, 0;//PVT(7[rot], 900[rpm], 400[ms])\r\n"
              "  PVTP 2000L, 0, 100U, 0;//PVT(8[rot], 0[rpm], 500[ms])\r\n"
              "  !MC; WAIT!; //wait for completion\r\n");
    // The same text from standard input, with CR LF line ends, gives the same bytes.
    std::string crlf;
    for (char c : ReadFile(kExamples + "multi-point.pvt"))
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(Run("translate -", crlf).out, run.out);
}

TEST_F(HostTest, TranslationErrorsGoToStandardErrorWithStatus1)
{
    const SRun run = Run("translate '" + kExamples + "invalid.pvt'");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Value out of range!\nTime value of point 2 is too distant from the previous point.\n");
}

TEST_F(HostTest, ASetupFileChangesTheDrive)
{
    // The example drive has its own units: 4096 increments per revolution.
    const SRun defaults = Run("--setup '" + kExamples + "drive-setup.json' defaults");
    EXPECT_EQ(defaults.status, 0) << defaults.err;
    EXPECT_NE(defaults.out.find("TPOS.unit = deg\n"), std::string::npos) << defaults.out;

    WriteFile(m_Dir + "/controller.json",
              R"({"motionController": true, "countsPerRevolution": 1000, "samplingPeriod": 0.001})");
    const SRun info = Run("--setup '" + m_Dir + "/controller.json' info");
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("enabled: no\n"), std::string::npos);
}

TEST_F(HostTest, UsageAndFileErrorsAreOneLineWithStatus2)
{
    WriteFile(m_Dir + "/bad.json", "{\"countsPerRevolution\": \"many\"}");
    const struct {
        std::string args;
        std::string err;  // the start of the one line
    } cases[] = {
        {"translate '" + m_Dir + "/absent.pvt'", "motionhost: cannot read " + N(m_Dir + "/absent.pvt") + ": no such file"},
        {"--module '" + m_Dir + "/absent.so' info", "motionhost: cannot load the module " + N(m_Dir + "/absent.so") + ": "},
        {"--module '" + kBin + "/libplatform.so' info",
         "motionhost: the module " + N(kBin + "/libplatform.so") + " does not export \"GetClassName\""},
        {"--setup '" + m_Dir + "/bad.json' info",
         "motionhost: cannot use the setup file " + N(m_Dir + "/bad.json") + ": countsPerRevolution: expected a number"},
        {"--setup '" + m_Dir + "/absent.json' defaults", "motionhost: cannot read " + N(m_Dir + "/absent.json") + ": no such file"},
        {"translate", "motionhost: FILE is required"},
        {"", "motionhost: a command is required: info, defaults, translate, edit, preview, import, check, velocities or split"},
        {"frobnicate", "motionhost: unknown command \"frobnicate\""},
        {"--setup '" + m_Dir + "/bad.json' frobnicate", "motionhost: unknown command \"frobnicate\""},
        {"--module '' info", "motionhost: --module needs a value, not an empty text"},
        {"--setup '' defaults", "motionhost: --setup needs a value, not an empty text"},
        {"info --icon ''", "motionhost: --icon needs a value, not an empty text"},
        // Nothing is printed before the icon's file is known to be writable.
        {"info --icon '" + m_Dir + "/absent/icon.bmp'",
         "motionhost: cannot write " + N(m_Dir + "/absent/icon.bmp") + ": the folder " + N(m_Dir + "/absent") + " does not exist"},
    };
    for (const auto& c : cases) {
        const SRun run = Run(c.args);
        EXPECT_EQ(run.status, 2) << c.args;
        EXPECT_EQ(run.out, "") << c.args;
        EXPECT_EQ(run.err.rfind(c.err, 0), 0u) << c.args << "\n" << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << c.args << "\n" << run.err;
    }
}

// The command line as a Linux user expects it: global options after the
// command too, "-" for every input, an option a command does not use
// refused, --version, help for one command. Each line: its exit status and
// the first line it prints (standard output, else standard error).
TEST_F(HostTest, CommandLineConventions)
{
    const std::string motion = ReadFile(kExamples + "multi-point.pvt");
    const std::string setup = Q(kExamples + "drive-setup.json");
    const struct {
        std::string args, input;
        int status;
        std::string first;
    } cases[] = {
        {"--version", "", 0, "motionhost 1.0.0.1"},
        {"help translate", "", 0, "print the motion-language lines that load and start the motion"},
        {"translate --help", "", 0, "print the motion-language lines that load and start the motion"},
        {"help", "", 0, "Loads a motion module and calls its exports by name: translates PVT motions, opens their "
                        "editor, previews, checks and imports their point tables, computes their velocities and "
                        "splits their long segments."},
        {"help check", "", 0,
         "report every problem of the point table, the peak velocity and acceleration, overshoots and limits, from "
         "the drive's own samples"},
        {"help frobnicate", "", 2, "motionhost: no command \"frobnicate\" (see motionhost --help)"},
        {"translate - --setup " + setup, motion, 0, "  MASTERID = 81; // Set host address to 5\r"},
        {"translate --module " + Q(kBin + "/Velkor.so") + " -", motion, 0, "  MASTERID = 81; // Set host address to 5\r"},
        {"preview - --setup " + setup, motion, 0, "points: 5"},
        {"import -", "1 0 0.05\n", 0, "ClearBuffer = 1"},
        {"check - --json", motion, 0, "{"},
        {"split -", motion, 0, "MASTERID = 5"},
        {"velocities - --method spline", motion, 0, "MASTERID = 5"},
        {"velocities - --method cubic", motion, 2,
         "motionhost: --method: expected spline or monotone, not \"cubic\" (see motionhost help velocities)"},
        {"preview - --png - --theme sepia", motion, 2,
         "motionhost: --theme sepia: expected light or dark (see motionhost help preview)"},
        {"preview - --module " + Q(kBin + "/Velkor.so"), motion, 2,
         "motionhost: preview does not use --module: it runs no module (see motionhost help preview)"},
        {"translate - --frobnicate", motion, 2,
         "motionhost: the following argument was not expected: --frobnicate (see motionhost help translate)"},
    };
    for (const auto& c : cases) {
        const SRun run = Run(c.args, c.input);
        EXPECT_EQ(run.status, c.status) << c.args << "\n" << run.err;
        const std::string& printed = run.out.empty() ? run.err : run.out;
        EXPECT_EQ(printed.substr(0, printed.find('\n')), c.first) << c.args;
    }
}

// Every input of every command refuses what it cannot sensibly read, at
// once and before anything else is read: a named pipe (an open would wait
// for a writer for ever), an endless device, a folder, a file over the
// limit (sparse: no disk space). A target that is written back (edit FILE,
// --into) is checked as an output first. One line, status 2, nothing
// printed; `timeout` turns a hang into a failure.
TEST_F(HostTest, EveryInputIsCheckedForItsKindAndSize)
{
    const std::string fifo = m_Dir + "/fifo", big = m_Dir + "/big", bigSetup = m_Dir + "/big.json";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const auto& [path, size] : {std::pair{big, (1LL << 30) + 1}, {bigSetup, (16LL << 20) + 1}}) {
        WriteFile(path, "");
        ASSERT_EQ(truncate(path.c_str(), size), 0);
    }
    const std::string points = Make("points.txt", "1 0 5\n2 0 9\n");
    const std::string edit = "--module " + Q(kEditTestModule) + " edit ";
    const std::string pipe = "it is a named pipe, not a regular file (give - and redirect standard input from it)";
    const std::string device = "it is a device, not a regular file";
    const std::string tooBig = "more than 1 GiB, the limit for an input text";
    const struct {
        std::string args;  // %s: the file
        std::string path, err;
    } cases[] = {
        {"translate %s", fifo, "cannot read " + N(fifo) + ": " + pipe},
        {"translate %s", "/dev/zero", "cannot read \"/dev/zero\": " + device},
        {"translate %s", m_Dir, "cannot read " + N(m_Dir) + ": is a directory"},
        {"translate %s", big, "cannot read " + N(big) + ": " + tooBig},
        {"preview %s", fifo, "cannot read " + N(fifo) + ": " + pipe},
        {"preview %s --csv -", "/dev/zero", "cannot read \"/dev/zero\": " + device},
        {"preview %s", big, "cannot read " + N(big) + ": " + tooBig},
        {"--setup %s defaults", fifo, "cannot read " + N(fifo) + ": " + pipe},
        {"--setup %s defaults", "/dev/zero", "cannot read \"/dev/zero\": " + device},
        {"--setup %s defaults", m_Dir, "cannot read " + N(m_Dir) + ": is a directory"},
        {"--setup %s defaults", bigSetup, "cannot read " + N(bigSetup) + ": more than 16 MiB, the limit for an input text"},
        {"import %s", fifo, "cannot read " + N(fifo) + ": " + pipe},
        {"import %s", "/dev/zero", "cannot read \"/dev/zero\": " + device},
        {"import %s", big, "cannot read " + N(big) + ": " + tooBig},
        {"import " + Q(points) + " --into %s", fifo, "cannot write " + N(fifo) + ": not a regular file"},
        {"import " + Q(points) + " --into %s", "/dev/zero", "cannot write \"/dev/zero\": not a regular file"},
        {"import " + Q(points) + " --into %s", m_Dir, "cannot write " + N(m_Dir) + ": is a directory"},
        {"import " + Q(points) + " --into %s", big, "cannot read " + N(big) + ": " + tooBig},
        {edit + "%s", fifo, "cannot write " + N(fifo) + ": not a regular file"},
        {edit + "%s", "/dev/zero", "cannot write \"/dev/zero\": not a regular file"},
        {edit + "%s", big, "cannot read " + N(big) + ": " + tooBig},
    };
    for (const auto& c : cases) {
        std::string args = c.args;
        args.replace(args.find("%s"), 2, Q(c.path));
        const SRun run = RunFrom(args, "</dev/null", "timeout 20");
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.out, "") << args;
        EXPECT_EQ(run.err, "motionhost: " + c.err + "\n") << args;
    }
}

// Standard input: a folder, a closed descriptor and a file over the limit
// are refused; a pipe, a terminal or /dev/null is read.
TEST_F(HostTest, StandardInputThatIsNotAText)
{
    const std::string big = m_Dir + "/big.pvt";
    WriteFile(big, "");
    ASSERT_EQ(truncate(big.c_str(), (1LL << 30) + 1), 0);
    const struct {
        std::string args, redirect;
        std::string err;  // the whole line
    } cases[] = {
        {"translate -", "<'" + m_Dir + "'", "motionhost: cannot read standard input: is a directory\n"},
        {"translate -", "<&-", "motionhost: cannot read standard input: it is closed\n"},
        // checked before the module is looked for
        {"--module '" + m_Dir + "/absent.so' translate -", "<&-", "motionhost: cannot read standard input: it is closed\n"},
        {"translate -", "<'" + big + "'", "motionhost: cannot read standard input: more than 1 GiB, the limit for an input text\n"},
        {"translate -", "</dev/zero", "motionhost: cannot read standard input: it is a device, not a regular file\n"},
    };
    for (const auto& c : cases) {
        const SRun run = RunFrom(c.args, c.redirect);
        EXPECT_EQ(run.status, 2) << c.args << " " << c.redirect;
        EXPECT_EQ(run.out, "") << c.args << " " << c.redirect;
        EXPECT_EQ(run.err, c.err) << c.args << " " << c.redirect;
    }
    EXPECT_EQ(RunFrom("translate -", "</dev/null").status, 1);  // an empty text: not a valid motion
}

// The module's messages on failure end with exactly one line feed, whether
// the last one has its own (a reading message) or not (a validation message).
TEST_F(HostTest, FailedTranslationEndsWithOneLineFeed)
{
    const struct {
        std::string text, err;
    } cases[] = {
        {"ATIME = 0, 0.5, 1\nTPOS = 0, 0, 0\nTSPD = 0, 0, 0\nExecute = 0\n",
         "Value out of range!\nTime value of point 1 is identical with previous point.\n"},
        {"ATIME = 0, 1\nTPOS = 0, 0\nTSPD = 0, 0\n", "Parameter \"Execute\" is missing.\n"},
        {"ATIME = 0, 1, 2\nTPOS = 0, 0, 0\nTSPD = 0, 1e300, 0\nExecute = 0\n",
         "Parameter \"TSPD\": value 2 (1e+300) is outside the range of its drive type fixed "
         "(-32768 ... 32767.99998474121 IU).\n"},
    };
    for (const auto& c : cases) {
        const SRun run = Run("translate -", c.text);
        EXPECT_EQ(run.status, 1) << c.text;
        EXPECT_EQ(run.out, "") << c.text;
        EXPECT_EQ(run.err, c.err) << c.text;
    }
}

// The help names every command, and each command's help its options.
TEST_F(HostTest, HelpListsEveryCommandAndItsOptions)
{
    const struct {
        std::string args;
        std::vector<std::string> words;
    } cases[] = {
        {"--help", {"info", "defaults", "translate", "edit", "preview", "import", "check", "velocities", "split", "--module", "--setup"}},
        {"preview --help", {"FILE", "--csv", "--png", "--size", "1200x700"}},
        {"import --help", {"POINTS", "--into", "--velocities", "METHOD"}},
        {"check --help", {"FILE", "--json", "--max-velocity", "--max-acceleration"}},
        {"velocities --help", {"FILE", "--method", "spline", "monotone", "--in-place"}},
        {"split --help", {"FILE", "--in-place", "511"}},
        {"edit --help", {"FILE"}},
    };
    for (const auto& c : cases) {
        const SRun run = Run(c.args);
        EXPECT_EQ(run.status, 0) << c.args;
        for (const std::string& word : c.words)
            EXPECT_NE(run.out.find(word), std::string::npos) << c.args << ": " << word << "\n" << run.out;
    }
}

}  // namespace
