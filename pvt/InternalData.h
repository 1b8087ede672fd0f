// CInternalData: one PVT motion in memory: the point table and the
// execution options, read from and written to the host's parameter text.
//
// The three point columns are parallel: point i is (m_Position[i],
// m_Velocity[i], m_Time[i]). In a valid table point 0 is (0, 0, 0) in
// internal units and the times are absolute and strictly increasing.
#pragma once

#include "kernel/ArrayParameter.h"
#include "kernel/EditMotionInternalData.h"
#include "kernel/MotionEvent.h"
#include "platform/String.h"

class CInternalData : public CDK_EditMotionInternalData {
public:
    // The parameter keys, in the order of s_Keys.
    enum tagKey { KEY_MASTERID, KEY_CLEARBUFFER, KEY_STARTPOINT, KEY_EXECUTE, KEY_WAIT, KEY_TPOS, KEY_TSPD, KEY_ATIME };
    static const char* const s_Keys[8];

    // The largest time of a point, in sampling periods: one less than the
    // largest 32-bit signed integer.
    static constexpr double kMaxTime = 2147483646.0;

    CInternalData(CDK_Setup& setup, CDK_Motion& motion);
    ~CInternalData() override;

    // Fills the record; `errors` receives every message, in the order the
    // parameters are read, then the table validation's. Nonzero exactly
    // when `errors` is empty.
    BOOL ReadParameters(CString& params, CString& errors) override;
    // Appends the record to `params`.
    void WriteParameters(CString& params) override;
    // The parameter text of a new PVT motion: one point (0, 0, 0), clear the
    // buffer, execute immediately and wait for completion.
    CString BuildDefaultParameters();
    // Makes the three columns equally long (the shortest count, at least 1)
    // with the start point (0, 0, 0); the editor starts from this.
    void NormalizePoints();
    // Empty when the point table can be loaded into the drive's PVT buffer;
    // otherwise the first problem, with the point at fault in `badPoint`
    // (which is set only then).
    CString CheckPoints(int& badPoint);
    // The motion-language lines of a validated record.
    CString GenerateCode();

    BOOL m_bHostAddress;      // a host address is given
    int m_nHostAddress;       // MASTERID, 1 ... 255
    int m_nClearBuffer;       // 1: clear the PVT buffer before loading the points
    int m_nStartPoint;        // 0: start from the position and speed reference; 1: from the measured values
    CDK_ArrayParameter m_Position;
    CDK_ArrayParameter m_Velocity;
    CDK_ArrayParameter m_Time;
    int m_nExecute;           // 0: execute immediately; 1: on the event
    int m_nWaitForCompletion; // with immediate execution, wait until the motion is complete
    CMotionEvent m_Event;
};
