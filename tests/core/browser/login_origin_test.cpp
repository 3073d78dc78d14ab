// Which pages a card's login may be filled into, and which cards a page's login comes
// from.

#include <gtest/gtest.h>

#include "core/browser/login_origin.h"
#include "core/cards/card.h"
#include "core/cards/card_collection.h"
#include "support/card_fixtures.h"

namespace tessaline {
namespace {

using Check = LoginOriginCheck;

TEST(LoginOrigin, TheCardsSiteOnlyAndNeverPlainHttpForAnHttpsCard) {
    struct Case {
        const char* card;
        const char* page;
        Check expected;
    };
    const Case cases[] = {
        // Same scheme and host, whatever the path, query, case or trailing dot.
        {"https://bank.example/login", "https://bank.example/other?x=1", Check::Match},
        {"https://Bank.Example", "https://bank.example./", Check::Match},
        {"http://127.0.0.1:8080/a", "http://127.0.0.1:8080/b", Check::Match},
        // Subdomains of the card's host, but not hosts that merely end alike.
        {"https://bank.example", "https://login.bank.example/", Check::Match},
        {"https://bank.example", "https://a.b.bank.example/", Check::Match},
        {"https://bank.example", "https://evilbank.example/", Check::OtherSite},
        {"https://login.bank.example", "https://bank.example/", Check::OtherSite},
        {"https://bank.example", "https://bank.example.evil.test/", Check::OtherSite},
        // A host given by number, or without a dot, covers only itself.
        {"http://0.0.1", "http://127.0.0.1/", Check::OtherSite},
        {"http://localhost", "http://x.localhost/", Check::OtherSite},
        // Ports: the card's own, or the default one when it names none.
        {"http://127.0.0.1:8080", "http://127.0.0.1:9090/", Check::OtherSite},
        {"http://127.0.0.1:8080", "http://127.0.0.1/", Check::OtherSite},
        {"https://bank.example", "https://bank.example:8443/", Check::OtherSite},
        {"https://bank.example:443", "https://bank.example/", Check::Match},
        // Plain http only for a card whose address is http; an http card's site moved to
        // https is still its site.
        {"https://bank.example", "http://bank.example/", Check::PlainHttpPage},
        {"bank.example/login", "http://bank.example/", Check::PlainHttpPage},
        {"bank.example/login", "https://bank.example/", Check::Match},
        {"http://bank.example", "https://bank.example/", Check::Match},
        {"HTTP://bank.example", "http://bank.example/", Check::Match},
        // User info in either address changes nothing; a backslash ends the host as the
        // browser reads it.
        {"https://joe:pw@bank.example", "https://bank.example/", Check::Match},
        {"https://bank.example", "https://bank.example@evil.test/", Check::OtherSite},
        {"https://evil.test\\@bank.example", "https://bank.example/", Check::OtherSite},
        // Addresses that are no web site.
        {"", "https://bank.example/", Check::CardNotWeb},
        {"ftp://bank.example", "https://bank.example/", Check::CardNotWeb},
        {"https://", "https://bank.example/", Check::CardNotWeb},
        {"https://bank.example:99999", "https://bank.example/", Check::CardNotWeb},
        {"https://bank.example", "chrome://newtab/", Check::PageNotWeb},
        {"https://bank.example", "about:blank", Check::PageNotWeb},
        {"https://bank.example", "bank.example", Check::PageNotWeb},
        {"https://[::1]:8443/", "https://[::1]:8443/x", Check::Match},
        {"https://[::1]/", "https://[::2]/", Check::OtherSite},
        // A default port written out is the same as none, on either side.
        {"http://127.0.0.1:80/", "http://127.0.0.1/", Check::Match},
        {"http://127.0.0.1/", "http://127.0.0.1:80/", Check::Match},
        {"http://bank.example:80/", "https://bank.example/", Check::Match},
        {"https://bank.example:443/", "https://bank.example:443/x", Check::Match},
        {"http://127.0.0.1:443/", "http://127.0.0.1/", Check::OtherSite},
        // An address without a scheme has the scheme Load Web Page opens it with: http
        // for this computer and addresses by number.
        {"127.0.0.1:8080/x", "http://127.0.0.1:8080/y", Check::Match},
        {"localhost:3000", "http://localhost:3000/", Check::Match},
        {"127.0.0.1:80/x", "http://127.0.0.1/", Check::Match},
        {"bank.example:443/x", "https://bank.example/", Check::Match},
        // Host names with letters outside ASCII match the ASCII form the browser reports.
        {"http://b\xC3\xBC"
         "cher.example/",
         "http://xn--bcher-kva.example/", Check::Match},
        {"http://B\xC3\x9C"
         "CHER.example/",
         "http://xn--bcher-kva.example/", Check::Match},
        {"b\xC3\xBC"
         "cher.example",
         "https://login.xn--bcher-kva.example/", Check::Match},
        {"https://xn--bcher-kva.example/",
         "https://b\xC3\xBC"
         "cher.example/",
         Check::Match},
        {"http://bucher.example/", "http://xn--bcher-kva.example/", Check::OtherSite},
        {"http://b\xC3\xBC"
         "cher.example/",
         "http://bucher.example/", Check::OtherSite},
        {"https://\xFF\xFE.example/", "https://xn--bcher-kva.example/", Check::CardNotWeb},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckLoginOrigin(c.card, c.page), c.expected) << c.card << " / " << c.page;
}

TEST(LoginOrigin, EveryRefusalSaysWhy) {
    EXPECT_EQ(LoginOriginRefusalText(Check::Match), "");
    for (Check c : {Check::CardNotWeb, Check::PageNotWeb, Check::OtherSite, Check::PlainHttpPage})
        EXPECT_EQ(LoginOriginRefusalText(c).rfind("Login not filled: ", 0), 0u);
}

TEST(LoginOrigin, SameOriginFramesShareSchemeHostAndPort) {
    EXPECT_TRUE(SameWebOrigin("http://127.0.0.1:80/a", "http://127.0.0.1/b"));
    EXPECT_TRUE(SameWebOrigin("https://bank.example:443", "https://bank.example"));
    EXPECT_TRUE(
        SameWebOrigin("http://b\xC3\xBC"
                      "cher.example:80/",
                      "http://xn--bcher-kva.example"));
    EXPECT_FALSE(SameWebOrigin("http://127.0.0.1:443/", "http://127.0.0.1/"));
    EXPECT_FALSE(SameWebOrigin("http://127.0.0.1:8080/", "http://127.0.0.1:8081/"));
    EXPECT_FALSE(SameWebOrigin("https://bank.example/", "http://bank.example/"));
    EXPECT_FALSE(SameWebOrigin("https://bank.example/", "https://login.bank.example/"));
    EXPECT_FALSE(SameWebOrigin("about:blank", "about:blank"));
}

TEST(LoginOrigin, CardsForPageListsTheMatchingLiveCardsOfEveryCategory) {
    CCardCollection cards;
    auto add = [&](int code, const char* name, const char* address) {
        CCard* card = cards.Adopt(
            testing::MakeCard(testing::CardFields{.code = code, .name = name, .address = address}));
        cards.AddCardToCategory(code, card);
        return card;
    };
    CCard* bank = add(0, "Bank", "https://bank.example/");
    add(0, "Elsewhere", "https://other.example/");
    CCard* form = add(1, "Bank form", "bank.example/signin");
    CCard* gone = add(4, "Old bank", "https://bank.example/old");
    cards.DeleteCard(gone);
    add(4, "Plain", "https://bank.example:8443/");

    EXPECT_EQ(CardsForPage(cards, "https://login.bank.example/form"),
              (std::vector<CCard*>{bank, form}));
    EXPECT_TRUE(CardsForPage(cards, "https://nowhere.example/").empty());
    EXPECT_TRUE(CardsForPage(cards, "http://bank.example/").empty());
}

}  // namespace
}  // namespace tessaline
