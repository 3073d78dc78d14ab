// The automation browser's program on the "Path Settings" page: chosen with "Find Path..."
// or typed, stored as "Explorer File Path", and the program Load Web Page then starts;
// left empty, the first Chromium on PATH is started.

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "gui/browser/explorer_automation.h"
#include "gui/prefs/path_settings_ref.h"
#include "gui/prefs/pref_property_sheet.h"
#include "platform/qt_profile.h"
#include "support/qt_scripted_answers.h"

using namespace tessaline;
using tessaline::testing::ScriptedAnswers;

namespace {

// An executable file `name` in `folder`.
QString Executable(const QString& folder, const QString& name) {
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("#!/bin/sh\nexit 0\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

class NoDde : public IDdeBrowser {
public:
    void OpenURL(const std::string&, bool) override {}
    void GetWindowInfo(std::string&, std::string&) override {}
};

}  // namespace

class AutomationBrowserPathTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void foundPathIsStoredAndStarted();
    void emptyOrBlankMeansTheChromiumOnPath();

private:
    QString Ini() const { return dir_->filePath("settings.ini"); }
    // The program the automation starts with the settings stored in the file.
    QString ProgramStarted() {
        QtProfile profile(Ini());
        NoDde dde;
        return CExplorerAutomation(profile, dir_->filePath("profile"), dde).BrowserProgram();
    }
    std::unique_ptr<QTemporaryDir> dir_;
    QString onPath_;
};

void AutomationBrowserPathTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    QVERIFY(QDir(dir_->path()).mkpath("bin"));
    onPath_ = Executable(dir_->filePath("bin"), "chromium");
    qputenv("PATH", dir_->filePath("bin").toUtf8());
}

void AutomationBrowserPathTest::foundPathIsStoredAndStarted() {
    const QString chosen = Executable(dir_->path(), "my-browser");
    {
        QtProfile profile(Ini());
        ScriptedAnswers ui;
        CPrefPropertySheet sheet(profile, ui);
        sheet.show();
        CPathSettingsRef* page = sheet.PathPage();
        QRadioButton* radio = page->Radio(CPathSettingsRef::kAutomationBrowser);
        QLineEdit* edit = page->Edit(CPathSettingsRef::kAutomationBrowser);
        QCOMPARE(radio->text(), QString("Automation browser:"));
        QVERIFY(edit->text().isEmpty());
        QCOMPARE(edit->placeholderText(), QString("Empty: find Chromium"));
        // "Find Path..." with the automation browser chosen fills its box only.
        radio->setChecked(true);
        ui.fileAnswers.push_back(FileDialogAnswer{chosen.toStdString(), 0});
        QTest::mouseClick(page->FindPathButton(), Qt::LeftButton);
        QCOMPARE(edit->text(), chosen);
        QVERIFY(page->Edit(CPathSettingsRef::kNavigator)->text().isEmpty());
        QTest::mouseClick(sheet.OkButton(), Qt::LeftButton);
        QCOMPARE(sheet.result(), int(QDialog::Accepted));
        profile.Sync();
    }
    QSettings ini(Ini(), QSettings::IniFormat);
    QCOMPARE(ini.value("Internet Preferences/Explorer File Path").toString(), chosen);
    QCOMPARE(ProgramStarted(), chosen);

    // A new sheet shows it.
    QtProfile profile(Ini());
    ScriptedAnswers ui;
    CPrefPropertySheet sheet(profile, ui);
    QCOMPARE(sheet.PathPage()->Edit(CPathSettingsRef::kAutomationBrowser)->text(), chosen);
}

void AutomationBrowserPathTest::emptyOrBlankMeansTheChromiumOnPath() {
    for (const QString& typed : {QString(), QStringLiteral("   ")}) {
        {
            QtProfile profile(Ini());
            profile.WriteText("Internet Preferences", "Explorer File Path", "/old/browser");
            ScriptedAnswers ui;
            CPrefPropertySheet sheet(profile, ui);
            sheet.show();
            QLineEdit* edit = sheet.PathPage()->Edit(CPathSettingsRef::kAutomationBrowser);
            QCOMPARE(edit->text(), QString("/old/browser"));
            edit->clear();
            QTest::keyClicks(edit, typed);
            QTest::mouseClick(sheet.OkButton(), Qt::LeftButton);
            profile.Sync();
        }
        QSettings ini(Ini(), QSettings::IniFormat);
        QCOMPARE(ini.value("Internet Preferences/Explorer File Path", "?").toString(), QString());
        QCOMPARE(ProgramStarted(), onPath_);
    }
}

QTEST_MAIN(AutomationBrowserPathTest)
#include "automation_browser_path_test.moc"
