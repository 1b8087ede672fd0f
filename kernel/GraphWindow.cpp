#include "kernel/GraphWindow.h"

#include "kernel/CurveArray.h"
#include "kernel/Curve.h"
#include "kernel/GraphFilter.h"
#include "kernel/XYCurve.h"
#include "platform/DWordArray.h"

#include <QGuiApplication>
#include <QImage>
#include <QFrame>
#include <QPainter>
#include <QWidget>
#include <QWheelEvent>
#include <QMouseEvent>

#include <cmath>

#include <algorithm>
#include <climits>
#include <utility>
#include <vector>

// The window's canvas: a frame (none, or the frame of the control it took
// over) around the graph, whose painting is the window's.
class CGraphCanvas final : public QFrame {
public:
    CGraphCanvas(CGraphWindow* pOwner, QWidget* pParent) : QFrame(pParent), m_pOwner(pOwner)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);  // the frame and Draw fill every pixel
        setFrameStyle(QFrame::NoFrame);
        // The mouse only: the keyboard stays with the dialog's fields and
        // buttons (Escape, Enter), whatever is clicked or scrolled here.
        setFocusPolicy(Qt::NoFocus);
        setMouseTracking(true);
    }
    ~CGraphCanvas() override
    {
        if (m_pOwner)
            m_pOwner->m_pCanvas = nullptr;  // deleted with its parent before the window
    }
    void Detach() { m_pOwner = nullptr; }

protected:
    void paintEvent(QPaintEvent* e) override
    {
        if (!m_pOwner)
            return;
        QFrame::paintEvent(e);  // the frame only
        QPainter painter(this);
        m_pOwner->Draw(painter, contentsRect());
    }

    void wheelEvent(QWheelEvent* e) override
    {
        const int notches = e->angleDelta().y();
        if (!m_pOwner || notches == 0) {
            e->ignore();
            return;
        }
        // One notch (120) zooms in by a fifth; a finer wheel in proportion.
        m_pOwner->ZoomAt(e->position().x(), std::pow(0.8, notches / 120.0));
        m_pOwner->HoverAt(e->position().x(), e->position().y());
        e->accept();
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton) {
            m_bDragging = true;
            m_dDragX = e->position().x();
            setCursor(Qt::ClosedHandCursor);
        }
        e->accept();
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        if (!m_pOwner)
            return;
        if (m_bDragging && (e->buttons() & Qt::LeftButton)) {
            m_pOwner->PanBy(e->position().x() - m_dDragX);
            m_dDragX = e->position().x();
        }
        m_pOwner->HoverAt(e->position().x(), e->position().y());
        e->accept();
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton && m_bDragging) {
            m_bDragging = false;
            unsetCursor();
        }
        e->accept();
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        if (m_pOwner && e->button() == Qt::LeftButton)
            m_pOwner->ResetView();
        e->accept();
    }
    void leaveEvent(QEvent* e) override
    {
        if (m_pOwner)
            m_pOwner->EndHover();
        QFrame::leaveEvent(e);
    }

private:
    CGraphWindow* m_pOwner;
    bool m_bDragging = false;
    double m_dDragX = 0;
};

namespace {

constexpr int kDefaultWidth = 1200;  // the width of a graph drawn for a file
constexpr int kMaxImageSide = 16384;
constexpr double kMinViewSamples = 4;  // the narrowest view spans this many samples

}  // namespace

CGraphWindow::CGraphWindow(int nStyle, int nFrameWidth)
    : m_nStyle(nStyle), m_nFrameWidth(std::clamp(nFrameWidth, 0, 8))
{
}

CGraphWindow::~CGraphWindow()
{
    if (CGraphCanvas* canvas = std::exchange(m_pCanvas, nullptr)) {
        canvas->Detach();
        delete canvas;
    }
}

void CGraphWindow::SetFilter(CGraphFilter* pFilter)
{
    m_pFilter = pFilter;
    m_nColumns = 0;  // the next paint reduces the new filter's curves
    m_bZoomed = false;
    m_nHover = -1;
}

