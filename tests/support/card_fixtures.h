#pragma once
// Small helpers to build cards and collections in tests.

#include <cstdint>
#include <string>
#include <vector>

#include "core/cards/card_collection.h"

namespace tessaline::testing {

struct CardFields {
    int code = 0;
    std::string name{};
    std::string address{};
    std::string user{};
    std::string password{};
    std::string note{};
    std::uint8_t attributes = 0;
    std::uint8_t sync = 0;
    std::uint32_t time = 0;
    std::uint32_t recordId = 0;
};

inline CCard MakeCard(const CardFields& s) {
    CCard c;
    c.SetCategory(static_cast<std::uint8_t>(s.code));
    c.SetName(s.name);
    c.SetAddress(s.address);
    c.SetUserId(s.user);
    c.SetPassword(s.password);
    c.SetNote(s.note);
    c.SetAttributes(s.attributes);
    c.SetSyncByte(s.sync);
    c.SetModificationTime(s.time);
    c.SetRecordId(s.recordId);
    return c;
}

// Adds the card to its category list, or to the deleted list when its deleted mark is set.
inline CCard* AddCard(CCardCollection& cards, const CardFields& s) {
    CCard* c = cards.Adopt(MakeCard(s));
    if (c->Deleted()) {
        cards.AddToDeletedList(c);
    } else {
        cards.AddCardToCategory(s.code, c);
    }
    return c;
}

// Every card with its list, in file order (lists 0..14, then "deleted"), as comparable text.
inline std::vector<std::string> Describe(const CCardCollection& cards) {
    std::vector<std::string> out;
    auto one = [&](const std::string& list, const CCard* c) {
        out.push_back(list + "|" + std::to_string(c->Category()) + "|" + c->Name() + "|" +
                      c->Address() + "|" + c->UserId() + "|" + c->Password() + "|" + c->Note() +
                      "|a" + std::to_string(c->Attributes()) + "|s" +
                      std::to_string(c->SyncByte()) + "|t" + std::to_string(c->ModificationTime()) +
                      "|r" + std::to_string(c->RecordId()));
    };
    for (int code = 0; code < kCategoryCount; ++code) {
        for (const CCard* c : cards.List(code))
            one(std::to_string(code), c);
    }
    for (const CCard* c : cards.DeletedList())
        one("deleted", c);
    return out;
}

}  // namespace tessaline::testing
