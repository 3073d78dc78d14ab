#pragma once
// Pieces the readers of the two format families share.

#include <span>
#include <string>

#include "file/data_file.h"

namespace tessaline {

class ByteCursor;
class CCard;

// Asks for the password of an encrypted file. Returns false on Cancel. An empty entry
// shows "You must enter a password!" and comes back empty.
bool AskFilePassword(const ReadRequest& request, SecretText& password);

// Files a read card: deleted cards to the deleted list, codes 0..14 to their list,
// code 100 to the deleted list; any other card is dropped (false).
bool FileReadCard(CCardCollection& cards, CCard card);

// Reads card records at the cursor while more than minLeft bytes remain; a damaged
// record ends the reading (result.stoppedEarly). Up to maxFill zero bytes may follow the
// last record (an encrypted file's fill to whole blocks); anything else there is data a
// rewrite would lose.
void ReadCardRecords(ByteCursor& in, std::size_t minLeft, std::size_t maxFill,
                     const ReadRequest& request, CCardCollection& cards, ReadResult& result);

ReadResult ReadSealedFile(std::span<const std::uint8_t> data, const ReadRequest& request,
                          CCardCollection& cards, FileCipherState& state);

ReadResult ReadOldFormat(std::span<const std::uint8_t> data, FileFormat format,
                         const ReadRequest& request, CCardCollection& cards,
                         FileCipherState& state);

}  // namespace tessaline
