// The job scheduler's vocabulary: which jobs wait for the server, and how they are named
// to the player.
#pragma once

#include <cstdint>

#include "platform/WinTypes.h"

// Steps that issue a request wait this long for the server's answer before the job ends.
inline constexpr UINT kConfirmationTimeoutMs = 10000;

// "Sort", "Store", ... as the player knows the action of a job code.
const char* JobName(std::int32_t job);

// The jobs that, between steps, wait for the server to confirm an item request.
bool AwaitsConfirmation(std::int32_t job);
