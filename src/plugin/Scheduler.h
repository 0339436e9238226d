// The job scheduler's vocabulary, read from the rows of plugin/Jobs.def: which jobs wait
// for the server, and how they are named to the player.
#pragma once

#include <cstdint>

#include "platform/WinTypes.h"
#include "plugin/Types.h"

// Steps that issue a request wait this long for the server's answer before the job ends.
inline constexpr UINT kConfirmationTimeoutMs = 10000;

// "Sort", "Store", ... as the player knows the action of a job code; "Job" for a number
// that is no job's.
const char* JobName(std::int32_t job);

// The jobs that, between steps, wait for the server to confirm an item request.
bool AwaitsConfirmation(JobCode job);
