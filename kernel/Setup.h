// CDK_Setup: the drive setup a motion is programmed for: what kind of
// product it is, its options, its variables and its units.
//
// A default-constructed setup is the embedded default drive: a closed-loop
// position drive with the PVT buffer and the variables TPOS, TSPD and ATIME,
// a 1 ms sampling period and 2000 increments per revolution. LoadFromFile
// replaces it with a setup file (a JSON document; docs/setup-file.md).
//
// The queries are virtual so that a host (or a test) can supply a setup of
// its own.
#pragma once

#include "kernel/Units.h"
#include "kernel/Variable.h"
#include "platform/String.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

class CDK_Setup {
public:
    CDK_Setup();
    CDK_Setup(const CDK_Setup&) = default;
    CDK_Setup& operator=(const CDK_Setup&) = default;
    virtual ~CDK_Setup() = default;

    // The largest setup file read: a real one is a few kilobytes.
    static constexpr long long kMaxDocumentSize = 16LL << 20;

    // Reads a setup file: a regular file of at most kMaxDocumentSize bytes
    // (a named pipe, a device or a larger file is refused without reading
    // it). Returns the empty text on success; otherwise one line that names
    // the file and the field at fault, and the setup is left as it was.
    CString LoadFromFile(const char* path);
    // The same for a document already in memory; `sourceName` stands for the
    // file name in messages.
    CString LoadFromText(const CString& document, const char* sourceName);

    // Nonzero for a motion controller, 0 for a drive.
    virtual int IsMotionController() const;
    // The value of an integer option of the setup, 0 when the setup has none.
    virtual int GetIntOption(const char* name) const;
    // The variable called `name`, or nullptr. With bCaseSensitive 1 the
    // name must match exactly; with 0 letter case is ignored.
    virtual const CDK_Variable* FindVariable(const char* name, int bCaseSensitive) const;

    const CString& GetName() const { return m_strName; }
    const CDK_Units& GetUnits() const { return m_Units; }
    // The motor's largest velocity (increments per sampling period) and
    // acceleration (increments per sampling period, per sampling period) the
    // setup gives, for the trajectory report; none when it gives none.
    const std::optional<double>& GetMaxVelocity() const { return m_MaxVelocity; }
    const std::optional<double>& GetMaxAcceleration() const { return m_MaxAcceleration; }

private:
    CString m_strName;
    bool m_bMotionController = false;
    std::map<std::string, int> m_Options;
    std::vector<CDK_Variable> m_Variables;
    CDK_Units m_Units;
    std::optional<double> m_MaxVelocity;
    std::optional<double> m_MaxAcceleration;
};
