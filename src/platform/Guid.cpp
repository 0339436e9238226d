// Formatting of GUIDs in their registry form.
#include "platform/Guid.h"

#include <cstdio>

std::string GuidToString(const GUID& guid) {
    char buf[39];
    std::snprintf(buf, sizeof buf, "{%08lx-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}",
                  static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
                  guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                  guid.Data4[6], guid.Data4[7]);
    return buf;
}
