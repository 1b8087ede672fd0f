#include "host/PreviewCommand.h"

#include "editor/PreviewGraph.h"
#include "host/Console.h"
#include "host/FileRoles.h"
#include "host/HostContext.h"
#include "host/HostError.h"
#include "host/HostText.h"
#include "host/InputFile.h"
#include "host/OutputFile.h"
#include "kernel/CurveArray.h"
#include "kernel/GraphFilter.h"
#include "kernel/GraphWindow.h"
#include "kernel/Motion.h"
#include "kernel/ParamText.h"
#include "platform/DWordArray.h"
#include "platform/WindowSystem.h"
#include "pvt/InternalData.h"
#include "pvt/PointTableRules.h"
#include "pvt/PreviewBuilder.h"
#include "pvt/TrajectoryReport.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace {

enum { SERIES_TIME = 0, SERIES_POSITION = 1, SERIES_VELOCITY = 2 };

std::string Str(const CString& text) { return std::string(text.View()); }

// The CSV of the samples 0 ... count - 1, built in large pieces: a row is
// five numbers formatted in place, never a stream operation per value. The
// acceleration of a sample is the change of velocity from the sample before
// it per time unit (`timeFactor`: one sampling period in the time unit), as
// the trajectory report computes it; sample 0 has none and shows 0.
void WriteCsv(const CCurveArray& curves, int count, double timeFactor, COutputFile& out)
{
    static constexpr std::string_view kHeader = "sample,time,position,velocity,acceleration\n";
    static constexpr std::size_t kBufferSize = std::size_t{1} << 20;
    static constexpr std::size_t kMaxRow = 12 + 4 * (CDK_ParamText::kMaxDoubleLength + 1) + 1;
    const std::unique_ptr<char[]> buffer(new char[kBufferSize]);
    char* const first = buffer.get();
    char* const flushAt = first + kBufferSize - kMaxRow;
    char* p = std::copy(kHeader.begin(), kHeader.end(), first);
    const double* time = count > 0 ? curves.GetAt(SERIES_TIME)->GetData() : nullptr;
    const double* position = count > 0 ? curves.GetAt(SERIES_POSITION)->GetData() : nullptr;
    const double* velocity = count > 0 ? curves.GetAt(SERIES_VELOCITY)->GetData() : nullptr;
    for (int s = 0; s < count; ++s) {
        if (p > flushAt) {
            out.Write(first, static_cast<std::size_t>(p - first));
            p = first;
        }
        p = std::to_chars(p, p + 12, s).ptr;
        *p++ = ',';
        p = CDK_ParamText::FormatDouble(p, time[s]);
        *p++ = ',';
        p = CDK_ParamText::FormatDouble(p, position[s]);
        *p++ = ',';
        p = CDK_ParamText::FormatDouble(p, velocity[s]);
        *p++ = ',';
        p = CDK_ParamText::FormatDouble(p, s == 0 ? 0.0 : CTrajectoryReport::Acceleration(velocity[s - 1], velocity[s],
                                                                                           timeFactor));
        *p++ = '\n';
    }
    out.Write(first, static_cast<std::size_t>(p - first));
}

// The window system for drawing the picture, started before any output is
// made: a platform that cannot start ends the program with nothing written.
void StartWindowSystem()
{
    // Offscreen unless the user chose a platform: the picture needs no
    // display, in CI or over ssh. Set before the framework creates the
    // application object, which reads it.
    if (const char* platform = std::getenv("QT_QPA_PLATFORM"); !platform || !*platform)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!CWindowSystem::EnsureApplication()) {
        CString why = "the window system could not be started";
        CWindowSystem::IsDisplayAvailable(&why);
        throw SHostError{"cannot draw the graph: " + std::string(why.View())};
    }
}

// The graph drawn offscreen as a PNG file's bytes.
QByteArray RenderPng(CGraphWindow& graph, int width, int height)
{
    graph.Recalculate();
    const QImage image = graph.RenderImage(width, height);
    if (image.isNull())
        throw SHostError{"cannot draw the graph at " + std::to_string(width) + "x" + std::to_string(height) +
                         ": not enough memory"};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw SHostError{"cannot encode the graph as PNG"};
    return bytes;
}

std::string Range(const CCurve& series, int count)
{
    const double* data = series.GetData();
    const auto [lo, hi] = std::minmax_element(data, data + count);
    return Str(CDK_ParamText::FormatDouble(*lo)) + " ... " + Str(CDK_ParamText::FormatDouble(*hi));
}

