// The console table of a benchmark run, and afterwards each listed ratio of two benchmarks' median
// times (the one run when there are no repetitions).
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

struct BenchRatio {
    const char* label;
    const char* measured;  // benchmark names
    const char* baseline;
};

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    // The ratios, with both times in microseconds (or milliseconds).
    void printRatios(std::span<const BenchRatio> ratios, bool milliseconds = false) const;
    // The median time of a benchmark in seconds, or a negative number when it was not measured.
    double seconds(const std::string& name) const;

private:
    std::map<std::string, double> seconds_;
    std::set<std::string> medians_;
};
