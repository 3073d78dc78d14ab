#pragma once
// The version text of the About box: one "name:<tab>value" line per version field.

#include <optional>
#include <string>

#include "core/browser/program_pages.h"

namespace tessaline {

struct VersionFields {
    std::string productVersion;
    std::string comments;
    std::string companyName;
    std::string legalCopyright;
    std::string fileVersion;
    std::string internalName;
    std::string productName;
};

// The fields compiled into this program.
VersionFields CompiledVersionFields();

// The lines "ProductVersion", "Comments", "CompanyName", "LegalCopyright", "FileVersion",
// "InternalName", "ProductName", in this order; empty without version information.
std::string AboutVersionText(const std::optional<VersionFields>& fields);

}  // namespace tessaline