BOOL CGraphWindow::SubclassDlgItem(UINT nID, CWnd* pParent, CGraphFilter* pFilter)
{
    const CWnd* item = pParent ? pParent->GetDlgItem(static_cast<int>(nID)) : nullptr;
    QWidget* control = item ? item->GetWidget() : nullptr;
    if (!control || m_pCanvas || GetSafeHwnd())
        return FALSE;
    auto* canvas = new CGraphCanvas(this, nullptr);
    // The control's look around the graph: a sunken client edge stays.
    if (const auto* frame = qobject_cast<const QFrame*>(control)) {
        canvas->setFrameStyle(frame->frameStyle());
        canvas->setLineWidth(frame->lineWidth());
        canvas->setMidLineWidth(frame->midLineWidth());
    }
    m_pCanvas = canvas;
    if (!ReplaceDlgItem(nID, pParent, canvas)) {  // deletes the canvas
        m_pCanvas = nullptr;
        return FALSE;
    }
    SetFilter(pFilter);
    return TRUE;
}

BOOL CGraphWindow::AttachCanvas(QWidget* pParent, const QRect& rect)
{
    if (!pParent)
        return FALSE;
    if (!m_pCanvas)
        m_pCanvas = new CGraphCanvas(this, pParent);
    else if (m_pCanvas->parentWidget() != pParent)
        m_pCanvas->setParent(pParent);
    m_pCanvas->setGeometry(rect);
    m_pCanvas->show();
    return TRUE;
}

QWidget* CGraphWindow::GetCanvas() const { return m_pCanvas; }

void CGraphWindow::SelectPoint(int nMode, int nIndex)
{
    m_nSelectMode = nMode;
    m_nSelected = nIndex < 0 ? -1 : nIndex;
    if (m_pCanvas)
        m_pCanvas->update();
}

void CGraphWindow::Changed()
{
    if (m_pCanvas)
        m_pCanvas->update();
}

void CGraphWindow::SetTheme(int nTheme)
{
    m_nTheme = nTheme == THEME_DARK ? THEME_DARK : THEME_LIGHT;
    Changed();
}

void CGraphWindow::SetProblems(const std::vector<int>& nPoints, const CString& strReason)
{
    m_nProblems = nPoints;
    m_strProblem = strReason;
    Changed();
}

void CGraphWindow::ClampView()
{
    if (!m_bZoomed)
        return;
    const double full = m_dDataHi - m_dDataLo;
    const double least = std::min(full, kMinViewSamples * m_dSampleStep);
    double span = std::max(m_dViewHi - m_dViewLo, least);
    if (!(full > 0) || !std::isfinite(span) || span >= full) {
        m_bZoomed = false;
        return;
    }
    double lo = std::clamp(m_dViewLo, m_dDataLo, m_dDataHi - span);
    m_dViewLo = lo;
    m_dViewHi = lo + span;
}

void CGraphWindow::SetView(double dLo, double dHi)
{
    if (!std::isfinite(dLo) || !std::isfinite(dHi) || !(dLo < dHi)) {
        ResetView();
        return;
    }
    m_bZoomed = true;
    m_dViewLo = dLo;
    m_dViewHi = dHi;
    ClampView();
    m_bViewDirty = true;
    Changed();
}

void CGraphWindow::ResetView()
{
    m_bZoomed = false;
    m_bViewDirty = true;
    Changed();
}

void CGraphWindow::ZoomAt(double dPixelX, double dFactor)
{
    if (!(m_dMapP1 > m_dMapP0) || !(m_dMapHi > m_dMapLo) || !std::isfinite(dFactor) || !(dFactor > 0))
        return;
    const double px = std::clamp(dPixelX, m_dMapP0, m_dMapP1);
    const double at = m_dMapLo + (px - m_dMapP0) / (m_dMapP1 - m_dMapP0) * (m_dMapHi - m_dMapLo);
    SetView(at - (at - m_dMapLo) * dFactor, at + (m_dMapHi - at) * dFactor);
}

