// What the black-box timers share: a clock in milliseconds and one report line per figure.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

inline double now() {
    LARGE_INTEGER counter;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The name, the median, then every run, tab-separated.
inline void report(const char* name, const std::vector<double>& runs) {
    std::printf("%s\t%.1f", name, median(runs));
    for (double run : runs) {
        std::printf("\t%.1f", run);
    }
    std::printf("\n");
}
