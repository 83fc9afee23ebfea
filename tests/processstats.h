#pragma once

// Figures of this process, for tests and benchmarks that watch memory and CPU.

// A memory figure from /proc/self/status in kB: "VmRSS:" now, "VmHWM:" the peak.
long statusKilobytes(const char* field);

// CPU time the calling thread has used, in seconds.
double threadCpuSeconds();
