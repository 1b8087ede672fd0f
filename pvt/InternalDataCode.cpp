// Motion-language code of a PVT motion: the header lines that set the drive
// up, then one PVT segment per point after the first, each relative to the
// point before it.
#include "pvt/InternalData.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

// Truncation toward zero to 64 bits; NaN gives 0 and values beyond the range
// saturate, so that no conversion is undefined.
std::int64_t Trunc64(double value)
{
    constexpr double kLimit = 9223372036854775808.0;  // 2^63
    if (std::isnan(value))
        return 0;
    if (value >= kLimit)
        return std::numeric_limits<std::int64_t>::max();
    if (value <= -kLimit)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

// Truncation toward zero to 32 bits, with the same rules.
std::int32_t Trunc32(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483648.0)
        return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483649.0)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

// The low 32 bits of a - b as a signed number (wrap-around on unsigned).
std::int32_t Difference32(std::int64_t a, std::int64_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(a) - static_cast<std::uint64_t>(b)));
}

// Builds a big text through a local buffer, appending to the CString in
// large pieces, so that the output grows linearly.
class CLineWriter {
public:
    explicit CLineWriter(CString& out) : m_Out(out) {}
    ~CLineWriter() { Flush(); }

    // Room for one line of at most kLine bytes.
    char* Reserve()
    {
        if (m_pEnd > m_Buffer + sizeof m_Buffer - kLine)
            Flush();
        return m_pEnd;
    }
    void Commit(char* end) { m_pEnd = end; }
    void Flush()
    {
        m_Out.Append(m_Buffer, static_cast<int>(m_pEnd - m_Buffer));
        m_pEnd = m_Buffer;
    }

    static constexpr std::size_t kLine = 512;

private:
    CString& m_Out;
    char m_Buffer[32768];
    char* m_pEnd = m_Buffer;
};

char* Put(char* p, const char* text, std::size_t length)
{
    std::memcpy(p, text, length);
    return p + length;
}

template <std::size_t N>
char* Put(char* p, const char (&text)[N])
{
    return Put(p, text, N - 1);
}

char* Put(char* p, const CString& text) { return Put(p, text.GetString(), static_cast<std::size_t>(text.GetLength())); }

char* PutInt(char* p, std::int32_t value) { return std::to_chars(p, p + 12, value).ptr; }

// Unit names longer than this are cut in the comment so that a line always
// fits the writer's reserve.
CString ShortUnit(const CString& unit) { return unit.Left(64); }

}  // namespace

CString CInternalData::GenerateCode()
{
    CString out;
    if (m_nExecute == 1) {
        out.Format("  //Define event: %s\r\n", m_Event.GetDescription(0).GetString());
        out += m_Event.GenerateMLCode();
    }
    if (m_bHostAddress) {
        // Wrap-around on unsigned: the address is 1 ... 255 in a read record.
        const int value = static_cast<int>(static_cast<unsigned>(m_nHostAddress) * 16u + 1u);
        out.AppendFormat("  %s = %d; // Set host address to %d\r\n", s_Keys[KEY_MASTERID], value, m_nHostAddress);
    }
    out += m_nClearBuffer ? "  SETPVT 0xCF00; //Clear PVT buffer\r\n" : "  SETPVT 0x4F00; //Leave PVT buffer intact\r\n";
    out += "  MODE PVT; // Set PVT Mode\r\n";
    out += m_nStartPoint ? "  TUM0;//Start from actual value of position\r\n"
                         : "  TUM1;//Start from actual value of position reference\r\n";
    out += "  CPR;\r\n";

    const int n = m_Time.GetValuesCount();
    if (n >= 2 && m_Position.GetValuesCount() == n && m_Velocity.GetValuesCount() == n) {
        const CString unitP = ShortUnit(m_Position.GetSelectedUnit());
        const CString unitV = ShortUnit(m_Velocity.GetSelectedUnit());
        const CString unitT = ShortUnit(m_Time.GetSelectedUnit());
        out.Preallocate(out.GetLength() + 128 * (n - 1));  // a line is about 100 bytes
        CLineWriter writer(out);
        // Increments are differences of the truncated absolute values, so
        // that truncation never accumulates from segment to segment. Positions
        // are truncated to 64 bits: a table may travel beyond the 32-bit
        // range in total while each segment's move stays small and right.
        // Point 0 is the origin, so point 1's values are its increments.
        std::int64_t prevP = 0;
        std::int64_t prevT = 0;
        for (int i = 1; i < n; ++i) {
            const std::int64_t p = Trunc64(m_Position.GetValueInInternalUnit(i));
            const std::int64_t t = Trunc32(m_Time.GetValueInInternalUnit(i));
            char* q = writer.Reserve();
            q = Put(q, "  PVTP ");
            q = PutInt(q, Difference32(p, prevP));
            q = Put(q, "L, ");
            q = m_Velocity.PrintValueForDRL(i, q);
            q = Put(q, ", ");
            q = PutInt(q, Difference32(t, prevT));
            q = Put(q, "U, 0;//PVT(");
            q = m_Position.PrintValue(i, q);
            q = Put(q, "[");
            q = Put(q, unitP);
            q = Put(q, "], ");
            q = m_Velocity.PrintValue(i, q);
            q = Put(q, "[");
            q = Put(q, unitV);
            q = Put(q, "], ");
            q = m_Time.PrintValue(i, q);
            q = Put(q, "[");
            q = Put(q, unitT);
            q = Put(q, "])\r\n");
            writer.Commit(q);
            if (i == 1) {
                // The update instruction stands between the first and the
                // second segment line.
                if (m_nExecute == 0)
                    writer.Commit(Put(writer.Reserve(), "  UPD; //Execute immediate\r\n"));
                else if (m_nExecute == 1)
                    writer.Commit(Put(writer.Reserve(), "  UPD!; //Execute on event\r\n"));
            }
            prevP = p;
            prevT = t;
        }
    }
    if (m_nExecute == 0 && m_nWaitForCompletion)
        out += "  !MC; WAIT!; //wait for completion\r\n";
    return out;
}
