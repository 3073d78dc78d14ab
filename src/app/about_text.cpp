#include "app/about_text.h"

#include <utility>

namespace tessaline {

#ifndef TESSALINE_VERSION
#define TESSALINE_VERSION ""
#endif
#ifndef TESSALINE_PRODUCT_NAME
#define TESSALINE_PRODUCT_NAME "Tessaline"
#endif
#ifndef TESSALINE_COMPANY_NAME
#define TESSALINE_COMPANY_NAME ""
#endif
#ifndef TESSALINE_COPYRIGHT
#define TESSALINE_COPYRIGHT ""
#endif
#ifndef TESSALINE_COMMENTS
#define TESSALINE_COMMENTS ""
#endif

VersionFields CompiledVersionFields() {
    return VersionFields{TESSALINE_VERSION,     TESSALINE_COMMENTS, TESSALINE_COMPANY_NAME,
                         TESSALINE_COPYRIGHT,   TESSALINE_VERSION,  "tessaline",
                         TESSALINE_PRODUCT_NAME};
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
