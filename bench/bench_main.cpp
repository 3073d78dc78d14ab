// The core benchmarks (cipher, opening, saving, exporting, searching, sealing, reading
// CSV) and their summary.

#include "bench_summary.h"

namespace {

using namespace tessaline::bench;

void PrintSummary(const CollectingReporter& r) {
    // Ours against OpenSSL: above 1 means ours is faster.
    WithBoth(
        r, "BM_BlowfishEcb64k", "BM_OpenSslBfEcb64k", [](const Figure& ours, const Figure& ref) {
            if (ref.BytesPerSecond() > 0) {
                PrintRatio("blowfish_ecb_vs_openssl", ours.BytesPerSecond() / ref.BytesPerSecond());
            }
        });
    WithBoth(r, "BM_BlowfishSetKey", "BM_OpenSslBfSetKey",
             [](const Figure& ours, const Figure& ref) {
                 PrintRatio("blowfish_setkey_vs_openssl", ref.Seconds() / ours.Seconds());
             });
    const Growth growth[] = {
        {"open_100k_vs_10k", "BM_OpenPlain/100000", "BM_OpenPlain/10000"},
        {"open_10k_vs_1k", "BM_OpenPlain/10000", "BM_OpenPlain/1000"},
        {"save_100k_vs_10k", "BM_SavePlain/100000", "BM_SavePlain/10000"},
        {"search_100k_vs_10k", "BM_GatherAndSearch/100000", "BM_GatherAndSearch/10000"},
        {"export_100k_vs_10k", "BM_ExportText/100000", "BM_ExportText/10000"},
        // Cards with ten earlier versions each: at most 12.
        {"history_open_100k_vs_10k", "BM_OpenSealed2History/100000", "BM_OpenSealed2History/10000"},
        {"history_save_100k_vs_10k", "BM_SaveSealed2History/100000", "BM_SaveSealed2History/10000"},
        {"history_search_100k_vs_10k", "BM_SearchHistory/100000", "BM_SearchHistory/10000"},
        {"history_sort_100k_vs_10k", "BM_SortHistory/100000", "BM_SortHistory/10000"},
        // One CSV field four times as long: about 4 when reading it is linear.
        {"csv_field_4m_vs_1m", "BM_CsvLongField/4", "BM_CsvLongField/1"},
    };
    PrintGrowth(r, growth);
    if (const Figure* open = r.Find("BM_OpenPlain/100000"))
        PrintRate("open_cards_per_s", 100000.0 / open->Seconds());
    // The seal's cost on top of a plain open (small key settings): at most 1.5.
    WithBoth(r, "BM_OpenSealed/100000", "BM_OpenPlain/100000",
             [](const Figure& sealed, const Figure& plain) {
                 PrintRatio("open_sealed_vs_plain_100k", sealed.Seconds() / plain.Seconds());
             });
    WithBoth(r, "BM_OpenSealed2/100000", "BM_OpenPlain/100000",
             [](const Figure& sealed, const Figure& plain) {
                 PrintRatio("open_sealed2_vs_plain_100k", sealed.Seconds() / plain.Seconds());
             });
    // History must not slow the list: at most 1.2.
    WithBoth(r, "BM_SortHistory/100000", "BM_SortNoHistory/100000",
             [](const Figure& history, const Figure& plain) {
                 PrintRatio("sort_100k_history_vs_plain", history.Seconds() / plain.Seconds());
             });
    // Milliseconds one key takes with the default settings.
    if (const Figure* kdf = r.Find("BM_SealedKdfDefault/iterations:3"))
        PrintRate("sealed_kdf_ms", kdf->Seconds() * 1000.0);
}

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv, PrintSummary);
}
