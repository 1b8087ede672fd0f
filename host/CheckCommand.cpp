#include "host/CheckCommand.h"

#include "host/Console.h"
#include "host/FileRoles.h"
#include "host/HostContext.h"
#include "host/HostError.h"
#include "host/InputFile.h"
#include "host/TableCommand.h"
#include "kernel/Motion.h"
#include "kernel/ParamText.h"
#include "pvt/InternalData.h"
#include "pvt/TrajectoryReport.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

using SResult = CTrajectoryReport::SResult;

std::string Str(const CString& text) { return std::string(text.View()); }

// The units the report's figures are in.
struct SUnits {
    std::string time, position, velocity, acceleration;
};

// A number for a person: six significant digits, as %g writes them.
std::string Figure(double value, const char* format = "%.6g")
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// A number in JSON: the shortest form that reads back as the same double;
// null for a value that is not finite (JSON has none).
std::string JsonNumber(double value)
{
    return std::isfinite(value) ? Str(CDK_ParamText::FormatDouble(value)) : "null";
}

std::string JsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (ch == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c == 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

std::string JsonPeak(const std::optional<CTrajectoryReport::SPeak>& peak)
{
    if (!peak)
        return "null";
    return "{\"value\": " + JsonNumber(peak->value) + ", \"time\": " + JsonNumber(peak->time) + "}";
}

const char* LimitName(CTrajectoryReport::tagLimit what)
{
    return what == CTrajectoryReport::LIMIT_VELOCITY ? "velocity" : "acceleration";
}

// A JSON list of `items`, one element a line.
template <class T, class F>
std::string JsonList(const std::vector<T>& items, F element)
{
    if (items.empty())
        return "[]";
    std::string out = "[\n";
    for (std::size_t i = 0; i < items.size(); ++i)
        out += "    " + element(items[i]) + (i + 1 < items.size() ? ",\n" : "\n");
    return out + "  ]";
}

std::string Json(const SResult& result)
{
    std::string out = "{\n";
    out += "  \"valid\": " + std::string(result.IsValid() ? "true" : "false") + ",\n";
    out += "  \"points\": " + std::to_string(result.points) + ",\n";
    out += "  \"samples\": " + std::to_string(result.samples) + ",\n";
    out += "  \"problems\": " + JsonList(result.problems, [](const CTrajectoryReport::SProblem& p) {
               return "{\"point\": " + std::to_string(p.point) + ", \"message\": " + JsonString(p.message.View()) +
                      "}";
           }) + ",\n";
    out += "  \"peak_velocity\": " + JsonPeak(result.peakVelocity) + ",\n";
    out += "  \"peak_acceleration\": " + JsonPeak(result.peakAcceleration) + ",\n";
    out += "  \"overshoots\": " + JsonList(result.overshoots, [](const CTrajectoryReport::SOvershoot& o) {
               return "{\"segment\": " + std::to_string(o.segment) + ", \"amount\": " + JsonNumber(o.amount) +
                      ", \"time\": " + JsonNumber(o.time) + "}";
           }) + ",\n";
    out += "  \"limits\": " + JsonList(result.limits, [](const CTrajectoryReport::SLimitExcess& l) {
               return "{\"segment\": " + std::to_string(l.segment) + ", \"what\": \"" + LimitName(l.what) +
                      "\", \"value\": " + JsonNumber(l.value) + ", \"limit\": " + JsonNumber(l.limit) + "}";
           }) + "\n";
    return out + "}\n";
}

// A message of the table check on one line: its line break becomes a space.
std::string OneLine(const CString& message)
{
    std::string text = Str(message);
    for (char& ch : text)
        if (ch == '\n')
            ch = ' ';
    return text;
}

std::string Cell(const std::string& text, int width)
{
    return text.size() >= static_cast<std::size_t>(width) ? " " + text
                                                           : std::string(static_cast<std::size_t>(width) - text.size(), ' ') + text;
}

}  // namespace

