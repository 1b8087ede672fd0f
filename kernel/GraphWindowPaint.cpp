// CGraphWindow: painting the graph from its layout, one part at a time.
#include "kernel/GraphWindow.h"

#include "kernel/Curve.h"
#include "kernel/GraphLayout.h"
#include "kernel/XYCurve.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using SMap = SGraphLayout::SMap;

// A curve as QPainter draws it fast: antialiased polylines through the
// columns (first sample, the extremes where the curve turns, last sample;
// lines from column to column join the samples), and, where the curve swings
// over many pixels within one column (an oscillation faster than a pixel),
// a solid bar of the line's width over the column's whole range, joined to
// its neighbours' samples. Stroking such tall zigzags would cost QPainter
// their area many times over.
struct SCurveShape {
    std::vector<QPolygonF> runs;
    QVector<QRectF> bars;
    int nVertices = 0;
};

SCurveShape CurveShape(const CCurveReduction& r, const SMap& mx, const SMap& my, double lineWidth)
{
    SCurveShape shape;
    QPolygonF run;
    // A zoomed range runs on to the samples beside it, out to the frame.
    if (std::isfinite(r.m_dBeforeY))
        run << QPointF(mx(r.m_dBeforeX), my(r.m_dBeforeY));
    const double tall = 3.0 * lineWidth;
    bool haveLast = false, lastIsBar = false;
    double lastY = 0;  // pixel y of the previous column's last sample
    auto endRun = [&] {
        if (!run.isEmpty()) {
            shape.nVertices += int(run.size());
            shape.runs.push_back(run);
            run.clear();
        }
    };
    for (const CCurveReduction::SColumn& c : r.GetColumns()) {
        if (!c.HasValues())
            continue;
        const double fx = mx(c.dFirstX), lx = mx(c.dLastX), cx = (fx + lx) / 2;
        const double fy = my(c.dFirstY), ly = my(c.dLastY), ymin = my(c.dMinY), ymax = my(c.dMaxY);
        // A column the curve crosses in one direction needs only its ends;
        // one it turns in needs its extremes too.
        const bool oneWay = (c.dMinY == c.dFirstY && c.dMaxY == c.dLastY) || (c.dMaxY == c.dFirstY && c.dMinY == c.dLastY);
        if (!oneWay && std::fabs(ymin - ymax) > tall) {
            endRun();
            double top = std::min(ymin, ymax), bottom = std::max(ymin, ymax);
            if (haveLast) {
                top = std::min(top, lastY);
                bottom = std::max(bottom, lastY);
            }
            shape.bars.push_back(QRectF(cx - lineWidth / 2.0, top, lineWidth, bottom - top));
            lastIsBar = true;
        } else {
            if (lastIsBar) {
                // The bar before reaches down or up to this column's start.
                QRectF& bar = shape.bars.back();
                bar.setTop(std::min(bar.top(), fy));
                bar.setBottom(std::max(bar.bottom(), fy));
            }
            run << QPointF(fx, fy);
            if (!oneWay) {
                if (c.dFirstY <= c.dLastY)
                    run << QPointF(cx, ymin) << QPointF(cx, ymax);
                else
                    run << QPointF(cx, ymax) << QPointF(cx, ymin);
            }
            if (c.dLastX != c.dFirstX || c.dLastY != c.dFirstY)
                run << QPointF(lx, ly);
            lastIsBar = false;
        }
        haveLast = true;
        lastY = ly;
    }
    if (std::isfinite(r.m_dAfterY) && !run.isEmpty())
        run << QPointF(mx(r.m_dAfterX), my(r.m_dAfterY));
    endRun();
    return shape;
}

