// CGraphWindow: the graph control. It draws the XY curves of a CGraphFilter
// against their series with QPainter: the x axis below, a value axis on the
// left and one on the right (curves of very different magnitudes each get
// their own), ticks at round numbers with their labels, the series labels as
// axis titles and in a legend, and the selected point marked on every curve.
//
// Recalculate builds every curve's multi-level min/max summary
// (CCurveReduction, linear in the samples) and reduces the x range in view
// to its columns (one per pixel of the window's width); painting reads only
// the columns, so a repaint, zoomed or not, costs the width (times a
// logarithm of the samples when the view changes), never the number of
// samples. A window whose width or view changes reduces again at its next
// paint.
//
// Looks: THEME_LIGHT (the default) follows the palette of the widget the
// graph is in (the application's offscreen): the window's background
// around the plot, the base colour inside it, the window's text colour for
// text; THEME_DARK paints with the filter's two colours as a dark panel.
// Curve colours too close to the plot's background are moved away from it
// (darkened on a light one, lightened on a dark one) until they contrast.
// Sizes follow the picture: fonts, lines and markers grow with it.
//
// Under the mouse (the canvas takes no keyboard focus): the wheel zooms the
// x axis around the cursor, dragging pans, a double click shows the whole
// range again; the value axes fit the samples in view. Moving over the plot
// shows a thin vertical cursor and a readout of the sample under it.
//
// Points: every kept point of the point-to-sample table (its leading
// entries that go up strictly and lie inside the series) is marked on
// every curve while they are far enough apart to tell; the selected one
// stands out with the label "point i of n". Points with a problem
// (SetProblems) are marked in a warning colour, the legend says why.
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

#include <vector>

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
    // SetTheme.
    enum { THEME_LIGHT = 0, THEME_DARK = 1 };

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

    // THEME_LIGHT or THEME_DARK (anything else: light). Repaints later.
    void SetTheme(int nTheme);
    int GetTheme() const { return m_nTheme; }

    // Marks the points nPoints (indices in the point-to-sample table) in a
    // warning colour, strReason naming the problem in the legend; an empty
    // list marks none. Repaints later.
    void SetProblems(const std::vector<int>& nPoints, const CString& strReason);
    const std::vector<int>& GetProblems() const { return m_nProblems; }

    // The x range in view: SetView(lo, hi) shows lo ... hi, kept inside the
    // data's range and at least a few samples wide; ResetView the whole
    // range. Reduces again at the next paint.
    void SetView(double dLo, double dHi);
    void ResetView();
    bool IsZoomed() const { return m_bZoomed; }
    double GetViewLo() const { return m_dViewLo; }
    double GetViewHi() const { return m_dViewHi; }
    // What the mouse does, in the pixels of the last paint: zoom by dFactor
    // (below 1: in) around x; pan by dPixels (positive: the curves move to
    // the right); the readout of the sample nearest to x (outside the plot:
    // none).
    void ZoomAt(double dPixelX, double dFactor);
    void PanBy(double dPixels);
    void HoverAt(double dPixelX, double dPixelY);
    void EndHover();
    // The sample of the readout, or -1.
    int GetHoverSample() const { return m_nHover; }
    // Points of the point-to-sample table the graph counts as kept (see
    // above), as of the last Recalculate.
    int GetPointCount() const { return m_nPoints; }

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

    void Reduce(int nColumns, bool bRebuild);
    void CountPoints();
    void ClampView();
    void Changed();
    CCurve* Series(int nIndex) const;
    const CCurve* XSeries() const;
    int SelectedSampleIndex() const;  // from the table, before any series check
    void LayoutCurves(SGraphLayout& layout) const;
    void LayoutSelection(SGraphLayout& layout) const;
    void LayoutPoints(SGraphLayout& layout) const;
    void LayoutReadout(SGraphLayout& layout) const;
    void Paint(QPainter& painter, const QRect& rect);

    CGraphFilter* m_pFilter = nullptr;
    CGraphCanvas* m_pCanvas = nullptr;
    CString m_strMessage;
    int m_nStyle;
    int m_nFrameWidth;
    int m_nSelectMode = SELECT_POINT;
    int m_nSelected = -1;
    int m_nColumns = 0;
    int m_nTheme = THEME_LIGHT;
    std::vector<int> m_nProblems;
    CString m_strProblem;
    bool m_bZoomed = false;
    bool m_bViewDirty = false;
    double m_dViewLo = 0, m_dViewHi = 0;  // when zoomed
    double m_dDataLo = 0, m_dDataHi = 0;  // the x range of all the samples
    double m_dSampleStep = 0;             // the mean x distance of two samples
    int m_nHover = -1;
    int m_nPoints = 0;
    // The x axis of the last paint, for the mouse.
    double m_dPlotLeft = 0, m_dPlotRight = 0, m_dPlotTop = 0, m_dPlotBottom = 0;
    double m_dMapP0 = 0, m_dMapP1 = 1, m_dMapLo = 0, m_dMapHi = 1;
};