// Every point with a problem (the trajectory report's list, in table order),
// marked in the picture; the legend gives the first problem's reason (the
// last line of its message) and how many there are.
void MarkProblems(const CInternalData& data, CGraphWindow& graph)
{
    const CTrajectoryReport::SResult report = CTrajectoryReport::Analyse(
        STrajectoryTable::FromColumns(data.m_Time, data.m_Position, data.m_Velocity),
        CPointTableRules::ForTimeColumn(data.m_Time));
    if (report.problems.empty())
        return;
    std::vector<int> points;
    for (const CTrajectoryReport::SProblem& problem : report.problems)
        points.push_back(problem.point);
    std::string reason(report.problems.front().message.View());
    if (const auto nl = reason.find_last_of('\n'); nl != std::string::npos)
        reason.erase(0, nl + 1);
    if (report.problems.size() > 1)
        reason += " (" + std::to_string(report.problems.size()) + " problems)";
    graph.SetProblems(std::move(points), CString(reason.c_str(), static_cast<int>(reason.size())));
}

std::string Unit(const CDK_ArrayParameter& column) { return Str(column.GetSelectedUnit()); }

}  // namespace

std::string CPreviewCommand::ParseSize(const std::string& text, int& width, int& height)
{
    const std::string form = "--size " + text + ": expected WIDTHxHEIGHT in pixels, such as 1200x700";
    const auto x = text.find_first_of("xX");
    if (x == std::string::npos || x == 0 || x + 1 == text.size())
        return form;
    const auto number = [](std::string_view digits, int& value) {
        if (digits.empty() || digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), [](char c) {
                return c >= '0' && c <= '9';
            }))
            return false;
        return std::from_chars(digits.data(), digits.data() + digits.size(), value).ec == std::errc();
    };
    int w = 0, h = 0;
    const std::string_view view(text);
    if (!number(view.substr(0, x), w) || !number(view.substr(x + 1), h))
        return form;
    if (w < kMinWidth || w > kMaxSide || h < kMinHeight || h > kMaxSide)
        return "--size " + text + ": the width must be " + std::to_string(kMinWidth) + " ... " +
               std::to_string(kMaxSide) + " and the height " + std::to_string(kMinHeight) + " ... " +
               std::to_string(kMaxSide) + " pixels";
    width = w;
    height = h;
    return {};
}

CLI::App* CPreviewCommand::Register(CLI::App& app)
{
    CLI::App* command = app.add_subcommand(
        "preview", "the drive's interpolated trajectory as CSV, a PNG picture or a summary");
    command->add_option("FILE", m_strInput, CInputFile::Help())->required()->type_name("FILE");
    command
        ->add_option("--csv", m_strCsv, "write the samples to OUT as CSV: sample, time, position, velocity, "
                                        "acceleration in the text's display units (- for standard output)")
        ->type_name("OUT");
    command
        ->add_option("--png", m_strPng, "draw the graph into OUT as a PNG picture (- for standard output); needs no "
                                        "display")
        ->type_name("OUT");
    m_pSizeOption = command
                        ->add_option("--size", m_strSize,
                                     "the picture's size in pixels, WIDTHxHEIGHT (default " +
                                         std::to_string(kDefaultWidth) + "x" + std::to_string(kDefaultHeight) +
                                         "; width " + std::to_string(kMinWidth) + " ... " + std::to_string(kMaxSide) +
                                         ", height " + std::to_string(kMinHeight) + " ... " +
                                         std::to_string(kMaxSide) + ")")
                        ->type_name("WxH");
    m_pThemeOption = command
                         ->add_option("--theme", m_strTheme,
                                      "the picture's colours: light (default; dark text on white, for print and "
                                      "reports) or dark")
                         ->type_name("THEME");
    return command;
}

void CPreviewCommand::Validate()
{
    if (m_pThemeOption && m_pThemeOption->count() > 0 && m_strPng.empty())
        throw SHostError{"--theme needs --png: it is the picture's look"};
    if (m_strTheme != "light" && m_strTheme != "dark")
        throw SHostError{"--theme " + m_strTheme + ": expected light or dark"};
    if (m_pSizeOption && m_pSizeOption->count() > 0 && m_strPng.empty())
        throw SHostError{"--size needs --png: it is the picture's size"};
    if (m_pSizeOption && m_pSizeOption->count() > 0)
        if (const std::string error = ParseSize(m_strSize, m_nWidth, m_nHeight); !error.empty())
            throw SHostError{error};
    const std::string kStdout = COutputFile::kStandardOutput;
    if (!m_strCsv.empty() && !m_strPng.empty()) {
        if (m_strCsv == kStdout && m_strPng == kStdout)
            throw SHostError{"--csv and --png cannot both write standard output"};
        struct stat csv = {}, png = {};
        if (m_strCsv == m_strPng || (stat(m_strCsv.c_str(), &csv) == 0 && stat(m_strPng.c_str(), &png) == 0 &&
                                     csv.st_dev == png.st_dev && csv.st_ino == png.st_ino && S_ISREG(csv.st_mode)))
            throw SHostError{"--csv and --png name the same file"};
    }
}

void CPreviewCommand::ListFiles(CFileRoles& files) const
{
    files.AddInput("the input file", m_strInput);
    files.AddOutput("--csv", m_strCsv);
    files.AddOutput("--png", m_strPng);
}

