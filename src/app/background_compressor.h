#pragma once
// Saves without freezing the window: the body of a compressed card file is compressed on a
// worker thread while the user-interface thread goes on running its event loop (repaints,
// timers). The result and the progress come back through that event loop; the bytes are
// CompressText's, exactly as a save in one thread writes them.
#include <functional>
#include <string>

#include "cardfile/card_file.h"

namespace tabellan {

// Called by the work on its worker thread with the percentage done.
using ProgressReport = std::function<void(int percent)>;

// Runs work on a worker thread and returns when it has ended; meanwhile the calling thread's
// event loop runs. Each report the work makes reaches progress on the calling thread, in
// order, before this returns. An exception from work is rethrown here. When the application
// quits during the wait, the work is still awaited, never abandoned.
void RunWhileEventLoopRuns(const std::function<void(const ProgressReport& report)>& work,
                           const std::function<void(int percent)>& progress = {});

struct BackgroundCompressorHooks {
    std::function<void()> begin;  // before the worker starts: the window goes busy
    std::function<void()> end;    // after it has ended, also on failure
    // The share of the body compressed so far, rising, on the user-interface thread, with
    // the save's status text.
    std::function<void(const std::string& status, int percent)> progress;
};

// A BodyCompressor for the document that compresses as described above.
BodyCompressor MakeBackgroundCompressor(BackgroundCompressorHooks hooks);

}  // namespace tabellan
