// Whatever bytes a parameter text holds, reading it gives values or
// messages, never a crash or a silently guessed value: mutations of valid
// texts (flipped, inserted and deleted bytes, cut lines, repeated lines, bytes
// of every value) each either read cleanly, or give only messages that name a
// key or report the point table.
#include "PvtTestUtil.h"

#include <cmath>
#include <random>

namespace {

using pvt_test::Str;

const char* const kValidTexts[] = {
    "MASTERID = 5\nClearBuffer = 1\nStartPoint = 0\nATIME.unit = ms\nATIME = 0, 100, 250, 400, 500\n"
    "TPOS.unit = rot\nTPOS = 0, 2000, 8000, 14000, 16000\nTSPD.unit = rpm\nTSPD = 0, 30, 40.5, 30, 0\n"
    "Execute = 0\nWaitForCompletion = 1\n",
    "ClearBuffer = 0\r\nStartPoint = 1\r\nATIME = 0, 200, 400, 600\r\nTPOS = 0, 1000, 500, 0\r\n"
    "TSPD = 0, 5.5, -4.25, 0\r\nExecute = 1\r\nEventType = 2\r\nEventPosition = -20\r\nEventPositionMode = 1\r\n",
};

bool IsReportedLine(const std::string& line)
{
    for (const char* start : {"Parameter \"", "Invalid number of points", "Invalid values for first point",
                              "Invalid values for last point", "Time value is out of bounds.", "Value out of range!",
                              "Time value of point ", "Position value of point "})
        if (line.rfind(start, 0) == 0)
            return true;
    return false;
}

std::string Mutate(std::string text, std::mt19937_64& rng)
{
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits && !text.empty(); ++e) {
        const std::size_t at = rng() % text.size();
        switch (rng() % 6) {
        case 0: text[at] = static_cast<char>(rng() % 256); break;             // any byte
        case 1: text.insert(at, 1, static_cast<char>(rng() % 256)); break;    // an extra byte
        case 2: text.erase(at, 1 + rng() % 8); break;                         // bytes lost
        case 3: text.insert(text.begin() + static_cast<long>(at), '\n'); break;  // a line cut in two
        case 4: {                                                             // a line repeated
            const std::size_t begin = text.rfind('\n', at) == std::string::npos ? 0 : text.rfind('\n', at) + 1;
            const std::size_t end = text.find('\n', at);
            const std::string line = text.substr(begin, end == std::string::npos ? std::string::npos : end - begin + 1);
            text = text.substr(0, begin) + line + text.substr(begin);
            break;
        }
        default: {                                                            // a troublesome piece
            static const char* const pieces[] = {"nan", "inf", "1e999", ",", "=", "-", ".", "\r"};
            text = text.substr(0, at) + pieces[rng() % 8] + text.substr(at);
        }
        }
    }
    return text;
}

TEST(ReadRobustnessTest, AnyBytesGiveValuesOrMessagesThatNameTheirCause)
{
    std::mt19937_64 rng(2026);
    int clean = 0;
    for (int round = 0; round < 4000; ++round) {
        const std::string text = Mutate(kValidTexts[round % 2], rng);
        pvt_test::Record record;
        const std::string errors = record.Read(text);
        if (errors.empty()) {
            ++clean;
            // A clean read holds only finite values and survives writing:
            // the written text reads back to the same program.
            for (const CDK_ArrayParameter* column : {&record.data.m_Time, &record.data.m_Position, &record.data.m_Velocity})
                for (double v : column->GetValuesInInternalUnit())
                    ASSERT_TRUE(std::isfinite(v)) << text;
            CString written;
            record.data.WriteParameters(written);
            pvt_test::Record again;
            ASSERT_EQ(again.Read(Str(written)), "") << Str(written);
            ASSERT_EQ(Str(again.data.GenerateCode()), Str(record.data.GenerateCode())) << text;
            continue;
        }
        std::size_t begin = 0;
        while (begin < errors.size()) {
            std::size_t end = errors.find('\n', begin);
            if (end == std::string::npos)
                end = errors.size();
            const std::string line = errors.substr(begin, end - begin);
            ASSERT_TRUE(IsReportedLine(line)) << "text:\n" << text << "\nmessage line: " << line;
            begin = end + 1;
        }
    }
    // The mutations leave some texts valid, so both outcomes were exercised.
    EXPECT_GT(clean, 100);
    EXPECT_LT(clean, 3900);
}

}  // namespace
