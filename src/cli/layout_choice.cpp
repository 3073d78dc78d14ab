#include "cli/layout_choice.h"

#include "cli/cli_arguments.h"
#include "core/file/data_file.h"

namespace tessaline::cli {

void ApplyLayoutChoice(const CliRequest& request, bool sealedByDefault, FileCipherState& cipher) {
    const bool wasSealed = cipher.encryptOnSave && cipher.sealed;
    cipher.sealed = request.sealed.value_or(sealedByDefault);
    if (!cipher.sealed)
        return;
    if (!wasSealed)
        cipher.seal = kDefaultSealSettings;
    if (request.kdfOps)
        cipher.seal.opsLimit = static_cast<std::uint32_t>(*request.kdfOps);
    if (request.kdfMemoryMiB)
        cipher.seal.memLimit = static_cast<std::uint64_t>(*request.kdfMemoryMiB) << 20;
}

}  // namespace tessaline::cli
