// CImportReader: points files as users have them, read into the three
// columns of a record; the resulting table in internal units and the
// skipped lines with their reasons.
#include "PvtTestUtil.h"

#include "tests/TestUtil.h"
#include "platform/File.h"
#include "pvt/ImportReader.h"
#include "tests/platform/FailingRegion.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using namespace pvt_test;
using Reason = CImportReader::tagSkipReason;
using Skips = std::vector<std::pair<long long, Reason>>;

constexpr Reason kNoNumbers = CImportReader::SKIP_NO_THREE_NUMBERS;
constexpr Reason kNotFinite = CImportReader::SKIP_NOT_FINITE;
constexpr Reason kNegative = CImportReader::SKIP_NEGATIVE_TIME;
constexpr Reason kZero = CImportReader::SKIP_TIME_ZERO;
constexpr Reason kNotAfter = CImportReader::SKIP_TIME_NOT_AFTER;
constexpr Reason kRounds = CImportReader::SKIP_TIME_ROUNDS_TO_ZERO;

// A record whose columns are bound as after reading a parameter text: rot,
// rpm and s on the embedded drive (2000 increments per revolution, 1 ms), or
// all three in internal units.
struct SImportRecord : Record {
    explicit SImportRecord(bool internalUnits)
    {
        CString params("ATIME = 0, 5\nTPOS = 0, 7\nTSPD = 0, 0\nExecute = 0\n");
        CString errors;
        EXPECT_TRUE(data.ReadParameters(params, errors)) << Str(errors);
        if (internalUnits) {
            for (CDK_ArrayParameter* column : {&data.m_Position, &data.m_Velocity, &data.m_Time})
                EXPECT_TRUE(column->SelectUnit("IU"));
        }
    }
};

// A file served from memory `chunk` bytes per read (as a slow device or a
// pipe might deliver it), failing with an input/output error once `failAt`
// bytes have been delivered.
class CMemoryFile : public CFile {
public:
    CMemoryFile(std::string content, std::size_t chunk, std::size_t failAt = std::string::npos)
        : m_Content(std::move(content)), m_nChunk(chunk), m_nFailAt(failAt)
    {
    }
    UINT Read(void* buffer, UINT count) override
    {
        if (m_nPos >= m_nFailAt)
            throw new CFileException(CFileException::hardIO, EIO, "points.txt");
        std::size_t n = std::min<std::size_t>({count, m_nChunk, m_Content.size() - m_nPos});
        if (m_nFailAt != std::string::npos)
            n = std::min(n, m_nFailAt - m_nPos);
        std::memcpy(buffer, m_Content.data() + m_nPos, n);
        m_nPos += n;
        return static_cast<UINT>(n);
    }
    void Close() override { m_bClosed = true; }
    bool m_bClosed = false;

private:
    std::string m_Content;
    std::size_t m_nChunk;
    std::size_t m_nFailAt;
    std::size_t m_nPos = 0;
};

struct SResult {
    std::vector<double> t, p, v;  // internal units
    Skips skipped;
    int taken = 0;
    long long lines = 0;
};

SResult Collect(const SImportRecord& r, const CImportReader& reader)
{
    SResult out{r.data.m_Time.GetValuesInInternalUnit(), r.data.m_Position.GetValuesInInternalUnit(),
                r.data.m_Velocity.GetValuesInInternalUnit(), {}, reader.GetPointsTaken(), reader.GetLinesRead()};
    for (const CImportReader::SSkippedLine& s : reader.GetSkippedLines())
        out.skipped.emplace_back(s.nLine, s.nReason);
    EXPECT_EQ(static_cast<long long>(out.skipped.size()), reader.GetSkippedCount());
    return out;
}

class ImportReaderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(dir.empty()); }

    std::string Write(const std::string& content, const std::string& name = "points.txt")
    {
        return temp.File(name, content);
    }

    // Imports `content` from a real file, as the editor and the host do.
    SResult ImportFile(const std::string& content, bool internalUnits)
    {
        SImportRecord r(internalUnits);
        CFile file(Write(content).c_str(), CFile::modeRead | CFile::shareDenyWrite);
        CImportReader reader(r.data.m_Position, r.data.m_Velocity, r.data.m_Time);
        reader.Import(file);
        EXPECT_FALSE(file.IsOpen());
        return Collect(r, reader);
    }

    // The same from memory, `chunk` bytes per read.
    static SResult ImportChunked(const std::string& content, bool internalUnits, std::size_t chunk)
    {
        SImportRecord r(internalUnits);
        CMemoryFile file(content, chunk);
        CImportReader reader(r.data.m_Position, r.data.m_Velocity, r.data.m_Time);
        reader.Import(file);
        EXPECT_TRUE(file.m_bClosed);
        return Collect(r, reader);
    }

    testutil::CTempDir temp{"velkor-import-test"};
    std::string dir = temp.Path();
};

