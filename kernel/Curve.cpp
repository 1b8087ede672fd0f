#include "kernel/Curve.h"

CCurve::CCurve(int nSize, int nGrowBy) { SetSize(nSize, nGrowBy); }
