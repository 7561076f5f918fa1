#include "ratio_reporter.h"

#include <cstdio>

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        if (run.error_occurred) continue;
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        if (!median && run.run_type != Run::RT_Iteration) continue;
        const std::string& name = run.run_name.function_name;
        if (!median && medians_.count(name)) continue;
        if (median) medians_.insert(name);
        seconds_[name] = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    }
    ConsoleReporter::ReportRuns(runs);
}

void RatioReporter::printRatios(std::span<const BenchRatio> ratios, bool milliseconds) const {
    const double scale = milliseconds ? 1e3 : 1e6;
    const char* unit = milliseconds ? "ms" : "us";
    std::printf(
        "\nRatios (time per call, median of the repetitions, against the baseline of the same run):\n");
    for (const BenchRatio& ratio : ratios) {
        const double measured = seconds(ratio.measured);
        const double baseline = seconds(ratio.baseline);
        if (measured < 0.0 || baseline <= 0.0) {
            std::printf("  %-62s  not measured\n", ratio.label);
            continue;
        }
        std::printf("  %-62s %8.2f  (%.1f %s / %.1f %s)\n", ratio.label, measured / baseline,
                    measured * scale, unit, baseline * scale, unit);
    }
}

double RatioReporter::seconds(const std::string& name) const {
    const auto found = seconds_.find(name);
    return found == seconds_.end() ? -1.0 : found->second;
}
