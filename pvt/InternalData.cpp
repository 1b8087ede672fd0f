#include "pvt/InternalData.h"

#include "kernel/Motion.h"
#include "kernel/Setup.h"

#include <algorithm>

const char* const CInternalData::s_Keys[8] = {
    "MASTERID", "ClearBuffer", "StartPoint", "Execute", "WaitForCompletion", "TPOS", "TSPD", "ATIME",
};

namespace {

// The message the kernel keeps for a point column that does not fit the table.
constexpr UINT kInvalidColumnMessage = 20048;

CString InvalidColumn(const char* key)
{
    CString message;
    message.Format(kInvalidColumnMessage, key);
    return message;
}

// Exact comparison; a value that is not a number is not 0.
bool IsZero(double value) { return value == 0.0; }

}  // namespace

CInternalData::CInternalData(CDK_Setup& setup, CDK_Motion& motion)
    : CDK_EditMotionInternalData(setup, motion),
      m_Position(setup),
      m_Velocity(setup),
      m_Time(setup),
      m_Event(setup, motion)
{
    // A motion controller has no drive inputs of its own to trigger on.
    if (setup.IsMotionController())
        m_Event.m_wOptions = static_cast<WORD>(m_Event.m_wOptions & ~CMotionEvent::OPT_DRIVE_INPUTS);
    m_bHostAddress = 0;
    m_nHostAddress = 255;
    m_nClearBuffer = 0;
    m_nStartPoint = 0;
    m_nExecute = 0;
    m_nWaitForCompletion = 0;
}

CInternalData::~CInternalData() = default;

BOOL CInternalData::ReadParameters(CString& params, CString& errors)
{
    CString msg;
    errors.Empty();

    // An address of 0 (or none) means that no host address is given.
    ReadOptionalRadioParam(params, s_Keys[KEY_MASTERID], m_nHostAddress, 0, 255);
    if (m_nHostAddress >= 1 && m_nHostAddress <= 255) {
        m_bHostAddress = 1;
    } else {
        m_bHostAddress = 0;
        m_nHostAddress = 255;
    }
    ReadOptionalRadioParam(params, s_Keys[KEY_CLEARBUFFER], m_nClearBuffer, 0, 1);
    ReadOptionalRadioParam(params, s_Keys[KEY_STARTPOINT], m_nStartPoint, 0, 1);

    msg = ReadArrayDataParam(params, s_Keys[KEY_ATIME], nullptr, nullptr, m_Time);
    const int nT = m_Time.GetValuesCount();
    if (msg.IsEmpty() && (nT == 0 || !IsZero(m_Time.GetValueInInternalUnit(0))))
        msg = InvalidColumn(s_Keys[KEY_ATIME]);
    m_Time.SetMinInInternalUnit(0);
    m_Time.SetMaxInInternalUnit(kMaxTime);
    errors += msg;

    // When both columns are empty there is no first value to test; the empty
    // column is reported all the same, so that every empty column is named.
    msg = ReadArrayDataParam(params, s_Keys[KEY_TPOS], nullptr, nullptr, m_Position);
    if (msg.IsEmpty() &&
        (m_Position.GetValuesCount() != nT || nT == 0 || !IsZero(m_Position.GetValueInInternalUnit(0))))
        msg = InvalidColumn(s_Keys[KEY_TPOS]);
    errors += msg;

    msg = ReadArrayDataParam(params, s_Keys[KEY_TSPD], nullptr, nullptr, m_Velocity);
    if (msg.IsEmpty() && (m_Velocity.GetValuesCount() != nT || nT == 0 ||
                          !IsZero(m_Velocity.GetValueInInternalUnit(0)) ||
                          !IsZero(m_Velocity.GetValueInInternalUnit(nT - 1))))
        msg = InvalidColumn(s_Keys[KEY_TSPD]);
    // A velocity goes to the drive as its 16.16 value: one the type cannot
    // hold would be sent saturated, another velocity than the one written.
    // (Positions are not limited so: a table may travel beyond the 32-bit
    // range in total, and code generation sends only the steps.)
    if (msg.IsEmpty())
        msg = CheckArrayDataRange(m_Velocity);
    errors += msg;

    errors += ReadRadioParam(params, s_Keys[KEY_EXECUTE], m_nExecute, 0, 1);
    ReadOptionalRadioParam(params, s_Keys[KEY_WAIT], m_nWaitForCompletion, 0, 1);

    if (m_nExecute == 1 && !m_Event.ReadParameters(params, msg))
        errors += msg;

    int badPoint = 0;
    errors += CheckPoints(badPoint);
    return errors.IsEmpty() ? TRUE : FALSE;
}

void CInternalData::WriteParameters(CString& params)
{
    if (m_bHostAddress)
        WriteRadioParam(params, s_Keys[KEY_MASTERID], m_nHostAddress);
    WriteRadioParam(params, s_Keys[KEY_CLEARBUFFER], m_nClearBuffer);
    WriteRadioParam(params, s_Keys[KEY_STARTPOINT], m_nStartPoint);
    WriteArrayDataParam(params, m_Time);
    WriteArrayDataParam(params, m_Position);
    WriteArrayDataParam(params, m_Velocity);
    WriteRadioParam(params, s_Keys[KEY_EXECUTE], m_nExecute);
    if (m_nExecute == 0)
        WriteRadioParam(params, s_Keys[KEY_WAIT], m_nWaitForCompletion);
    else if (m_nExecute == 1)
        m_Event.WriteParameters(params);
}

CString CInternalData::BuildDefaultParameters()
{
    CString text;
    WriteRadioParam(text, s_Keys[KEY_CLEARBUFFER], 1);
    for (const tagKey key : {KEY_ATIME, KEY_TPOS, KEY_TSPD})
        m_Motion.AddToElemParameters(text, GetDataParamName(s_Keys[key], nullptr, nullptr),
                                     GetDefaultUnit(s_Keys[key], nullptr, nullptr), "0");
    WriteRadioParam(text, s_Keys[KEY_EXECUTE], 0);
    WriteRadioParam(text, s_Keys[KEY_WAIT], 1);
    return text;
}

void CInternalData::NormalizePoints()
{
    CDK_ArrayParameter* const columns[3] = {&m_Time, &m_Position, &m_Velocity};
    int counts[3];
    for (int c = 0; c < 3; ++c) {
        CDK_ArrayParameter& column = *columns[c];
        counts[c] = column.GetValuesCount();
        if (counts[c] == 0) {
            column.InsertValueAt(0, 0.0);
            counts[c] = 1;
        }
        if (!IsZero(column.GetValueInInternalUnit(0)))
            column.SetValueInInternalUnit(0, 0.0);
    }
    const int n = std::min({counts[0], counts[1], counts[2]});
    for (int c = 0; c < 3; ++c)
        columns[c]->RemoveValueAt(n, counts[c] - n);
}
