#pragma once
// What a printed page of cards holds and where, in the printer's device units: the
// header, the footer, and each card as a block of labelled rows. Long texts wrap within
// the page, and the line breaks of a note are kept.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaline {

class CCard;
class CCardCollection;

// Printing keeps at least this much paper free on every side, whatever the printer allows.
inline constexpr double kMinPrintMarginMm = 10.0;

// The printer as the layout sees it: the area inside its margins.
struct PrintDevice {
    int width = 0;       // the drawing area's right edge
    int height = 0;      // its bottom edge
    int lineHeight = 1;  // the font's height
    int charWidth = 1;   // the font's widest character
};

// How wide a UTF-8 text prints, in device units.
using MeasureText = std::function<int(std::string_view utf8)>;

struct PrintOptions {
    bool printNotes = true;
    bool printAtm = true;
};

// One text drawn with its top left corner at (x, y). Texts are UTF-8.
struct PlacedText {
    int x = 0;
    int y = 0;
    std::string text;
    bool operator==(const PlacedText&) const = default;
};

// The cards printed for a selector text: a category's list, "Show All" gathered in print
// order (ATM/PIN cards only when they are to be printed), or the search results.
std::vector<const CCard*> PrintSource(const CCardCollection& cards, std::string_view text,
                                      bool printAtm);

// The lines a UTF-8 text prints on in a column width wide: each line break of the text
// (CR LF, CR or LF) starts a new line, and a line too wide is broken after its last space
// that fits, or inside a word longer than the column (never inside a character). Every
// line holds at least one character; an empty text is one empty line.
std::vector<std::string> WrapForPrint(std::string_view utf8, int width, const MeasureText& measure);

// The cards of source on pages: each page's texts, without its header and footer. A card
// starts on a new page when it does not fit on what is left of the current one, and is
// parted only when it is taller than a whole page. Each card shows its category, its
// number in source (from 1), and its texts beside the labels the card editor gives them;
// the note (with printNotes) follows in full. Nothing is cut at the right edge. No cards:
// no pages.
std::vector<std::vector<PlacedText>> LayoutPrintCards(const PrintDevice& device,
                                                      const PrintOptions& options,
                                                      const std::vector<const CCard*>& source,
                                                      const MeasureText& measure);

struct PageTexts {
    std::string documentTitle;  // UTF-8
    std::string dateText;       // today, in the short date format
};

// A page's header (the document's title at the left, "Tessaline" at the right) and footer
// (the date at the left, the page number in the middle), inside the drawing area.
std::vector<PlacedText> LayoutPageFrame(int page, const PrintDevice& device, const PageTexts& texts,
                                        const MeasureText& measure);

}  // namespace tessaline
