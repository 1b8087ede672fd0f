// The editor dialog on a table of 100,000 points with time steps uniform in
// 1 ... 511 sampling periods (about 2.56e7 samples), shown offscreen in the
// embedded drive's default display units (s, rot, rpm):
//   - BM_InsertPoint: one insert as the user makes it (the three fields
//     typed, the Insert button clicked): reading the fields, the sorted
//     insert into the three columns, the preview rebuild with its repaint
//     and the refresh of the controls. The point is removed again outside
//     the timing, so every insert meets the same table.
//   - BM_RebuildPreview: a full rebuild of the preview with its repaint.
// The two should differ by little: an insert costs one rebuild plus linear
// work. (BM_Repaint, the repaint alone, is in GraphBench.cpp.)
// Run: build/bin/velkor_bench --benchmark_filter='BM_InsertPoint|BM_RebuildPreview'
#include "tests/TestUtil.h"
#include "editor/EditorDlg.h"
#include "kernel/Motion.h"
#include "kernel/Setup.h"
#include "platform/WindowMessages.h"
#include "platform/WindowSystem.h"

#include <QByteArray>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>

namespace {

constexpr int kEditorPoints = 100000;

// The parameter text of the table, values in internal units. Also gives a
// point after which there is room for one more sampling period.
std::string EditorTableText(int& roomAfter)
{
    std::mt19937_64 rng(11);
    std::uniform_int_distribution<int> dt(1, 511), dp(-200000, 200000), dv(-40000000, 40000000);
    std::string times = "ATIME = ", positions = "TPOS = ", velocities = "TSPD = ";
    long long t = 0, p = 0;
    int step = 0;
    roomAfter = -1;
    for (int i = 0; i < kEditorPoints; ++i) {
        const double v = i == 0 || i == kEditorPoints - 1 ? 0.0 : dv(rng) / 65536.0;
        char text[96];
        std::snprintf(text, sizeof text, "%s%lld", i ? ", " : "", t);
        times.append(text);
        std::snprintf(text, sizeof text, "%s%lld", i ? ", " : "", p);
        positions.append(text);
        std::snprintf(text, sizeof text, "%s%.17g", i ? ", " : "", v);
        velocities.append(text);
        step = dt(rng);
        if (roomAfter < 0 && i >= kEditorPoints / 2 && step >= 2)
            roomAfter = i;
        t += step;
        p += dp(rng);
    }
    return "ClearBuffer = 1\nATIME.unit = s\n" + times + "\nTPOS.unit = rot\n" + positions + "\nTSPD.unit = rpm\n" +
           velocities + "\nExecute = 0\nWaitForCompletion = 1\n";
}

struct SEditor {
    CDK_Setup setup;
    CDK_Motion motion;
    CString params;
    int roomAfter = -1;
    std::unique_ptr<CEditorDlg> dlg;

    bool Open()
    {
        testutil::UseOffscreenPlatform();
        if (!CWindowSystem::EnsureApplication())
            return false;
        params = EditorTableText(roomAfter).c_str();
        dlg = std::make_unique<CEditorDlg>(setup, motion, params, nullptr);
        return dlg->Create() && dlg->GetData().m_Time.GetValuesCount() == kEditorPoints && roomAfter > 0;
    }
    ~SEditor()
    {
        if (dlg)
            dlg->DestroyWindow();
    }
};

void BM_InsertPoint(benchmark::State& state)
{
    SEditor e;
    if (!e.Open()) {
        state.SkipWithError("the editor could not be opened on the table");
        return;
    }
    CEditorDlg& d = *e.dlg;
    const CDK_ArrayParameter& time = d.GetData().m_Time;
    // A new point one sampling period after point roomAfter, in seconds.
    const double t = (time.GetValueInInternalUnit(e.roomAfter) + 1) * 0.001;
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", t);
    const HWND insert = d.GetDlgItem(CEditorDlg::IDC_INSERT)->GetSafeHwnd();
    const HWND remove = d.GetDlgItem(CEditorDlg::IDC_REMOVE)->GetSafeHwnd();
    for (auto _ : state) {
        d.SetDlgItemText(CEditorDlg::IDC_POSITION, "12.5");
        d.SetDlgItemText(CEditorDlg::IDC_VELOCITY, "30");
        d.SetDlgItemText(CEditorDlg::IDC_TIME, text);
        SendMessageA(insert, BM_CLICK, 0, 0);
        state.PauseTiming();
        if (d.GetData().m_Time.GetValuesCount() != kEditorPoints + 1 || d.GetCurrentPoint() != e.roomAfter + 1) {
            state.SkipWithError("the point was not inserted");
            break;
        }
        SendMessageA(remove, BM_CLICK, 0, 0);  // the same table for the next insert
        state.ResumeTiming();
    }
    state.counters["points"] = kEditorPoints;
}
BENCHMARK(BM_InsertPoint)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_RebuildPreview(benchmark::State& state)
{
    SEditor e;
    if (!e.Open()) {
        state.SkipWithError("the editor could not be opened on the table");
        return;
    }
    for (auto _ : state)
        e.dlg->RebuildPreview();
    state.counters["points"] = kEditorPoints;
    state.counters["samples"] = e.dlg->GetCurves().GetAt(0)->GetSize();
}
BENCHMARK(BM_RebuildPreview)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
