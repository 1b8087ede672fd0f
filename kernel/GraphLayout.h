// SGraphLayout: where every part of a graph goes in a rectangle, worked out
// before anything is painted (CGraphWindow::Layout): the colours and the
// font, the plot's rectangle, the three axes with their ranges, ticks and
// labels, the axis titles, the title, the legend, the curves to draw and the
// marks of the selected point, or the message shown in place of the curves.
//
// The window's draw steps each paint one part from it; the layout itself
// needs fonts (a QGuiApplication) but no paint device. All rectangles and
// positions are in the coordinates of the rectangle laid out; a line's
// position lies in the middle of a pixel (n + 0.5) so that it is drawn
// sharp.
#pragma once

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <vector>

class CCurve;
class CXYCurve;

struct SGraphLayout {
    // What the rectangle shows.
    enum EContent {
        CONTENT_BACKGROUND,  // only the background: no fonts to lay out text with (no QGuiApplication)
        CONTENT_MESSAGE,     // background, frame and the message (strMessage)
        CONTENT_TOO_SMALL,   // background and frame: no room for a plot
        CONTENT_PLOT,        // the whole graph
    };

    // A linear map from an axis range to pixels; results stay within a range
    // that QPainter handles however far outside the axis a value lies.
    struct SMap {
        double dLo = 0, dHi = 1;  // axis range
        double dP0 = 0, dP1 = 1;  // pixels of dLo and dHi
        double operator()(double v) const;
    };

    struct STick {
        double dValue;
        double dPos;        // x of the tick on the x axis, y on a value axis
        QString strLabel;
        QRectF labelRect;   // where the label is drawn, centred (x axis) or flush to the tick (value axes)
    };

    struct SAxis {
        bool bUsed = false;          // a value axis that no curve uses is not drawn
        double dMin = 0, dMax = 0;   // the data on it
        double dLo = 0, dHi = 1;     // its range
        double dStep = 0;            // between ticks
        std::vector<STick> ticks;    // ascending
        int nLabelWidth = 0;         // of the widest label
        QString strTitle;            // elided to the room it has
        QRectF titleRect;            // the room the title takes; standing upright on the value axes
        QColor color;                // of labels and title: its curve's, or the text's when it has several
        SMap map;
    };

    // One curve as it is drawn, with the series it comes from.
    struct SCurve {
        const CXYCurve* pCurve;
        const CCurve* pX;
        const CCurve* pY;
        int nAxis;  // in yAxes: 0 left, 1 right
        QColor color;
        QString strLabel;
        int nLineWidth;  // 1 ... 8, as the curve asks
        double dLineWidth;  // as drawn: scaled with the picture
    };

    struct SLegendEntry {
        QLineF stroke;      // a short line in the curve's colour (a marker's: a ring in its middle)
        double dStrokeWidth;
        bool bMarker = false;  // the entry of the problem marks
        QColor color;
        QString strLabel;   // elided to its share of the legend
        QRectF labelRect;
    };

    // The ring around the selected point on one curve; a point's mark.
    struct SMarker {
        QPointF centre;
        double dRadius;
        QColor color;
    };

    EContent eContent = CONTENT_BACKGROUND;
    QRect rect;       // the rectangle laid out
    QRect area;       // inside the frame
    int nFrameWidth = 0;
    QRectF frameRect;  // the frame's line, nFrameWidth wide, centred on it

    QColor crBackground, crGrid, crFrame, crText;  // frame means the plot's frame and the ticks as well
    QColor crPlot;     // inside the plot's frame
    QColor crWarning;  // the marks of points with a problem
    double dScale = 1;  // lines and marks grow with the picture: 1 at the size of a dialog's graph
    QFont font;
    int nLineHeight = 0;
    int nPad = 0;      // the space between parts
    int nTickLength = 0;

    QString strMessage;
    QRect messageRect;  // the message is centred in it and wrapped at its width

    QRectF plot;
    SAxis xAxis;
    SAxis yAxes[2];           // left, right
    bool bGrid = false;       // lines at the x ticks and the ticks of yAxes[nGridAxis]
    int nGridAxis = 0;

    QString strTitle;         // elided in the bold font
    QRect titleRect;
    QFont titleFont;

    std::vector<SCurve> curves;  // in the filter's order
    bool bLegend = false;
    QRect legendRect;
    std::vector<SLegendEntry> legend;  // one per curve, centred in legendRect

    bool bSelection = false;  // the selected sample lies on some curve
    double dSelectionX = 0;   // the dashed line through it
    std::vector<SMarker> markers;
    QString strSelectionLabel;  // "point 2 of 5"
    QRectF selectionLabelRect;  // beside the dashed line, clear of the curves where there is room

    // Every kept point in view on every curve, while they are far enough
    // apart (bPointsMarked); the points with a problem in any case.
    bool bPointsMarked = false;
    std::vector<SMarker> pointMarks;
    std::vector<SMarker> problemMarks;

    // The sample under the mouse: a thin line and a box with its values.
    bool bReadout = false;
    double dReadoutX = 0;
    std::vector<SMarker> readoutMarks;
    QStringList readoutLines;  // time, then each curve
    std::vector<QColor> readoutColors;
    QRectF readoutRect;

    // Curves drawn sample by sample, when a sample spans several pixels;
    // zoomed in that far, a dot on every sample too (in the whole view a
    // short motion's samples would bury the point marks).
    bool bExactSamples = false;
    bool bSampleDots = false;
};
