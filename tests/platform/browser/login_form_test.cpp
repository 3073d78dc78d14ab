// Login forms filled by Load Web Page and Fill Login in the real headless Chromium, on
// pages served from 127.0.0.1 by the test: the values reach the page's scripts as typing
// would, only a page (or same-origin frame) of the card's site gets them, the form is
// submitted only when the user asked for it, and the password is never kept in the
// browser's profile.

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTcpServer>
#include <memory>

#include "browser_test_support.h"
#include "core/browser/login_origin.h"
#include "core/cards/card.h"
#include "core/cards/card_collection.h"
#include "gui/browser/web_page_commands.h"
#include "gui/document/tessaline_doc.h"
#include "gui/views/tessaline_view.h"
#include "support/card_fixtures.h"
#include "test_web_server.h"

namespace tessaline {
namespace {

using testing::BrowserRig;
using testing::CardFields;
using testing::MakeCard;

constexpr const char* kPassword = "s3cret\"');</script>-only-here";
constexpr const char* kPasswordMark = "only-here";

// A form with a search box of its own before it (not the user field), a hidden password
// field (not the one to fill), then the user and password fields.
const QByteArray kLoginForm =
    "<form action='/search'><input type='text' name='search'></form>"
    "<form action='/page/Welcome' method='post'>"
    "<input type='password' name='hidden' style='display:none'>"
    "<input type='email' name='user'><input type='checkbox' name='remember'>"
    "<input type='password' name='pass'><input type='submit'></form>";

QByteArray Page(const QByteArray& title, const QByteArray& body) {
    return "<!DOCTYPE html><html><head><title>" + title + "</title></head><body>" + body +
           "</body></html>";
}

class LoginFormTest : public testing::ChromiumRigTest {
protected:
    void SetUp() override {
        ChromiumRigTest::SetUp();
        if (!StartedServerAndRig())
            return;
        ASSERT_TRUE(other.Start());
        server.ServePage("/plain", Page("Plain", kLoginForm));
        server.ServePage("/framed",
                         Page("Framed", "<p>Outer page</p><iframe src='/inner'></iframe>"));
        server.ServePage("/inner", Page("Inner", kLoginForm));
        // A page whose own script records what it is told about its fields.
        server.ServePage("/listening",
                         Page("Listening",
                              "<script>window.seen = [];"
                              "for (const type of ['input', 'change'])"
                              "  document.addEventListener(type, (e) => window.seen.push("
                              "    type + ' ' + e.target.name + '=' + e.target.value), true);"
                              "</script>" +
                                  kLoginForm));
        // The card's site with another site's login form in a frame.
        server.ServePage(
            "/foreign-frame",
            Page("Foreign frame", "<iframe src='" + other.Url("/plain").toUtf8() + "'></iframe>"));
        other.ServePage("/plain", Page("Other plain", kLoginForm));
        ASSERT_TRUE(rig->automation.StartExplorerAtHome());
    }

    CCard Card(const QString& path, std::uint8_t attributes = 0, int category = 1) {
        return MakeCard(CardFields{.code = category,
                                   .name = "Site",
                                   .address = server.Url(path).toStdString(),
                                   .user = "joe@example.org",
                                   .password = kPassword,
                                   .attributes = attributes});
    }
    void Submitting(bool on) {
        rig->profile.WriteInt(prefs::kGeneralSection, prefs::kSubmitLoginForms, on ? 1 : 0);
    }