// Equal to a few ulps: values typed in display units come back through one
// multiplication and one division.
void ExpectColumn(const std::vector<double>& expected, const std::vector<double>& actual, const char* what)
{
    ASSERT_EQ(expected.size(), actual.size()) << what;
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_DOUBLE_EQ(expected[i], actual[i]) << what << " " << i;
}

struct SImportCase {
    const char* name;
    bool internalUnits;
    std::string content;
    std::vector<double> t, p, v;  // internal units, start point included
    Skips skipped;
};

const double kVelocityStep = 1.0 / 65536;  // the 16.16 velocity's resolution, increments per period

const SImportCase kImportCases[] = {
    {"the file's own start line is skipped", true, "0 0 0\n1 2 10\n3 4 20\n", {0, 10, 20}, {0, 1, 3}, {0, 2, 4},
     {{1, kZero}}},
    {"equal and earlier times", true, "5 1 10\n6 1 10\n7 0 8\n", {0, 10}, {0, 5}, {0, 1},
     {{2, kNotAfter}, {3, kNotAfter}}},
    {"decimal commas", false, "1,5 0,5 2,5\n", {0, 2500}, {0, 3000}, {0, 1092 * kVelocityStep}, {}},
    {"commas followed by blanks", true, "1, 2, 3\n", {0, 3}, {0, 1}, {0, 2}, {}},
    {"commas without blanks", true, "1,2,3\n", {0}, {0}, {0}, {{1, kNoNumbers}}},
    {"header", true, "Position\tVelocity\tTime\n1 2 3\n", {0, 3}, {0, 1}, {0, 2}, {{1, kNoNumbers}}},
    {"fourth number ignored", true, "1 2 3 4\n", {0, 3}, {0, 1}, {0, 2}, {}},
    {"signs separate numbers", true, "1e5-2+3\n", {0, 3}, {0, 1e5}, {0, -2}, {}},
    {"negative time tested before clamping", true, "1 2 -3\n", {0}, {0}, {0}, {{1, kNegative}}},
    {"minus zero is a time of 0", true, "1 2 -0\n", {0}, {0}, {0}, {{1, kZero}}},
    {"carriage returns alone end no line", true, "1 2 3\r4 5 6\r7 8 9\r", {0, 3}, {0, 1}, {0, 2}, {}},
    {"carriage return and line feed", true, "1 2 3\r\n4 5 6\r\n", {0, 3, 6}, {0, 1, 4}, {0, 2, 5}, {}},
    {"tabs and repeated blanks", true, "  1\t\t2    3  \n\t4 \t 5\t6\n", {0, 3, 6}, {0, 1, 4}, {0, 2, 5}, {}},
    {"empty file", true, "", {0}, {0}, {0}, {}},
    {"empty lines", true, "\n\n1 2 3\n\n", {0, 3}, {0, 1}, {0, 2}, {{1, kNoNumbers}, {2, kNoNumbers}, {4, kNoNumbers}}},
    {"last line without a line feed", true, "1 2 3\n4 5 6", {0, 3, 6}, {0, 1, 4}, {0, 2, 5}, {}},
    {"byte-order mark before the first line", true, "\xEF\xBB\xBF" "1 2 3\n", {0, 3}, {0, 1}, {0, 2}, {}},
    {"byte-order mark elsewhere is text", true, "1 2 3\n\xEF\xBB\xBF" "4 5 6\n", {0, 3}, {0, 1}, {0, 2},
     {{2, kNoNumbers}}},
    {"a byte-order mark alone", true, "\xEF\xBB\xBF", {0}, {0}, {0}, {{1, kNoNumbers}}},
    {"a NUL byte ends the text of its line", true, std::string("1 2\0 3\n4 5 6\n7 8 9\0x\n", 21), {0, 6, 9},
     {0, 4, 7}, {0, 5, 8}, {{1, kNoNumbers}}},
    {"values that are not finite", true, "nan 1 2\n1 inf 3\n1 2 1e999\n1 2 -inf\n1 2 nan\n5 6 7\n", {0, 7}, {0, 5},
     {0, 6}, {{1, kNotFinite}, {2, kNotFinite}, {3, kNotFinite}, {4, kNotFinite}, {5, kNotFinite}}},
    {"a time too small for a period", true, "1 2 1e-999\n1 2 0.4\n", {0}, {0}, {0}, {{1, kZero}, {2, kRounds}}},
    {"hexadecimal floats", true, "0x1p3 0x0.8p0 0x10\n", {0, 16}, {0, 8}, {0, 0.5}, {}},
    {"clamped to the limits", true, "1e300 -1e300 1e300\n0 0 1e301\n", {0, 2147483646}, {0, 2147483647},
     {0, -32768}, {{2, kNotAfter}}},
    {"quantised to the drive types", true, "1.4 0.00001 1.4\n0 0 1.6\n0 0 2.4\n", {0, 1, 2}, {0, 1, 0},
     {0, kVelocityStep, 0}, {{3, kNotAfter}}},
    {"times compared with the last accepted point", true, "1 1 10\n1 1 5\n1 1 7\n1 1 11\n", {0, 10, 11},
     {0, 1, 1}, {0, 1, 1}, {{2, kNotAfter}, {3, kNotAfter}}},
    {"display units", false, "Position\tVelocity\tTime\n0\t0\t0\n0,25\t30\t0,05\n1\t60\t0,1\n4,5 0 0,25\n",
     {0, 50, 100, 250}, {0, 500, 2000, 9000}, {0, 1, 2, 0}, {{1, kNoNumbers}, {2, kZero}}},
};

