#pragma once
// Pieces the readers of the two format families share.

#include <functional>
#include <span>
#include <string>

#include "core/file/data_file.h"

namespace tessaline {

class ByteCursor;
class CCard;

// Asks for the password of an encrypted file. Returns false on Cancel. An empty entry
// adds "You must enter a password!" to the result's messages and comes back empty.
bool AskFilePassword(const ReadRequest& request, SecretText& password, ReadResult& result);

// Adds a plain OK notice to the result's messages.
void AddNotice(ReadResult& result, const char* text);

// Tries the entered password's bytes on the file, then the same characters as UTF-8 (see
// PasswordFormsToTry). True when one of them opens it; password then holds that one, so the
// next save keys the file the same way. An empty password is never tried.
bool TryPasswordForms(SecretText& password, const std::function<bool(const std::string&)>& opens);

// Files a read card: deleted cards to the deleted list, codes 0..14 to their list,
// code 100 to the deleted list; any other card is dropped (false).
bool FileReadCard(CCardCollection& cards, CCard card);

// Reads card records at the cursor while more than minLeft bytes remain; a damaged
// record ends the reading (result.stoppedEarly). Up to maxFill zero bytes may follow the
// last record (an encrypted file's fill to whole blocks); anything else there is data a
// rewrite would lose.
void ReadCardRecords(ByteCursor& in, std::size_t minLeft, std::size_t maxFill, int dateFormat,
                     CCardCollection& cards, ReadResult& result);

ReadResult ReadSealedFile(std::span<const std::uint8_t> data, const ReadRequest& request,
                          CCardCollection& cards, FileCipherState& state);

ReadResult ReadOldFormat(std::span<const std::uint8_t> data, FileFormat format,
                         const ReadRequest& request, CCardCollection& cards,
                         FileCipherState& state);

}  // namespace tessaline
