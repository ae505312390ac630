// The process's peak memory, from the system's own count.
#pragma once

// The largest resident set (working set on Windows) the process has had, in bytes.
double peakMemoryBytes();
