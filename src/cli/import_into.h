#pragma once
// What import and import-csv share: cards read from a source go into a new data file, or
// are added to an existing one (which keeps its password).

#include <functional>
#include <string>
#include <vector>

#include "core/cards/card.h"

namespace tessaline::cli {

struct CliContext;
struct CliRequest;

struct ImportSource {
    // Reads the cards of the source file; tells the user why when it cannot.
    std::function<bool(const std::string& path, CliContext& ctx, std::vector<CCard>& cards)> read;
    // Whether the summary lists the cards per category.
    bool countPerCategory = false;
};

// request.files holds the source and the target data file.
int RunImportFrom(const CliRequest& request, CliContext& ctx, const ImportSource& source);

}  // namespace tessaline::cli
