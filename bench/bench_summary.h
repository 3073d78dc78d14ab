#pragma once
// What every benchmark program shares: the console output as usual, every run kept, and
// after the runs a summary of the figures that matter, one line each:
//   ratio NAME VALUE   (two decimals)
//   rate NAME VALUE    (a whole number per second)
// A figure whose benchmarks were filtered out is not printed.

#include <benchmark/benchmark.h>

#include <map>
#include <span>
#include <string>
#include <vector>

namespace tessaline::bench {

struct Figure {
    // Processor time per iteration, summed over repetitions. Every benchmark runs on one
    // thread, so this is its cost even while other programs keep the machine busy.
    double seconds = 0;
    int runs = 0;
    double bytesPerSecond = 0;

    double Seconds() const { return seconds / runs; }
    double BytesPerSecond() const { return bytesPerSecond / runs; }
};

// The console output as usual, and every run kept for the summary.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    // Nothing when the benchmark did not run.
    const Figure* Find(const std::string& name) const;

private:
    std::map<std::string, Figure> figures_;
    // The medians over repetitions, where the benchmarks were repeated.
    std::map<std::string, Figure> medians_;
};

void PrintRatio(const char* name, double value);
void PrintRate(const char* name, double value);

// Calls print with the figures of both benchmarks when both ran.
template <typename Print>
void WithBoth(const CollectingReporter& r, const char* a, const char* b, Print print) {
    const Figure* fa = r.Find(a);
    const Figure* fb = r.Find(b);
    if (fa && fb)
        print(*fa, *fb);
}

// A larger document against a smaller one: about 10 for ten times the cards means the
// cost grows with the cards.
struct Growth {
    const char* name;
    const char* large;
    const char* small;
};
void PrintGrowth(const CollectingReporter& r, std::span<const Growth> growth);

// The lines a program prints after its runs.
using Summary = void (*)(const CollectingReporter& r);

// Runs the benchmarks the arguments select, then prints a blank line and the summary.
// Returns the exit code: 1 for an argument it does not know.
int RunBenchmarks(int argc, char** argv, Summary summary);

}  // namespace tessaline::bench
