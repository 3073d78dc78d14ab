#include "bench_summary.h"

#include <malloc.h>

#include <cstdio>

namespace tessaline::bench {

void CollectingReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        if (run.error_occurred || run.iterations == 0)
            continue;
        // A repeated benchmark's median; with --benchmark_report_aggregates_only it is the
        // only figure of it that comes here.
        if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
            Figure& m = medians_[run.run_name.str()];
            m.seconds = run.cpu_accumulated_time / static_cast<double>(run.iterations);
            m.runs = 1;
            const auto bytes = run.counters.find("bytes_per_second");
            if (bytes != run.counters.end())
                m.bytesPerSecond = bytes->second.value;
            continue;
        }
        if (run.run_type != Run::RT_Iteration)
            continue;
        Figure& f = figures_[run.benchmark_name()];
        f.seconds += run.cpu_accumulated_time / static_cast<double>(run.iterations);
        ++f.runs;
        const auto bytes = run.counters.find("bytes_per_second");
        if (bytes != run.counters.end())
            f.bytesPerSecond += bytes->second.value;
    }
    ConsoleReporter::ReportRuns(runs);
}

// The median where the benchmark was repeated (steadier on a busy machine), else the mean.
const Figure* CollectingReporter::Find(const std::string& name) const {
    if (const auto median = medians_.find(name); median != medians_.end())
        return &median->second;
    const auto it = figures_.find(name);
    return it == figures_.end() ? nullptr : &it->second;
}

void PrintRatio(const char* name, double value) {
    std::printf("ratio %s %.2f\n", name, value);
}

void PrintRate(const char* name, double value) {
    std::printf("rate %s %.0f\n", name, value);
}

void PrintGrowth(const CollectingReporter& r, std::span<const Growth> growth) {
    for (const Growth& g : growth) {
        WithBoth(r, g.large, g.small, [&](const Figure& large, const Figure& small) {
            PrintRatio(g.name, large.Seconds() / small.Seconds());
        });
    }
}

int RunBenchmarks(int argc, char** argv, Summary summary) {
    // Keep freed memory in the process. Otherwise the allocator hands a large document's
    // memory back to the system after every iteration and the next one pays a page fault
    // for each of its pages again, while a small document reuses warm memory: the sizes
    // would not be compared on equal terms.
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("\n");
    summary(reporter);
    return 0;
}

}  // namespace tessaline::bench
