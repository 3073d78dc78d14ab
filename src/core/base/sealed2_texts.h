#pragma once
// The texts of the second sealed layout: the file's name goes where "%1" stands.

namespace tessaline::msg {

inline constexpr const char* kSealedDamaged =
    "%1 is damaged: it changed after it was written. A copy made before the damage, or a "
    "sync copy, may still be whole.";
inline constexpr const char* kWrittenByNewer =
    "%1 was written by a newer Tessaline; it opens read-only.";
inline constexpr const char* kNowInNewerLayout = "%1 is now saved in the newer sealed layout.";
// The payload was sealed under the password but is not one this version can read.
inline constexpr const char* kPayloadUnreadable =
    "This sealed file holds data this version cannot read.";

}  // namespace tessaline::msg
