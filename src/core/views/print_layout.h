#pragma once
// What a printed page of cards holds and where, in the printer's device units: the
// header, the footer, and each card as a block of labelled rows.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessaline {

class CCard;
class CCardCollection;

// The printer as the layout sees it.
struct PrintDevice {
    int width = 0;       // horizontal resolution: the drawing rectangle's right edge
    int height = 0;      // vertical resolution: its bottom edge
    int lineHeight = 1;  // the font's height
    int charWidth = 1;   // the font's widest character
};

struct PrintOptions {
    bool printNotes = true;
    bool printAtm = true;
};

// One text drawn with its top left corner at (x, y).
struct PlacedText {
    int x = 0;
    int y = 0;
    std::string text;
    bool operator==(const PlacedText&) const = default;
};

int LinesPerCard(bool printNotes);
// How many cards go on one page. Only whole cards go on a page, at least one.
int CardsPerPage(const PrintDevice& device, bool printNotes);
// Pages for a number of cards; 0 cards give 0 pages.
int PrintPageCount(int cardCount, int cardsPerPage);

// The cards printed for a selector text: a category's list, "Show All" gathered in print
// order (ATM/PIN cards only when they are to be printed), or the search results.
std::vector<const CCard*> PrintSource(const CCardCollection& cards, std::string_view text,
                                      bool printAtm);
// The number of cards the page count follows (the list's own count for the text).
int PrintCardCount(const CCardCollection& cards, std::string_view text);

// A note on two printed lines, broken at a space near character 70.
std::pair<std::string, std::string> SplitNoteForPrint(const std::string& note);

struct PageTexts {
    std::string documentTitle;
    std::string dateText;  // today, in the short date format
};

// Everything page (from 1) shows.
std::vector<PlacedText> LayoutPrintPage(int page, const PrintDevice& device,
                                        const PrintOptions& options, const PageTexts& texts,
                                        const std::vector<const CCard*>& source);

}  // namespace tessaline