namespace {

// The summary printed when neither output is asked for.
std::string Summary(const CInternalData& data, const CCurveArray& curves, const CPreviewBuilder::SResult& result,
                    bool drawn)
{
    std::string summary = "points: " + std::to_string(data.m_Time.GetValuesCount()) + "\n";
    summary += "samples: " + std::to_string(drawn ? result.samples : std::max(result.length, 0)) +
               (drawn || result.extent == CPreviewSampler::EXTENT_EMPTY ? "" : " (not drawn)") + "\n";
    summary += "units: time " + Unit(data.m_Time) + ", position " + Unit(data.m_Position) + ", velocity " +
               Unit(data.m_Velocity) + "\n";
    if (drawn && result.samples > 0) {
        summary += "time: " + Range(*curves.GetAt(SERIES_TIME), result.samples) + " " + Unit(data.m_Time) + "\n";
        summary += "position: " + Range(*curves.GetAt(SERIES_POSITION), result.samples) + " " +
                   Unit(data.m_Position) + "\n";
        summary += "velocity: " + Range(*curves.GetAt(SERIES_VELOCITY), result.samples) + " " +
                   Unit(data.m_Velocity) + "\n";
    }
    return summary;
}

std::unique_ptr<COutputFile> OpenOutput(const std::string& path)
{
    if (path.empty())
        return nullptr;
    auto output = std::make_unique<COutputFile>(path);
    output->Open();
    return output;
}

}  // namespace

int CPreviewCommand::Run(CHostContext& context)
{
    if (!m_strPng.empty())
        StartWindowSystem();
    CInputFile input(m_strInput);
    ThrowIf(input.Open());
    CDK_Setup& setup = context.Setup();
    // The outputs are checked (and their temporary files made) before the
    // work: a folder that does not exist is said at once.
    const std::unique_ptr<COutputFile> csv = OpenOutput(m_strCsv), png = OpenOutput(m_strPng);
    CString text;
    ThrowIf(input.Read(text));

    // The record as the editor opens it: errors ignored, columns normalised.
    CDK_Motion motion;
    CInternalData data(setup, motion);
    CString errors;
    data.ReadParameters(text, errors);
    CConsole::Warn(errors.View());
    data.NormalizePoints();
    const int points = data.m_Time.GetValuesCount();

    // The graph as the editor sets it up and rebuilds it when it opens
    // (RebuildPreview: no selection while the series change, the rebuild,
    // then the selection on point 0).
    CCurveArray curves;
    CGraphFilter filter(nullptr, nullptr, nullptr, nullptr);
    CGraphWindow graph(CGraphWindow::GW_GRID | CGraphWindow::GW_LEGEND, 0);
    CDWordArray pointToSample;
    CPreviewGraph::SetUp(curves, filter);
    graph.SetFilter(&filter);
    graph.m_pPointToSample = &pointToSample;
    graph.SelectPoint(CGraphWindow::SELECT_POINT, -1);
    const CPreviewBuilder::SResult result =
        CPreviewBuilder::Rebuild(data, CPreviewGraph::SeriesOf(curves), pointToSample);
    CPreviewGraph::Show(result, curves, graph);
    graph.SelectPoint(CGraphWindow::SELECT_POINT, 0);

    const int kept = data.m_Time.GetValuesCount();
    if (kept < points)
        CConsole::Warn(CHostText::Plural(points - kept, "point", "points") +
                       " left out: a point's time must pass the previous point's by at least one whole "
                       "sampling period");
    const bool drawn = result.extent == CPreviewSampler::EXTENT_DRAWN && !result.outOfMemory;
    if (!graph.GetMessage().IsEmpty())
        CConsole::Warn(graph.GetMessage().View());
    else if (result.extent == CPreviewSampler::EXTENT_EMPTY)
        CConsole::Warn("the trajectory has no samples: the last point's time is below 0 or beyond " +
                       Str(CDK_ParamText::FormatDouble(CInternalData::kMaxTime)) + " sampling periods");

    // Every output is written before any file is renamed into place.
    const bool csvWritten = csv && (drawn || result.extent == CPreviewSampler::EXTENT_EMPTY);
    if (csvWritten)
        WriteCsv(curves, result.samples,
                 STrajectoryTable::FromColumns(data.m_Time, data.m_Position, data.m_Velocity).timeFactor, *csv);
    if (png) {
        graph.SetTheme(m_strTheme == "dark" ? CGraphWindow::THEME_DARK : CGraphWindow::THEME_LIGHT);
        MarkProblems(data, graph);
        const QByteArray bytes = RenderPng(graph, m_nWidth, m_nHeight);
        png->Write(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    if (csv && !csvWritten) {
        csv->Discard();
        CConsole::Warn((csv->IsStandardOutput() ? std::string("no CSV written") : csv->GetName() + " not written") +
                       ": the trajectory is not drawn");
    }
    if (csvWritten)
        csv->Commit();
    if (png)
        png->Commit();
    if (!csv && !png)
        CConsole::Out(Summary(data, curves, result, drawn));
    return EXIT_OK;
}
