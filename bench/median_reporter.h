// A console reporter that also keeps the median throughput of every benchmark, so that a
// benchmark program can print ratios between contenders measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class MedianReporter : public benchmark::ConsoleReporter {
public:
    explicit MedianReporter(OutputOptions options) : ConsoleReporter(options) {}

    void ReportRuns(const std::vector<Run>& runs) override;

    // The median bytes per second of the benchmark registered as `name` (its single run when
    // it ran without repetitions), or 0 when it did not run or failed.
    double bytesPerSecond(const std::string& name) const;

private:
    std::map<std::string, double> bytesPerSecond_;
};