namespace {

constexpr int kIndexWidth = 6;
constexpr int kMinWidth = 12;

// The rows of the table: one per point, the segment that ends there beside it.
std::string Rows(const STrajectoryTable& table, const SResult& result, const SUnits& u)
{
    const std::string heads[] = {"time [" + u.time + "]",     "position [" + u.position + "]",
                                 "velocity [" + u.velocity + "]", "duration [" + u.time + "]",
                                 "step [" + u.position + "]", "peak vel. [" + u.velocity + "]",
                                 "peak acc. [" + u.acceleration + "]"};
    int widths[7];
    std::string out = Cell("point", kIndexWidth);
    for (int c = 0; c < 7; ++c) {
        widths[c] = std::max(kMinWidth, static_cast<int>(heads[c].size()) + 2);
        out += Cell(heads[c], widths[c]);
    }
    out += "  flags\n";
    auto problem = result.problems.begin();
    auto segment = result.segments.begin();
    auto limit = result.limits.begin();
    for (int i = 0; i < result.points; ++i) {
        const auto at = static_cast<std::size_t>(i);
        out += Cell(std::to_string(i), kIndexWidth) + Cell(Figure(table.time[at] * table.timeFactor), widths[0]) +
               Cell(Figure(table.position[at] * table.positionFactor), widths[1]) +
               Cell(Figure(table.velocity[at] * table.velocityFactor), widths[2]);
        std::string flags;
        const auto flag = [&flags](const char* name) { flags += (flags.empty() ? "  " : ", ") + std::string(name); };
        bool hasProblem = false;
        for (; problem != result.problems.end() && problem->point == i; ++problem)
            hasProblem = true;
        if (hasProblem)
            flag("problem");
        if (segment != result.segments.end() && segment->end == i) {
            out += Cell(Figure(segment->duration), widths[3]) + Cell(Figure(segment->positionStep), widths[4]);
            out += Cell(segment->sampled ? Figure(segment->peakVelocity) : "-", widths[5]) +
                   Cell(segment->sampled ? Figure(segment->peakAcceleration) : "-", widths[6]);
            if (segment->overshoot > 0)
                flag("overshoot");
            bool overLimit = false;
            for (; limit != result.limits.end() && limit->segment == i; ++limit)
                overLimit = true;
            if (overLimit)
                flag("limit");
            ++segment;
        } else if (i > 0) {
            for (int c = 3; c < 7; ++c)
                out += Cell("-", widths[c]);
            flag("left out");
        }
        // No blank space at the end of a row.
        while (flags.empty() && !out.empty() && out.back() == ' ')
            out.pop_back();
        out += flags + "\n";
    }
    return out;
}

std::string PeakLine(const char* what, const std::optional<CTrajectoryReport::SPeak>& peak, const std::string& unit,
                     const SUnits& u, const SResult& result)
{
    std::string line = std::string(what) + ": ";
    if (peak)
        return line + Str(CTrajectoryReport::Figure(peak->value)) + " " + unit + " at " + Figure(peak->time) + " " + u.time + "\n";
    if (result.extent == CPreviewSampler::EXTENT_TOO_LONG)
        return line + "not computed: " + std::to_string(result.samples) + " samples, over the budget of " +
               std::to_string(CPreviewSampler::kSampleBudget) + "\n";
    return line + "not computed: the trajectory has no samples\n";
}

std::string Summary(const SResult& result, const CTrajectoryReport::SLimits& limits, const SUnits& u)
{
    std::string out = "\npoints: " + std::to_string(result.points) + ", samples: " + std::to_string(result.samples) +
                      "\n";
    out += PeakLine("peak velocity", result.peakVelocity, u.velocity, u, result);
    out += PeakLine("peak acceleration", result.peakAcceleration, u.acceleration, u, result);
    out += "overshoots: " + (result.overshoots.empty() ? std::string("none") : std::to_string(result.overshoots.size())) +
           "\n";
    for (const CTrajectoryReport::SOvershoot& o : result.overshoots)
        out += "  segment " + std::to_string(o.segment) + ": " + Figure(o.amount) + " " + u.position + " at " +
               Figure(o.time) + " " + u.time + "\n";
    const auto limitText = [](const std::optional<double>& value, const std::string& unit) {
        return value ? Figure(*value) + " " + unit : std::string("none");
    };
    out += "limits: velocity " + limitText(limits.velocity, u.velocity) + ", acceleration " +
           limitText(limits.acceleration, u.acceleration) + "\n";
    for (const CTrajectoryReport::SLimitExcess& l : result.limits) {
        const std::string& unit = l.what == CTrajectoryReport::LIMIT_VELOCITY ? u.velocity : u.acceleration;
        out += "  segment " + std::to_string(l.segment) + ": peak " + LimitName(l.what) + " " + Figure(l.value) + " " +
               unit + " exceeds " + Figure(l.limit) + " " + unit + "\n";
    }
    out += "problems: " + (result.problems.empty() ? std::string("none") : std::to_string(result.problems.size())) +
           "\n";
    for (const CTrajectoryReport::SProblem& p : result.problems)
        out += "  point " + std::to_string(p.point) + ": " + OneLine(p.message) + "\n";
    return out;
}

// The last line: what the exit status says.
std::string Verdict(const SResult& result)
{
    if (result.IsValid() && result.limits.empty())
        return "result: valid, within the limits\n";
    std::string out = "result: ";
    out += result.IsValid() ? "valid" : "not valid";
    if (!result.limits.empty())
        out += ", " + std::to_string(result.limits.size()) + (result.limits.size() == 1 ? " limit" : " limits") +
               " exceeded";
    return out + "\n";
}

}  // namespace

