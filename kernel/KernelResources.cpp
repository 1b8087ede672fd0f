// The kernel's string table, registered with the platform when the library
// loads. Modules format these messages by number through the platform's
// resource search.
#include "platform/ModuleResources.h"

namespace {

struct CKernelResources : CModuleResources {
    CKernelResources() : CModuleResources("dkcore", &s_bAnchor)
    {
        // A point column that the array reader accepted but that does not fit
        // the point table; %s is the column's key.
        AddString(20048,
                  "Parameter \"%s\": invalid point data (each column needs one value per point; the first "
                  "point is 0 and the last velocity is 0).\n");
    }
    static const bool s_bAnchor;
};

const bool CKernelResources::s_bAnchor = true;
const CKernelResources s_Resources;

}  // namespace