    // Runs `function` in every frame of the shown tab (top frame first) in a world of the
    // test's own; the value of each.
    std::vector<QJsonValue> InFrames(const QString& function) {
        devtools::DevToolsClient client(rig->profileFolder);
        std::vector<QJsonValue> values;
        const auto page = client.LastActivePage();
        const auto session = page ? client.Attach(page->id) : std::nullopt;
        if (!session)
            return values;
        for (const devtools::PageFrame& frame : client.Frames(*session))
            values.push_back(client.CallInIsolatedWorld(*session, frame.id, function, {})
                                 .value_or(QJsonValue()));
        return values;
    }
    // "name=value" of every input field of each frame.
    std::vector<std::string> Fields() {
        std::vector<std::string> out;
        for (const QJsonValue& v : InFrames(QStringLiteral(
                 "function () { return Array.from(document.querySelectorAll('input'))"
                 ".filter((e) => e.type !== 'submit' && e.type !== 'checkbox')"
                 ".map((e) => e.name + '=' + e.value).join(' '); }")))
            out.push_back(v.toString().toStdString());
        return out;
    }
    std::string Filled() const {
        return std::string("search= hidden= user=joe@example.org pass=") + kPassword;
    }
    static constexpr const char* kEmpty = "search= hidden= user= pass=";

    bool Shows(const std::string& title) {
        return testing::WaitUntil([&] {
            std::string t;
            return rig->automation.GetRunningExplorerTitle(t) && t == title;
        });
    }
    const testing::SeenRequest* Posted() const {
        for (const testing::SeenRequest& seen : server.Seen())
            if (seen.method == "POST")
                return &seen;
        return nullptr;
    }

