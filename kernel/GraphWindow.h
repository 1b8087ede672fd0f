// CGraphWindow: the graph control. It draws the XY curves of a CGraphFilter
// against their series with QPainter: the x axis below, a value axis on the
// left and one on the right (curves of very different magnitudes each get
// their own), ticks at round numbers with their labels, the series labels as
// axis titles and in a legend, and the selected point marked on every curve.
//
// Recalculate reduces every curve to its columns (CCurveReduction, one
// column per pixel of the window's width); painting reads only the columns,
// so a repaint costs the width, never the number of samples. A window whose
// width changes reduces again once, at its next paint.
//
// Painting works on any QPainter: on the window's own canvas widget, or
// offscreen into a QImage (RenderImage), with nothing but a QGuiApplication
// (the "offscreen" platform will do). It comes in two steps: Layout works
// out where everything goes (SGraphLayout), without painting; then small
// draw steps each paint one part of that layout.
//
// The window is a CWnd: SubclassDlgItem(nID, pParent, pFilter) takes over a
// dialog's control in place (a static control the dialog's template keeps
// room for): the graph's canvas takes the control's place, id, rectangle,
// stacking and tab position, keeps its frame (a sunken edge stays a sunken
// edge, drawn around the graph), and the graph draws pFilter's curves. From
// then on GetDlgItem(nID) of the dialog gives this window. Outside a dialog
// (tests, tools) AttachCanvas shows the canvas in any widget.
#pragma once

#include "platform/Wnd.h"
#include "platform/String.h"
#include "platform/Types.h"

class CCurve;
class CDWordArray;
class CGraphCanvas;
class CGraphFilter;
class QImage;
class QPainter;
class QRect;
class QWidget;
struct SGraphLayout;

class CGraphWindow : public CWnd {
public:
    // nStyle: what the graph shows besides the curves.
    enum { GW_GRID = 1, GW_LEGEND = 2 };
    // SelectPoint's first argument: what its second one counts.
    enum { SELECT_POINT = 0, SELECT_SAMPLE = 1 };

    // nStyle: GW_GRID | GW_LEGEND; nFrameWidth: a frame of that many pixels
    // around the whole control (0: none, at most 8).
    explicit CGraphWindow(int nStyle = GW_GRID | GW_LEGEND, int nFrameWidth = 0);
    ~CGraphWindow() override;

    // The point-to-sample table: element i is the sample at which point i is
    // drawn. Set by the window's user; may be null. Only the element of the
    // selected point is ever read, and only inside the table.
    CDWordArray* m_pPointToSample = nullptr;

    // The curves to draw; the window does not own the filter.
    void SetFilter(CGraphFilter* pFilter);
    CGraphFilter* GetFilter() const { return m_pFilter; }

    // Takes over control nID of pParent (above) and draws pFilter's curves.
    // FALSE, changing nothing, when pParent has no such control or the
    // window already has a canvas.
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent, CGraphFilter* pFilter);
    using CWnd::SubclassDlgItem;

    // Shows the window's canvas as a child of pParent at rect (in pParent's
    // coordinates). FALSE without a parent. Needs a QApplication.
    BOOL AttachCanvas(QWidget* pParent, const QRect& rect);
    QWidget* GetCanvas() const;

    // Marks a point: SelectPoint(SELECT_POINT, i) the sample of point i from
    // the point-to-sample table, SelectPoint(SELECT_SAMPLE, s) sample s; a
    // negative index, or another first argument, marks nothing. Nothing is
    // marked either while the point lies outside the table or the sample
    // outside a curve's series. Repaints the canvas later.
    void SelectPoint(int nMode, int nIndex);
    int GetSelectedPoint() const { return m_nSelected; }
    // The sample the selection marks on at least one curve, or -1.
    int GetSelectedSample() const;

    // A non-empty message is shown in place of the curves (for instance
    // that the trajectory is too long to draw); an empty one shows the
    // curves again. Repaints the canvas later.
    void SetMessage(const CString& strMessage);
    const CString& GetMessage() const { return m_strMessage; }

    // Takes in the series as they are now: reduces every curve of the
    // filter at the canvas's width (without a canvas: the width last drawn
    // at, at first 1200) and computes its limits.
    virtual void Recalculate();
    // Repaints the canvas now, when it is shown.
    void RefreshWindow();

    // Paints the whole graph into rect. Reduces again first when rect is not
    // as wide as the last reduction.
    void Draw(QPainter& painter, const QRect& rect);
    // The graph drawn offscreen at nWidth x nHeight pixels (1 ... 16384 each);
    // a null image for another size or without a QGuiApplication.
    QImage RenderImage(int nWidth, int nHeight);

    // Where everything goes when the graph is drawn into rect, from the
    // curves as last reduced (Draw reduces again first when rect is not as
    // wide): every curve is asked for its limits (ComputeLimits) and the
    // selection is looked up as painting does, but nothing is painted.
    // Needs a QGuiApplication for its fonts; without one the layout is the
    // background alone.
    SGraphLayout Layout(const QRect& rect) const;

    // The width (columns) of the last reduction; 0 before the first.
    int GetReducedWidth() const { return m_nColumns; }

private:
    friend class CGraphCanvas;

    void Reduce(int nColumns);
    CCurve* Series(int nIndex) const;
    int SelectedSampleIndex() const;  // from the table, before any series check
    void LayoutCurves(SGraphLayout& layout) const;
    void LayoutSelection(SGraphLayout& layout) const;
    void Paint(QPainter& painter, const QRect& rect);

    CGraphFilter* m_pFilter = nullptr;
    CGraphCanvas* m_pCanvas = nullptr;
    CString m_strMessage;
    int m_nStyle;
    int m_nFrameWidth;
    int m_nSelectMode = SELECT_POINT;
    int m_nSelected = -1;
    int m_nColumns = 0;
};
