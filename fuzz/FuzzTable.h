// The point tables of the fuzz targets that take a table: the bytes read as
// "t p v" lines of any doubles, and a PVT record holding them.
#pragma once

#include "FuzzCheck.h"
#include "kernel/ArrayParameter.h"
#include "kernel/Motion.h"
#include "kernel/Setup.h"
#include "pvt/InternalData.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>
#include <vector>

namespace {

struct STable {
    std::vector<double> t, p, v;
};

// One number of a table line, as from_chars reads it ("nan", "inf" and
// "1e999", which reads as out of range and is taken as an infinity, too).
inline bool ReadNumber(const char*& p, const char* end, double& value)
{
    while (p < end && (*p == ' ' || *p == '\t' || *p == ',' || *p == '\r'))
        ++p;
    if (p == end)
        return false;
    const auto r = std::from_chars(p, end, value);
    if (r.ec == std::errc::result_out_of_range) {
        value = *p == '-' ? -HUGE_VAL : HUGE_VAL;
    } else if (r.ec != std::errc()) {
        return false;
    }
    p = r.ptr;
    return true;
}

// The table: one point per line, "t p v" in internal units. A line with
// fewer numbers gives the columns of different lengths that a text written
// elsewhere can hold: one number goes to the time column only, two to time
// and position. A first line "units T P V" selects the display units by
// index (time IU, s, ms; position IU, rot, deg, rad; velocity IU, rpm,
// rot/s, rad/s). At most kMaxPoints lines are read.
constexpr int kMaxPoints = 64;

inline STable ReadTable(std::string_view text, int units[3])
{
    STable table;
    if (text.starts_with("units")) {
        const char* p = text.data() + 5;
        const char* const end = text.data() + std::min(text.size(), text.find('\n'));
        for (int i = 0; i < 3; ++i) {
            double u = 0;
            if (ReadNumber(p, end, u) && u >= 0 && u < 4)
                units[i] = static_cast<int>(u);
        }
        text.remove_prefix(std::min(text.size(), text.find('\n')));
    }
    for (std::size_t start = 0; start < text.size() && table.t.size() < kMaxPoints;) {
        const std::size_t stop = std::min(text.find('\n', start), text.size());
        const char* p = text.data() + start;
        const char* const end = text.data() + stop;
        double value[3];
        int got = 0;
        while (got < 3 && ReadNumber(p, end, value[got]))
            ++got;
        if (got >= 1)
            table.t.push_back(value[0]);
        if (got >= 2)
            table.p.push_back(value[1]);
        if (got >= 3)
            table.v.push_back(value[2]);
        start = stop + 1;
    }
    return table;
}

// A PVT record whose three columns hold the table read from the bytes (in
// internal units, with the display units the bytes select).
struct CFuzzRecord {
    explicit CFuzzRecord(std::string_view bytes) : record(setup, motion)
    {
        int units[3] = {0, 0, 0};
        table = ReadTable(bytes, units);
        CString params("ATIME = 0, 5\nTPOS = 0, 7\nTSPD = 0, 0\nExecute = 0\n");
        CString errors;
        FUZZ_CHECK(record.ReadParameters(params, errors), "%s", errors.GetString());
        record.m_Time.SelectUnit(units[0]);
        record.m_Position.SelectUnit(units[1]);
        record.m_Velocity.SelectUnit(units[2]);
        record.m_Time.SetValuesInInternalUnit(table.t);
        record.m_Position.SetValuesInInternalUnit(table.p);
        record.m_Velocity.SetValuesInInternalUnit(table.v);
    }

    STable table;
    CDK_Setup setup;
    CDK_Motion motion;
    CInternalData record;
};

}  // namespace
