#pragma once
// Timing of the pictures shown during a drag, for measuring the running
// program: when the environment variable TARVO_FRAME_LOG names a file, one
// line is appended for each frame painted while a mouse button is held:
// the milliseconds from the earliest motion not yet shown to the end of the
// swap, then the faces drawn. Off (and free) otherwise.

#include <chrono>
#include <cstddef>
#include <cstdio>

class FrameLog {
public:
    FrameLog();
    ~FrameLog();
    FrameLog(const FrameLog&) = delete;
    FrameLog& operator=(const FrameLog&) = delete;

    // A motion of a drag arrived; the first since the last picture starts
    // the clock.
    void Motion();
    // A picture of a drag was swapped to the screen.
    void Shown(std::size_t faces);

private:
    std::FILE* file = nullptr;
    bool waiting = false;
    std::chrono::steady_clock::time_point since;
};