void CGraphWindow::PanBy(double dPixels)
{
    if (!m_bZoomed || !(m_dMapP1 > m_dMapP0) || !std::isfinite(dPixels))
        return;
    const double shift = dPixels / (m_dMapP1 - m_dMapP0) * (m_dViewHi - m_dViewLo);
    SetView(m_dViewLo - shift, m_dViewHi - shift);
}

const CCurve* CGraphWindow::XSeries() const
{
    const CXYCurve* c = m_pFilter ? m_pFilter->GetCurve(0) : nullptr;
    return c ? Series(c->m_nXSeries) : nullptr;
}

void CGraphWindow::HoverAt(double dPixelX, double dPixelY)
{
    const int before = m_nHover;
    m_nHover = -1;
    const CCurve* x = XSeries();
    if (x && x->GetSize() > 0 && dPixelX >= m_dPlotLeft && dPixelX <= m_dPlotRight && dPixelY >= m_dPlotTop &&
        dPixelY <= m_dPlotBottom && m_dMapP1 > m_dMapP0 &&
        CCurveReduction::IsNonDecreasing(x->GetData(), std::min(x->GetSize(), 2))) {
        const double v = m_dMapLo + (dPixelX - m_dMapP0) / (m_dMapP1 - m_dMapP0) * (m_dMapHi - m_dMapLo);
        const double* data = x->GetData();
        const int n = x->GetSize();
        const int i = static_cast<int>(std::lower_bound(data, data + n, v) - data);
        // The nearer of the samples on either side.
        int s = std::min(i, n - 1);
        if (s > 0 && (i >= n || std::fabs(data[s - 1] - v) <= std::fabs(data[s] - v)))
            s -= 1;
        m_nHover = s;
    }
    if (m_nHover != before)
        Changed();
}

void CGraphWindow::EndHover()
{
    if (m_nHover >= 0) {
        m_nHover = -1;
        Changed();
    }
}

void CGraphWindow::SetMessage(const CString& strMessage)
{
    m_strMessage = strMessage;
    if (m_pCanvas)
        m_pCanvas->update();
}

CCurve* CGraphWindow::Series(int nIndex) const
{
    if (!m_pFilter || !m_pFilter->m_pCurves || nIndex < 0 || nIndex >= m_pFilter->m_pCurves->GetSize())
        return nullptr;
    return m_pFilter->m_pCurves->GetAt(nIndex);
}

int CGraphWindow::SelectedSampleIndex() const
{
    if (m_nSelected < 0)
        return -1;
    if (m_nSelectMode == SELECT_SAMPLE)
        return m_nSelected;
    if (m_nSelectMode != SELECT_POINT || !m_pPointToSample || m_nSelected >= m_pPointToSample->GetSize())
        return -1;
    const DWORD sample = m_pPointToSample->GetAt(m_nSelected);
    return sample > static_cast<DWORD>(INT_MAX) ? -1 : static_cast<int>(sample);
}

int CGraphWindow::GetSelectedSample() const
{
    const int s = SelectedSampleIndex();
    if (s < 0 || !m_pFilter)
        return -1;
    for (int i = 0; i < m_pFilter->GetCurveCount(); ++i) {
        const CXYCurve* c = m_pFilter->GetCurve(i);
        const CCurve* x = Series(c->m_nXSeries);
        const CCurve* y = Series(c->m_nYSeries);
        if (x && y && s < std::min(x->GetSize(), y->GetSize()))
            return s;
    }
    return -1;
}

void CGraphWindow::Recalculate()
{
    int width = m_nColumns > 0 ? m_nColumns : kDefaultWidth;
    if (m_pCanvas && m_pCanvas->contentsRect().width() > 0)
        width = m_pCanvas->contentsRect().width();
    Reduce(width, true);
}

