#pragma once
// Automatic saving: a one-minute tick counts towards the number of minutes the user
// chose; the active document is saved at the first tick at or past that count that
// finds it modified.

#include <string_view>

namespace tessaline {

// The minutes of the "Automatic Save" text: its leading decimal digits; none give 0.
int ParseAutoSaveMinutes(std::string_view text);

class AutoSaveCounter {
public:
    void SetMinutes(int minutes) { minutes_ = minutes; }
    int Minutes() const { return minutes_; }
    int Ticks() const { return ticks_; }

    // One tick. Returns true when the active document is to be saved now; the count
    // then starts again. Without a document nothing is saved, but the tick counts.
    bool Tick(bool haveDocument, bool documentModified);

private:
    int minutes_ = 10;
    int ticks_ = 0;
};

}  // namespace tessaline