// Drops the vertices of a polyline that lie within `tolerance` pixels of
// the line the kept ones draw (Douglas-Peucker, run by runs of at most 256
// vertices so that it stays linear). Column extremes that show survive.
QPolygonF Simplify(const QPolygonF& in, double tolerance)
{
    if (in.size() < 3)
        return in;
    QPolygonF out;
    out.reserve(in.size());
    std::vector<char> keep;
    std::vector<std::pair<int, int>> stack;
    const double tol2 = tolerance * tolerance;
    for (int begin = 0; begin + 1 < in.size(); begin += 255) {
        const int end = std::min<int>(begin + 255, int(in.size()) - 1);  // inclusive
        keep.assign(std::size_t(end - begin + 1), 0);
        keep.front() = keep.back() = 1;
        stack.assign(1, {begin, end});
        while (!stack.empty()) {
            const auto [a, b] = stack.back();
            stack.pop_back();
            const QPointF pa = in[a], d = in[b] - pa;
            const double len2 = d.x() * d.x() + d.y() * d.y();
            double worst = -1;
            int at = -1;
            for (int i = a + 1; i < b; ++i) {
                const QPointF v = in[i] - pa;
                double dist2;
                if (len2 == 0) {
                    dist2 = v.x() * v.x() + v.y() * v.y();
                } else {
                    const double t = std::clamp((v.x() * d.x() + v.y() * d.y()) / len2, 0.0, 1.0);
                    const QPointF off = v - d * t;
                    dist2 = off.x() * off.x() + off.y() * off.y();
                }
                if (dist2 > worst) {
                    worst = dist2;
                    at = i;
                }
            }
            if (at >= 0 && worst > tol2) {
                keep[std::size_t(at - begin)] = 1;
                stack.push_back({a, at});
                stack.push_back({at, b});
            }
        }
        for (int i = begin == 0 ? begin : begin + 1; i <= end; ++i)
            if (keep[std::size_t(i - begin)])
                out << in[i];
    }
    return out;
}

// A wide antialiased polyline costs QPainter far more per vertex when it is
// long: drawn in short runs (round caps close the joints between them).
void DrawPolylineInRuns(QPainter& p, const QPolygonF& poly)
{
    constexpr int kRun = 32;
    for (int i = 0; i + 1 < poly.size(); i += kRun)
        p.drawPolyline(poly.constData() + i, std::min<int>(kRun + 1, int(poly.size()) - i));
}

// Text standing upright in `room` (read from the bottom up).
void DrawStandingText(QPainter& p, const QRectF& room, const QString& text)
{
    p.save();
    p.translate(room.center());
    p.rotate(-90);
    p.drawText(QRectF(-room.height() / 2.0, -room.width() / 2.0, room.height(), room.width()), Qt::AlignCenter, text);
    p.restore();
}

