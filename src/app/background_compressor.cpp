#include "app/background_compressor.h"

#include <QEventLoop>
#include <QMetaObject>
#include <algorithm>
#include <exception>
#include <optional>
#include <string>
#include <thread>

#include "cardfile/compression.h"

namespace tabellan {

void RunWhileEventLoopRuns(const std::function<void(const ProgressReport& report)>& work,
                           const std::function<void(int percent)>& progress) {
    QEventLoop loop;
    std::exception_ptr failure;
    // Queued calls on loop run on this thread, in the order the worker posts them, so every
    // report arrives before the quit that ends the wait.
    const ProgressReport report = [&loop, &progress](int percent) {
        if (progress) {
            QMetaObject::invokeMethod(
                &loop, [&progress, percent] { progress(percent); }, Qt::QueuedConnection);
        }
    };
    std::thread worker([&] {
        try {
            work(report);
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(
            &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    loop.exec();
    // The loop ends early only when the application quits: the save still completes.
    worker.join();
    if (failure) {
        std::rethrow_exception(failure);
    }
}

BodyCompressor MakeBackgroundCompressor(BackgroundCompressorHooks hooks) {
    return [hooks = std::move(hooks)](std::string_view body, int uclLevel,
                                      const std::string& status) -> std::optional<std::string> {
        struct Busy {
            const BackgroundCompressorHooks& h;
            explicit Busy(const BackgroundCompressorHooks& hooks) : h(hooks) {
                if (h.begin) {
                    h.begin();
                }
            }
            ~Busy() {
                if (h.end) {
                    h.end();
                }
            }
        } busy(hooks);
        std::optional<std::string> block;
        int lastPercent = -1;  // worker thread only
        RunWhileEventLoopRuns(
            [&](const ProgressReport& report) {
                block = CompressText(body, uclLevel, [&](std::size_t done, std::size_t total) {
                    const int percent =
                        total == 0 ? 100 : static_cast<int>(std::min(done, total) * 100 / total);
                    if (percent > lastPercent) {
                        lastPercent = percent;
                        report(percent);
                    }
                });
            },
            [&](int percent) {
                if (hooks.progress) {
                    hooks.progress(status, percent);
                }
            });
        return block;
    };
}

}  // namespace tabellan
