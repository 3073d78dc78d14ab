#include "core/browser/login_origin.h"

#include <idn2.h>

#include <algorithm>
#include <cctype>
#include <memory>

#include "core/cards/card.h"
#include "core/cards/card_collection.h"
#include "core/cards/categories.h"

namespace tessaline {

namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

int DefaultPort(const std::string& scheme) {
    return scheme == "http" ? 80 : 443;
}

bool IsIpLiteral(std::string_view host) {
    if (!host.empty() && host.front() == '[')
        return true;
    return !host.empty() && std::all_of(host.begin(), host.end(), [](char c) {
        return c == '.' || std::isdigit(static_cast<unsigned char>(c));
    });
}

// The host as browsers send and report it: ASCII, lower case. A name with letters outside
// ASCII becomes its "xn--" form; none when it has no such form.
std::optional<std::string> AsciiHost(std::string_view host) {
    if (std::all_of(host.begin(), host.end(), [](char c) { return (c & 0x80) == 0; }))
        return Lower(host);
    const std::string text(host);
    for (const int flags :
         {IDN2_NFC_INPUT | IDN2_NONTRANSITIONAL, IDN2_NFC_INPUT | IDN2_TRANSITIONAL}) {
        char* output = nullptr;
        if (idn2_to_ascii_8z(text.c_str(), &output, flags) != IDN2_OK)
            continue;
        const std::unique_ptr<char, void (*)(void*)> owned(output, idn2_free);
        return Lower(owned.get());
    }
    return std::nullopt;
}

}  // namespace

std::string WebSchemeForHost(std::string_view host) {
    std::string name = Lower(host);
    if (!name.empty() && name.back() == '.')
        name.pop_back();
    const bool local = name == "localhost" || name.ends_with(".localhost");
    return IsIpLiteral(name) || local ? "http" : "https";
}

std::optional<WebOrigin> ParseWebOrigin(std::string_view address, bool schemeless) {
    WebOrigin origin;
    std::size_t start = 0;
    const std::size_t colon = address.find("://");
    if (colon != std::string_view::npos && address.find_first_of("/?#\\") > colon) {
        origin.scheme = Lower(address.substr(0, colon));
        if (origin.scheme != "http" && origin.scheme != "https")
            return std::nullopt;
        start = colon + 3;
    } else if (!schemeless) {
        return std::nullopt;
    }
    // Browsers end the authority at a backslash too, so it must end here as well.
    const std::size_t end = std::min(address.find_first_of("/?#\\", start), address.size());
    std::string_view authority = address.substr(start, end - start);
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos)
        authority.remove_prefix(at + 1);
    std::string_view host = authority;
    std::string_view port;
    if (!authority.empty() && authority.front() == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos)
            return std::nullopt;
        host = authority.substr(0, close + 1);
        const std::string_view rest = authority.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':')
                return std::nullopt;
            port = rest.substr(1);
        }
    } else if (const std::size_t c = authority.rfind(':'); c != std::string_view::npos) {
        host = authority.substr(0, c);
        port = authority.substr(c + 1);
    }
    if (!host.empty() && host.back() == '.')
        host.remove_suffix(1);
    if (host.empty() || port.size() > 5 || !std::all_of(port.begin(), port.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c));
        }))
        return std::nullopt;
    std::optional<std::string> ascii = AsciiHost(host);
    if (!ascii || ascii->empty())
        return std::nullopt;
    origin.host = std::move(*ascii);
    if (origin.scheme.empty())
        origin.scheme = WebSchemeForHost(origin.host);
    if (!port.empty()) {
        origin.port = std::stoi(std::string(port));
        if (origin.port > 65535)
            return std::nullopt;
        // ":80" on http is the address without a port, as the browser reports it.
        if (origin.port == DefaultPort(origin.scheme))
            origin.port = -1;
    }
    return origin;
}

bool SameWebOrigin(std::string_view first, std::string_view second) {
    const std::optional<WebOrigin> a = ParseWebOrigin(first);
    const std::optional<WebOrigin> b = ParseWebOrigin(second);
    if (!a || !b)
        return false;
    return *a == *b;
}

LoginOriginCheck CheckLoginOrigin(std::string_view cardAddress, std::string_view pageAddress) {
    const std::optional<WebOrigin> card = ParseWebOrigin(cardAddress, true);
    if (!card)
        return LoginOriginCheck::CardNotWeb;
    const std::optional<WebOrigin> page = ParseWebOrigin(pageAddress);
    if (!page)
        return LoginOriginCheck::PageNotWeb;

    const bool sameHost = page->host == card->host;
    // "bank.example" also covers "login.bank.example"; an address given by number, or a
    // host without a dot, covers only itself.
    const bool subdomain = !IsIpLiteral(card->host) && card->host.find('.') != std::string::npos &&
                           page->host.size() > card->host.size() &&
                           page->host.ends_with("." + card->host);
    // A card that names its port is on that port; one that names none, on the default
    // port of the page's scheme (so http://bank.example also covers its https pages).
    const int pagePort = page->port < 0 ? DefaultPort(page->scheme) : page->port;
    const bool samePort =
        card->port < 0 ? pagePort == DefaultPort(page->scheme) : pagePort == card->port;
    if (!(sameHost || subdomain) || !samePort)
        return LoginOriginCheck::OtherSite;
    if (page->scheme == "http" && card->scheme != "http")
        return LoginOriginCheck::PlainHttpPage;
    return LoginOriginCheck::Match;
}

std::string LoginOriginRefusalText(LoginOriginCheck check) {
    switch (check) {
        case LoginOriginCheck::Match:
            return {};
        case LoginOriginCheck::CardNotWeb:
            return "Login not filled: the card's address is not a web address.";
        case LoginOriginCheck::PageNotWeb:
            return "Login not filled: the browser does not show a web page.";
        case LoginOriginCheck::OtherSite:
            return "Login not filled: the page is not on the card's web site.";
        case LoginOriginCheck::PlainHttpPage:
            return "Login not filled: the page is not encrypted (http) and the card's address "
                   "is not http.";
    }
    return {};
}

std::vector<CCard*> CardsForPage(const CCardCollection& cards, std::string_view pageAddress) {
    std::vector<CCard*> found;
    for (int code = 0; code < kCategoryCount; ++code)
        for (CCard* card : cards.List(code))
            if (card && !card->Deleted() &&
                CheckLoginOrigin(card->Address(), pageAddress) == LoginOriginCheck::Match)
                found.push_back(card);
    return found;
}

}  // namespace tessaline