CLI::App* CCheckCommand::Register(CLI::App& app)
{
    CLI::App* command = app.add_subcommand(
        "check", "report every problem of the point table, the peak velocity and acceleration, "
                 "overshoots and limits, from the drive's own samples");
    command->add_option("FILE", m_strInput, CInputFile::Help())->required()->type_name("FILE");
    command->add_flag("--json", m_bJson, "print one JSON document instead of the table (docs/check.md)");
    m_pMaxVelocity = command
                         ->add_option("--max-velocity", m_dMaxVelocity,
                                      "report every segment whose peak velocity exceeds V, in the text's velocity "
                                      "unit (default: the setup's maxVelocity)")
                         ->type_name("V");
    m_pMaxAcceleration = command
                             ->add_option("--max-acceleration", m_dMaxAcceleration,
                                          "report every segment whose peak acceleration exceeds A, in the text's "
                                          "velocity unit per time unit (default: the setup's maxAcceleration)")
                             ->type_name("A");
    return command;
}

void CCheckCommand::Validate()
{
    const auto positive = [](const CLI::Option* option, double value) {
        if (option && option->count() > 0 && !(std::isfinite(value) && value > 0.0))
            throw SHostError{option->get_name() + " " + option->as<std::string>() + ": expected a positive number"};
    };
    positive(m_pMaxVelocity, m_dMaxVelocity);
    positive(m_pMaxAcceleration, m_dMaxAcceleration);
}

void CCheckCommand::ListFiles(CFileRoles& files) const
{
    files.AddInput("the input file", m_strInput);
}

int CCheckCommand::Run(CHostContext& context)
{
    CInputFile input(m_strInput);
    ThrowIf(input.Open());
    CDK_Setup& setup = context.Setup();
    CString text;
    ThrowIf(input.Read(text));

    // The text as written; its reading messages are warnings, all but the
    // table check's (the last one, which the report lists with every other).
    CDK_Motion motion;
    CInternalData data(setup, motion);
    CString errors;
    data.ReadParameters(text, errors);
    CConsole::Warn(CTableCommand::ReadingMessages(data, errors).View());

    const STrajectoryTable table = STrajectoryTable::FromColumns(data.m_Time, data.m_Position, data.m_Velocity);
    SUnits units{Str(data.m_Time.GetSelectedUnit()), Str(data.m_Position.GetSelectedUnit()),
                 Str(data.m_Velocity.GetSelectedUnit()), ""};
    units.acceleration = Str(CTrajectoryReport::AccelerationUnit(data.m_Velocity.GetSelectedUnit(),
                                                                 data.m_Time.GetSelectedUnit()));
    // The setup's limits in internal units, shown in the text's units; the
    // options take their place.
    CTrajectoryReport::SLimits limits;
    if (setup.GetMaxVelocity())
        limits.velocity = *setup.GetMaxVelocity() * table.velocityFactor;
    if (setup.GetMaxAcceleration())
        limits.acceleration = *setup.GetMaxAcceleration() * table.velocityFactor / table.timeFactor;
    if (m_pMaxVelocity->count() > 0)
        limits.velocity = m_dMaxVelocity;
    if (m_pMaxAcceleration->count() > 0)
        limits.acceleration = m_dMaxAcceleration;

    const SResult result = CTrajectoryReport::Analyse(table, CPointTableRules::ForTimeColumn(data.m_Time), limits);
    CConsole::Out(m_bJson ? Json(result) : Rows(table, result, units) + Summary(result, limits, units) + Verdict(result));
    const bool unchecked = (limits.velocity || limits.acceleration) && !result.IsSampled();
    if (unchecked)
        CConsole::Warn("the limits could not be checked: the trajectory is not sampled");
    return result.IsValid() && result.limits.empty() && !unchecked ? EXIT_OK : EXIT_FAILED;
}
