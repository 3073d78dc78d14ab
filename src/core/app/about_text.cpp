#include "core/app/about_text.h"

#include <utility>

#include "core/app/version.h"

namespace tessaline {

VersionFields CompiledVersionFields() {
    using namespace version;
    return VersionFields{kVersion, kComments,   kCompanyName, kCopyright,
                         kVersion, "tessaline", kProductName};
}

std::string AboutVersionText(const std::optional<VersionFields>& f) {
    if (!f)
        return {};
    const std::pair<const char*, const std::string*> lines[] = {
        {"ProductVersion", &f->productVersion}, {"Comments", &f->comments},
        {"CompanyName", &f->companyName},       {"LegalCopyright", &f->legalCopyright},
        {"FileVersion", &f->fileVersion},       {"InternalName", &f->internalName},
        {"ProductName", &f->productName}};
    std::string out;
    for (const auto& [name, value] : lines) {
        out += name;
        out += ":\t";
        out += *value;
        out += "\n";
    }
    return out;
}

}  // namespace tessaline