    testing::TestWebServer other;
};

// Load Web Page fills the visible password field and the user field of its form, in the
// top document or in a same-origin frame, without submitting.
TEST_F(LoginFormTest, LoadWebPageFillsAPlainFormAndOneInASameOriginFrame) {
    const CCard plain = Card("/plain");
    EXPECT_EQ(rig->commands.LoadWebPage(&plain), kStatusLoginFilled);
    EXPECT_EQ(Fields(), std::vector<std::string>{Filled()});

    const CCard framed = Card("/framed");
    EXPECT_EQ(rig->commands.LoadWebPage(&framed), kStatusLoginFilled);
    EXPECT_EQ(Fields(), (std::vector<std::string>{"", Filled()}));
    EXPECT_EQ(Posted(), nullptr);
    EXPECT_TRUE(rig->ui.shown.empty());
}

// Load Web Page on an address written without a scheme, or with a host name in letters
// outside ASCII, opens the page and fills it (the browser reports the page's host in its
// ASCII form); an address the browser cannot load is said in the status bar.
TEST_F(LoginFormTest, AddressesWithoutSchemeAndInternationalHostNames) {
    const std::string port = std::to_string(server.Port());
    // A port nothing listens on.
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const std::string closedPort = std::to_string(closed.serverPort());
    closed.close();
    struct Case {
        std::string address;
        std::uint8_t attributes;
        std::string status;
        std::string shownUrl;  // the page the browser then shows
    };
    const Case cases[] = {
        {"127.0.0.1:" + port + "/plain", 0, kStatusLoginFilled,
         "http://127.0.0.1:" + port + "/plain"},
        {"localhost:" + port + "/plain", CCard::kAutomaticAccessBit, kStatusLoginFilled,
         "http://localhost:" + port + "/plain"},
        // Names under "localhost" are this computer to the browser.
        {"http://b\xC3\xBC"
         "cher.localhost:" +
             port + "/plain",
         0, kStatusLoginFilled, "http://xn--bcher-kva.localhost:" + port + "/plain"},
        {"b\xC3\xBC"
         "cher.localhost:" +
             port + "/plain",
         CCard::kAutomaticAccessBit, kStatusLoginFilled,
         "http://xn--bcher-kva.localhost:" + port + "/plain"},
        {"127.0.0.1:" + closedPort + "/nothing-listens", 0,
         "The web browser could not load http://127.0.0.1:" + closedPort +
             "/nothing-listens (net::ERR_CONNECTION_REFUSED).",
         ""},
    };
    for (const Case& c : cases) {
        const CCard card = MakeCard(CardFields{.code = 1,
                                               .address = c.address,
                                               .user = "joe@example.org",
                                               .password = kPassword,
                                               .attributes = c.attributes});
        EXPECT_EQ(rig->commands.LoadWebPage(&card), c.status) << c.address;
        if (c.shownUrl.empty())
            continue;
        std::string url;
        ASSERT_TRUE(rig->automation.GetRunningExplorerURL(url));
        EXPECT_EQ(url, c.shownUrl);
        EXPECT_EQ(Fields(), std::vector<std::string>{Filled()}) << c.address;
    }
    EXPECT_EQ(Posted(), nullptr);
    EXPECT_TRUE(rig->dde.opened.empty());
}

// The page's own scripts hear input and change events with the values, as from typing.
TEST_F(LoginFormTest, ThePagesScriptsSeeInputAndChangeEvents) {
    const CCard card = Card("/listening");
    EXPECT_EQ(rig->commands.LoadWebPage(&card), kStatusLoginFilled);
    devtools::DevToolsClient client(rig->profileFolder);
    const auto page = client.LastActivePage();
    ASSERT_TRUE(page);
    const auto session = client.Attach(page->id);
    ASSERT_TRUE(session);
    const auto result = client.Call(QStringLiteral("Runtime.evaluate"),
                                    {{QStringLiteral("expression"), QStringLiteral("window.seen")},
                                     {QStringLiteral("returnByValue"), true}},
                                    *session);
    ASSERT_TRUE(result);
    const QJsonArray seen =
        result->value(QLatin1String("result")).toObject().value(QLatin1String("value")).toArray();
    QStringList events;
    for (const QJsonValue& v : seen)
        events << v.toString();
    const QString password = QString::fromUtf8(kPassword);
    EXPECT_EQ(events, (QStringList{"input user=joe@example.org", "change user=joe@example.org",
                                   "input pass=" + password, "change pass=" + password}));
}

// Pages of another site get nothing, whether the page itself or a frame in the card's
// page is the other site's, and the status bar says why.
TEST_F(LoginFormTest, AnotherOriginGetsNothing) {
    // The card is for the other server; the browser shows this one.
    ASSERT_TRUE(rig->automation.NavigateAndWait(server.Url("/plain").toStdString(), false));
    const CCard foreign = MakeCard(CardFields{.code = 1,
                                              .address = other.Url("/plain").toStdString(),
                                              .user = "joe@example.org",
                                              .password = kPassword});
    EXPECT_EQ(rig->commands.FillLogin(nullptr, &foreign), kStatusNoCardForPage);
    LoginFillReport report = rig->automation.FillLoginForm(
        LoginFillRequest{other.Url("/plain").toStdString(), "joe@example.org", kPassword, false});
    EXPECT_EQ(report.status, LoginFillStatus::OriginRefused);
    EXPECT_EQ(report.origin, LoginOriginCheck::OtherSite);
    EXPECT_EQ(Fields(), std::vector<std::string>{kEmpty});

    // Load Web Page of the card's own page, whose login form is the other site's frame.
    const CCard card = Card("/foreign-frame");
    EXPECT_EQ(rig->commands.LoadWebPage(&card), kStatusNoLoginForm);
    EXPECT_EQ(Fields(), (std::vector<std::string>{"", kEmpty}));

    // An https card never fills a page that came over plain http.
    ASSERT_TRUE(rig->automation.NavigateAndWait(server.Url("/plain").toStdString(), false));
    report = rig->automation.FillLoginForm(LoginFillRequest{
        "https://127.0.0.1:" + std::to_string(server.Port()) + "/", "joe", kPassword, false});
    EXPECT_EQ(report.status, LoginFillStatus::OriginRefused);
    EXPECT_EQ(report.origin, LoginOriginCheck::PlainHttpPage);
    EXPECT_EQ(Fields(), std::vector<std::string>{kEmpty});
    EXPECT_EQ(other.Seen().size(), 1u);  // the frame's page, and no form sent
}

// The form is submitted only for a card with Automatic Access while the preference is on.
TEST_F(LoginFormTest, SubmittedOnlyWithAutomaticAccessAndThePreference) {
    struct Case {
        const char* what;
        std::uint8_t attributes;
        bool preference;
        bool submits;
        int category = 1;
    };
    const Case cases[] = {
        {"preference off", CCard::kAutomaticAccessBit, false, false},
        {"no Automatic Access", 0, true, false},
        {"both", CCard::kAutomaticAccessBit, true, true},
        {"both, after the HTTP login route", CCard::kAutomaticAccessBit, true, true, 4},
    };
    for (const Case& c : cases) {
        server.Forget();
        Submitting(c.preference);
        const CCard card = Card("/plain", c.attributes, c.category);
        EXPECT_EQ(rig->commands.LoadWebPage(&card),
                  c.submits ? kStatusLoginSubmitted : kStatusLoginFilled)
            << c.what;
        if (!c.submits) {
            testing::WaitUntil([] { return false; }, 500);  // time for a submission to arrive
            EXPECT_EQ(Posted(), nullptr) << c.what;
            continue;
        }
        ASSERT_TRUE(testing::WaitUntil([&] { return Posted() != nullptr; })) << c.what;
        EXPECT_EQ(Posted()->path, QStringLiteral("/page/Welcome"));
        EXPECT_EQ(Posted()->body, "hidden=&user=joe%40example.org&pass=" +
                                      QUrl::toPercentEncoding(QString::fromUtf8(kPassword)));
        EXPECT_TRUE(Shows("Welcome"));
    }
}

// Fill Login on the page the browser shows: the one matching card, the one the user picks
// of two, or a status-bar message when none matches.
TEST_F(LoginFormTest, FillLoginWithOneTwoAndNoMatchingCards) {
    CCardCollection cards;
    auto add = [&](int code, const char* name, const std::string& address, const char* user) {
        CCard* card = cards.Adopt(MakeCard(CardFields{
            .code = code, .name = name, .address = address, .user = user, .password = kPassword}));
        cards.AddCardToCategory(code, card);
        return card;
    };
    add(0, "Elsewhere", other.Url("/").toStdString(), "ann");
    add(0, "Site", server.Url("/").toStdString(), "joe@example.org");

    ASSERT_TRUE(rig->automation.NavigateAndWait(server.Url("/plain").toStdString(), false));
    EXPECT_EQ(rig->commands.FillLogin(&cards, nullptr), kStatusLoginFilled);
    EXPECT_EQ(Fields(), std::vector<std::string>{Filled()});
    EXPECT_TRUE(rig->ui.choiceLists.empty());

    add(4, "Site, second login", server.Url("/login").toStdString(), "second@example.org");
    ASSERT_TRUE(rig->automation.NavigateAndWait(server.Url("/plain").toStdString(), false));
    rig->ui.choices.push_back(1);
    EXPECT_EQ(rig->commands.FillLogin(&cards, nullptr), kStatusLoginFilled);
    ASSERT_EQ(rig->ui.choiceLists.size(), 1u);
    EXPECT_EQ(rig->ui.choiceLists[0],
              (std::vector<std::string>{"Site (joe@example.org)",
                                        "Site, second login (second@example.org)"}));
    EXPECT_EQ(Fields(), std::vector<std::string>{std::string("search= hidden= "
                                                             "user=second@example.org pass=") +
                                                 kPassword});

    ASSERT_TRUE(rig->automation.NavigateAndWait(other.Url("/plain").toStdString(), false));
    cards.DeleteCard(cards.List(0).CardAt(0));
    EXPECT_EQ(rig->commands.FillLogin(&cards, nullptr), kStatusNoCardForPage);
    EXPECT_EQ(Fields(), std::vector<std::string>{kEmpty});
    EXPECT_TRUE(rig->ui.shown.empty());
}

// Get Web Page on a login page the user typed into: the New Card dialog gets the typed
// user ID and, only with "Take the password typed into the page", the typed password.
TEST_F(LoginFormTest, GetWebPageOffersTheTypedUserIdAndThePasswordOnRequest) {
    CTessalineNewDoc doc(rig->ui, rig->profile, nullptr);
    doc.OnNewDocument();
    CTessalineNewView view(doc, rig->profile);
    view.ShowCategory(QStringLiteral("WWW Sites"));
    ASSERT_TRUE(rig->automation.NavigateAndWait(server.Url("/plain").toStdString(), false));
    InFrames(
        QStringLiteral("function () { document.querySelector('[name=user]').value = "
                       "'typed@example.org'; document.querySelector('[name=pass]').value = "
                       "'typed-only-here'; }"));

    for (const bool take : {false, true}) {
        std::vector<CardEditorFields> opened;
        auto confirm = [&](const CardEditorFields& fields) -> std::optional<CardEditorFields> {
            opened.push_back(fields);
            CardEditorFields answer = fields;
            answer.takePagePassword = take;
            return answer;
        };
        CCard* card =
            GetWebPageIntoNewCard(rig->commands, &doc, &view, rig->ui, rig->profile, confirm);
        ASSERT_EQ(opened.size(), 1u);
        EXPECT_EQ(opened[0].name, "Plain");
        EXPECT_EQ(opened[0].userId, "typed@example.org");
        EXPECT_EQ(opened[0].password, "");  // the page's password is never offered unasked
        EXPECT_TRUE(opened[0].offerPagePassword);
        ASSERT_NE(card, nullptr);
        EXPECT_EQ(card->UserId(), "typed@example.org");
        EXPECT_EQ(card->Password(), take ? "typed-only-here" : "") << take;
    }

    // A page without a login form offers neither.
    ASSERT_TRUE(rig->automation.NavigateAndWait(server.Url("/page/Plain").toStdString(), false));
    std::vector<CardEditorFields> opened;
    auto confirm = [&](const CardEditorFields& fields) -> std::optional<CardEditorFields> {
        opened.push_back(fields);
        return std::nullopt;
    };
    GetWebPageIntoNewCard(rig->commands, &doc, &view, rig->ui, rig->profile, confirm);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_FALSE(opened[0].offerPagePassword);
    EXPECT_EQ(opened[0].userId, "");
}

// After filling, nothing the browser keeps on disk holds the password, in UTF-8 or in the
// UTF-16 the browser keeps page state in. (A form that is then submitted with POST is
// another matter: the browser keeps the form's body for its session files, as it does
// when the user submits it by hand; see SubmittedOnlyWithAutomaticAccessAndThePreference.)
TEST_F(LoginFormTest, TheProfileHoldsNoPasswordAfterwards) {
    const QString mark = QString::fromLatin1(kPasswordMark);
    const QByteArray kPasswordMarkUtf16(reinterpret_cast<const char*>(mark.utf16()),
                                        mark.size() * 2);
    for (const char* path : {"/plain", "/framed", "/listening"}) {
        const CCard card = Card(path, CCard::kAutomaticAccessBit);
        EXPECT_EQ(rig->commands.LoadWebPage(&card), kStatusLoginFilled) << path;
    }
    CCardCollection cards;
    CCard* site = cards.Adopt(Card("/", CCard::kAutomaticAccessBit));
    cards.AddCardToCategory(1, site);
    ASSERT_TRUE(rig->automation.NavigateAndWait(server.Url("/plain").toStdString(), true));
    EXPECT_EQ(rig->commands.FillLogin(&cards, nullptr), kStatusLoginFilled);
    testing::WaitUntil([] { return false; }, 1000);  // time for the session files to be written
    const int looked = testing::LookThroughClosedProfile(
        rig->profileFolder, [&](const QString& path, const QByteArray& content) {
            const qsizetype at = content.indexOf(kPasswordMark);
            // What surrounds it, readable, tells which record of the file kept it.
            QByteArray around = content.mid(std::max<qsizetype>(0, at - 200), 260);
            for (char& c : around)
                c = (c >= 32 && c < 127) ? c : '.';
            EXPECT_LT(at, 0) << path.toStdString() << ": " << around.constData();
            EXPECT_FALSE(content.contains(kPasswordMarkUtf16)) << path.toStdString();
        });
    EXPECT_GT(looked, 0);
}

}  // namespace
}  // namespace tessaline
