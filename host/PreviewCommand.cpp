#include "host/PreviewCommand.h"

#include "editor/PreviewGraph.h"
#include "host/Console.h"
#include "host/HostError.h"
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
#include "pvt/PreviewBuilder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QtGlobal>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

namespace {

enum { SERIES_TIME = 0, SERIES_POSITION = 1, SERIES_VELOCITY = 2 };

std::string Str(const CString& text) { return std::string(text.View()); }

// The CSV of the samples 0 ... count - 1, built in large pieces: a row is
// four numbers formatted in place, never a stream operation per value.
void WriteCsv(const CCurveArray& curves, int count, COutputFile& out)
{
    static constexpr std::string_view kHeader = "sample,time,position,velocity\n";
    static constexpr std::size_t kBufferSize = std::size_t{1} << 20;
    static constexpr std::size_t kMaxRow = 12 + 3 * (CDK_ParamText::kMaxDoubleLength + 1) + 1;
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
        *p++ = '\n';
    }
    out.Write(first, static_cast<std::size_t>(p - first));
}

QtMessageHandler s_QtHandler = nullptr;

// Qt's debug and warning messages concern its session environment (no
// XDG_RUNTIME_DIR under ssh or in CI, say), never the picture: a preview
// prints only its own warnings. Critical and fatal messages still show.
void QuietQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        if (s_QtHandler)
            s_QtHandler(type, context, message);
        else
            std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    }
}

// The graph drawn offscreen as a PNG file's bytes.
QByteArray RenderPng(CGraphWindow& graph, int width, int height)
{
    s_QtHandler = qInstallMessageHandler(QuietQtMessages);
    // Offscreen unless the user chose a platform: the picture needs no
    // display, in CI or over ssh. Set before the framework creates the
    // application object, which reads it.
    if (const char* platform = std::getenv("QT_QPA_PLATFORM"); !platform || !*platform)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!CWindowSystem::EnsureApplication())
        throw SHostError{"cannot draw the graph: the window system could not be started"};
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

std::string Unit(const CDK_ArrayParameter& column) { return Str(column.GetSelectedUnit()); }

std::string Plural(long long count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

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

int CPreviewCommand::Run(CDK_Setup& setup, CInputFile& input, const SOptions& options)
{
    // The outputs are checked (and their temporary files made) before the
    // work: a folder that does not exist is said at once.
    std::unique_ptr<COutputFile> csv, png;
    if (!options.csv.empty()) {
        csv = std::make_unique<COutputFile>(options.csv);
        csv->Open();
    }
    if (!options.png.empty()) {
        png = std::make_unique<COutputFile>(options.png);
        png->Open();
    }
    CString text;
    if (const CString error = input.Read(text); !error.IsEmpty())
        throw SHostError{error.GetString()};

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
        CConsole::Warn(Plural(points - kept, "point", "points") +
                       " left out: a point's time must pass the previous point's by at least one whole "
                       "sampling period");
    const bool drawn = result.extent == CPreviewSampler::EXTENT_DRAWN && !result.outOfMemory;
    if (!graph.GetMessage().IsEmpty())
        CConsole::Warn(graph.GetMessage().View());
    else if (result.extent == CPreviewSampler::EXTENT_EMPTY)
        CConsole::Warn("the trajectory has no samples: the last point's time is below 0 or beyond " +
                       Str(CDK_ParamText::FormatDouble(CInternalData::kMaxTime)) + " sampling periods");

    if (csv) {
        if (drawn || result.extent == CPreviewSampler::EXTENT_EMPTY) {
            WriteCsv(curves, result.samples, *csv);
            csv->Commit();
        } else {
            csv->Discard();
            CConsole::Warn((csv->IsStandardOutput() ? std::string("no CSV written") : csv->GetPath() + " not written") +
                           ": the trajectory is not drawn");
        }
    }
    if (png) {
        const QByteArray bytes = RenderPng(graph, options.width, options.height);
        png->Write(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        png->Commit();
    }
    if (!csv && !png) {
        std::string summary = "points: " + std::to_string(kept) + "\n";
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
        CConsole::Out(summary);
    }
    return 0;
}
