// The engine's player states that the program tells apart. The numbers are libVLC's own
// (libvlc_state_t); MediaPlayer.cpp checks them against libVLC's header, so code above the engine
// needs neither that header nor bare numbers.
#pragma once

enum EngineState : int {
    EngineNothingSpecial = 0, // also what the engine reports without a player
    EnginePlaying = 3,
    EnginePaused = 4,
    EngineEnded = 6,
    EngineError = 7, // the file could not be played (or stopped playing) for a fault of its own
};

// A file is under way: it has a position and a length worth showing.
inline bool hasFileUnderWay(int state)
{
    return state == EnginePlaying || state == EnginePaused;
}
