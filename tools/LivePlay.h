// Live play: a session read from a terminal while the game's clock follows real time.
#pragma once

class LineInput;
class Session;

// Runs the lines typed at `input` until input ends or the player logs out. While the
// prompt waits, the game catches up with the time that has passed, so that an action goes
// on without a command; what it shows appears above the prompt.
void PlayLive(Session& session, LineInput& input);
