#include "app/fontwarmup.h"

#include <fontconfig/fontconfig.h>

#include <thread>

namespace {

// Joined on the first finishFontConfigLoading(), or at exit when the
// program ends before that.
struct Loader {
    std::thread thread;
    ~Loader() { finish(); }
    void finish() {
        if (thread.joinable()) thread.join();
    }
};

Loader& loader() {
    static Loader instance;
    return instance;
}

}  // namespace

void startFontConfigLoading() {
    Loader& l = loader();
    if (l.thread.joinable()) return;
    // FcInit only publishes the configuration it built when none is current,
    // so even a second loader on another thread could not leave two behind.
    l.thread = std::thread([] { FcInit(); });
}

void finishFontConfigLoading() { loader().finish(); }
