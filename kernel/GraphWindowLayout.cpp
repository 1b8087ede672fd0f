// CGraphWindow: laying the graph out in a rectangle, without painting.
//
// From the top of the area inside the frame: the title (when the filter has
// one), the legend (GW_LEGEND), the plot, the x tick labels, the x title.
// Beside the plot: on each side with a value axis its title, tick labels and
// ticks; a side without one keeps room for half an x tick label.
#include "kernel/GraphWindow.h"

#include "kernel/Curve.h"
#include "kernel/GraphAxis.h"
#include "kernel/GraphFilter.h"
#include "kernel/GraphLayout.h"
#include "kernel/XYCurve.h"

#include <QFontMetrics>
#include <QGuiApplication>

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

void SetColours(SGraphLayout& L, const CGraphFilter* pFilter)
{
    L.crBackground = ToQColor(pFilter ? pFilter->m_crBackground : RGB16(CR16_NIGHT));
    L.crGrid = ToQColor(pFilter ? pFilter->m_crGrid : RGB16(CR16_SLATE));
    L.crText = IsDark(L.crBackground) ? QColor(222, 226, 232) : QColor(28, 32, 38);
    L.crFrame = Mix(L.crGrid, L.crText, 0.35);
}

// The font's size follows the graph's size: readable in a dialog, not lost
// in a big picture.
void SetFont(SGraphLayout& L)
{
    L.font = QGuiApplication::font();
    const double size = std::min(L.area.width() / 27.0, L.area.height() / 16.0);
    L.font.setPixelSize(int(std::clamp(std::round(size), 9.0, 16.0)));
    const QFontMetrics fm(L.font);
    L.nLineHeight = fm.height();
    L.nPad = std::max(3, L.nLineHeight / 3);
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
    CGraphAxis::RangeFor(L.xAxis.dMin, L.xAxis.dMax, 0.0, L.xAxis.dLo, L.xAxis.dHi);
    for (int a = 0; a < 2; ++a) {
        SAxis& ax = L.yAxes[a];
        if (!ax.bUsed)
            continue;
        CGraphAxis::RangeFor(ax.dMin, ax.dMax, 0.05, ax.dLo, ax.dHi);
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

// Ticks of the axis's range, at most nMaxTicks, with their labels; their
// positions come later.
void MakeTicks(SAxis& ax, int nMaxTicks, const QFontMetrics& fm)
{
    const std::vector<double> values = CGraphAxis::Ticks(ax.dLo, ax.dHi, nMaxTicks);
    ax.dStep = CGraphAxis::ChooseStep(ax.dLo, ax.dHi, nMaxTicks);
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
    const int yMaxTicks = std::clamp(int(plotH / (lh * 1.7)), 2, 12);
    for (SAxis& ax : L.yAxes)
        if (ax.bUsed)
            MakeTicks(ax, yMaxTicks, fm);
    const int bare = pad + 3 * CharWidth(fm);
    auto sideWidth = [&](const SAxis& ax) {
        return ax.bUsed ? pad + lh + pad / 2 + ax.nLabelWidth + L.nTickLength + 2 : bare;
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
    // The curves' first and last samples stay clear of the frame, dots and all.
    int inset = 2;
    for (const SGraphLayout::SCurve& c : L.curves)
        inset = std::max(inset, c.nLineWidth + 3);
    x.map = SGraphLayout::SMap{x.dLo, x.dHi, L.plot.left() + inset, L.plot.right() - inset};
    for (SAxis& ax : L.yAxes)
        ax.map = SGraphLayout::SMap{ax.dLo, ax.dHi, L.plot.bottom(), L.plot.top()};
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

// One entry per curve: a stroke in its colour and its label, all centred.
void PlaceLegend(SGraphLayout& L, const QFontMetrics& fm)
{
    const QRect& box = L.legendRect;
    const int lh = L.nLineHeight, stroke = 2 * lh, gap = L.nPad, spacing = 3 * L.nPad;
    const int count = int(L.curves.size());
    const int room = (box.width() - (count - 1) * spacing) / count - stroke - gap;
    int total = (count - 1) * spacing;
    for (const SGraphLayout::SCurve& c : L.curves) {
        SGraphLayout::SLegendEntry e;
        e.strLabel = fm.elidedText(c.strLabel, Qt::ElideRight, std::max(room, 0));
        e.nStrokeWidth = std::max(2, c.nLineWidth);
        e.color = c.color;
        total += stroke + gap + fm.horizontalAdvance(e.strLabel);
        L.legend.push_back(e);
    }
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

}  // namespace

SGraphLayout CGraphWindow::Layout(const QRect& rect) const
{
    SGraphLayout L;
    L.rect = L.area = rect;
    SetColours(L, m_pFilter);
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
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
        PlaceLegend(L, fm);
    LayoutSelection(L);
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
        L.curves.push_back({c, x, y, c->m_nAxis == CXYCurve::AXIS_RIGHT ? 1 : 0, ToQColor(c->m_crColor),
                            SeriesLabel(y, c->m_nYSeries), std::clamp(c->m_nLineWidth, 1, 8)});
    }
}

// The selected point at its sample on every curve that has it.
void CGraphWindow::LayoutSelection(SGraphLayout& L) const
{
    const int s = SelectedSampleIndex();
    if (s < 0)
        return;
    for (const SGraphLayout::SCurve& c : L.curves) {
        if (s >= std::min(c.pX->GetSize(), c.pY->GetSize()))
            continue;
        const double xv = c.pX->GetAt(s), yv = c.pY->GetAt(s);
        if (!std::isfinite(xv) || !std::isfinite(yv))
            continue;
        const QPointF pt(L.xAxis.map(xv), L.yAxes[c.nAxis].map(yv));
        if (!L.bSelection) {
            L.bSelection = true;
            L.dSelectionX = pt.x();
        }
        L.markers.push_back({pt, std::max({4.0, c.nLineWidth + 3.0, L.nLineHeight * 0.3}), c.color});
    }
}
