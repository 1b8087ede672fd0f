#include "pvt/ImportReader.h"

#include "kernel/ParamText.h"
#include "platform/Runtime.h"
#include "pvt/PointInput.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

namespace {

constexpr UINT kBlockSize = CFile::kBufferSize;  // one read into the reader's block, past CFile's own

// Written as an unconditional store, so that the compiler can treat many
// bytes at once.
void ReplaceCommas(char* first, const char* last)
{
    for (char* p = first; p < last; ++p)
        *p = *p == ',' ? '.' : *p;
}

bool StartsWithByteOrderMark(const char* line)
{
    return line[0] == '\xEF' && line[1] == '\xBB' && line[2] == '\xBF';
}

}  // namespace

const char* CImportReader::GetReasonText(tagSkipReason reason)
{
    switch (reason) {
    case SKIP_NO_THREE_NUMBERS: return "no three numbers";
    case SKIP_NOT_FINITE: return "a value that is not finite";
    case SKIP_NEGATIVE_TIME: return "negative time";
    case SKIP_TIME_ZERO: return "a time of 0, which the start point holds";
    case SKIP_TIME_NOT_AFTER: return "time not after the last point's";
    case SKIP_TIME_ROUNDS_TO_ZERO: return "a time that rounds to 0 sampling periods";
    }
    return "unknown reason";
}

namespace {

// Whether a line is exactly two numbers and blank space: a line that only
// starts with two (a decimal comma, "100 1,5 20", reads as 100 and 1) is not
// taken as a position and a time, nor is "1.2.3" (1.2 and .3), nor
// "1e5-2". Each word must be a number in whole: an optional sign, then a
// decimal or "0x" hexadecimal form.
bool IsTwoNumbers(const char* text)
{
    const std::string_view line(text);
    int words = 0;
    for (std::size_t at = 0; at < line.size();) {
        at = line.find_first_not_of(" \t\r\n\f\v", at);
        if (at == std::string_view::npos)
            break;
        std::size_t end = line.find_first_of(" \t\r\n\f\v", at);
        if (end == std::string_view::npos)
            end = line.size();
        std::size_t start = at + (line[at] == '+' || line[at] == '-' ? 1 : 0);
        const bool hex = end - start > 2 && line[start] == '0' && (line[start + 1] == 'x' || line[start + 1] == 'X');
        start += hex ? 2 : 0;
        double value = 0;
        const auto result = std::from_chars(line.data() + start, line.data() + end, value,
                                            hex ? std::chars_format::hex : std::chars_format::general);
        const bool whole = result.ptr == line.data() + end &&
                           (result.ec == std::errc() || result.ec == std::errc::result_out_of_range);
        if (!whole || ++words > 2)
            return false;
        at = end;
    }
    return words == 2;
}

}  // namespace

std::string CImportReader::Describe(const SSkippedLine& line) const
{
    if (line.nReason == SKIP_NO_THREE_NUMBERS && m_bTwoNumberLines)
        return "neither two nor three numbers";
    if (line.nReason != SKIP_TIME_ROUNDS_TO_ZERO)
        return GetReasonText(line.nReason);
    return std::string(CDK_ParamText::FormatDouble(line.dTime).View()) + " " +
           std::string(m_Time.GetSelectedUnit().View()) + " rounds to 0 sampling periods";
}

CImportReader::CImportReader(CDK_ArrayParameter& position, CDK_ArrayParameter& velocity, CDK_ArrayParameter& time)
    : m_Position(position), m_Velocity(velocity), m_Time(time), m_nCount(time.GetValuesCount())
{
}

CImportReader::~CImportReader() = default;

void CImportReader::Import(CFile& file)
{
    ResetTable();
    ReadLines(file);
    file.Close();
}

void CImportReader::ResetTable()
{
    m_Time.SetValuesCount(1);
    m_Position.SetValuesCount(1);
    m_Velocity.SetValuesCount(1);
    m_Time.SetValueInInternalUnit(0, 0.0);
    m_Position.SetValueInInternalUnit(0, 0.0);
    m_Velocity.SetValueInInternalUnit(0, 0.0);
    m_nCount = 1;
    m_nTaken = 0;
    m_nLines = 0;
    m_nSkipped = 0;
    m_Skipped.clear();
}