TEST_F(ImportReaderTest, FilesAsUsersHaveThem)
{
    for (const SImportCase& c : kImportCases) {
        SCOPED_TRACE(c.name);
        const SResult r = ImportFile(c.content, c.internalUnits);
        ExpectColumn(c.t, r.t, "time");
        ExpectColumn(c.p, r.p, "position");
        ExpectColumn(c.v, r.v, "velocity");
        EXPECT_EQ(c.skipped, r.skipped);
        EXPECT_EQ(static_cast<int>(c.t.size()) - 1, r.taken);
    }
}

TEST_F(ImportReaderTest, TheSameWhateverPiecesTheFileArrivesIn)
{
    for (const SImportCase& c : kImportCases)
        for (const std::size_t chunk : {1, 2, 3, 7, 64}) {
            SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(chunk) + " bytes per read");
            const SResult file = ImportFile(c.content, c.internalUnits);
            const SResult memory = ImportChunked(c.content, c.internalUnits, chunk);
            EXPECT_EQ(file.t, memory.t);
            EXPECT_EQ(file.p, memory.p);
            EXPECT_EQ(file.v, memory.v);
            EXPECT_EQ(file.skipped, memory.skipped);
            EXPECT_EQ(file.lines, memory.lines);
        }
}

TEST_F(ImportReaderTest, ImportReplacesTheTable)
{
    SImportRecord r(true);
    r.SetColumns({0, 5, 9}, {0, 1, 2}, {0, 3, 0});
    CFile file(Write("4 4 4\n").c_str(), CFile::modeRead | CFile::shareDenyWrite);
    CImportReader reader(r.data.m_Position, r.data.m_Velocity, r.data.m_Time);
    reader.Import(file);
    EXPECT_EQ((std::vector<double>{0, 4}), r.data.m_Time.GetValuesInInternalUnit());
    EXPECT_EQ((std::vector<double>{0, 4}), r.data.m_Position.GetValuesInInternalUnit());
    EXPECT_EQ((std::vector<double>{0, 4}), r.data.m_Velocity.GetValuesInInternalUnit());
    // The start point is set by the import, whatever the table held.
    r.SetColumns({3}, {-1}, {2});
    reader.ResetTable();
    EXPECT_EQ((std::vector<double>{0}), r.data.m_Time.GetValuesInInternalUnit());
    EXPECT_EQ((std::vector<double>{0}), r.data.m_Position.GetValuesInInternalUnit());
    EXPECT_EQ((std::vector<double>{0}), r.data.m_Velocity.GetValuesInInternalUnit());
    EXPECT_EQ(0, reader.GetPointsTaken());
    EXPECT_EQ(0, reader.GetLinesRead());
}

