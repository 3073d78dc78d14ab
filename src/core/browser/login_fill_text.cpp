#include "core/browser/login_fill_text.h"

#include "core/browser/browser_commands.h"
#include "core/browser/login_origin.h"

namespace tessaline {

std::string SiteOfAddress(std::string_view address) {
    if (const std::optional<WebOrigin> origin = ParseWebOrigin(address)) {
        std::string site = origin->scheme + "://" + origin->host;
        if (origin->port >= 0)
            site += ":" + std::to_string(origin->port);
        return site;
    }
    const std::size_t colon = address.find(':');
    if (colon != std::string_view::npos && colon > 0)
        return std::string(address.substr(0, colon + 1));
    return std::string(address);
}

std::string LoginFillStatusText(const LoginFillReport& report) {
    switch (report.status) {
        case LoginFillStatus::NoPage:
            return kStatusNoBrowserPage;
        case LoginFillStatus::OriginRefused:
            return LoginOriginRefusalText(report.origin);
        case LoginFillStatus::NoLoginForm:
            return kStatusNoLoginForm;
        case LoginFillStatus::Filled:
            if (report.newPasswordForm)
                return report.passwordFilled ? kStatusCurrentPasswordOnly
                                             : kStatusNewPasswordFormNotFilled;
            if (!report.refusedTarget.empty())
                return std::string(report.userOnly ? "User ID filled" : "Filled") +
                       ", not submitted: the form sends to another site (" +
                       SiteOfAddress(report.refusedTarget) + ").";
            return report.userOnly ? kStatusUserIdFilled : kStatusLoginFilled;
        case LoginFillStatus::Submitted:
            return report.userOnly ? kStatusUserIdSubmitted : kStatusLoginSubmitted;
    }
    return {};
}

}  // namespace tessaline
