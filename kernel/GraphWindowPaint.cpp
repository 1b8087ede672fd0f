// CGraphWindow: painting the graph from the reduced curves.
#include "kernel/GraphWindow.h"

#include "kernel/Curve.h"
#include "kernel/CurveArray.h"
#include "kernel/GraphAxis.h"
#include "kernel/GraphFilter.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

QColor ToQColor(COLORREF c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }

QColor Mix(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

bool IsDark(const QColor& c) { return 0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue() < 128; }

QString ToQString(const CString& s) { return QString::fromUtf8(s.GetString(), s.GetLength()); }

// A linear map from an axis range to pixels; results stay within a range
// that QPainter handles however far outside the axis a value lies.
struct SMap {
    double dLo = 0, dHi = 1;  // axis range
    double dP0 = 0, dP1 = 1;  // pixels of dLo and dHi
    double operator()(double v) const
    {
        const double t = (v * 0.5 - dLo * 0.5) / (dHi * 0.5 - dLo * 0.5);
        const double p = dP0 + (dP1 - dP0) * t;
        return std::isfinite(p) ? std::clamp(p, -1e5, 1e5) : 0;
    }
};

struct SAxis {
    bool bUsed = false;
    double dMin = 0, dMax = 0;  // the data on it
    double dLo = 0, dHi = 1;    // its range
    double dStep = 0;
    std::vector<double> ticks;
    std::vector<QString> labels;
    int nLabelWidth = 0;
    QString strTitle;
    QColor color;
    SMap map;

    void Take(double lo, double hi)
    {
        dMin = bUsed ? std::min(dMin, lo) : lo;
        dMax = bUsed ? std::max(dMax, hi) : hi;
        bUsed = true;
    }
    void MakeTicks(double lo, double hi, int maxTicks, const QFontMetrics& fm)
    {
        ticks = CGraphAxis::Ticks(lo, hi, maxTicks);
        dStep = CGraphAxis::ChooseStep(lo, hi, maxTicks);
        labels.clear();
        nLabelWidth = 0;
        double magnitude = 0;
        for (double t : ticks)
            magnitude = std::max(magnitude, std::fabs(t));
        for (double t : ticks) {
            labels.push_back(ToQString(CGraphAxis::FormatTick(t, dStep, magnitude)));
            nLabelWidth = std::max(nLabelWidth, fm.horizontalAdvance(labels.back()));
        }
    }
};

struct SItem {
    const CXYCurve* pCurve;
    const CCurve* pX;
    const CCurve* pY;
    int nAxis;  // 0 left, 1 right
    QColor color;
    QString strLabel;
    int nLineWidth;
};

QString SeriesLabel(const CCurve* pSeries, int nIndex)
{
    if (pSeries && !pSeries->m_strLabel.IsEmpty())
        return ToQString(pSeries->m_strLabel);
    return QString("Series %1").arg(nIndex);
}

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

SCurveShape CurveShape(const CCurveReduction& r, const SMap& mx, const SMap& my, int lineWidth)
{
    SCurveShape shape;
    QPolygonF run;
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

void DrawRotatedText(QPainter& p, double cx, double cy, int length, int height, const QString& text)
{
    p.save();
    p.translate(cx, cy);
    p.rotate(-90);
    p.drawText(QRectF(-length / 2.0, -height / 2.0, length, height), Qt::AlignCenter, text);
    p.restore();
}

}  // namespace

void CGraphWindow::Paint(QPainter& p, const QRect& rect)
{
    p.save();
    const QColor bg = ToQColor(m_pFilter ? m_pFilter->m_crBackground : RGB16(CR16_NIGHT));
    const QColor grid = ToQColor(m_pFilter ? m_pFilter->m_crGrid : RGB16(CR16_SLATE));
    const QColor text = IsDark(bg) ? QColor(222, 226, 232) : QColor(28, 32, 38);
    const QColor frame = Mix(grid, text, 0.35);
    p.fillRect(rect, bg);
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        p.restore();  // no fonts without one
        return;
    }
    QRect area = rect;
    if (m_nFrameWidth > 0) {
        p.setPen(QPen(frame, m_nFrameWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        const double h = m_nFrameWidth / 2.0;
        p.drawRect(QRectF(rect).adjusted(h, h, -h, -h));
        area = rect.adjusted(m_nFrameWidth, m_nFrameWidth, -m_nFrameWidth, -m_nFrameWidth);
    }

    // Font size follows the graph's size: readable in a dialog, not lost in
    // a big picture.
    QFont font = QGuiApplication::font();
    const double size = std::min(area.width() / 27.0, area.height() / 16.0);
    font.setPixelSize(int(std::clamp(std::round(size), 9.0, 16.0)));
    p.setFont(font);
    const QFontMetrics fm(font);
    const int lh = fm.height();
    const int pad = std::max(3, lh / 3);
    const int tickLen = std::max(3, lh / 3);
    const int charW = std::max(1, fm.averageCharWidth());

    // What there is to draw.
    std::vector<SItem> items;
    if (m_pFilter) {
        for (int i = 0; i < m_pFilter->GetCurveCount(); ++i) {
            CXYCurve* c = m_pFilter->GetCurve(i);
            if (!c->ComputeLimits())
                continue;
            const CCurve* x = Series(c->m_nXSeries);
            const CCurve* y = Series(c->m_nYSeries);
            if (!x || !y)
                continue;
            items.push_back({c, x, y, c->m_nAxis == CXYCurve::AXIS_RIGHT ? 1 : 0, ToQColor(c->m_crColor),
                             SeriesLabel(y, c->m_nYSeries), std::clamp(c->m_nLineWidth, 1, 8)});
        }
    }
    QString message = ToQString(m_strMessage);
    if (message.isEmpty() && items.empty())
        message = m_pFilter && !m_pFilter->m_strEmptyText.IsEmpty() ? ToQString(m_pFilter->m_strEmptyText)
                                                                     : QString("No samples to draw.");
    if (!message.isEmpty()) {
        p.setPen(text);
        p.drawText(area.adjusted(pad, pad, -pad, -pad), Qt::AlignCenter | Qt::TextWordWrap, message);
        p.restore();
        return;
    }

    // Axes and their data.
    SAxis xAxis, yAxes[2];
    for (const SItem& it : items) {
        xAxis.Take(it.pCurve->m_dXMin, it.pCurve->m_dXMax);
        yAxes[it.nAxis].Take(it.pCurve->m_dYMin, it.pCurve->m_dYMax);
    }
    CGraphAxis::RangeFor(xAxis.dMin, xAxis.dMax, 0.0, xAxis.dLo, xAxis.dHi);
    for (int a = 0; a < 2; ++a) {
        SAxis& ax = yAxes[a];
        if (!ax.bUsed)
            continue;
        CGraphAxis::RangeFor(ax.dMin, ax.dMax, 0.05, ax.dLo, ax.dHi);
        int onAxis = 0;
        for (const SItem& it : items) {
            if (it.nAxis != a)
                continue;
            ax.strTitle += (onAxis++ ? ", " : "") + it.strLabel;
            ax.color = it.color;
        }
        if (onAxis > 1)
            ax.color = text;
    }
    xAxis.color = text;
    xAxis.strTitle = m_pFilter && !m_pFilter->m_strXTitle.IsEmpty() ? ToQString(m_pFilter->m_strXTitle)
                                                                     : SeriesLabel(items[0].pX, items[0].pCurve->m_nXSeries);

    // Layout, from the top: title, legend, plot, x tick labels, x title.
    const QString title = m_pFilter ? ToQString(m_pFilter->m_strTitle) : QString();
    const bool legend = (m_nStyle & GW_LEGEND) != 0;
    int top = area.top() + pad;
    QRect titleRect, legendRect;
    if (!title.isEmpty()) {
        titleRect = QRect(area.left() + pad, top, area.width() - 2 * pad, lh);
        top += lh + pad / 2;
    }
    if (legend) {
        legendRect = QRect(area.left() + pad, top, area.width() - 2 * pad, lh);
        top += lh + pad;
    } else {
        top += lh / 2;  // room for the half of the top tick label
    }
    const int bottom = area.bottom() + 1 - pad - lh - pad / 2 - lh - tickLen;
    const int plotH = bottom - top;
    const int yMaxTicks = std::clamp(int(plotH / (lh * 1.7)), 2, 12);
    for (SAxis& ax : yAxes)
        if (ax.bUsed)
            ax.MakeTicks(ax.dLo, ax.dHi, yMaxTicks, fm);
    // Sides: title, tick labels, ticks; a side without an axis keeps room
    // for half an x tick label.
    const int bare = pad + 3 * charW;
    auto sideWidth = [&](const SAxis& ax) { return ax.bUsed ? pad + lh + pad / 2 + ax.nLabelWidth + tickLen + 2 : bare; };
    const int plotLeft = area.left() + sideWidth(yAxes[0]);
    const int plotRight = area.right() + 1 - sideWidth(yAxes[1]);
    const int plotW = plotRight - plotLeft;
    if (plotW < 8 || plotH < 8) {
        p.restore();  // too small for a graph
        return;
    }
    const QRectF plot(plotLeft, top, plotW, plotH);

    // x ticks: as many as fit with their labels apart.
    int xMaxTicks = std::clamp(plotW / (charW * 7), 2, 16);
    for (;;) {
        xAxis.MakeTicks(xAxis.dLo, xAxis.dHi, xMaxTicks, fm);
        const double spacing = xAxis.dStep / (xAxis.dHi - xAxis.dLo) * (plotW - 2 * 5);
        if (xMaxTicks <= 2 || xAxis.ticks.size() < 2 || spacing >= xAxis.nLabelWidth + 2 * charW)
            break;
        xMaxTicks = std::min<int>(xMaxTicks, int(xAxis.ticks.size())) - 1;
    }
    // The curves' first and last samples stay clear of the frame, dots and all.
    int inset = 2;
    for (const SItem& it : items)
        inset = std::max(inset, it.nLineWidth + 3);
    xAxis.map = SMap{xAxis.dLo, xAxis.dHi, plot.left() + inset, plot.right() - inset};
    for (SAxis& ax : yAxes)
        ax.map = SMap{ax.dLo, ax.dHi, plot.bottom(), plot.top()};

    // Grid at the x ticks and the ticks of the first value axis.
    if (m_nStyle & GW_GRID) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(grid, 1));
        for (double t : xAxis.ticks) {
            const double x = std::floor(xAxis.map(t)) + 0.5;
            p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        }
        const SAxis& primary = yAxes[0].bUsed ? yAxes[0] : yAxes[1];
        for (double t : primary.ticks) {
            const double y = std::floor(primary.map(t)) + 0.5;
            p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        }
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(frame, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot.adjusted(0.5, 0.5, -0.5, -0.5));

    // Ticks, tick labels, axis titles.
    const int labelTop = bottom + tickLen + 1;
    for (std::size_t i = 0; i < xAxis.ticks.size(); ++i) {
        const double x = std::floor(xAxis.map(xAxis.ticks[i])) + 0.5;
        p.setPen(frame);
        p.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + tickLen));
        p.setPen(text);
        const int w = fm.horizontalAdvance(xAxis.labels[i]);
        const double left = std::clamp(x - w / 2.0, double(area.left() + 1), double(area.right() - w));
        p.drawText(QRectF(left, labelTop, w + 1, lh), Qt::AlignCenter, xAxis.labels[i]);
    }
    p.setPen(text);
    p.drawText(QRectF(plot.left(), labelTop + lh + pad / 2.0, plot.width(), lh), Qt::AlignCenter,
               fm.elidedText(xAxis.strTitle, Qt::ElideRight, int(plot.width())));
    for (int a = 0; a < 2; ++a) {
        const SAxis& ax = yAxes[a];
        if (!ax.bUsed)
            continue;
        const double edge = a == 0 ? plot.left() : plot.right();
        const double dir = a == 0 ? -1 : 1;
        for (std::size_t i = 0; i < ax.ticks.size(); ++i) {
            const double y = std::floor(ax.map(ax.ticks[i])) + 0.5;
            p.setPen(frame);
            p.drawLine(QPointF(edge, y), QPointF(edge + dir * tickLen, y));
            p.setPen(ax.color);
            const double labelEdge = edge + dir * (tickLen + 2);
            const QRectF box = a == 0 ? QRectF(labelEdge - ax.nLabelWidth, y - lh / 2.0, ax.nLabelWidth, lh)
                                      : QRectF(labelEdge, y - lh / 2.0, ax.nLabelWidth, lh);
            p.drawText(box, (a == 0 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, ax.labels[i]);
        }
        const double titleX = a == 0 ? area.left() + pad + lh / 2.0 : area.right() + 1 - pad - lh / 2.0;
        p.setPen(ax.color);
        DrawRotatedText(p, titleX, plot.center().y(), plotH, lh, fm.elidedText(ax.strTitle, Qt::ElideRight, plotH));
    }

    if (!title.isEmpty()) {
        QFont bold = font;
        bold.setBold(true);
        p.setFont(bold);
        p.setPen(text);
        p.drawText(titleRect, Qt::AlignCenter, QFontMetrics(bold).elidedText(title, Qt::ElideRight, titleRect.width()));
        p.setFont(font);
    }
    if (legend) {
        // One entry per curve: a stroke in its colour and its label, centred.
        const int stroke = 2 * lh, gap = pad, spacing = 3 * pad;
        const int count = int(items.size());
        const int room = (legendRect.width() - (count - 1) * spacing) / count - stroke - gap;
        std::vector<QString> labels;
        int total = (count - 1) * spacing;
        for (const SItem& it : items) {
            labels.push_back(fm.elidedText(it.strLabel, Qt::ElideRight, std::max(room, 0)));
            total += stroke + gap + fm.horizontalAdvance(labels.back());
        }
        double x = legendRect.left() + std::max(0, legendRect.width() - total) / 2.0;
        const double cy = legendRect.center().y() + 0.5;
        p.setRenderHint(QPainter::Antialiasing, true);
        for (std::size_t i = 0; i < items.size(); ++i) {
            p.setPen(QPen(items[i].color, std::max(2, items[i].nLineWidth), Qt::SolidLine, Qt::FlatCap));
            p.drawLine(QPointF(x, cy), QPointF(x + stroke, cy));
            x += stroke + gap;
            p.setPen(text);
            const int w = fm.horizontalAdvance(labels[i]);
            p.drawText(QRectF(x, legendRect.top(), w + 1, lh), Qt::AlignLeft | Qt::AlignVCenter, labels[i]);
            x += w + spacing;
        }
    }

    // The curves, clipped to the plot, in the filter's order.
    p.save();
    p.setClipRect(plot.adjusted(1, 1, -1, -1));
    p.setRenderHint(QPainter::Antialiasing, true);
    for (const SItem& it : items) {
        const CCurveReduction& r = it.pCurve->m_Reduced;
        const SMap& my = yAxes[it.nAxis].map;
        p.setPen(QPen(it.color, it.nLineWidth, Qt::SolidLine, Qt::RoundCap, Qt::BevelJoin));
        p.setBrush(Qt::NoBrush);
        const SCurveShape shape = CurveShape(r, xAxis.map, my, it.nLineWidth);
        for (const QPolygonF& run : shape.runs)
            if (run.size() > 1)
                DrawPolylineInRuns(p, Simplify(run, 0.25));
        p.setPen(Qt::NoPen);
        p.setBrush(it.color);
        if (!shape.bars.isEmpty()) {
            p.setRenderHint(QPainter::Antialiasing, false);
            p.drawRects(shape.bars);
            p.setRenderHint(QPainter::Antialiasing, true);
        }
        // Few samples: show each of them.
        if (shape.nVertices <= 1 || r.GetSampleCount() * 8 <= plotW) {
            const double radius = it.nLineWidth + 1.5;
            for (const QPolygonF& run : shape.runs)
                for (const QPointF& pt : run)
                    p.drawEllipse(pt, radius, radius);
        }
    }
    p.restore();

    // The selected point at its sample on every curve that has it.
    const int s = SelectedSampleIndex();
    if (s >= 0) {
        bool lineDrawn = false;
        p.setRenderHint(QPainter::Antialiasing, true);
        for (const SItem& it : items) {
            if (s >= std::min(it.pX->GetSize(), it.pY->GetSize()))
                continue;
            const double xv = it.pX->GetAt(s), yv = it.pY->GetAt(s);
            if (!std::isfinite(xv) || !std::isfinite(yv))
                continue;
            const QPointF pt(xAxis.map(xv), yAxes[it.nAxis].map(yv));
            if (!lineDrawn) {
                QColor c = text;
                c.setAlpha(150);
                p.setPen(QPen(c, 1, Qt::DashLine));
                p.drawLine(QPointF(pt.x(), plot.top()), QPointF(pt.x(), plot.bottom()));
                lineDrawn = true;
            }
            const double radius = std::max({4.0, it.nLineWidth + 3.0, lh * 0.3});
            p.setPen(QPen(text, 1.5));
            p.setBrush(it.color);
            p.drawEllipse(pt, radius, radius);
        }
    }
    p.restore();
}
