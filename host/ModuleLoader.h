// CModuleLoader: a motion module loaded with dlopen, its exports found by
// name as a host finds them.
#pragma once

#include "host/HostError.h"
#include "platform/String.h"
#include "platform/Types.h"

class CModuleResources;

class CModuleLoader {
public:
    CModuleLoader() = default;
    CModuleLoader(const CModuleLoader&) = delete;
    CModuleLoader& operator=(const CModuleLoader&) = delete;
    ~CModuleLoader();

    // Loads the module; on failure returns a one-line message.
    [[nodiscard]] CString Load(const char* path);
    // The address of export `name`, or nullptr with a one-line message.
    void* Find(const char* name, CString& error) const;
    template <typename Fn>
    Fn Find(const char* name, CString& error) const
    {
        return reinterpret_cast<Fn>(Find(name, error));
    }
    // The export `name`; throws SHostError (one line) when there is none.
    template <typename Fn>
    Fn Require(const char* name) const
    {
        CString error;
        const Fn fn = Find<Fn>(name, error);
        if (!fn)
            throw SHostError{error.GetString()};
        return fn;
    }
    // The module's registered resources (bitmaps, version), or nullptr.
    const CModuleResources* GetResources() const;

private:
    void* m_pHandle = nullptr;
    CString m_strPath;
};
