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
#include "core/file/file_fingerprint.h"
#include "core/file/file_lock.h"

namespace tessaline::cli {

struct CliContext;

struct OpenedFile {
    std::string path;
    ReadResult read;        // with the cards and the cipher state
    int revision = -1;      // header byte 1 (current format only)
    FileFingerprint print;  // of the bytes read, to notice a change by another program

    CCardCollection& Cards() { return *read.cards; }
    const CCardCollection& Cards() const { return *read.cards; }
    FileCipherState& Cipher() { return read.state; }
    bool Damaged() const { return read.stoppedEarly || read.trailingData; }
    // Writing these cards back would lose part of what the file holds.
    bool WouldLoseData() const { return read.ReadInPart(); }
};

// Takes the writer lock of the data file at path (which need not exist yet), to hold while
// the file is read again, changed and written: only after every question to the user, so
// that nobody waiting at a prompt keeps other programs from saving. Nothing, after saying
// so, when another program is changing the file and does not finish within a few seconds.
std::optional<DataFileLock> LockDataFile(const std::string& path, CliContext& ctx);

// Reads the file at path, asking for its password when it is encrypted. Returns nothing
// when the file could not be opened, after saying why. Damage is reported as a warning.
// Temporary files that interrupted saves left beside it are removed.
std::unique_ptr<OpenedFile> OpenDataFile(const std::string& path, CliContext& ctx);

// Under the writer lock, before the file read earlier is changed: when another program
// changed it since, it is read again with the password it was opened with (nobody is
// asked), so that the change is kept. False, after saying why, when the file is gone or
// no longer opens whole with that password.
bool ReadAgainIfChanged(OpenedFile& file, const DataFileLock& lock, CliContext& ctx);

// Writes the cards to path, encrypted when cipher.encryptOnSave is set, holding lock (the
// path's). The file on disk is replaced only by a complete new file, and a new file never
// replaces one another program made meanwhile; on failure the file is untouched and the
// user is told why. Cards in clear are never written under a name ending in ".tse".
// asNewFile: the file is readable by its owner only, whatever mode the file it replaces had.
bool SaveDataFile(const std::string& path, const CCardCollection& cards, FileCipherState& cipher,
                  const DataFileLock& lock, CliContext& ctx, bool asNewFile = false);

// The refusal to store a plain data file under a name ending in ".tse".
void RefusePlainUnderEncryptedName(const std::string& path, CliContext& ctx);

// The refusal to rewrite a file that was not read whole.
void RefuseLossyRewrite(const OpenedFile& file, CliContext& ctx);
void RefuseLossyRewrite(const std::string& path, CliContext& ctx);

}  // namespace tessaline::cli
