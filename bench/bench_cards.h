#pragma once
// The cards the benchmarks measure, as people keep them: a name, an address or account
// number, a user ID, a password and often a short note. A fixed seed makes every run
// measure the same documents.

namespace tessaline {
class CCardCollection;
}

namespace tessaline::bench {

// Adds count cards to their category lists (about one in a hundred to the deleted list);
// every call adds the same cards.
void FillCards(CCardCollection& cards, int count);

}  // namespace tessaline::bench
