#pragma once
// One card: four texts whose meaning the category gives, a note, a category,
// a modification time and a few flags. Texts are kept as the exact bytes of the file.
// A card also has an identity, created and modified times in milliseconds, the earlier
// versions of itself, and optional fields (expiry, tags, a one-time-password secret,
// custom fields) that only the second sealed layout keeps.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessaline {

// 16 random bytes made with the card; all zero means the card has none yet (read from a
// layout that keeps none).
using CardIdentity = std::array<std::uint8_t, 16>;

inline bool HasIdentity(const CardIdentity& id) {
    for (std::uint8_t b : id)
        if (b != 0)
            return true;
    return false;
}

// A named value the user adds to a card; a protected one is masked like the password.
struct CustomField {
    std::string name;
    std::string value;
    bool isProtected = false;

    friend bool operator==(const CustomField&, const CustomField&) = default;
};

class CCard {
public:
    // Bits of the attribute byte.
    static constexpr std::uint8_t kNewBrowserWindowBit = 1;
    static constexpr std::uint8_t kAutomaticAccessBit = 2;
    // Bits of the sync byte.
    static constexpr std::uint8_t kDeletedBit = 2;
    static constexpr std::uint8_t kChangedBit = 4;

    const std::string& Name() const { return name_; }
    const std::string& Address() const { return address_; }
    const std::string& UserId() const { return userId_; }
    const std::string& Password() const { return password_; }
    const std::string& Note() const { return note_; }
    const std::string& CategoryNameText() const { return categoryName_; }
    const std::string& DateText() const { return dateText_; }
    void SetName(std::string v) { name_ = std::move(v); }
    void SetAddress(std::string v) { address_ = std::move(v); }
    void SetUserId(std::string v) { userId_ = std::move(v); }
    void SetPassword(std::string v) { password_ = std::move(v); }
    void SetNote(std::string v) { note_ = std::move(v); }
    void SetCategoryNameText(std::string v) { categoryName_ = std::move(v); }
    void SetDateText(std::string v) { dateText_ = std::move(v); }

    int ListPosition() const { return listPosition_; }
    void SetListPosition(int v) { listPosition_ = v; }
    std::uint8_t Category() const { return category_; }
    void SetCategory(std::uint8_t v) { category_ = v; }
    std::uint8_t Attributes() const { return attributes_; }
    void SetAttributes(std::uint8_t v) { attributes_ = v; }
    std::uint32_t ModificationTime() const { return time_; }
    void SetModificationTime(std::uint32_t v) { time_ = v; }
    std::uint32_t RecordId() const { return recordId_; }
    void SetRecordId(std::uint32_t v) { recordId_ = v; }
    std::uint8_t SyncByte() const { return sync_; }
    void SetSyncByte(std::uint8_t v) { sync_ = v; }

    const CardIdentity& Identity() const { return identity_; }
    void SetIdentity(const CardIdentity& v) { identity_ = v; }
    // Milliseconds since 1970 UTC.
    std::int64_t CreatedMs() const { return createdMs_; }
    void SetCreatedMs(std::int64_t v) { createdMs_ = v; }
    std::int64_t ModifiedMs() const { return modifiedMs_; }
    void SetModifiedMs(std::int64_t v) { modifiedMs_ = v; }

    // Optional fields.
    const std::optional<std::int64_t>& ExpiresMs() const { return expiresMs_; }
    void SetExpiresMs(std::optional<std::int64_t> v) { expiresMs_ = v; }
    const std::vector<std::string>& Tags() const { return tags_; }
    void SetTags(std::vector<std::string> v) { tags_ = std::move(v); }
    // The one-time-password secret as an otpauth:// address, kept as text.
    const std::string& OtpUri() const { return otpUri_; }
    void SetOtpUri(std::string v) { otpUri_ = std::move(v); }
    const std::vector<CustomField>& CustomFields() const { return customFields_; }
    void SetCustomFields(std::vector<CustomField> v) { customFields_ = std::move(v); }
    bool HasOptionalFields() const {
        return expiresMs_.has_value() || !tags_.empty() || !otpUri_.empty() ||
               !customFields_.empty();
    }