void CImportReader::ReadLines(CFile& file)
{
    if (!m_pBlock)
        m_pBlock = std::make_unique<char[]>(kBlockSize);
    m_Line.clear();
    // A line that lies wholly in the block is read in place: its commas are
    // replaced there and its line feed becomes the end of the text (a blank
    // at the end of a line changes nothing). A line that runs past the block
    // is gathered in m_Line, however long it grows.
    for (;;) {
        const UINT got = file.Read(m_pBlock.get(), kBlockSize);
        if (got == 0)
            break;
        char* p = m_pBlock.get();
        char* const end = p + got;
        while (p < end) {
            char* const lf = static_cast<char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
            if (!lf) {
                const std::size_t old = m_Line.size();
                m_Line.append(p, end);
                ReplaceCommas(m_Line.data() + old, m_Line.data() + m_Line.size());
                break;
            }
            if (m_Line.empty()) {
                ReplaceCommas(p, lf);
                *lf = '\0';
                Accept(p);
            } else {
                const std::size_t old = m_Line.size();
                m_Line.append(p, lf + 1);
                ReplaceCommas(m_Line.data() + old, m_Line.data() + m_Line.size());
                Accept(m_Line.c_str());
                m_Line.clear();
            }
            p = lf + 1;
        }
    }
    if (!m_Line.empty()) {  // the last line, without a line feed
        Accept(m_Line.c_str());
        m_Line.clear();
    }
}

BOOL CImportReader::AddLine(const char* text)
{
    std::string line(text ? text : "");
    ReplaceCommas(line.data(), line.data() + line.size());
    return Accept(line.c_str());
}

BOOL CImportReader::ParseLine(const char* text, double& position, double& velocity, double& time,
                              tagSkipReason* reason) const
{
    double readTime = 0;
    tagSkipReason why = SKIP_NO_THREE_NUMBERS;
    const BOOL ok = Parse(text, position, velocity, time, readTime, why);
    if (!ok && reason)
        *reason = why;
    return ok;
}

BOOL CImportReader::Parse(const char* text, double& position, double& velocity, double& time, double& readTime,
                          tagSkipReason& reason) const
{
    const auto fail = [&reason](tagSkipReason why) {
        reason = why;
        return FALSE;
    };
    const int read = sscanf_s(text, "%lf %lf %lf", &position, &velocity, &time);
    if (read == 2 && m_bTwoNumberLines && IsTwoNumbers(text)) {  // position and time
        time = velocity;
        velocity = 0.0;
    } else if (read != 3) {
        return fail(SKIP_NO_THREE_NUMBERS);
    }
    readTime = time;
    if (!std::isfinite(position) || !std::isfinite(velocity) || !std::isfinite(time))
        return fail(SKIP_NOT_FINITE);
    if (time < 0)  // before clamping: the clamp would make it 0
        return fail(SKIP_NEGATIVE_TIME);
    CPointInput::ClampToParameter(m_Position, position);
    CPointInput::ClampToParameter(m_Velocity, velocity);
    CPointInput::ClampToParameter(m_Time, time);
    return TRUE;
}

BOOL CImportReader::Accept(const char* line)
{
    ++m_nLines;
    if (m_nLines == 1 && StartsWithByteOrderMark(line))
        line += 3;
    double position = 0, velocity = 0, time = 0, readTime = 0;
    tagSkipReason reason = SKIP_NO_THREE_NUMBERS;
    if (!Parse(line, position, velocity, time, readTime, reason)) {
        Skip(reason, readTime);
        return FALSE;
    }
    // The last accepted point's time, in the display unit, as the clamped
    // time is.
    if (time > m_Time.GetValue(m_nCount - 1)) {
        m_Position.InsertValueAt(m_nCount, position);
        m_Velocity.InsertValueAt(m_nCount, velocity);
        m_Time.InsertValueAt(m_nCount, time);
        ++m_nCount;
        ++m_nTaken;
        return TRUE;
    }
    Skip(time != 0 ? SKIP_TIME_NOT_AFTER : readTime == 0 ? SKIP_TIME_ZERO : SKIP_TIME_ROUNDS_TO_ZERO, readTime);
    return FALSE;
}

void CImportReader::Skip(tagSkipReason reason, double time)
{
    ++m_nSkipped;
    if (m_Skipped.size() < m_nMaxListed)
        m_Skipped.push_back({m_nLines, reason, time});
}
