// CGraphWindow: laying the graph out in a rectangle, without painting.
//
// From the top of the area inside the frame: the title (when the filter has
// one), the legend (GW_LEGEND), the plot, the x tick labels, the x title.
// Beside the plot: on each side with a value axis its title, tick labels and
// ticks; a side without one keeps room for half an x tick label.
//
// The two value axes share their grid lines (CGraphAxis::SharedGrid): tick k
// of the left axis and tick k of the right one lie on the same line, and
// when both ranges include 0 it lies on the same line on both. Their ranges
// are padded by the room of a selected point's marker, so that no curve and
// no marker touches the frame; the x axis keeps that room in pixels at both
// ends.
#include "kernel/GraphWindow.h"

#include "kernel/Curve.h"
#include "kernel/GraphAxis.h"
#include "kernel/GraphFilter.h"
#include "kernel/GraphLayout.h"
#include "kernel/XYCurve.h"
#include "platform/DWordArray.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>
#include <QWidget>

#include <climits>

#include <algorithm>
#include <cmath>

namespace {

using SAxis = SGraphLayout::SAxis;

QColor ToQColor(COLORREF c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }

QColor Mix(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

bool IsDark(const QColor& c) { return 0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue() < 128; }

QString ToQString(const CString& s) { return QString::fromUtf8(s.GetString(), s.GetLength()); }

QString SeriesLabel(const CCurve* pSeries, int nIndex)
{
    if (pSeries && !pSeries->m_strLabel.IsEmpty())
        return ToQString(pSeries->m_strLabel);
    return QString("Series %1").arg(nIndex);
}

double Luminance(const QColor& c)
{
    auto lin = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
}

double Contrast(const QColor& a, const QColor& b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour moved away from the background (toward black on a light one,
// toward white on a dark one) until it contrasts by at least dRatio.
QColor ReadableOn(const QColor& c, const QColor& background, double dRatio)
{
    const QColor away = IsDark(background) ? QColor(255, 255, 255) : QColor(0, 0, 0);
    QColor out = c;
    for (int i = 1; i <= 20 && Contrast(out, background) < dRatio; ++i)
        out = Mix(c, away, i / 20.0);
    return out;
}

void SetColours(SGraphLayout& L, const CGraphFilter* pFilter, int nTheme, const QPalette& palette)
{
    if (nTheme == CGraphWindow::THEME_DARK) {
        L.crBackground = ToQColor(pFilter ? pFilter->m_crBackground : RGB16(CR16_NIGHT));
        L.crGrid = ToQColor(pFilter ? pFilter->m_crGrid : RGB16(CR16_SLATE));
        L.crText = IsDark(L.crBackground) ? QColor(222, 226, 232) : QColor(28, 32, 38);
        L.crPlot = L.crBackground;
        L.crFrame = Mix(L.crGrid, L.crText, 0.35);
    } else {
        // The dialog's own colours: its background around the plot, the
        // base of its fields inside, its text.
        L.crBackground = palette.color(QPalette::Active, QPalette::Window);
        L.crPlot = palette.color(QPalette::Active, QPalette::Base);
        L.crText = palette.color(QPalette::Active, QPalette::WindowText);
        L.crGrid = Mix(L.crPlot, L.crText, 0.13);
        L.crFrame = Mix(L.crPlot, L.crText, 0.45);
    }
    L.crWarning = ReadableOn(QColor(220, 30, 40), L.crPlot, 4.0);
}

// The font's size follows the graph's size: readable in a dialog, not lost
// in a big picture.
void SetFont(SGraphLayout& L)
{
    L.font = QGuiApplication::font();
    // 16 pixels at 1200 x 700, in proportion above; a dialog's small graph
    // keeps a readable 9.
    const double size = std::min(L.area.width() / 75.0, L.area.height() / 44.0);
    L.font.setPixelSize(int(std::clamp(std::round(size), 9.0, 64.0)));
    L.dScale = std::max(1.0, L.font.pixelSize() / 13.0);
    const QFontMetrics fm(L.font);
    L.nLineHeight = fm.height();
    L.nPad = std::max(3, L.nLineHeight / 2);
    L.nTickLength = std::max(3, L.nLineHeight / 3);
}

int CharWidth(const QFontMetrics& fm) { return std::max(1, fm.averageCharWidth()); }

void TakeData(SAxis& ax, double lo, double hi)
{
    ax.dMin = ax.bUsed ? std::min(ax.dMin, lo) : lo;
    ax.dMax = ax.bUsed ? std::max(ax.dMax, hi) : hi;
    ax.bUsed = true;
}

// Ranges, titles and colours of the axes, from the curves on them.
void SetAxesData(SGraphLayout& L, const QString& strXTitle)
{
    for (const SGraphLayout::SCurve& c : L.curves) {
        TakeData(L.xAxis, c.pCurve->m_dXMin, c.pCurve->m_dXMax);
        TakeData(L.yAxes[c.nAxis], c.pCurve->m_dYMin, c.pCurve->m_dYMax);
    }
    SAxis& x = L.xAxis;
    if (x.dMin == x.dMax && std::isfinite(x.dMin)) {
        // One sample (a table of one point): its own time, from 0.
        x.dLo = std::min(0.0, x.dMin);
        x.dHi = x.dMin > 0 ? x.dMin : (x.dMin < 0 ? 0.0 : 1.0);
    } else {
        CGraphAxis::RangeFor(x.dMin, x.dMax, 0.0, x.dLo, x.dHi);
    }
    for (int a = 0; a < 2; ++a) {
        SAxis& ax = L.yAxes[a];
        if (!ax.bUsed)
            continue;
        CGraphAxis::RangeFor(ax.dMin, ax.dMax, 0.0, ax.dLo, ax.dHi);
        int onAxis = 0;
        for (const SGraphLayout::SCurve& c : L.curves) {
            if (c.nAxis != a)
                continue;
            ax.strTitle += (onAxis++ ? ", " : "") + c.strLabel;
            ax.color = c.color;
        }
        if (onAxis > 1)
            ax.color = L.crText;
    }
    L.xAxis.color = L.crText;
    L.xAxis.strTitle = strXTitle;
}

// The radius of a point's mark and of the selected point's ring.
double PointRadius(const SGraphLayout& L, const SGraphLayout::SCurve& c) { return 1.5 * L.dScale + c.dLineWidth; }
double SelectedRadius(const SGraphLayout& L, const SGraphLayout::SCurve& c) { return 1.8 * PointRadius(L, c); }

// The room a selected point's ring needs between a curve and the frame.
double MarkRoom(const SGraphLayout& L)
{
    double room = 3;
    for (const SGraphLayout::SCurve& c : L.curves)
        room = std::max(room, SelectedRadius(L, c) + 2 * L.dScale);
    return std::ceil(room);
}

// Ticks of the axis's range, at most nMaxTicks, with their labels; their
// positions come later.
void LabelTicks(SAxis& ax, const std::vector<double>& values, const QFontMetrics& fm)
{
    ax.ticks.clear();
    ax.nLabelWidth = 0;
    double magnitude = 0;
    for (double t : values)
        magnitude = std::max(magnitude, std::fabs(t));
    for (double t : values) {
        QString label = ToQString(CGraphAxis::FormatTick(t, ax.dStep, magnitude));
        ax.nLabelWidth = std::max(ax.nLabelWidth, fm.horizontalAdvance(label));
        ax.ticks.push_back({t, 0, std::move(label), QRectF()});
    }
}

void MakeTicks(SAxis& ax, int nMaxTicks, const QFontMetrics& fm)
{
    ax.dStep = CGraphAxis::ChooseStep(ax.dLo, ax.dHi, nMaxTicks);
    LabelTicks(ax, CGraphAxis::Ticks(ax.dLo, ax.dHi, nMaxTicks), fm);
}

// The value axes on shared grid lines, their data padded by dPad pixels of
// the plot's height at both ends.
void MakeValueTicks(SGraphLayout& L, int nMaxTicks, double dPlotHeight, double dPad, const QFontMetrics& fm)
{
    double lo[2], hi[2];
    bool used[2];
    const double share = dPad / std::max(dPlotHeight - 2 * dPad, 1.0);
    for (int a = 0; a < 2; ++a) {
        const SAxis& ax = L.yAxes[a];
        used[a] = ax.bUsed;
        const double span = ax.dHi - ax.dLo;
        lo[a] = ax.dLo - span * share;
        hi[a] = ax.dHi + span * share;
        if (!std::isfinite(lo[a]) || !std::isfinite(hi[a])) {
            lo[a] = ax.dLo;
            hi[a] = ax.dHi;
        }
    }
    CGraphAxis::SGrid grid[2];
    const bool shared = CGraphAxis::SharedGrid(lo, hi, used, nMaxTicks, grid);
    for (int a = 0; a < 2; ++a) {
        SAxis& ax = L.yAxes[a];
        if (!ax.bUsed)
            continue;
        if (!shared || !std::isfinite(grid[a].Lo()) || !std::isfinite(grid[a].Hi())) {
            ax.dLo = lo[a];
            ax.dHi = hi[a];
            MakeTicks(ax, nMaxTicks, fm);
            continue;
        }
        ax.dLo = grid[a].Lo();
        ax.dHi = grid[a].Hi();
        ax.dStep = grid[a].dStep;
        LabelTicks(ax, grid[a].Ticks(), fm);
    }
}

// The title, the legend and the plot's rectangle, with the ticks of the
// value axes (their labels decide how wide the sides are). FALSE when the
// plot has no room.
bool PlacePlot(SGraphLayout& L, const QFontMetrics& fm)
{
    const QRect& area = L.area;
    const int lh = L.nLineHeight, pad = L.nPad;
    int top = area.top() + pad;
    if (!L.strTitle.isEmpty()) {
        L.titleRect = QRect(area.left() + pad, top, area.width() - 2 * pad, lh);
        top += lh + pad / 2;
    }
    if (L.bLegend) {
        L.legendRect = QRect(area.left() + pad, top, area.width() - 2 * pad, lh);
        top += lh + pad;
    } else {
        top += lh / 2;  // room for the half of the top tick label
    }
    const int bottom = area.bottom() + 1 - pad - lh - pad / 2 - lh - L.nTickLength;
    const int plotH = bottom - top;
    const int yMaxTicks = std::clamp(int(plotH / (lh * 1.9)), 2, 12);
    MakeValueTicks(L, yMaxTicks, plotH, MarkRoom(L), fm);
    const int bare = pad + 3 * CharWidth(fm);
    auto sideWidth = [&](const SAxis& ax) {
        return ax.bUsed ? pad + lh + pad + ax.nLabelWidth + L.nTickLength + 2 : bare;
    };
    const int plotLeft = area.left() + sideWidth(L.yAxes[0]);
    const int plotRight = area.right() + 1 - sideWidth(L.yAxes[1]);
    const int plotW = plotRight - plotLeft;
    if (plotW < 8 || plotH < 8)
        return false;
    L.plot = QRectF(plotLeft, top, plotW, plotH);
    return true;
}

// The x ticks, as many as fit with their labels apart, and the maps of the
// three axes.
void PlaceXTicks(SGraphLayout& L, const QFontMetrics& fm)
{
    SAxis& x = L.xAxis;
    const int plotW = int(L.plot.width()), charW = CharWidth(fm);
    int xMaxTicks = std::clamp(plotW / (charW * 7), 2, 16);
    for (;;) {
        MakeTicks(x, xMaxTicks, fm);
        const double spacing = x.dStep / (x.dHi - x.dLo) * (plotW - 2 * 5);
        if (xMaxTicks <= 2 || x.ticks.size() < 2 || spacing >= x.nLabelWidth + 2 * charW)
            break;
        xMaxTicks = std::min<int>(xMaxTicks, int(x.ticks.size())) - 1;
    }
    // The curves' first and last samples stay clear of the frame, marks and all.
    const double inset = MarkRoom(L);
    x.map = SGraphLayout::SMap{x.dLo, x.dHi, L.plot.left() + inset, L.plot.right() - inset};
    for (SAxis& ax : L.yAxes)
        ax.map = SGraphLayout::SMap{ax.dLo, ax.dHi, L.plot.bottom() - 1, L.plot.top()};  // the frame's lines
}

// Tick positions, tick labels and axis titles.
void PlaceAxisLabels(SGraphLayout& L, const QFontMetrics& fm)
{
    const QRect& area = L.area;
    const QRectF& plot = L.plot;
    const int lh = L.nLineHeight, pad = L.nPad, tickLen = L.nTickLength;
    const double labelTop = plot.bottom() + tickLen + 1;
    for (SGraphLayout::STick& t : L.xAxis.ticks) {
        t.dPos = std::floor(L.xAxis.map(t.dValue)) + 0.5;
        const int w = fm.horizontalAdvance(t.strLabel);
        const double left = std::clamp(t.dPos - w / 2.0, double(area.left() + 1), double(area.right() - w));
        t.labelRect = QRectF(left, labelTop, w + 1, lh);
    }
    L.xAxis.titleRect = QRectF(plot.left(), labelTop + lh + pad / 2.0, plot.width(), lh);
    L.xAxis.strTitle = fm.elidedText(L.xAxis.strTitle, Qt::ElideRight, int(plot.width()));
    const int plotH = int(plot.height());
    for (int a = 0; a < 2; ++a) {
        SAxis& ax = L.yAxes[a];
        if (!ax.bUsed)
            continue;
        const double edge = a == 0 ? plot.left() : plot.right();
        const double labelEdge = a == 0 ? edge - (tickLen + 2) - ax.nLabelWidth : edge + (tickLen + 2);
        for (SGraphLayout::STick& t : ax.ticks) {
            t.dPos = std::floor(ax.map(t.dValue)) + 0.5;
            t.labelRect = QRectF(labelEdge, t.dPos - lh / 2.0, ax.nLabelWidth, lh);
        }
        const double titleX = a == 0 ? area.left() + pad + lh / 2.0 : area.right() + 1 - pad - lh / 2.0;
        ax.titleRect = QRectF(titleX - lh / 2.0, plot.center().y() - plotH / 2.0, lh, plotH);
        ax.strTitle = fm.elidedText(ax.strTitle, Qt::ElideRight, plotH);
    }
}

// One entry per curve: a stroke in its colour and its label; then, when
// points have a problem, a warning mark and the reason; all centred.
void PlaceLegend(SGraphLayout& L, const QFontMetrics& fm, const QString& strProblem)
{
    const QRect& box = L.legendRect;
    const int lh = L.nLineHeight, stroke = 2 * lh, gap = L.nPad, spacing = 3 * L.nPad;
    for (const SGraphLayout::SCurve& c : L.curves) {
        SGraphLayout::SLegendEntry e;
        e.strLabel = c.strLabel;
        e.dStrokeWidth = std::max(2.0, c.dLineWidth);
        e.color = c.color;
        L.legend.push_back(e);
    }
    if (!strProblem.isEmpty()) {
        SGraphLayout::SLegendEntry e;
        e.strLabel = strProblem;
        e.dStrokeWidth = 2 * L.dScale;
        e.color = L.crWarning;
        e.bMarker = true;
        L.legend.push_back(e);
    }
    const int count = int(L.legend.size());
    int natural = (count - 1) * spacing;
    for (const SGraphLayout::SLegendEntry& e : L.legend)
        natural += stroke + gap + fm.horizontalAdvance(e.strLabel);
    // Too long: the reason of the problems gives way first, then all alike.
    SGraphLayout::SLegendEntry& last = L.legend.back();
    const int lastRoom = fm.horizontalAdvance(last.strLabel) - (natural - box.width());
    if (natural > box.width() && last.bMarker && lastRoom >= 6 * lh) {
        last.strLabel = fm.elidedText(last.strLabel, Qt::ElideRight, lastRoom);
    } else if (natural > box.width()) {
        const int room = (box.width() - (count - 1) * spacing) / count - stroke - gap;
        for (SGraphLayout::SLegendEntry& e : L.legend)
            e.strLabel = fm.elidedText(e.strLabel, Qt::ElideRight, std::max(room, 0));
    }
    int total = (count - 1) * spacing;
    for (const SGraphLayout::SLegendEntry& e : L.legend)
        total += stroke + gap + fm.horizontalAdvance(e.strLabel);
    double x = box.left() + std::max(0, box.width() - total) / 2.0;
    const double cy = box.center().y() + 0.5;
    for (SGraphLayout::SLegendEntry& e : L.legend) {
        e.stroke = QLineF(x, cy, x + stroke, cy);
        x += stroke + gap;
        const int w = fm.horizontalAdvance(e.strLabel);
        e.labelRect = QRectF(x, box.top(), w + 1, lh);
        x += w + spacing;
    }
}

// "Position[rot]" as a name and a unit.
void SplitLabel(const QString& label, QString& name, QString& unit)
{
    const int open = label.lastIndexOf('['), close = label.lastIndexOf(']');
    if (open > 0 && close == label.size() - 1 && close > open) {
        name = label.left(open).trimmed();
        unit = label.mid(open + 1, close - open - 1);
    } else {
        name = label;
        unit.clear();
    }
}

// Which pixel rows every pixel column of the plot has a curve in: for the
// label of the selected point to find a place clear of them.
std::vector<std::pair<double, double>> CurveCover(const SGraphLayout& L)
{
    const int w = std::max(0, int(L.plot.width()));
    std::vector<std::pair<double, double>> cover(std::size_t(w), {1e9, -1e9});
    auto mark = [&](double x0, double x1, double y0, double y1, double half) {
        const int a = std::max(0, int(std::floor(std::min(x0, x1) - half - L.plot.left())));
        const int b = std::min(w - 1, int(std::ceil(std::max(x0, x1) + half - L.plot.left())));
        for (int i = a; i <= b; ++i) {
            cover[std::size_t(i)].first = std::min(cover[std::size_t(i)].first, std::min(y0, y1) - half);
            cover[std::size_t(i)].second = std::max(cover[std::size_t(i)].second, std::max(y0, y1) + half);
        }
    };
    for (const SGraphLayout::SCurve& c : L.curves) {
        const SGraphLayout::SMap& my = L.yAxes[c.nAxis].map;
        const double half = c.dLineWidth / 2 + 1;
        bool have = false;
        double lx = 0, ly = 0;
        for (const CCurveReduction::SColumn& col : c.pCurve->m_Reduced.GetColumns()) {
            if (!col.HasValues())
                continue;
            const double fx = L.xAxis.map(col.dFirstX), x1 = L.xAxis.map(col.dLastX);
            if (have)
                mark(lx, fx, ly, my(col.dFirstY), half);
            mark(fx, x1, my(col.dMinY), my(col.dMaxY), half);
            have = true;
            lx = x1;
            ly = my(col.dLastY);
        }
    }
    return cover;
}

// The label of the selected point: beside its dashed line, from the top
// down, the first place where it covers no curve (or the least of them).
QRectF PlaceSelectionLabel(const SGraphLayout& L, const QFontMetrics& fm)
{
    const std::vector<std::pair<double, double>> cover = CurveCover(L);
    const double w = fm.horizontalAdvance(L.strSelectionLabel) + L.nPad, h = L.nLineHeight + L.nPad / 2.0;
    const double pad = L.nPad;
    const double gap = std::max(4.0, 2 * pad);
    const QRectF room = L.plot.adjusted(pad, pad, -pad, -pad);
    QRectF best;
    int bestHits = INT_MAX;
    for (double y = room.top(); y + h <= room.bottom(); y += h / 2) {
        for (const double x : {L.dSelectionX + gap, L.dSelectionX - gap - w}) {
            if (x < room.left() || x + w > room.right())
                continue;
            const QRectF r(x, y, w, h);
            int hits = 0;
            for (int i = std::max(0, int(r.left() - L.plot.left())); i < std::min(int(cover.size()), int(r.right() - L.plot.left()) + 1); ++i)
                if (cover[std::size_t(i)].first <= r.bottom() && cover[std::size_t(i)].second >= r.top())
                    ++hits;
            for (const SGraphLayout::SMarker& m : L.markers)
                if (r.adjusted(-m.dRadius, -m.dRadius, m.dRadius, m.dRadius).contains(m.centre))
                    hits += 1000;
            if (hits < bestHits) {
                bestHits = hits;
                best = r;
            }
            if (hits == 0)
                return best;
        }
    }
    if (best.isNull())  // too narrow for the label beside the line
        best = QRectF(std::clamp(L.dSelectionX - w / 2, room.left(), std::max(room.left(), room.right() - w)),
                      room.top(), w, h);
    return best;
}

}  // namespace

SGraphLayout CGraphWindow::Layout(const QRect& rect) const
{
    SGraphLayout L;
    L.rect = L.area = rect;
    const bool gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    SetColours(L, m_pFilter, m_nTheme,
               GetCanvas() ? GetCanvas()->palette() : (gui ? QGuiApplication::palette() : QPalette(Qt::white)));
    if (!gui)
        return L;  // no fonts without one
    L.nFrameWidth = m_nFrameWidth;
    if (m_nFrameWidth > 0) {
        const double h = m_nFrameWidth / 2.0;
        L.frameRect = QRectF(rect).adjusted(h, h, -h, -h);
        L.area = rect.adjusted(m_nFrameWidth, m_nFrameWidth, -m_nFrameWidth, -m_nFrameWidth);
    }
    SetFont(L);
    LayoutCurves(L);
    L.strMessage = ToQString(m_strMessage);
    if (L.strMessage.isEmpty() && L.curves.empty())
        L.strMessage = m_pFilter && !m_pFilter->m_strEmptyText.IsEmpty() ? ToQString(m_pFilter->m_strEmptyText)
                                                                          : QString("No samples to draw.");
    if (!L.strMessage.isEmpty()) {
        L.eContent = SGraphLayout::CONTENT_MESSAGE;
        L.messageRect = L.area.adjusted(L.nPad, L.nPad, -L.nPad, -L.nPad);
        return L;
    }

    const SGraphLayout::SCurve& first = L.curves.front();
    SetAxesData(L, m_pFilter->m_strXTitle.IsEmpty() ? SeriesLabel(first.pX, first.pCurve->m_nXSeries)
                                                     : ToQString(m_pFilter->m_strXTitle));
    L.bGrid = (m_nStyle & GW_GRID) != 0;
    L.nGridAxis = L.yAxes[0].bUsed ? 0 : 1;
    L.bLegend = (m_nStyle & GW_LEGEND) != 0;
    L.strTitle = ToQString(m_pFilter->m_strTitle);
    const QFontMetrics fm(L.font);
    if (!PlacePlot(L, fm)) {
        L.eContent = SGraphLayout::CONTENT_TOO_SMALL;
        return L;
    }
    L.eContent = SGraphLayout::CONTENT_PLOT;
    PlaceXTicks(L, fm);
    PlaceAxisLabels(L, fm);
    if (!L.strTitle.isEmpty()) {
        L.titleFont = L.font;
        L.titleFont.setBold(true);
        L.strTitle = QFontMetrics(L.titleFont).elidedText(L.strTitle, Qt::ElideRight, L.titleRect.width());
    }
    if (L.bLegend)
        PlaceLegend(L, fm, m_nProblems.empty() ? QString() : ToQString(m_strProblem));
    LayoutPoints(L);
    LayoutSelection(L);
    LayoutReadout(L);
    return L;
}

void CGraphWindow::LayoutCurves(SGraphLayout& L) const
{
    if (!m_pFilter)
        return;
    for (int i = 0; i < m_pFilter->GetCurveCount(); ++i) {
        CXYCurve* c = m_pFilter->GetCurve(i);
        if (!c->ComputeLimits())
            continue;
        const CCurve* x = Series(c->m_nXSeries);
        const CCurve* y = Series(c->m_nYSeries);
        if (!x || !y)
            continue;
        const int width = std::clamp(c->m_nLineWidth, 1, 8);
        L.curves.push_back({c, x, y, c->m_nAxis == CXYCurve::AXIS_RIGHT ? 1 : 0,
                            ReadableOn(ToQColor(c->m_crColor), L.crPlot, m_nTheme == THEME_DARK ? 7.0 : 3.0),
                            SeriesLabel(y, c->m_nYSeries), width, width * L.dScale});
    }
}

namespace {

// Where sample s of a curve is drawn; FALSE when the curve has no such
// sample, it is not finite or it lies outside the x range shown.
bool SamplePoint(const SGraphLayout& L, const SGraphLayout::SCurve& c, long long s, QPointF& at)
{
    if (s < 0 || s >= std::min(c.pX->GetSize(), c.pY->GetSize()))
        return false;
    const double xv = c.pX->GetAt(static_cast<int>(s)), yv = c.pY->GetAt(static_cast<int>(s));
    if (!std::isfinite(xv) || !std::isfinite(yv) || xv < L.xAxis.dLo || xv > L.xAxis.dHi)
        return false;
    at = QPointF(L.xAxis.map(xv), L.yAxes[c.nAxis].map(yv));
    return true;
}

}  // namespace

// The selected point at its sample on every curve that has it, and its label.
void CGraphWindow::LayoutSelection(SGraphLayout& L) const
{
    const int s = SelectedSampleIndex();
    if (s < 0)
        return;
    for (const SGraphLayout::SCurve& c : L.curves) {
        QPointF pt;
        if (!SamplePoint(L, c, s, pt))
            continue;
        if (!L.bSelection) {
            L.bSelection = true;
            L.dSelectionX = pt.x();
        }
        L.markers.push_back({pt, SelectedRadius(L, c), c.color});
    }
    if (L.bSelection && m_nSelectMode == SELECT_POINT && m_nSelected < m_nPoints) {
        L.strSelectionLabel = QString("point %1 of %2").arg(m_nSelected).arg(m_nPoints);
        L.selectionLabelRect = PlaceSelectionLabel(L, QFontMetrics(L.font));
    }
}

// The marks of the kept points in view, while there is room for them, and
// of the points with a problem.
void CGraphWindow::LayoutPoints(SGraphLayout& L) const
{
    if (!m_pPointToSample || m_nPoints <= 0 || L.curves.empty())
        return;
    const CCurve* x = L.curves.front().pX;
    auto sampleOf = [&](int point) { return static_cast<long long>(m_pPointToSample->GetAt(point)); };
    auto xOf = [&](int point) { return x->GetAt(static_cast<int>(sampleOf(point))); };
    // The first point in view: x grows with the point (a time series).
    int lo = 0, hi = m_nPoints;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (xOf(mid) < L.xAxis.dLo)
            lo = mid + 1;
        else
            hi = mid;
    }
    const double radius = PointRadius(L, L.curves.front());
    const int limit = std::max(1, int(L.plot.width() / (2 * radius + 3)));
    int last = lo;
    while (last < m_nPoints && last - lo <= limit && xOf(last) <= L.xAxis.dHi)
        ++last;
    L.bPointsMarked = last - lo <= limit;
    for (const SGraphLayout::SCurve& c : L.curves) {
        QPointF pt;
        for (int i = lo; L.bPointsMarked && i < last; ++i)
            if (SamplePoint(L, c, sampleOf(i), pt))
                L.pointMarks.push_back({pt, PointRadius(L, c), c.color});
        for (int p : m_nProblems)
            if (p >= 0 && p < m_nPoints && SamplePoint(L, c, sampleOf(p), pt))
                L.problemMarks.push_back({pt, SelectedRadius(L, c), L.crWarning});
    }
}

// The readout of the sample under the mouse: its x and every curve's y, in
// a box at the top of the plot on the side away from the mouse.
void CGraphWindow::LayoutReadout(SGraphLayout& L) const
{
    L.bExactSamples = !L.curves.empty() &&
                      L.curves.front().pCurve->m_Reduced.GetSampleCount() * 3 <= static_cast<long long>(L.plot.width());
    L.bSampleDots = L.bExactSamples && m_bZoomed;
    if (m_nHover < 0)
        return;
    QString name, unit;
    for (const SGraphLayout::SCurve& c : L.curves) {
        QPointF pt;
        if (!SamplePoint(L, c, m_nHover, pt))
            continue;
        if (!L.bReadout) {
            L.bReadout = true;
            L.dReadoutX = pt.x();
            SplitLabel(L.xAxis.strTitle, name, unit);
            const double xv = c.pX->GetAt(m_nHover);
            L.readoutLines << QString("%1 %2 %3").arg(name, ToQString(CGraphAxis::FormatTick(xv, L.xAxis.dStep / 1000)), unit).trimmed();
            L.readoutColors.push_back(L.crText);
        }
        SplitLabel(c.strLabel, name, unit);
        const double yv = c.pY->GetAt(m_nHover);
        L.readoutLines << QString("%1 %2 %3").arg(name, ToQString(CGraphAxis::FormatTick(yv, L.yAxes[c.nAxis].dStep / 1000)), unit).trimmed();
        L.readoutColors.push_back(c.color);
        L.readoutMarks.push_back({pt, PointRadius(L, c), c.color});
    }
    if (!L.bReadout)
        return;
    const QFontMetrics fm(L.font);
    int w = 0;
    for (const QString& line : L.readoutLines)
        w = std::max(w, fm.horizontalAdvance(line));
    const double bw = w + L.nPad, bh = L.readoutLines.size() * L.nLineHeight + L.nPad / 2.0;
    const double gap = 2 * L.nPad;
    const bool left = L.dReadoutX > L.plot.center().x();
    const double x = left ? std::max(L.plot.left() + gap, L.dReadoutX - gap - bw) : std::min(L.dReadoutX + gap, L.plot.right() - gap - bw);
    L.readoutRect = QRectF(x, L.plot.top() + gap, bw, bh);
    if (!L.strSelectionLabel.isEmpty() && L.readoutRect.intersects(L.selectionLabelRect))
        L.readoutRect.moveTop(L.selectionLabelRect.bottom() + L.nPad);  // below the point's label
}