TEST_F(ImportReaderTest, ExampleFile)
{
    SImportRecord r(false);
    CFile file(VELKOR_SOURCE_DIR "/examples/import-points.txt", CFile::modeRead | CFile::shareDenyWrite);
    CImportReader reader(r.data.m_Position, r.data.m_Velocity, r.data.m_Time);
    reader.Import(file);
    ExpectColumn({0, 50, 100, 150, 200, 250}, r.data.m_Time.GetValuesInInternalUnit(), "time");
    ExpectColumn({0, 500, 2000, 5000, 8000, 9000}, r.data.m_Position.GetValuesInInternalUnit(), "position");
    ExpectColumn({0, 1, 2, 3, 2, 0}, r.data.m_Velocity.GetValuesInInternalUnit(), "velocity");
    EXPECT_EQ((Skips{{1, kNoNumbers}, {2, kZero}}), Collect(r, reader).skipped);
}

// A value typed in a display unit is stored as exactly the value the drive
// type holds: 0.5005 rot is 1001 increments, 1.001 s is 1001 periods, and a
// time clamped to the column's maximum is the maximum, not one ulp above it.
TEST_F(ImportReaderTest, ValuesAreStoredExactlyAsTheDriveTypeHoldsThem)
{
    const SResult r = ImportFile("0.5005 0.5 1.001\n0.0035 -29.9 2.003\n1e300 -1e300 1e300\n", false);
    EXPECT_EQ((std::vector<double>{0, 1001, 2003, 2147483646}), r.t);
    EXPECT_EQ((std::vector<double>{0, 1001, 7, 2147483647}), r.p);
    EXPECT_EQ((std::vector<double>{0, 1092 * kVelocityStep, -65318 * kVelocityStep, -32768}), r.v);
}

TEST_F(ImportReaderTest, ReadErrorInTheMiddleKeepsWhatWasAccepted)
{
    const std::string content = "1 1 1\n2 2 2\n3 3 3\n4 4 4\n";
    // The error comes in the third line: that line is cut short and not taken.
    for (const std::size_t chunk : {1, 4, 100}) {
        SCOPED_TRACE(chunk);
        SImportRecord r(true);
        CMemoryFile file(content, chunk, 15);
        CImportReader reader(r.data.m_Position, r.data.m_Velocity, r.data.m_Time);
        std::string message;
        try {
            reader.Import(file);
            ADD_FAILURE() << "the error was not passed on";
        } catch (CException* e) {
            message = std::string(e->GetMessage().View());
            e->Delete();
        }
        EXPECT_EQ("Cannot read \"points.txt\": input/output error.", message);
        EXPECT_EQ((std::vector<double>{0, 1, 2}), r.data.m_Time.GetValuesInInternalUnit());
        EXPECT_EQ((std::vector<double>{0, 1, 2}), r.data.m_Position.GetValuesInInternalUnit());
        EXPECT_EQ(2, reader.GetPointsTaken());
        EXPECT_FALSE(file.m_bClosed);  // left to the file's owner
    }
}

