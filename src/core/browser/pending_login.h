#pragma once
// The second step of a two-step login: a sign-in whose first page asks for the user name
// alone gets the password on the page that follows, when that page shows within a minute
// and is on the card's site.

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/browser/browser_interfaces.h"

namespace tessaline {

class PendingLogin {
public:
    static constexpr std::int64_t kLimitMs = 60000;

    PendingLogin() = default;
    PendingLogin(const PendingLogin&) = delete;
    PendingLogin& operator=(const PendingLogin&) = delete;
    ~PendingLogin() { Clear(); }

    // The card's login, whose user ID went into a user-name page at `nowMs` (a clock
    // in milliseconds that only goes forward). Replaces any earlier one.
    void Start(const LoginFillRequest& request, std::int64_t nowMs);
    // Whether a login waits for its password page at `nowMs`.
    bool Waiting(std::int64_t nowMs) const;
    // What to fill into the page at `pageAddress` shown at `nowMs`: the card's login, for
    // a page with a password field only, while it waits and the page is on the card's site
    // by the login rule; none otherwise. A login whose minute has passed is forgotten.
    const LoginFillRequest* ForPage(std::string_view pageAddress, std::int64_t nowMs);
    // Forgets the login, its password wiped.
    void Clear();

private:
    std::optional<LoginFillRequest> request_;
    std::int64_t startedMs_ = 0;
};

}  // namespace tessaline
