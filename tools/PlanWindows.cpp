// plan LINE on Windows. The dry run takes an exact copy of the running game, plug-in
// included, and Windows has no such copy of a process (no fork); a copy rebuilt from the
// world and the configuration would not hold the plug-in's panel, selection and job as
// they stand, and would be a different answer. So the command says it is not available.
#include "Session.h"

void Session::Plan(std::string_view) {
    Error(
        "plan is not available on Windows: it runs the line in a copy of the running game, "
        "which takes fork()");
}
