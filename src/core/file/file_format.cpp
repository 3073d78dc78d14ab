// Telling the formats apart from the first bytes of a file.

#include <cstring>

#include "core/file/byte_io.h"
#include "core/file/data_file.h"
#include "core/file/sealed_file.h"

namespace tessaline {

const char* FormatName(FileFormat format) {
    switch (format) {
        case FileFormat::Version1001:
            return "Version 1.001";
        case FileFormat::Version1002:
            return "Version 1.002";
        case FileFormat::MacSyncVersion:
            return "MACSyncVersion";
        case FileFormat::NotTessaline:
            return "Not a Tessaline File";
        case FileFormat::Empty:
            return "Empty File";
        case FileFormat::Sealed:
            return "Sealed";
    }
    return "Not a Tessaline File";
}

HeaderFacts InspectHeader(std::span<const std::uint8_t> data) {
    HeaderFacts facts;
    if (data.empty()) {
        facts.format = FileFormat::Empty;
        return facts;
    }
    // The sealed file's 16 bytes come first: nothing else begins with them.
    if (HasSealedMagic(data)) {
        facts.format = FileFormat::Sealed;
        facts.encrypted = true;
        return facts;
    }
    // The old formats: a 9-byte marker, then the version text.
    if (data.size() >= 21) {
        const char* version = reinterpret_cast<const char*>(data.data() + 9);
        if (std::memcmp(version, "Version1.001", 12) == 0 ||
            std::memcmp(version, "Version1.002", 12) == 0) {
            facts.format = version[11] == '1' ? FileFormat::Version1001 : FileFormat::Version1002;
            facts.encrypted = std::memcmp(data.data(), "ENCRYPTED", 9) == 0;
            return facts;
        }
    }
    if (data.size() < kHeaderSize)
        return facts;
    facts.headerValue18 = GetU32(data.data() + 18);
    static constexpr std::uint8_t kCreator[4] = {0x6E, 0x4C, 0x73, 0x54};
    if (std::memcmp(data.data() + 14, kCreator, 4) != 0)
        return facts;
    facts.format = FileFormat::MacSyncVersion;
    facts.revision = data[1];
    facts.encryptionByte = data[12];
    facts.encrypted = data[12] == 1;
    return facts;
}

}  // namespace tessaline
