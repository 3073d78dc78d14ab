#pragma once
// Whether a card's user ID and password may go into a page: the page must be on the
// card's own site (same host, or a subdomain of it, on the card's port), and a page
// that came over plain http only gets them when the card's own address is http.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaline {

class CCard;
class CCardCollection;

// Scheme, host and port of a web address, all lower case; port -1 when the address
// names none or names its scheme's default port (":80" for http, ":443" for https), so
// that "http://host:80/" and "http://host/" are one origin. A host with letters outside
// ASCII is kept in its ASCII form ("bücher.example" as "xn--bcher-kva.example"), the
// form browsers report. Only http and https addresses have one.
struct WebOrigin {
    std::string scheme;
    std::string host;
    int port = -1;
    bool operator==(const WebOrigin&) const = default;
};

// The origin of an http or https address (user info and a trailing dot of the host are
// left out), or none for any other address and for a host that has no ASCII form.
// `schemeless` reads an address without a scheme ("bank.example/login") as a host and
// path, with the scheme WebSchemeForHost gives its host.
std::optional<WebOrigin> ParseWebOrigin(std::string_view address, bool schemeless = false);

// The scheme an address without one is opened with: "http" for a host given by number
// ("127.0.0.1", "[::1]") or for "localhost" and its subdomains, which are this computer
// and rarely have a certificate; "https" for any other host name.
std::string WebSchemeForHost(std::string_view host);

// Whether two http or https addresses share scheme, host and port (a default port
// written out is the same as none): the frames a login may be filled into besides the
// page itself, and the only origin whose HTTP authentication gets the card's login.
bool SameWebOrigin(std::string_view first, std::string_view second);

enum class LoginOriginCheck {
    Match,
    CardNotWeb,     // the card's address names no web site
    PageNotWeb,     // the page is not an http or https page
    OtherSite,      // another host (or port) than the card's
    PlainHttpPage,  // the page came over http and the card's address is not http
};

// The rule for filling the card whose address is `cardAddress` into the page at
// `pageAddress`. A card address without a scheme counts as one with the scheme
// WebSchemeForHost gives it, the scheme Load Web Page opens it with.
LoginOriginCheck CheckLoginOrigin(std::string_view cardAddress, std::string_view pageAddress);

// The status bar's text when the rule refuses (empty for Match).
std::string LoginOriginRefusalText(LoginOriginCheck check);

// The cards of the fifteen category lists whose address the rule lets into the page at
// `pageAddress`, in category order, then list order.
std::vector<CCard*> CardsForPage(const CCardCollection& cards, std::string_view pageAddress);

}  // namespace tessaline