// The kept points: the leading entries of the table that go up strictly and
// lie inside the x series. Entries after them are left over from a longer
// table (a rebuild leaves them) and are not points.
void CGraphWindow::CountPoints()
{
    m_nPoints = 0;
    const CCurve* x = XSeries();
    if (!m_pPointToSample || !x)
        return;
    const int n = static_cast<int>(m_pPointToSample->GetSize());
    const DWORD size = static_cast<DWORD>(x->GetSize());
    long long last = -1;
    while (m_nPoints < n) {
        const DWORD s = m_pPointToSample->GetAt(m_nPoints);
        if (s >= size || static_cast<long long>(s) <= last)
            break;
        last = s;
        ++m_nPoints;
    }
}

void CGraphWindow::Reduce(int nColumns, bool bRebuild)
{
    m_nColumns = std::max(nColumns, 1);
    m_bViewDirty = false;
    if (!m_pFilter)
        return;
    // Curves over the same time series share one test of its order.
    struct SOrder {
        const CCurve* pX;
        int nSamples;
        bool bNonDecreasing;
    };
    std::vector<SOrder> orders;
    bool any = false;
    double lo = 0, hi = 0;
    long long samples = 0;
    for (int i = 0; i < m_pFilter->GetCurveCount(); ++i) {
        CXYCurve* c = m_pFilter->GetCurve(i);
        const CCurve* x = Series(c->m_nXSeries);
        const CCurve* y = Series(c->m_nYSeries);
        if (!x || !y) {
            c->m_Reduced.Clear();
            continue;
        }
        const int n = std::min(x->GetSize(), y->GetSize());
        if (bRebuild || !c->m_Reduced.IsBuiltFrom(x->GetData(), y->GetData(), n)) {
            auto known = std::find_if(orders.begin(), orders.end(),
                                      [&](const SOrder& o) { return o.pX == x && o.nSamples == n; });
            if (known == orders.end())
                known = orders.insert(orders.end(), {x, n, CCurveReduction::IsNonDecreasing(x->GetData(), n)});
            c->m_Reduced.Build(x->GetData(), y->GetData(), n, known->bNonDecreasing);
        }
        if (n > 0) {
            lo = any ? std::min(lo, c->m_Reduced.GetDataXMin()) : c->m_Reduced.GetDataXMin();
            hi = any ? std::max(hi, c->m_Reduced.GetDataXMax()) : c->m_Reduced.GetDataXMax();
            samples = std::max<long long>(samples, n);
            any = true;
        }
    }
    m_dDataLo = lo;
    m_dDataHi = hi;
    m_dSampleStep = samples > 1 ? (hi - lo) / double(samples - 1) : 0;
    ClampView();
    if (bRebuild)
        CountPoints();
    for (int i = 0; i < m_pFilter->GetCurveCount(); ++i) {
        CXYCurve* c = m_pFilter->GetCurve(i);
        if (m_bZoomed)
            c->m_Reduced.ReduceRange(m_nColumns, m_dViewLo, m_dViewHi);
        else
            c->m_Reduced.ReduceRange(m_nColumns, m_dDataLo, m_dDataHi);
        c->ComputeLimits();
    }
}

void CGraphWindow::RefreshWindow()
{
    if (m_pCanvas && m_pCanvas->isVisible())
        m_pCanvas->repaint();
}

void CGraphWindow::Draw(QPainter& painter, const QRect& rect)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    if (rect.width() != m_nColumns || m_bViewDirty)
        Reduce(rect.width(), false);
    Paint(painter, rect);
}

QImage CGraphWindow::RenderImage(int nWidth, int nHeight)
{
    if (nWidth < 1 || nHeight < 1 || nWidth > kMaxImageSide || nHeight > kMaxImageSide ||
        !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return QImage();
    QImage image(nWidth, nHeight, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;  // no memory for it
    QPainter painter(&image);
    Draw(painter, QRect(0, 0, nWidth, nHeight));
    painter.end();
    return image;
}
