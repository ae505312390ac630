// The process's peak memory on POSIX systems: getrusage's maximum resident set.
#include "peak_memory.h"

#include <sys/resource.h>

double peakMemoryBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024.0;
}
