// The debugger output is the system's; a viewer may attach at any moment.
#include "platform/DebugOutput.h"

bool DebugOutputListened() {
    return true;
}
