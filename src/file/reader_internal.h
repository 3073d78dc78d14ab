#pragma once
// Pieces the readers of the two format families share.

#include <functional>
#include <span>
#include <string>

#include "file/data_file.h"

namespace tessaline {

class CCard;

// Asks for the password of an encrypted file. Returns false on Cancel. An empty entry
// shows "You must enter a password!" and comes back empty.
bool AskFilePassword(const ReadRequest& request, SecretText& password);

// Tries the entered password's bytes on the file, then the same characters as UTF-8 (see
// PasswordFormsToTry). True when one of them opens it; password then holds that one, so the
// next save keys the file the same way. An empty password is never tried.
bool TryPasswordForms(SecretText& password, const std::function<bool(const std::string&)>& opens);

// Files a read card: deleted cards to the deleted list, codes 0..14 to their list,
// code 100 to the deleted list; any other card is dropped (false).
bool FileReadCard(CCardCollection& cards, CCard card);

ReadResult ReadOldFormat(std::span<const std::uint8_t> data, FileFormat format,
                         const ReadRequest& request, CCardCollection& cards,
                         FileCipherState& state);

}  // namespace tessaline
