#include "kernel/GraphWindow.h"

#include "kernel/CurveArray.h"
#include "kernel/GraphFilter.h"
#include "platform/DWordArray.h"

#include <QGuiApplication>
#include <QImage>
#include <QFrame>
#include <QPainter>
#include <QWidget>

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

private:
    CGraphWindow* m_pOwner;
};

namespace {

constexpr int kDefaultWidth = 1200;  // the width of a graph drawn for a file
constexpr int kMaxImageSide = 16384;

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
    Reduce(width);
}

void CGraphWindow::Reduce(int nColumns)
{
    m_nColumns = std::max(nColumns, 1);
    if (!m_pFilter)
        return;
    // Curves over the same time series share one test of its order.
    struct SOrder {
        const CCurve* pX;
        int nSamples;
        bool bNonDecreasing;
    };
    std::vector<SOrder> orders;
    for (int i = 0; i < m_pFilter->GetCurveCount(); ++i) {
        CXYCurve* c = m_pFilter->GetCurve(i);
        const CCurve* x = Series(c->m_nXSeries);
        const CCurve* y = Series(c->m_nYSeries);
        if (!x || !y) {
            c->m_Reduced.Clear();
        } else {
            const int n = std::min(x->GetSize(), y->GetSize());
            auto known = std::find_if(orders.begin(), orders.end(),
                                      [&](const SOrder& o) { return o.pX == x && o.nSamples == n; });
            if (known == orders.end())
                known = orders.insert(orders.end(), {x, n, CCurveReduction::IsNonDecreasing(x->GetData(), n)});
            c->m_Reduced.Reduce(x->GetData(), y->GetData(), n, m_nColumns, known->bNonDecreasing);
        }
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
    if (rect.width() != m_nColumns)
        Reduce(rect.width());
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