// A real read error from the system: one page of point lines, then a page
// that cannot be read.
TEST_F(ImportReaderTest, ReadErrorFromTheSystem)
{
    const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    std::string lines;
    int count = 0;
    while (lines.size() + 40 < page)
        lines += "1 2 " + std::to_string(++count) + "\n";
    lines.resize(page - 1, ' ');
    lines += '\n';
    const SFailingRegion region(lines);
    ASSERT_NE(nullptr, region.page);

    SImportRecord r(true);
    CFile file;
    if (!file.Open("/proc/self/mem", CFile::modeRead | CFile::shareDenyWrite))
        GTEST_SKIP() << "/proc/self/mem cannot be opened here";
    file.Seek(region.Address(), CFile::begin);
    CImportReader reader(r.data.m_Position, r.data.m_Velocity, r.data.m_Time);
    int cause = -1;
    try {
        reader.Import(file);
    } catch (CFileException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(CFileException::hardIO, cause);
    EXPECT_EQ(count, reader.GetPointsTaken());
    EXPECT_EQ(count + 1, r.data.m_Time.GetValuesCount());
    EXPECT_EQ(count, r.data.m_Time.GetValueInInternalUnit(count));
}

TEST_F(ImportReaderTest, LongLinesWithoutLineFeed)
{
    const std::size_t tenMegabytes = 10u << 20;
    struct SCase {
        const char* name;
        std::string content;
        int taken;
        Skips skipped;
    };
    const SCase cases[] = {
        {"text after the numbers", "1 2 3" + std::string(tenMegabytes, 'x'), 1, {}},
        {"blanks before the numbers", std::string(tenMegabytes, ' ') + "1 2 3", 1, {}},
        {"a number of ten million digits", "1 2 " + std::string(tenMegabytes, '9'), 0, {{1, kNotFinite}}},
        {"a fraction of ten million digits", "1 2 0." + std::string(tenMegabytes, '0') + "1", 0, {{1, kZero}}},
        {"commas", std::string(tenMegabytes, ','), 0, {{1, kNoNumbers}}},
        {"carriage returns", "1 2 3" + std::string(tenMegabytes, '\r') + "4 5 6", 1, {}},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        const SResult r = ImportFile(c.content, true);
        EXPECT_EQ(c.taken, r.taken);
        EXPECT_EQ(c.skipped, r.skipped);
        EXPECT_EQ(1, r.lines);
    }
}

TEST_F(ImportReaderTest, BinaryGarbage)
{
    // Whatever the bytes, the table that comes out is one the editor can
    // show: parallel columns, the start point, finite values within the
    // columns' limits, times strictly increasing.
    std::mt19937 rng(99);
    for (int round = 0; round < 20; ++round) {
        std::string content(200000, '\0');
        const int alphabet = round % 2 ? 256 : 16;  // also a mix rich in digits, blanks and line feeds
        static const char kNumbery[] = "0123456789 \n.,-e";
        for (char& c : content)
            c = alphabet == 256 ? static_cast<char>(rng()) : kNumbery[rng() % 16];
        SImportRecord r(round % 4 < 2);
        CFile file(Write(content).c_str(), CFile::modeRead | CFile::shareDenyWrite);
        CImportReader reader(r.data.m_Position, r.data.m_Velocity, r.data.m_Time);
        reader.Import(file);
        const auto& t = r.data.m_Time.GetValuesInInternalUnit();
        const auto& p = r.data.m_Position.GetValuesInInternalUnit();
        const auto& v = r.data.m_Velocity.GetValuesInInternalUnit();
        ASSERT_EQ(t.size(), p.size());
        ASSERT_EQ(t.size(), v.size());
        EXPECT_EQ(0, t[0]);
        EXPECT_EQ(0, p[0]);
        EXPECT_EQ(0, v[0]);
        EXPECT_EQ(static_cast<int>(t.size()) - 1, reader.GetPointsTaken());
        EXPECT_EQ(reader.GetLinesRead(), reader.GetPointsTaken() + reader.GetSkippedCount());
        for (std::size_t i = 1; i < t.size(); ++i) {
            ASSERT_TRUE(std::isfinite(p[i]) && std::isfinite(v[i]) && std::isfinite(t[i])) << i;
            EXPECT_GT(t[i], t[i - 1]) << i;
            // Clamped in any display unit, a time stays within the column's
            // limit in internal units.
            EXPECT_LE(t[i], CInternalData::kMaxTime) << i;
            EXPECT_LE(std::fabs(v[i]), 32768) << i;
        }
    }
}

TEST_F(ImportReaderTest, AMillionPoints)
{
    std::string content;
    content.reserve(20u << 20);
    for (int i = 1; i <= 1000000; ++i)
        content += std::to_string(i % 5000) + "\t" + std::to_string(i % 7) + ",5\t" + std::to_string(i) + "\n";
    const SResult r = ImportFile(content, true);
    ASSERT_EQ(1000000, r.taken);
    ASSERT_EQ(1000001u, r.t.size());
    EXPECT_TRUE(r.skipped.empty());
    for (const int i : {1, 2, 4999, 5000, 777777, 1000000}) {
        EXPECT_EQ(i, r.t[static_cast<std::size_t>(i)]);
        EXPECT_EQ(i % 5000, r.p[static_cast<std::size_t>(i)]);
        EXPECT_EQ(i % 7 + 0.5, r.v[static_cast<std::size_t>(i)]);
    }
}

TEST(ImportReaderLineTest, ParseLineAndReasons)
{
    SImportRecord r(true);
    CImportReader reader(r.data.m_Position, r.data.m_Velocity, r.data.m_Time);
    struct SCase {
        const char* text;
        bool ok;
        Reason reason;
    };
    const SCase cases[] = {
        {"1 2 3", true, kNoNumbers},  {"1 2", false, kNoNumbers},   {nullptr, false, kNoNumbers},
        {"1 nan 3", false, kNotFinite}, {"1 2 -inf", false, kNotFinite}, {"1 2 -0.5", false, kNegative},
        {"1 2 0", true, kNoNumbers},  // a time of 0 is for the time rule to refuse
        {"1,5 2 3", false, kNoNumbers},  // commas are the caller's to replace
    };
    for (const SCase& c : cases) {
        double p = 0, v = 0, t = 0;
        Reason reason = CImportReader::SKIP_TIME_NOT_AFTER;
        EXPECT_EQ(c.ok, reader.ParseLine(c.text, p, v, t, &reason) != 0) << (c.text ? c.text : "null");
        if (!c.ok) {
            EXPECT_EQ(c.reason, reason) << (c.text ? c.text : "null");
        }
    }
    double p = 0, v = 0, t = 0;
    ASSERT_TRUE(reader.ParseLine(" 1e300 0.6 7.5", p, v, t));
    EXPECT_EQ(2147483647, p);  // clamped
    EXPECT_EQ(39322 * kVelocityStep, v);
    EXPECT_EQ(8, t);  // rounded half away from zero

    EXPECT_STREQ("no three numbers", CImportReader::GetReasonText(kNoNumbers));
    EXPECT_STREQ("a value that is not finite", CImportReader::GetReasonText(kNotFinite));
    EXPECT_STREQ("negative time", CImportReader::GetReasonText(kNegative));
    EXPECT_STREQ("a time of 0, which the start point holds", CImportReader::GetReasonText(kZero));
    EXPECT_STREQ("time not after the last point's", CImportReader::GetReasonText(kNotAfter));
}

TEST(ImportReaderLineTest, AddLineAndTheListOfSkippedLines)
{
    SImportRecord r(true);
    CImportReader reader(r.data.m_Position, r.data.m_Velocity, r.data.m_Time);
    reader.ResetTable();
    reader.SetMaxListedSkips(2);
    EXPECT_TRUE(reader.AddLine("2 1,5 3\n"));
    for (const char* bad : {"x", "1 2 -1", "1 2 3", "", "1 2 nan"})
        EXPECT_FALSE(reader.AddLine(bad));
    EXPECT_TRUE(reader.AddLine("1 1 4"));
    EXPECT_EQ((std::vector<double>{0, 1.5, 1}), r.data.m_Velocity.GetValuesInInternalUnit());
    EXPECT_EQ(2, reader.GetPointsTaken());
    EXPECT_EQ(7, reader.GetLinesRead());
    EXPECT_EQ(5, reader.GetSkippedCount());
    ASSERT_EQ(2u, reader.GetSkippedLines().size());
    EXPECT_EQ(2, reader.GetSkippedLines()[0].nLine);
    EXPECT_EQ(kNoNumbers, reader.GetSkippedLines()[0].nReason);
    EXPECT_EQ(3, reader.GetSkippedLines()[1].nLine);
    EXPECT_EQ(kNegative, reader.GetSkippedLines()[1].nReason);

    // A time finer than a sampling period is named with the unit it was
    // read in; the other reasons need no value.
    reader.ResetTable();
    ASSERT_TRUE(r.data.m_Time.SelectUnit("ms"));
    EXPECT_FALSE(reader.AddLine("1 1 0,05"));
    EXPECT_FALSE(reader.AddLine("1 1 0"));
    ASSERT_EQ(2u, reader.GetSkippedLines().size());
    EXPECT_EQ("0.05 ms rounds to 0 sampling periods", reader.Describe(reader.GetSkippedLines()[0]));
    EXPECT_EQ("a time of 0, which the start point holds", reader.Describe(reader.GetSkippedLines()[1]));
}

}  // namespace
