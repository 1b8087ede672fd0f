// CObject: root of the framework's polymorphic objects. Containers of
// CObject pointers may own their elements and delete them through the
// virtual destructor.
#pragma once

class CObject {
public:
    CObject() = default;
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
    virtual ~CObject() = default;
};
