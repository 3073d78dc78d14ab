#pragma once
// One card: four texts whose meaning the category gives, a note, a category,
// a modification time and a few flags. Texts are kept as the exact bytes of the file.

#include <array>
#include <cstdint>
#include <string>

namespace tessaline {

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
    // category name, date text), so that they can be cleared where they lie.
    template <typename F>
    void ForEachText(F&& f) {
        for (std::string* text :
             {&name_, &address_, &userId_, &password_, &note_, &categoryName_, &dateText_})
            f(*text);
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
};

}  // namespace tessaline
