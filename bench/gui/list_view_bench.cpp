// The card list of a large document in its real window: listing "Show All" again (the
// model reset with the name sort) and column clicks, each with the repaint that follows.
// Each size builds its document and window once per run, outside the timed loop.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QHeaderView>
#include <QString>
#include <QTreeView>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "bench_cards.h"
#include "core/cards/categories.h"
#include "core/platform/profile.h"
#include "core/prefs/frame_keys.h"
#include "core/views/card_list_model.h"
#include "gui/document/tessaline_doc.h"
#include "gui/views/card_table_model.h"
#include "gui/views/tessaline_view.h"
#include "silent_answers.h"

namespace {

using namespace tessaline;

const QString kShowAllText = QString::fromUtf8(kShowAll.data(), kShowAll.size());

// A document of count cards in a shown card list window listing "Show All".
class ShownList {
public:
    explicit ShownList(int count) : doc_(ui_, profile_, nullptr) {
        bench::FillCards(doc_.Cards(), count);
        profile_.WriteText(prefs::kGeneralSection, prefs::kLastSelectedCatg, std::string(kShowAll));
        view_ = std::make_unique<CTessalineNewView>(doc_, profile_);
        view_->resize(900, 600);
        view_->show();
        QCoreApplication::processEvents();
    }

    CTessalineNewView& View() { return *view_; }

    // Whether the list shows every stored card that is not deleted.
    bool ShowsEveryCard() const {
        const std::optional<int> all = CountOfCategoryText(doc_.Cards(), kShowAll);
        return all && *all > 0 && view_->ItemCount() == *all;
    }

private:
    MemoryProfile profile_;
    bench::SilentAnswers ui_;
    CTessalineNewDoc doc_;
    std::unique_ptr<CTessalineNewView> view_;
};

void SetCards(benchmark::State& state, int count) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * count);
}

// What the view does when the document asks every view to list "Show All" again.
void BM_ListShowAll(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    ShownList list(count);
    for (auto _ : state) {
        list.View().OnUpdate(kShowAllText);
        QCoreApplication::processEvents();
    }
    if (!list.ShowsEveryCard())
        state.SkipWithError("the list does not show every card");
    SetCards(state, count);
}
BENCHMARK(BM_ListShowAll)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

// Two column clicks, "User ID" then "Name", so every sort starts from another column's
// order. The direction flips at every click, so each iteration sorts the same way.
void BM_ListColumnSort(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    ShownList list(count);
    QHeaderView* header = list.View().List()->header();
    for (auto _ : state) {
        emit header->sectionClicked(kColumnUserId);
        QCoreApplication::processEvents();
        emit header->sectionClicked(kColumnName);
        QCoreApplication::processEvents();
    }
    if (!list.ShowsEveryCard())
        state.SkipWithError("the list does not show every card");
    SetCards(state, count);
}
BENCHMARK(BM_ListColumnSort)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

}  // namespace
