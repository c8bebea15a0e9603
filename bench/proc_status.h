// The process's own memory figures, read from /proc/self/status, for the
// benchmarks' peak and resident-size measurements.
#pragma once

#include <fstream>
#include <string>

// A value of /proc/self/status in kB (VmHWM: peak resident size, VmRSS: now).
inline double StatusKb(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, key.size() + 1, key + ":") == 0) {
            return std::stod(line.substr(key.size() + 1));
        }
    }
    return 0.0;
}
