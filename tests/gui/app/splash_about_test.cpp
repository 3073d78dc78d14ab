// The splash window, the About box and its link labels.
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QUrl>
#include <QtTest>

#include "core/app/about_text.h"
#include "gui/app/about_dialog.h"
#include "gui/app/splash_window.h"
#include "gui/app/static_link.h"

using namespace tessaline;

// Receives the addresses the desktop would open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void Open(const QUrl& url) { urls << url; }
};

class CardsSplashAboutTest : public QObject {
    Q_OBJECT
private slots:
    void splashPictureAndTimer();
    void keyPressHidesTheSplashAndIsSwallowed();
    void noSplashSwitch();
    void aboutShowsTheVersionText();
    void linkOpensItsTargetAndTurnsVisited();
};

void CardsSplashAboutTest::splashPictureAndTimer() {
    const QPixmap picture = CSplashWindow::Picture();
    QCOMPARE(picture.size(), QSize(346, 153));
    CSplashWindow::EnableSplash(true);
    QWidget main;
    main.resize(800, 600);
    main.show();
    CSplashWindow::ShowSplash(&main);
    QPointer<CSplashWindow> splash = CSplashWindow::Current();
    QVERIFY(splash != nullptr);
    QVERIFY(splash->isVisible());
    QCOMPARE(splash->size(), QSize(346, 153));
    // A second call while it shows makes no second splash.
    CSplashWindow::ShowSplash(&main);
    QCOMPARE(CSplashWindow::Current(), splash.data());
    // Its timer takes it away.
    QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 10000);
    QVERIFY(CSplashWindow::Current() == nullptr);
}

void CardsSplashAboutTest::keyPressHidesTheSplashAndIsSwallowed() {
    CSplashWindow::EnableSplash(true);
    QLineEdit edit;
    edit.show();
    edit.setFocus();
    CSplashWindow::ShowSplash(&edit);
    QVERIFY(CSplashWindow::Current() != nullptr);
    QTest::keyClick(&edit, Qt::Key_A);
    QVERIFY(CSplashWindow::Current() == nullptr);
    QVERIFY(edit.text().isEmpty());  // the press only hid the splash
    QTest::keyClick(&edit, Qt::Key_B);
    QCOMPARE(edit.text(), QString("b"));

    QPushButton button("x");
    button.show();
    QSignalSpy clicked(&button, &QPushButton::clicked);
    CSplashWindow::ShowSplash(&button);
    QVERIFY(CSplashWindow::Current() != nullptr);
    QTest::mouseClick(&button, Qt::LeftButton);
    QVERIFY(CSplashWindow::Current() == nullptr);
    QCOMPARE(clicked.count(), 0);
}

void CardsSplashAboutTest::noSplashSwitch() {
    CSplashWindow::EnableSplash(false);
    CSplashWindow::ShowSplash(nullptr);
    QVERIFY(CSplashWindow::Current() == nullptr);
    CSplashWindow::ShowSplash(nullptr);
    QVERIFY(CSplashWindow::Current() == nullptr);
    CSplashWindow::EnableSplash(true);
}

void CardsSplashAboutTest::aboutShowsTheVersionText() {
    CAboutDialog about;
    QCOMPARE(about.windowTitle(), QString("About Tessaline"));
    const QStringList lines = about.VersionLabel()->text().split('\n', Qt::SkipEmptyParts);
    QStringList names;
    for (const QString& line : lines)
        names << line.section(":\t", 0, 0);
    QCOMPARE(names, (QStringList{"ProductVersion", "Comments", "CompanyName", "LegalCopyright",
                                 "FileVersion", "InternalName", "ProductName"}));
    QCOMPARE(lines.last(), QString("ProductName:\tTessaline"));
    QCOMPARE(about.HomePageLink()->Target(), QString(kHomePageAddress));
    QVERIFY(about.ContactLink()->Target().startsWith("MailTo:"));
}

void CardsSplashAboutTest::linkOpensItsTargetAndTurnsVisited() {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https", &catcher, "Open");
    QDesktopServices::setUrlHandler("mailto", &catcher, "Open");
    CStaticLink link("https://example.org/home");
    link.setText("home page");
    link.show();
    QVERIFY(link.font().underline());
    QCOMPARE(link.cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(link.CurrentColor(), CStaticLink::kUnvisited);
    QTest::mouseClick(&link, Qt::LeftButton);
    QCOMPARE(catcher.urls, QList<QUrl>{QUrl("https://example.org/home")});
    QCOMPARE(link.CurrentColor(), CStaticLink::kVisited);
    QCOMPARE(link.palette().color(QPalette::WindowText), CStaticLink::kVisited);

    // Without a target the label's text is opened.
    CStaticLink bare;
    bare.setText("https://example.org/x");
    QVERIFY(bare.Open());
    QCOMPARE(catcher.urls.last(), QUrl("https://example.org/x"));
    CStaticLink empty;
    QVERIFY(!empty.Open());
    QCOMPARE(empty.CurrentColor(), CStaticLink::kUnvisited);
    QDesktopServices::unsetUrlHandler("https");
    QDesktopServices::unsetUrlHandler("mailto");
}

QTEST_MAIN(CardsSplashAboutTest)
#include "splash_about_test.moc"
