#include "view/FrameLog.h"

#include <cstdlib>

FrameLog::FrameLog()
{
    const char* path = std::getenv("TARVO_FRAME_LOG");
    if (path != nullptr && path[0] != '\0') {
        file = std::fopen(path, "a");
    }
}

FrameLog::~FrameLog()
{
    if (file != nullptr) {
        std::fclose(file);
    }
}

void FrameLog::Motion()
{
    if (file != nullptr && !waiting) {
        since = std::chrono::steady_clock::now();
        waiting = true;
    }
}

void FrameLog::Shown(std::size_t faces)
{
    if (file == nullptr || !waiting) {
        return;
    }
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - since;
    std::fprintf(file, "%.3f %zu\n", elapsed.count(), faces);
    std::fflush(file);
    waiting = false;
}