// The whole rectangle in the background colour, and the frame around it.
void DrawBackground(QPainter& p, const SGraphLayout& L)
{
    p.fillRect(L.rect, L.crBackground);
    if (L.eContent == SGraphLayout::CONTENT_PLOT)
        p.fillRect(L.plot, L.crPlot);
    if (L.nFrameWidth > 0) {
        p.setPen(QPen(L.crFrame, L.nFrameWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        p.drawRect(L.frameRect);
    }
}

void DrawMessage(QPainter& p, const SGraphLayout& L)
{
    p.setFont(L.font);
    p.setPen(L.crText);
    p.drawText(L.messageRect, Qt::AlignCenter | Qt::TextWordWrap, L.strMessage);
}

// Grid lines at the x ticks and at the ticks of one value axis.
void DrawGrid(QPainter& p, const SGraphLayout& L)
{
    if (!L.bGrid)
        return;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(L.crGrid, 1));
    for (const SGraphLayout::STick& t : L.xAxis.ticks)
        p.drawLine(QPointF(t.dPos, L.plot.top()), QPointF(t.dPos, L.plot.bottom()));
    for (const SGraphLayout::STick& t : L.yAxes[L.nGridAxis].ticks)
        p.drawLine(QPointF(L.plot.left(), t.dPos), QPointF(L.plot.right(), t.dPos));
}

// The x axis's ticks below the plot, their labels and its title.
void DrawXAxis(QPainter& p, const SGraphLayout& L)
{
    const double bottom = L.plot.bottom();
    for (const SGraphLayout::STick& t : L.xAxis.ticks) {
        p.setPen(L.crFrame);
        p.drawLine(QPointF(t.dPos, bottom), QPointF(t.dPos, bottom + L.nTickLength));
        p.setPen(L.crText);
        p.drawText(t.labelRect, Qt::AlignCenter, t.strLabel);
    }
    p.setPen(L.crText);
    p.drawText(L.xAxis.titleRect, Qt::AlignCenter, L.xAxis.strTitle);
}

// Value axis a (0 left, 1 right): ticks outside the plot, labels beside
// them, the title standing at the outer edge.
void DrawValueAxis(QPainter& p, const SGraphLayout& L, int a)
{
    const SGraphLayout::SAxis& ax = L.yAxes[a];
    if (!ax.bUsed)
        return;
    const double edge = a == 0 ? L.plot.left() : L.plot.right();
    const double dir = a == 0 ? -1 : 1;
    const int align = (a == 0 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    for (const SGraphLayout::STick& t : ax.ticks) {
        p.setPen(L.crFrame);
        p.drawLine(QPointF(edge, t.dPos), QPointF(edge + dir * L.nTickLength, t.dPos));
        p.setPen(ax.color);
        p.drawText(t.labelRect, align, t.strLabel);
    }
    p.setPen(ax.color);
    DrawStandingText(p, ax.titleRect, ax.strTitle);
}

// The plot's frame and the three axes.
void DrawAxes(QPainter& p, const SGraphLayout& L)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(L.crFrame, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(L.plot.adjusted(0.5, 0.5, -0.5, -0.5));
    p.setFont(L.font);
    DrawXAxis(p, L);
    DrawValueAxis(p, L, 0);
    DrawValueAxis(p, L, 1);
}

void DrawTitle(QPainter& p, const SGraphLayout& L)
{
    if (L.strTitle.isEmpty())
        return;
    p.setFont(L.titleFont);
    p.setPen(L.crText);
    p.drawText(L.titleRect, Qt::AlignCenter, L.strTitle);
    p.setFont(L.font);
}

void DrawLegend(QPainter& p, const SGraphLayout& L)
{
    if (!L.bLegend)
        return;
    p.setRenderHint(QPainter::Antialiasing, true);
    for (const SGraphLayout::SLegendEntry& e : L.legend) {
        if (e.bMarker) {
            const double r = L.nLineHeight * 0.3;
            p.setPen(QPen(e.color, e.dStrokeWidth));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(e.stroke.center(), r, r);
        } else {
            p.setPen(QPen(e.color, e.dStrokeWidth, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(e.stroke);
        }
        p.setPen(L.crText);
        p.drawText(e.labelRect, Qt::AlignLeft | Qt::AlignVCenter, e.strLabel);
    }
}

void DrawCurve(QPainter& p, const SGraphLayout& L, const SGraphLayout::SCurve& c)
{
    const CCurveReduction& r = c.pCurve->m_Reduced;
    p.setPen(QPen(c.color, c.dLineWidth, Qt::SolidLine, Qt::RoundCap, Qt::BevelJoin));
    p.setBrush(Qt::NoBrush);
    const SCurveShape shape = CurveShape(r, L.xAxis.map, L.yAxes[c.nAxis].map, c.dLineWidth);
    for (const QPolygonF& run : shape.runs)
        if (run.size() > 1)
            DrawPolylineInRuns(p, L.bExactSamples ? run : Simplify(run, 0.25));
    p.setPen(Qt::NoPen);
    p.setBrush(c.color);
    if (!shape.bars.isEmpty()) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.drawRects(shape.bars);
        p.setRenderHint(QPainter::Antialiasing, true);
    }
    // Zoomed in until a sample spans several pixels, or a single sample: a
    // dot on each.
    if (shape.nVertices <= 1 || L.bSampleDots) {
        const double radius = c.dLineWidth * 0.5 + 1.5 * L.dScale;
        for (const QPolygonF& run : shape.runs)
            for (const QPointF& pt : run)
                p.drawEllipse(pt, radius, radius);
    }
}

// The curves, clipped to the plot, in the filter's order.
void DrawCurves(QPainter& p, const SGraphLayout& L)
{
    p.save();
    p.setClipRect(L.plot.adjusted(1, 1, -1, -1));
    p.setRenderHint(QPainter::Antialiasing, true);
    for (const SGraphLayout::SCurve& c : L.curves)
        DrawCurve(p, L, c);
    p.restore();
}

// Every point's mark (a dot in its curve's colour, ringed in the plot's),
// and the marks of the points with a problem (a ring in the warning colour).
void DrawPoints(QPainter& p, const SGraphLayout& L)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(L.crPlot, std::max(1.0, L.dScale)));
    for (const SGraphLayout::SMarker& m : L.pointMarks) {
        p.setBrush(m.color);
        p.drawEllipse(m.centre, m.dRadius, m.dRadius);
    }
    p.setBrush(Qt::NoBrush);
    for (const SGraphLayout::SMarker& m : L.problemMarks) {
        p.setPen(QPen(m.color, 2 * L.dScale));
        p.drawEllipse(m.centre, m.dRadius, m.dRadius);
    }
}

// A box with text lines, on the plot's colour.
void DrawBox(QPainter& p, const SGraphLayout& L, const QRectF& box, const QStringList& lines,
             const std::vector<QColor>& colors)
{
    QColor fill = L.crPlot;
    fill.setAlpha(225);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(L.crFrame, 1));
    p.setBrush(fill);
    p.drawRect(box.adjusted(0.5, 0.5, -0.5, -0.5));
    p.setFont(L.font);
    for (int i = 0; i < lines.size(); ++i) {
        p.setPen(i < int(colors.size()) ? colors[std::size_t(i)] : L.crText);
        p.drawText(QRectF(box.left() + L.nPad / 2.0, box.top() + L.nPad / 4.0 + i * L.nLineHeight,
                          box.width() - L.nPad, L.nLineHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, lines[i]);
    }
}

// A dashed line through the selected sample, a ring on every curve and the
// point's label.
void DrawSelection(QPainter& p, const SGraphLayout& L)
{
    if (!L.bSelection)
        return;
    p.setRenderHint(QPainter::Antialiasing, true);
    QColor line = L.crText;
    line.setAlpha(150);
    p.setPen(QPen(line, std::max(1.0, L.dScale * 0.8), Qt::DashLine));
    p.drawLine(QPointF(L.dSelectionX, L.plot.top()), QPointF(L.dSelectionX, L.plot.bottom()));
    for (const SGraphLayout::SMarker& m : L.markers) {
        p.setPen(QPen(L.crText, 1.5 * L.dScale));
        p.setBrush(m.color);
        p.drawEllipse(m.centre, m.dRadius, m.dRadius);
    }
    if (!L.strSelectionLabel.isEmpty())
        DrawBox(p, L, L.selectionLabelRect, QStringList{L.strSelectionLabel}, {L.crText});
}

// The readout: a thin line through the sample under the mouse, a small ring
// on every curve and the box with the values.
void DrawReadout(QPainter& p, const SGraphLayout& L)
{
    if (!L.bReadout)
        return;
    p.setRenderHint(QPainter::Antialiasing, false);
    QColor line = L.crText;
    line.setAlpha(110);
    p.setPen(QPen(line, 1));
    const double x = std::floor(L.dReadoutX) + 0.5;
    p.drawLine(QPointF(x, L.plot.top() + 1), QPointF(x, L.plot.bottom() - 1));
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::NoBrush);
    for (const SGraphLayout::SMarker& m : L.readoutMarks) {
        p.setPen(QPen(m.color, 1.5 * L.dScale));
        p.drawEllipse(m.centre, m.dRadius + 1, m.dRadius + 1);
    }
    DrawBox(p, L, L.readoutRect, L.readoutLines, L.readoutColors);
}

}  // namespace

