// Any bytes as a points file, read by CImportReader as the editor's import
// and `motionhost import` read one.
//
// The file is served from memory, once in whole reads and once in small
// pieces (so that lines span the reader's blocks), and fed line by line
// through AddLine: all three give the same table and the same skipped
// lines. The table: three parallel columns, the start point (0, 0, 0),
// every value finite, within its column's limits and a value its drive type
// holds, the times strictly increasing; every line of the file is counted,
// taken or skipped.
//
// The units of the columns are chosen from the input's length, so that the
// clamping and conversions are tried in every unit of the embedded drive.
#include "FuzzCheck.h"
#include "kernel/Motion.h"
#include "kernel/Setup.h"
#include "kernel/Value.h"
#include "platform/File.h"
#include "pvt/ImportReader.h"
#include "pvt/InternalData.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A file served from memory, at most `chunk` bytes per read.
class CMemoryFile : public CFile {
public:
    CMemoryFile(std::string_view content, std::size_t chunk) : m_Content(content), m_nChunk(chunk) {}
    UINT Read(void* buffer, UINT count) override
    {
        const std::size_t n = std::min({static_cast<std::size_t>(count), m_nChunk, m_Content.size() - m_nPos});
        std::memcpy(buffer, m_Content.data() + m_nPos, n);
        m_nPos += n;
        return static_cast<UINT>(n);
    }
    void Close() override {}

private:
    std::string_view m_Content;
    std::size_t m_nChunk;
    std::size_t m_nPos = 0;
};

struct SImport {
    std::vector<double> t, p, v;
    std::vector<std::pair<long long, int>> skipped;
    int taken = 0;
    long long lines = 0;
    long long skippedCount = 0;

    bool operator==(const SImport&) const = default;
};

// A record as after reading a parameter text, its columns in one of the
// unit combinations.
struct SRecord {
    CDK_Setup setup;
    CDK_Motion motion;
    CInternalData data{setup, motion};

    explicit SRecord(std::size_t units)
    {
        CString params("ATIME = 0, 5\nTPOS = 0, 7\nTSPD = 0, 0\nExecute = 0\n");
        CString errors;
        FUZZ_CHECK(data.ReadParameters(params, errors), "%s", errors.GetString());
        // Time: IU, s, ms; position: IU, rot, deg, rad; velocity: IU, rpm,
        // rot/s, rad/s.
        data.m_Time.SelectUnit(static_cast<int>(units % 3));
        data.m_Position.SelectUnit(static_cast<int>(units / 3 % 4));
        data.m_Velocity.SelectUnit(static_cast<int>(units / 12 % 4));
    }
};

SImport Collect(const SRecord& r, const CImportReader& reader)
{
    SImport out{r.data.m_Time.GetValuesInInternalUnit(), r.data.m_Position.GetValuesInInternalUnit(),
                r.data.m_Velocity.GetValuesInInternalUnit(), {}, reader.GetPointsTaken(), reader.GetLinesRead(),
                reader.GetSkippedCount()};
    for (const CImportReader::SSkippedLine& s : reader.GetSkippedLines())
        out.skipped.emplace_back(s.nLine, static_cast<int>(s.nReason));
    return out;
}

void CheckColumn(const CDK_ArrayParameter& column, const std::vector<double>& values)
{
    const double lo = column.GetMinInInternalUnit();
    const double hi = column.GetMaxInInternalUnit();
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double x = values[i];
        FUZZ_CHECK(std::isfinite(x), "%s[%zu] = %g", column.GetName().GetString(), i, x);
        FUZZ_CHECK(x >= lo && x <= hi, "%s[%zu] = %.17g outside %.17g ... %.17g", column.GetName().GetString(), i, x,
                   lo, hi);
        FUZZ_CHECK(CDK_Value::Quantize(column.GetType(), x) == x, "%s[%zu] = %.17g is not a value of its type",
                   column.GetName().GetString(), i, x);
    }
}

void CheckTable(const SRecord& r, const SImport& got, std::string_view file)
{
    const std::size_t n = got.t.size();
    FUZZ_CHECK(got.p.size() == n && got.v.size() == n, "columns of %zu, %zu and %zu values", n, got.p.size(),
               got.v.size());
    FUZZ_CHECK(n == static_cast<std::size_t>(got.taken) + 1, "%zu points after taking %d", n, got.taken);
    FUZZ_CHECK(got.t[0] == 0 && got.p[0] == 0 && got.v[0] == 0 && !std::signbit(got.t[0]) &&
                   !std::signbit(got.p[0]) && !std::signbit(got.v[0]),
               "start point (%g, %g, %g)", got.p[0], got.v[0], got.t[0]);
    CheckColumn(r.data.m_Time, got.t);
    CheckColumn(r.data.m_Position, got.p);
    CheckColumn(r.data.m_Velocity, got.v);
    for (std::size_t i = 1; i < n; ++i)
        FUZZ_CHECK(got.t[i] > got.t[i - 1], "time %zu (%.17g) is not after %.17g", i, got.t[i], got.t[i - 1]);

    // Every line is counted: each line feed ends one, and a rest after the
    // last line feed is one more.
    const auto feeds = static_cast<long long>(std::count(file.begin(), file.end(), '\n'));
    const bool rest = !file.empty() && file.back() != '\n';
    FUZZ_CHECK(got.lines == feeds + (rest ? 1 : 0), "%lld lines read of %lld", got.lines, feeds + (rest ? 1 : 0));
    FUZZ_CHECK(got.taken + got.skippedCount == got.lines, "%d taken and %lld skipped of %lld lines", got.taken,
               got.skippedCount, got.lines);
    for (std::size_t i = 0; i < got.skipped.size(); ++i) {
        FUZZ_CHECK(got.skipped[i].first >= 1 && got.skipped[i].first <= got.lines, "skipped line %lld",
                   got.skipped[i].first);
        FUZZ_CHECK(i == 0 || got.skipped[i].first > got.skipped[i - 1].first, "skipped lines out of order");
    }
}

SImport ImportFile(std::string_view file, std::size_t units, std::size_t chunk)
{
    SRecord r(units);
    CMemoryFile source(file, chunk);
    CImportReader reader(r.data.m_Position, r.data.m_Velocity, r.data.m_Time);
    reader.Import(source);
    SImport got = Collect(r, reader);
    CheckTable(r, got, file);
    return got;
}

SImport ImportLines(std::string_view file, std::size_t units)
{
    SRecord r(units);
    CImportReader reader(r.data.m_Position, r.data.m_Velocity, r.data.m_Time);
    reader.ResetTable();
    std::string line;
    for (std::size_t start = 0; start < file.size();) {
        const std::size_t end = std::min(file.find('\n', start), file.size());
        line.assign(file.substr(start, end - start));
        reader.AddLine(line.c_str());
        start = end + 1;
    }
    return Collect(r, reader);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const std::size_t units = size % 48;
    const SImport whole = ImportFile(file, units, CFile::kBufferSize);
    const SImport pieces = ImportFile(file, units, 1 + size % 7);
    FUZZ_CHECK(pieces == whole, "read in pieces of %zu bytes, the file gives another table", 1 + size % 7);
    FUZZ_CHECK(ImportLines(file, units) == whole, "fed line by line, the file gives another table");
    return 0;
}
