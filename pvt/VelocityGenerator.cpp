#include "pvt/VelocityGenerator.h"

#include "kernel/ArrayParameter.h"
#include "pvt/PointInput.h"

#include <algorithm>
#include <cmath>

namespace {

// The whole time of a point, as the drive takes it.
double Whole(double time) { return std::trunc(time); }

// The clamped spline's velocities. With v[0] = v[n-1] = 0 the interior
// velocities solve, for i = 1 ... n-2 (h0, h1 the durations before and after
// point i, s0, s1 the slopes of those segments), the continuity of the
// acceleration:
//   v[i-1] / h0 + 2 (1/h0 + 1/h1) v[i] + v[i+1] / h1 = 3 (s0 / h0 + s1 / h1)
// (the usual form divided by h0 h1: one reciprocal per point, no division
// of positions). Forward elimination keeps in `factor` each row's
// coefficient of v[i+1] after elimination and in v the row's right side;
// substitution backward then gives the velocities.
void Spline(const double* t, const double* p, double* v, double* factor, std::size_t n)
{
    v[0] = 0.0;
    v[n - 1] = 0.0;
    if (n < 3)
        return;
    double r0 = 1.0 / (Whole(t[1]) - Whole(t[0]));  // 1 / h0
    double q0 = (p[1] - p[0]) * r0 * r0;             // s0 / h0
    double upper = 0.0;                              // the previous row's factor
    double right = 0.0;                              // the previous row's right side
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double r1 = 1.0 / (Whole(t[i + 1]) - Whole(t[i]));
        const double q1 = (p[i + 1] - p[i]) * r1 * r1;
        const double pivot = 1.0 / (2.0 * (r0 + r1) - r0 * upper);
        upper = r1 * pivot;
        right = (3.0 * (q0 + q1) - r0 * right) * pivot;
        factor[i] = upper;
        v[i] = right;
        r0 = r1;
        q0 = q1;
    }
    for (std::size_t i = n - 2; i-- > 1;)
        v[i] -= factor[i] * v[i + 1];
}

// The monotone velocities: 0 at the ends and where the neighbouring slopes
// do not share a sign, else their weighted harmonic mean.
void Monotone(const double* t, const double* p, double* v, std::size_t n)
{
    v[0] = 0.0;
    v[n - 1] = 0.0;
    if (n < 3)
        return;
    double h0 = Whole(t[1]) - Whole(t[0]);
    double s0 = (p[1] - p[0]) / h0;
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double h1 = Whole(t[i + 1]) - Whole(t[i]);
        const double s1 = (p[i + 1] - p[i]) / h1;
        if ((s0 > 0.0 && s1 > 0.0) || (s0 < 0.0 && s1 < 0.0)) {
            const double w0 = 2.0 * h1 + h0;
            const double w1 = h1 + 2.0 * h0;
            v[i] = (w0 + w1) / (w0 / s0 + w1 / s1);
        } else {
            v[i] = 0.0;
        }
        h0 = h1;
        s0 = s1;
    }
}

}  // namespace

const char* CVelocityGenerator::GetMethodName(tagMethod method)
{
    return method == METHOD_MONOTONE ? "monotone" : "spline";
}

bool CVelocityGenerator::FindMethod(std::string_view name, tagMethod& method)
{
    for (const tagMethod candidate : {METHOD_SPLINE, METHOD_MONOTONE})
        if (name == GetMethodName(candidate)) {
            method = candidate;
            return true;
        }
    return false;
}

CString CVelocityGenerator::CheckTimes(std::span<const double> time, int& badPoint)
{
    for (std::size_t i = 1; i < time.size(); ++i)
        if (!(Whole(time[i]) > Whole(time[i - 1]))) {  // also a time that is not a number
            CString message;
            message.Format("Value out of range!\nTime value of point %d is identical with previous point.",
                           static_cast<int>(i));
            badPoint = static_cast<int>(i);
            return message;
        }
    return CString();
}

void CVelocityGenerator::Compute(tagMethod method, std::span<const double> time, std::span<const double> position,
                                 std::span<double> velocity)
{
    const std::size_t n = std::min({time.size(), position.size(), velocity.size()});
    if (n == 0)
        return;
    if (method == METHOD_MONOTONE) {
        Monotone(time.data(), position.data(), velocity.data(), n);
        return;
    }
    if (m_Work.size() < n)
        m_Work.resize(n);
    Spline(time.data(), position.data(), velocity.data(), m_Work.data(), n);
}

CString CVelocityGenerator::Generate(tagMethod method, const CDK_ArrayParameter& time,
                                     const CDK_ArrayParameter& position, const CDK_ArrayParameter& velocityColumn,
                                     std::vector<double>& out, int& badPoint)
{
    const std::size_t n = std::min({time.GetValuesInInternalUnit().size(), position.GetValuesInInternalUnit().size(),
                                    velocityColumn.GetValuesInInternalUnit().size()});
    const std::span<const double> times(time.GetValuesInInternalUnit().data(), n);
    if (CString message = CheckTimes(times, badPoint); !message.IsEmpty())
        return message;
    out.resize(n);
    Compute(method, times, std::span<const double>(position.GetValuesInInternalUnit().data(), n), out);
    CPointInput::ClampInternalValues(velocityColumn, out);
    return CString();
}
