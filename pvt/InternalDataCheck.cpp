// Validation of the point table against the limits of one PVT segment; the
// rules themselves are CPointTableRules'.
#include "pvt/InternalData.h"

#include "pvt/PointTableRules.h"

CString CInternalData::CheckPoints(int& badPoint)
{
    const int n = m_Time.GetValuesCount();
    if (!CPointTableRules::HasValidCount(static_cast<std::size_t>(n),
                                         static_cast<std::size_t>(m_Position.GetValuesCount()),
                                         static_cast<std::size_t>(m_Velocity.GetValuesCount()))) {
        badPoint = 0;
        return CPointTableRules::kTooFewPoints;
    }
    if (!CPointTableRules::IsAtOrigin(m_Time.GetValueInInternalUnit(0), m_Position.GetValueInInternalUnit(0),
                                      m_Velocity.GetValueInInternalUnit(0))) {
        badPoint = 0;
        return CPointTableRules::kBadFirstPoint;
    }
    if (!CPointTableRules::IsAtRest(m_Velocity.GetValueInInternalUnit(n - 1))) {
        badPoint = 0;
        return CPointTableRules::kBadLastPoint;
    }

    const CPointTableRules rules = CPointTableRules::ForTimeColumn(m_Time);
    double prevT = 0;
    double prevP = 0;
    for (int i = 1; i < n; ++i) {
        const double t = m_Time.GetValueInInternalUnit(i);
        const double p = m_Position.GetValueInInternalUnit(i);
        CString message = rules.CheckStep(i, prevT, prevP, t, p);
        if (!message.IsEmpty()) {
            badPoint = i;
            return message;
        }
        prevT = t;
        prevP = p;
    }
    return CString();
}
