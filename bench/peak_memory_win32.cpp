// The process's peak memory on Windows: the peak working set.
#include "peak_memory.h"

#include <windows.h>

#include <psapi.h>

double peakMemoryBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
        return 0;
    }
    return static_cast<double>(counters.PeakWorkingSetSize);
}
