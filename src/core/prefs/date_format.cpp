#include "core/prefs/date_format.h"

#include "core/platform/profile.h"
#include "core/prefs/profile_keys.h"

namespace tessaline {

int DateFormatIndex(const IProfile& profile) {
    return profile.GetInt(prefs::kInternetSection, prefs::kDateFormat, prefs::kDateFormatDefault);
}

std::string FormatCardDate(std::uint32_t stamp, const IProfile& profile) {
    return FormatCardDate(stamp, DateFormatIndex(profile));
}

}  // namespace tessaline
