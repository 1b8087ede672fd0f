// CDK_EditMotionInternalData: base of a motion module's parameter record.
// It keeps the host's setup and motion and offers the parameter-text helpers
// a record reads and writes itself with.
#pragma once

#include "platform/String.h"

class CDK_ArrayParameter;
class CDK_Motion;
class CDK_Setup;

class CDK_EditMotionInternalData {
public:
    CDK_EditMotionInternalData(CDK_Setup& setup, CDK_Motion& motion);
    CDK_EditMotionInternalData(const CDK_EditMotionInternalData&) = delete;
    CDK_EditMotionInternalData& operator=(const CDK_EditMotionInternalData&) = delete;
    virtual ~CDK_EditMotionInternalData();

    // Fills the record from a parameter text; `errors` receives every
    // message. Nonzero exactly when there is none.
    virtual BOOL ReadParameters(CString& params, CString& errors) = 0;
    // Appends the record to a parameter text.
    virtual void WriteParameters(CString& params) = 0;

    // A mandatory integer parameter in [low, high]: the empty text, or a
    // message naming the key (absent, given twice, not an integer, out of
    // range). On a message `value` is unchanged.
    CString ReadRadioParam(const CString& params, const char* key, int& value, int low, int high);
    // An optional integer parameter. Reports nothing: when the key is absent,
    // given twice, not an integer or outside [low, high], `value` = low.
    void ReadOptionalRadioParam(const CString& params, const char* key, int& value, int low, int high);
    void WriteRadioParam(CString& params, const char* key, int value);

    // Reads the array parameter named GetDataParamName(key, prefix, suffix)
    // and its display unit into `array`, after binding the array to that name
    // and to the drive variable `key` (the binding is made whatever the read
    // reports). Returns the empty text, or the messages naming the parameter.
    // On a message about the values the array is left empty; an unknown unit
    // keeps the values and the variable's default unit.
    CString ReadArrayDataParam(const CString& params, const char* key, const char* prefix, const char* suffix,
                               CDK_ArrayParameter& array);
    // The empty text when the drive type of the array's variable holds every
    // value (CDK_Value::Holds); otherwise one message naming the parameter,
    // the first value it cannot hold and the type's range. For columns whose
    // values go to the drive as they are (a velocity), where saturating
    // silently would send another value than the one written.
    CString CheckArrayDataRange(const CDK_ArrayParameter& array) const;
    // Appends the array's unit and values under the name it is bound to.
    void WriteArrayDataParam(CString& params, const CDK_ArrayParameter& array);

    // The name of the array parameter of drive variable `key`: prefix + key
    // + suffix (a null prefix or suffix is empty).
    static CString GetDataParamName(const char* key, const char* prefix, const char* suffix);
    // The default display unit of drive variable `key` in the setup ("IU"
    // when the setup does not declare it). Prefix and suffix do not change it.
    CString GetDefaultUnit(const char* key, const char* prefix, const char* suffix) const;

protected:
    CDK_Setup& m_Setup;
    CDK_Motion& m_Motion;
};
