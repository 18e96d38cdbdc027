#pragma once

#include <algorithm>
#include <vector>

// The figure the benchmarks quote: machines are shared and noisy.
inline double median(std::vector<double> v) {
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}
