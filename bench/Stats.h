// Repeated measurements reduced to the median, minimum and maximum, printed
// as one tab-separated line that bench/run gathers into its table.
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

inline void Report(const std::string& name, std::vector<double> samples, const std::string& unit) {
    if (samples.empty()) {
        std::printf("%s\tn/a\tn/a\tn/a\t%s\n", name.c_str(), unit.c_str());
        return;
    }
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    const double median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    std::printf("%s\t%.4g\t%.4g\t%.4g\t%s\n", name.c_str(), median, samples.front(), samples.back(),
                unit.c_str());
    std::fflush(stdout);
}

}  // namespace bench
