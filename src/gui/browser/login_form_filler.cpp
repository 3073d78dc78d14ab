#include "gui/browser/login_form_filler.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <algorithm>

#include "core/browser/login_origin.h"
#include "gui/browser/login_form_scripts.h"
#include "gui/text/text_codec.h"
#include "platform/devtools/devtools_client.h"

namespace tessaline {

namespace {

// How long one look at the top frame waits for a form, while the fill waits for one.
constexpr int kLookMs = 500;

// The top frame of the tab the browser shows and the frames of the same origin in it,
// on a session of `browser`; empty when there is no page.
struct LoginFrames {
    QString session;
    QString pageUrl;
    std::vector<devtools::PageFrame> frames;
};

LoginFrames FramesOfShownPage(devtools::DevToolsClient& browser) {
    LoginFrames found;
    if (!browser.FindRunning())
        return found;
    const std::optional<devtools::PageTarget> page = browser.LastActivePage();
    if (!page)
        return found;
    const std::optional<QString> session = browser.Attach(page->id);
    if (!session)
        return found;
    const std::vector<devtools::PageFrame> frames = browser.Frames(*session);
    if (frames.empty())
        return found;
    found.session = *session;
    found.pageUrl = frames.front().url;
    const std::string pageUrl = found.pageUrl.toStdString();
    for (const devtools::PageFrame& frame : frames) {
        // A frame of another origin is another site's page: it never gets the login. A
        // srcdoc frame has no address of its own; its document has the origin of its
        // parent (unless sandboxed, which the fill script sees for itself).
        const bool srcdoc =
            frame.url == QLatin1String("about:srcdoc") &&
            std::any_of(found.frames.begin(), found.frames.end(),
                        [&](const devtools::PageFrame& kept) { return kept.id == frame.parentId; });
        if (&frame == &frames.front() || srcdoc || SameWebOrigin(frame.url.toStdString(), pageUrl))
            found.frames.push_back(frame);
    }
    return found;
}

}  // namespace

LoginFillReport FillLoginInShownPage(devtools::DevToolsClient& browser,
                                     const LoginFillRequest& request) {
    LoginFillReport report;
    LoginFrames page = FramesOfShownPage(browser);
    if (page.frames.empty())
        return report;
    const QDeadlineTimer deadline(std::max(0, request.waitForFormMs));
    for (bool first = true;; first = false) {
        report.origin = CheckLoginOrigin(request.cardAddress, page.pageUrl.toStdString());
        if (report.origin != LoginOriginCheck::Match) {
            report.status = LoginFillStatus::OriginRefused;
            return report;
        }
        report.status = LoginFillStatus::NoLoginForm;
        for (const devtools::PageFrame& frame : page.frames) {
            // Once the first look found nothing, the top frame's look waits a little for
            // the page's scripts to add a form.
            const int waitMs =
                !first && &frame == &page.frames.front()
                    ? std::clamp(static_cast<int>(deadline.remainingTime()), 0, kLookMs)
                    : 0;
            const QJsonArray arguments{DisplayText(request.userId),
                                       DisplayText(request.password),
                                       request.submit,
                                       waitMs,
                                       request.userStep,
                                       page.pageUrl};
            const std::optional<QJsonValue> result = browser.CallInIsolatedWorld(
                page.session, frame.id, QString::fromStdString(FillLoginFormScript()), arguments,
                true);
            QJsonObject filled = result ? result->toObject() : QJsonObject();
            if (!filled.value(QLatin1String("found")).toBool())
                continue;
            report.userOnly = filled.value(QLatin1String("userOnly")).toBool();
            report.newPasswordForm = filled.value(QLatin1String("newPasswordForm")).toBool();
            report.passwordFilled = filled.value(QLatin1String("password")).toBool();
            const bool userFilled = filled.value(QLatin1String("user")).toBool();
            QString target = filled.value(QLatin1String("target")).toString();
            bool submitted = filled.value(QLatin1String("submitted")).toBool();
            // A form sent to another address of the card's own site (its login service on
            // a subdomain) is submitted once that address passes the login rule; the form
            // checks again that its action is still that address.
            if (!submitted && !target.isEmpty() &&
                CheckLoginOrigin(request.cardAddress, target.toStdString()) ==
                    LoginOriginCheck::Match) {
                const std::optional<QJsonValue> sent = browser.CallInIsolatedWorld(
                    page.session, frame.id, QString::fromStdString(SubmitLoginFormScript()),
                    QJsonArray{DisplayText(request.userId), DisplayText(request.password),
                               page.pageUrl, target});
                const QJsonObject answer = sent ? sent->toObject() : QJsonObject();
                submitted = answer.value(QLatin1String("submitted")).toBool();
                if (!answer.value(QLatin1String("target")).toString().isEmpty())
                    target = answer.value(QLatin1String("target")).toString();
            }
            if (report.userOnly && !userFilled)
                return report;  // a user-name page, and the card has no user ID
            report.status = submitted ? LoginFillStatus::Submitted : LoginFillStatus::Filled;
            if (!submitted)
                report.refusedTarget = target.toStdString();
            return report;
        }
        if (request.waitForFormMs <= 0 || deadline.hasExpired())
            return report;
        page = FramesOfShownPage(browser);
        if (page.frames.empty())
            return report;
    }
}

PageLoginForm ReadLoginInShownPage(devtools::DevToolsClient& browser, bool withPassword) {
    PageLoginForm form;
    const LoginFrames page = FramesOfShownPage(browser);
    for (const devtools::PageFrame& frame : page.frames) {
        const std::optional<QJsonValue> result = browser.CallInIsolatedWorld(
            page.session, frame.id, QString::fromStdString(ReadLoginFormScript()),
            QJsonArray{withPassword});
        const QJsonObject read = result ? result->toObject() : QJsonObject();
        if (!read.value(QLatin1String("found")).toBool())
            continue;
        form.found = true;
        form.userId = StoredText(read.value(QLatin1String("user")).toString());
        if (withPassword)
            form.password = StoredText(read.value(QLatin1String("password")).toString());
        break;
    }
    return form;
}

}  // namespace tessaline