    // When the card went to the recycle bin (milliseconds since 1970 UTC); 0 when it is
    // not in it.
    std::int64_t RecycledMs() const { return recycledMs_; }
    void SetRecycledMs(std::int64_t v) { recycledMs_ = v; }

    // The earlier versions of the card, oldest first; each is complete but has no
    // history of its own.
    const std::vector<CCard>& History() const { return history_; }
    std::vector<CCard>& MutableHistory() { return history_; }
    void SetHistory(std::vector<CCard> v) { history_ = std::move(v); }

    // Entries of the card's record in the second sealed layout that this version does not
    // know, kept as the encoded bytes read and written back unchanged.
    const std::string& UnknownEntries() const { return unknownEntries_; }
    void SetUnknownEntries(std::string v) { unknownEntries_ = std::move(v); }

    bool NewBrowserWindow() const { return attributes_ & kNewBrowserWindowBit; }
    bool AutomaticAccess() const { return attributes_ & kAutomaticAccessBit; }
    void SetNewBrowserWindow(bool on) { SetBit(attributes_, kNewBrowserWindowBit, on); }
    void SetAutomaticAccess(bool on) { SetBit(attributes_, kAutomaticAccessBit, on); }
    bool Deleted() const { return sync_ & kDeletedBit; }
    bool Changed() const { return sync_ & kChangedBit; }
    void SetDeleted(bool on) { SetBit(sync_, kDeletedBit, on); }
    void SetChanged(bool on) { SetBit(sync_, kChangedBit, on); }

    // Bytes the card takes in a data file: the 24-byte header and the five texts,
    // each with its terminating zero.
    std::size_t StoredSize() const {
        return 24 + name_.size() + address_.size() + userId_.size() + password_.size() +
               note_.size() + 5;
    }

    // The address, user ID, password and note, for wiping in place.
    std::array<std::string*, 4> SecretTexts() { return {&address_, &userId_, &password_, &note_}; }

    // Calls f on each of the card's texts in turn (name, address, user ID, password, note,
    // category name, date text, then the optional fields' texts and every text of its
    // history), so that they can be cleared where they lie.
    template <typename F>
    void ForEachText(F&& f) {
        for (std::string* text : {&name_, &address_, &userId_, &password_, &note_, &categoryName_,
                                  &dateText_, &otpUri_, &unknownEntries_})
            f(*text);
        for (std::string& tag : tags_)
            f(tag);
        for (CustomField& field : customFields_) {
            f(field.name);
            f(field.value);
        }
        for (CCard& version : history_)
            version.ForEachText(f);
    }

    // A copy as Paste Card makes it: every text and flag, but no handheld record ID.
    CCard CopyForPaste() const {
        CCard c = *this;
        c.recordId_ = 0;
        return c;
    }

private:
    static void SetBit(std::uint8_t& byte, std::uint8_t bit, bool on) {
        byte = on ? static_cast<std::uint8_t>(byte | bit) : static_cast<std::uint8_t>(byte & ~bit);
    }

    std::string name_, address_, userId_, password_, note_;
    std::string categoryName_, dateText_;
    int listPosition_ = 0;
    std::uint8_t category_ = 0;
    std::uint8_t attributes_ = 0;
    std::uint32_t time_ = 0;
    std::uint32_t recordId_ = 0;
    std::uint8_t sync_ = 0;
    CardIdentity identity_{};
    std::int64_t createdMs_ = 0;
    std::int64_t modifiedMs_ = 0;
    std::optional<std::int64_t> expiresMs_;
    std::vector<std::string> tags_;
    std::string otpUri_;
    std::vector<CustomField> customFields_;
    std::int64_t recycledMs_ = 0;
    std::vector<CCard> history_;
    std::string unknownEntries_;
};

}  // namespace tessaline
