// Runs every benchmark, then prints the figures that matter as one line each:
//   ratio NAME VALUE   (two decimals)
//   rate NAME VALUE    (a whole number per second)
// A figure whose benchmarks were filtered out is not printed.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

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
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) {
                continue;
            }
            Figure& f = figures_[run.benchmark_name()];
            f.seconds += run.cpu_accumulated_time / static_cast<double>(run.iterations);
            ++f.runs;
            const auto bytes = run.counters.find("bytes_per_second");
            if (bytes != run.counters.end())
                f.bytesPerSecond += bytes->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    const Figure* Find(const std::string& name) const {
        const auto it = figures_.find(name);
        return it == figures_.end() ? nullptr : &it->second;
    }

private:
    std::map<std::string, Figure> figures_;
};

void PrintRatio(const char* name, double value) {
    std::printf("ratio %s %.2f\n", name, value);
}

void PrintSummary(const CollectingReporter& r) {
    std::printf("\n");
    const auto both = [&](const char* a, const char* b, auto print) {
        const Figure* fa = r.Find(a);
        const Figure* fb = r.Find(b);
        if (fa && fb)
            print(*fa, *fb);
    };
    // Ours against OpenSSL: above 1 means ours is faster.
    both("BM_BlowfishEcb64k", "BM_OpenSslBfEcb64k", [](const Figure& ours, const Figure& ref) {
        if (ref.BytesPerSecond() > 0) {
            PrintRatio("blowfish_ecb_vs_openssl", ours.BytesPerSecond() / ref.BytesPerSecond());
        }
    });
    both("BM_BlowfishSetKey", "BM_OpenSslBfSetKey", [](const Figure& ours, const Figure& ref) {
        PrintRatio("blowfish_setkey_vs_openssl", ref.Seconds() / ours.Seconds());
    });
    // Larger documents against smaller ones: about 10 means the cost grows with the cards.
    const struct {
        const char* name;
        const char* large;
        const char* small;
    } growth[] = {
        {"open_100k_vs_10k", "BM_OpenPlain/100000", "BM_OpenPlain/10000"},
        {"open_10k_vs_1k", "BM_OpenPlain/10000", "BM_OpenPlain/1000"},
        {"save_100k_vs_10k", "BM_SavePlain/100000", "BM_SavePlain/10000"},
        {"search_100k_vs_10k", "BM_GatherAndSearch/100000", "BM_GatherAndSearch/10000"},
        {"export_100k_vs_10k", "BM_ExportText/100000", "BM_ExportText/10000"},
    };
    for (const auto& g : growth) {
        both(g.large, g.small, [&](const Figure& large, const Figure& small) {
            PrintRatio(g.name, large.Seconds() / small.Seconds());
        });
    }
    if (const Figure* open = r.Find("BM_OpenPlain/100000")) {
        std::printf("rate open_cards_per_s %.0f\n", 100000.0 / open->Seconds());
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    PrintSummary(reporter);
    return 0;
}
