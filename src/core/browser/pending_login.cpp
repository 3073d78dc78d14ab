#include "core/browser/pending_login.h"

#include "core/base/secure_wipe.h"

namespace tessaline {

void PendingLogin::Start(const LoginFillRequest& request, std::int64_t nowMs) {
    Clear();
    request_ = request;
    // The password page is filled as it is; it is never a user-name page again, which
    // would send the user ID round and round.
    request_->userStep = false;
    request_->waitForFormMs = 0;
    startedMs_ = nowMs;
}

bool PendingLogin::Waiting(std::int64_t nowMs) const {
    return request_.has_value() && nowMs >= startedMs_ && nowMs - startedMs_ <= kLimitMs;
}

const LoginFillRequest* PendingLogin::ForPage(std::string_view pageAddress, std::int64_t nowMs) {
    if (!Waiting(nowMs)) {
        Clear();
        return nullptr;
    }
    if (CheckLoginOrigin(request_->cardAddress, pageAddress) != LoginOriginCheck::Match)
        return nullptr;
    return &*request_;
}

void PendingLogin::Clear() {
    if (request_) {
        SecureWipe(request_->password);
        SecureWipe(request_->userId);
    }
    request_.reset();
}

}  // namespace tessaline
