#include "core/cards/categories.h"

#include <algorithm>

namespace tessaline {

namespace {

constexpr std::array<CategoryInfo, kCategoryCount> kCategories{{
    {"WWW Sites", {"Name", "URL", "User ID", "Password"}},
    {"WWW Forms", {"Name", "URL", "User ID", "Password"}},
    {"FTP Servers", {"Name", "URL", "User ID", "Password"}},
    {"Newsgroups", {"Name", "URL", "User ID", "Password"}},
    {"Online Banking", {"Bank", "URL", "User ID", "Password"}},
    {"Login Accounts", {"Name", "Host", "Login", "Password"}},
    {"Email Accounts", {"Full Name", "POP Server", "UserID", "Password"}},
    {"Bank Accounts", {"Bank", "Branch Number", "Account Holder", "Account Number"}},
    {"Credit Cards", {"Name/Type", "Exp. Date", "Number", "PIN Code"}},
    {"ATM/PIN Cards", {"Name", "Bank", "Telephone Number", "ATM/PIN Code"}},
    {"Personal Data", {"Person", "Type of Data", "Date/Place Issued", "Number"}},
    {"Software Keys", {"Product", "Home Page", "Licensed To", "Software Key"}},
    {"Serial Numbers", {"Name", "Home Page", "Other", "Number"}},
    {"Membership Numbers", {"Organisation", "Home Page", "Name", "Number"}},
    {"Miscellaneous", {"Name", "Home Page", "Description", "Password"}},
}};

constexpr CategoryInfo kDeletedInfo{"", {"Field_1", "Field_2", "Field_3", "Field_4"}};

}  // namespace

const std::array<int, kCategoryCount> kGatherOrder{
    kWwwSites,      kWwwForms,      kFtpServers,    kNewsgroups,        kOnlineBanking,
    kEmailAccounts, kLoginAccounts, kBankAccounts,  kCreditCards,       kAtmPinCards,
    kPersonalData,  kSoftwareKeys,  kSerialNumbers, kMembershipNumbers, kMiscellaneous};

const std::array<int, kCategoryCount> kExportOrder{
    kWwwSites,      kWwwForms,     kFtpServers,    kNewsgroups,        kLoginAccounts,
    kEmailAccounts, kBankAccounts, kOnlineBanking, kCreditCards,       kAtmPinCards,
    kPersonalData,  kSoftwareKeys, kSerialNumbers, kMembershipNumbers, kMiscellaneous};

const CategoryInfo* FindCategory(int code) {
    if (code >= 0 && code < kCategoryCount)
        return &kCategories[static_cast<std::size_t>(code)];
    if (code == kDeletedCategory)
        return &kDeletedInfo;
    return nullptr;
}

std::string CategoryDisplayName(int code) {
    if (code < 0 || code >= kCategoryCount)
        code = kWwwSites;
    return std::string(kCategories[static_cast<std::size_t>(code)].displayName);
}

int CategoryCodeOfName(std::string_view name) {
    for (int code = 0; code < kCategoryCount; ++code) {
        if (kCategories[static_cast<std::size_t>(code)].displayName == name)
            return code;
    }
    return -1;
}

int LabelsByCode(int code, CategoryLabels& labels) {
    if (code < 0 || code >= kCategoryCount)
        return 0;
    const CategoryInfo& info = kCategories[static_cast<std::size_t>(code)];
    int width = 1;
    for (std::size_t i = 0; i < 4; ++i) {
        labels[i] = std::string(info.labels[i]);
        width = std::max(width, static_cast<int>(info.labels[i].size()));
    }
    return width;
}

int LabelsByName(std::string_view name, CategoryLabels& labels) {
    return LabelsByCode(CategoryCodeOfName(name), labels);
}

}  // namespace tessaline
