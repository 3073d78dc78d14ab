#pragma once
// Opening a data file into memory and writing one back, with everything the user should
// know said on the error stream: why a file did not open, what of it could not be read,
// why a file was not written.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/cards/card_collection.h"
#include "core/file/data_file.h"
#include "core/file/file_lock.h"

namespace tessaline::cli {

struct CliContext;

struct OpenedFile {
    std::string path;
    ReadResult read;    // with the cards and the cipher state
    int revision = -1;  // header byte 1 (current format only)

    CCardCollection& Cards() { return *read.cards; }
    const CCardCollection& Cards() const { return *read.cards; }
    FileCipherState& Cipher() { return read.state; }
    bool Damaged() const { return read.stoppedEarly || read.trailingData; }
    // Writing these cards back would lose part of what the file holds.
    bool WouldLoseData() const { return read.ReadInPart(); }
};

// Takes the writer lock of the data file at path (which need not exist yet), to hold
// from before its reading until after its writing. Nothing, after saying so, when another
// program is changing the file and does not finish within a few seconds.
std::optional<DataFileLock> LockDataFile(const std::string& path, CliContext& ctx);

// Reads the file at path, asking for its password when it is encrypted. Returns nothing
// when the file could not be opened, after saying why. Damage is reported as a warning.
std::unique_ptr<OpenedFile> OpenDataFile(const std::string& path, CliContext& ctx);

// Writes the cards to path, encrypted when cipher.encryptOnSave is set. The file on disk is
// replaced only by a complete new file; on failure it is untouched and the user is told why.
// Cards in clear are never written under a name ending in ".tse". asNewFile: the file is
// readable by its owner only, whatever mode the file it replaces had.
bool SaveDataFile(const std::string& path, const CCardCollection& cards, FileCipherState& cipher,
                  CliContext& ctx, bool asNewFile = false);

// The refusal to store a plain data file under a name ending in ".tse".
void RefusePlainUnderEncryptedName(const std::string& path, CliContext& ctx);

// The refusal to rewrite a file that was not read whole.
void RefuseLossyRewrite(const OpenedFile& file, CliContext& ctx);

}  // namespace tessaline::cli
