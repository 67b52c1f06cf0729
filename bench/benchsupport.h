#pragma once

// What the benchmarks measure their baselines and work with.

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

namespace bench {

// The middle of the values (the mean of the two middle ones for an even
// count).
inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t half = values.size() / 2;
    return values.size() % 2 != 0 ? values[half] : (values[half - 1] + values[half]) / 2;
}

// The processor time this process has used, in milliseconds: on a machine
// shared with other work it says what the wall clock cannot, how much work
// each took when it did run.
inline double processorMilliseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Reads the file to its end in 128 KiB pieces, as `cat` does, and drops the
// bytes or writes them to out; false on an error.
inline bool catFile(const std::string& path, int out = -1) {
    const int in = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    static char buffer[128 << 10];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        if (out >= 0 && ::write(out, buffer, static_cast<size_t>(n)) != n) {
            ok = false;
            break;
        }
    }
    ::close(in);
    return ok;
}

}  // namespace bench
