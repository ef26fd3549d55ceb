#include "median_reporter.h"

void MedianReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.error_occurred) continue;
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
        if (!median && !single) continue;
        const auto counter = run.counters.find("bytes_per_second");
        if (counter != run.counters.end()) bytesPerSecond_[run.run_name.function_name] = counter->second.value;
    }
}

double MedianReporter::bytesPerSecond(const std::string& name) const {
    const auto found = bytesPerSecond_.find(name);
    return found != bytesPerSecond_.end() ? found->second : 0.0;
}
