#pragma once
// Whether a program file is profiler itself: this process's own file, or any copy of profiler (its
// version resource names it). No profile may be made for it and the watcher never serves it: it
// would wait on itself.
#include <string>

bool isProfilerProgram(const std::string& path);