void CGraphWindow::Paint(QPainter& p, const QRect& rect)
{
    const SGraphLayout layout = Layout(rect);
    // The x axis as drawn, for the mouse.
    if (layout.eContent == SGraphLayout::CONTENT_PLOT) {
        m_dPlotLeft = layout.plot.left();
        m_dPlotRight = layout.plot.right();
        m_dPlotTop = layout.plot.top();
        m_dPlotBottom = layout.plot.bottom();
        m_dMapP0 = layout.xAxis.map.dP0;
        m_dMapP1 = layout.xAxis.map.dP1;
        m_dMapLo = layout.xAxis.map.dLo;
        m_dMapHi = layout.xAxis.map.dHi;
    } else {
        m_dPlotLeft = m_dPlotRight = m_dMapP0 = m_dMapP1 = 0;
    }
    p.save();
    DrawBackground(p, layout);
    if (layout.eContent == SGraphLayout::CONTENT_MESSAGE) {
        DrawMessage(p, layout);
    } else if (layout.eContent == SGraphLayout::CONTENT_PLOT) {
        DrawGrid(p, layout);
        DrawAxes(p, layout);
        DrawTitle(p, layout);
        DrawLegend(p, layout);
        DrawCurves(p, layout);
        DrawPoints(p, layout);
        DrawSelection(p, layout);
        DrawReadout(p, layout);
    }
    p.restore();
}
