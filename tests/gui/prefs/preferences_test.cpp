// The Preferences sheet against a real settings file.
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "core/prefs/date_format.h"
#include "core/prefs/preferences.h"
#include "gui/prefs/at_start_up_pref.h"
#include "gui/prefs/general_settings_pref.h"
#include "gui/prefs/path_settings_ref.h"
#include "gui/prefs/pref_property_sheet.h"
#include "gui/prefs/print_xml_support_ref.h"
#include "platform/qt_profile.h"
#include "support/qt_scripted_answers.h"

using namespace tessaline;
using tessaline::testing::ScriptedAnswers;

class CardsPreferencesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void pagesAndDefaults();
    void everyValueWrittenAndReadBack();
    void cancelWritesNothingAndBothCloseWaysRefresh();
    void oddStoredValues();
    void findPathGoesToTheCheckedProgram();
    void minutesStepFromTheTypedValue();
    void clearClipboardSecondsOnTheGeneralPage();
    void submitLoginFormsOnTheGeneralPage();
    void searchPasswordsAndSealedKeysOnTheGeneralPage();

private:
    QString Ini() const { return dir_->filePath("settings.ini"); }
    std::unique_ptr<QTemporaryDir> dir_;
};

void CardsPreferencesTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

void CardsPreferencesTest::pagesAndDefaults() {
    QtProfile profile(Ini());
    ScriptedAnswers ui;
    CPrefPropertySheet sheet(profile, ui);
    QCOMPARE(sheet.windowTitle(), QString("Preferences"));
    QStringList tabs;
    for (int i = 0; i < sheet.Tabs()->count(); ++i)
        tabs << sheet.Tabs()->tabText(i);
    QCOMPARE(tabs, (QStringList{"General", "At Start Up", "Path Settings", "Print Preferences"}));
    QCOMPARE(sheet.Tabs()->currentIndex(), 0);
    CGeneralSettingsPref* g = sheet.GeneralPage();
    QVERIFY(g->ExplorerRadio()->isChecked());
    QVERIFY(!g->AutoSaveBox()->isChecked());
    QVERIFY(!g->MinutesEdit()->isEnabled());
    QVERIFY(!g->MinutesSpin()->isEnabled());
    QCOMPARE(g->MinutesEdit()->text(), QString("10"));
    QCOMPARE(g->MinutesSpin()->minimum(), 0);
    QCOMPARE(g->MinutesSpin()->maximum(), 30);
    // Today's date in each of the twelve formats, the stored one selected.
    QCOMPARE(g->DateList()->count(), 12);
    const std::uint32_t now = CurrentCardTime();
    QCOMPARE(g->DateList()->item(4)->text(), QString::fromStdString(FormatCardDate(now, 4)));
    QCOMPARE(g->DateList()->currentRow(), 0);
    // With nothing stored the print page shows both boxes checked: printing prints the
    // codes and the notes then.
    QVERIFY(sheet.PrintPage()->AtmBox()->isChecked());
    QVERIFY(sheet.PrintPage()->NotesBox()->isChecked());
    QVERIFY(!sheet.StartUpPage()->EmailBox()->isChecked());
    QCOMPARE(sheet.StartUpPage()->EmailBox()->text(), QString("Launch E-Mail Application "));

    // Ticking the box enables the minutes; the arrows rewrite them.
    QTest::mouseClick(g->AutoSaveBox(), Qt::LeftButton);
    QVERIFY(g->MinutesEdit()->isEnabled());
    QVERIFY(g->MinutesSpin()->isEnabled());
    g->MinutesSpin()->stepBy(3);
    QCOMPARE(g->MinutesEdit()->text(), QString("13"));
    g->MinutesSpin()->stepBy(100);
    QCOMPARE(g->MinutesEdit()->text(), QString("30"));
}

void CardsPreferencesTest::everyValueWrittenAndReadBack() {
    {
        QtProfile profile(Ini());
        ScriptedAnswers ui;
        CPrefPropertySheet sheet(profile, ui);
        sheet.show();
        CGeneralSettingsPref* g = sheet.GeneralPage();
        g->NetscapeRadio()->setChecked(true);
        g->AutoSaveBox()->click();
        g->MinutesEdit()->setText("25");
        g->ShowPasswordBox()->setChecked(true);
        g->DateList()->setCurrentRow(7);
        CAtStartUpPref* s = sheet.StartUpPage();
        s->EmailBox()->setChecked(true);
        s->TelnetBox()->setChecked(true);
        s->OpenRecentBox()->setChecked(true);
        CPathSettingsRef* p = sheet.PathPage();
        const char* paths[] = {"/usr/bin/nav",     "/usr/bin/mail", "/usr/bin/ftp",
                               "/usr/bin/news",    "/usr/bin/pdf",  "/usr/bin/telnet",
                               "/usr/bin/chromium"};
        static_assert(std::size(paths) == CPathSettingsRef::kProgramCount);
        for (int i = 0; i < CPathSettingsRef::kProgramCount; ++i)
            p->Edit(static_cast<CPathSettingsRef::Program>(i))->setText(paths[i]);
        sheet.PrintPage()->NotesBox()->setChecked(true);
        sheet.PrintPage()->AtmBox()->setChecked(false);
        QTest::mouseClick(sheet.OkButton(), Qt::LeftButton);
        QCOMPARE(sheet.result(), int(QDialog::Accepted));
        profile.Sync();
    }
    QSettings ini(Ini(), QSettings::IniFormat);
    auto value = [&](const char* key) { return ini.value(key); };
    QCOMPARE(value("Internet Preferences/Choose Web Browser").toInt(), 0);
    QCOMPARE(value("Internet Preferences/Automatic Save Check").toInt(), 1);
    QCOMPARE(value("Internet Preferences/Automatic Save").toString(), QString("25"));
    QCOMPARE(value("Internet Preferences/ShowPasswordAlways").toInt(), 1);
    QCOMPARE(value("Internet Preferences/Date Format").toInt(), 7);
    QCOMPARE(value("Internet Preferences/Netscape File Path").toString(), QString("/usr/bin/nav"));
    QCOMPARE(value("Internet Preferences/MailProg File Path").toString(), QString("/usr/bin/mail"));
    QCOMPARE(value("Internet Preferences/FTP File Path").toString(), QString("/usr/bin/ftp"));
    QCOMPARE(value("Internet Preferences/NewsProg File Path").toString(), QString("/usr/bin/news"));
    QCOMPARE(value("Internet Preferences/HelpProg File Path").toString(), QString("/usr/bin/pdf"));
    QCOMPARE(value("Internet Preferences/Telnet File Path").toString(), QString("/usr/bin/telnet"));
    QCOMPARE(value("Internet Preferences/Explorer File Path").toString(),
             QString("/usr/bin/chromium"));
    QCOMPARE(value("Start Up Preferences/Print Notes").toInt(), 1);
    QCOMPARE(value("Start Up Preferences/Launch Tel Net").toInt(), 1);
    QCOMPARE(value("Start Up Preferences/Check Open Files").toInt(), 1);
    QCOMPARE(value("Start Up Preferences/Launch FTP").toInt(), 0);
    QCOMPARE(value("Start Up Preferences/Launch News Reader").toInt(), 0);
    QCOMPARE(value("Start Up Preferences/Launch Web Browser").toInt(), 0);
    QCOMPARE(value("Print Preferences/Print Notes").toInt(), 1);
    QCOMPARE(value("Print Preferences/Print ATM").toInt(), 0);

    // A new sheet shows what was stored.
    QtProfile again(Ini());
    ScriptedAnswers ui;
    CPrefPropertySheet sheet(again, ui);
    QVERIFY(sheet.GeneralPage()->NetscapeRadio()->isChecked());
    QCOMPARE(sheet.GeneralPage()->MinutesEdit()->text(), QString("25"));
    QVERIFY(sheet.GeneralPage()->MinutesEdit()->isEnabled());
    QCOMPARE(sheet.GeneralPage()->DateList()->currentRow(), 7);
    QVERIFY(sheet.StartUpPage()->EmailBox()->isChecked());
    QVERIFY(!sheet.StartUpPage()->FtpBox()->isChecked());
    QCOMPARE(sheet.PathPage()->Edit(CPathSettingsRef::kAcrobat)->text(), QString("/usr/bin/pdf"));
    QVERIFY(sheet.PrintPage()->NotesBox()->isChecked());
}

void CardsPreferencesTest::cancelWritesNothingAndBothCloseWaysRefresh() {
    QtProfile profile(Ini());
    ScriptedAnswers ui;
    int refreshed = 0;
    QTimer::singleShot(0, [] {
        auto* sheet = qobject_cast<CPrefPropertySheet*>(QApplication::activeModalWidget());
        QVERIFY(sheet != nullptr);
        sheet->PrintPage()->AtmBox()->setChecked(true);
        sheet->reject();
    });
    RunPreferencesCommand(profile, ui, nullptr, [&] { ++refreshed; });
    QCOMPARE(refreshed, 1);
    profile.Sync();
    QVERIFY(QSettings(Ini(), QSettings::IniFormat).allKeys().isEmpty());

    QTimer::singleShot(0, [] {
        auto* sheet = qobject_cast<CPrefPropertySheet*>(QApplication::activeModalWidget());
        QVERIFY(sheet != nullptr);
        sheet->accept();
    });
    RunPreferencesCommand(profile, ui, nullptr, [&] { ++refreshed; });
    QCOMPARE(refreshed, 2);
    // OK on an untouched sheet keeps printing as it was: the page showed the switches on.
    QCOMPARE(profile.GetInt("Print Preferences", "Print ATM", 0), 1);
    QCOMPARE(profile.GetInt("Print Preferences", "Print Notes", 0), 1);
}

void CardsPreferencesTest::oddStoredValues() {
    QtProfile profile(Ini());
    profile.WriteText("Internet Preferences", "Automatic Save", "abc");
    profile.WriteInt("Internet Preferences", "Date Format", 12);
    profile.WriteInt("Start Up Preferences", "Print Notes", 1);
    profile.WriteInt("Print Preferences", "Print Notes", 1);
    ScriptedAnswers ui;
    {
        CPrefPropertySheet sheet(profile, ui);
        QCOMPARE(sheet.GeneralPage()->MinutesEdit()->text(), QString("0"));
        QVERIFY(sheet.GeneralPage()->DateList()->selectedItems().isEmpty());
        // Clearing the e-mail switch leaves the print switch of the same name alone.
        sheet.StartUpPage()->EmailBox()->setChecked(false);
        sheet.accept();
    }
    QCOMPARE(profile.GetText("Internet Preferences", "Automatic Save", ""), std::string("0"));
    QCOMPARE(profile.GetInt("Internet Preferences", "Date Format", 0), -1);
    QCOMPARE(profile.GetInt("Start Up Preferences", "Print Notes", 1), 0);
    QCOMPARE(profile.GetInt("Print Preferences", "Print Notes", 0), 1);

    profile.WriteText("Internet Preferences", "Automatic Save", "7min");
    CPrefPropertySheet sheet(profile, ui);
    QCOMPARE(sheet.GeneralPage()->MinutesEdit()->text(), QString("7"));
}

void CardsPreferencesTest::findPathGoesToTheCheckedProgram() {
    QtProfile profile(Ini());
    ScriptedAnswers ui;
    CPrefPropertySheet sheet(profile, ui);
    CPathSettingsRef* page = sheet.PathPage();
    // None checked: nothing changes.
    ui.fileAnswers.push_back(FileDialogAnswer{"/opt/reader", 0});
    page->OnFindPath();
    for (int i = 0; i < CPathSettingsRef::kProgramCount; ++i)
        QVERIFY(page->Edit(static_cast<CPathSettingsRef::Program>(i))->text().isEmpty());
    QCOMPARE(QString::fromStdString(ui.fileRequests[0].title),
             QString("Find Internet Applications Paths"));

    page->Radio(CPathSettingsRef::kAcrobat)->setChecked(true);
    ui.fileAnswers.push_back(FileDialogAnswer{"/opt/reader", 0});
    page->OnFindPath();
    QCOMPARE(page->Edit(CPathSettingsRef::kAcrobat)->text(), QString("/opt/reader"));
    sheet.accept();
    QCOMPARE(profile.GetText("Internet Preferences", "HelpProg File Path", ""),
             std::string("/opt/reader"));

    // Cancel empties the chosen program's box.
    ui.fileAnswers.push_back(std::nullopt);
    page->OnFindPath();
    QVERIFY(page->Edit(CPathSettingsRef::kAcrobat)->text().isEmpty());
}

// The arrows beside the minutes and the Up/Down keys in them step from what was typed.
void CardsPreferencesTest::minutesStepFromTheTypedValue() {
    QtProfile profile(Ini());
    profile.WriteInt("Internet Preferences", "Automatic Save Check", 1);
    profile.WriteText("Internet Preferences", "Automatic Save", "30");
    ScriptedAnswers ui;
    CPrefPropertySheet sheet(profile, ui);
    sheet.show();
    QVERIFY(QTest::qWaitForWindowActive(&sheet));
    CGeneralSettingsPref* g = sheet.GeneralPage();
    QSpinBox* spin = g->MinutesSpin();
    QLineEdit* minutes = g->MinutesEdit();
    // Where the up arrow and the down arrow sit on the spin button.
    const QPoint up(spin->width() / 2, spin->height() / 4);
    const QPoint down(spin->width() / 2, spin->height() * 3 / 4);
    struct Step {
        const char* typed;
        std::function<void()> act;
        const char* shown;
    };
    const Step steps[] = {
        {"25", [&] { QTest::mouseClick(spin, Qt::LeftButton, {}, up); }, "26"},
        {"25", [&] { QTest::mouseClick(spin, Qt::LeftButton, {}, down); }, "24"},
        {"7", [&] { QTest::keyClick(minutes, Qt::Key_Up); }, "8"},
        {"7", [&] { QTest::keyClick(minutes, Qt::Key_Down); }, "6"},
        {"30", [&] { QTest::keyClick(minutes, Qt::Key_Up); }, "30"},
        {"0", [&] { QTest::keyClick(minutes, Qt::Key_Down); }, "0"},
        {"abc", [&] { QTest::keyClick(minutes, Qt::Key_Up); }, "1"},
    };
    for (const Step& step : steps) {
        minutes->selectAll();
        QTest::keyClicks(minutes, step.typed);
        QCOMPARE(minutes->text(), QString(step.typed));
        step.act();
        QCOMPARE(minutes->text(), QString(step.shown));
    }
    // What the last step wrote is what OK stores.
    QTest::mouseClick(sheet.OkButton(), Qt::LeftButton);
    QCOMPARE(profile.GetText("Internet Preferences", "Automatic Save", ""), std::string("1"));
}

void CardsPreferencesTest::clearClipboardSecondsOnTheGeneralPage() {
    QtProfile profile(Ini());
    ScriptedAnswers ui;
    {
        CPrefPropertySheet sheet(profile, ui);
        sheet.show();
        QSpinBox* box = sheet.GeneralPage()->ClearClipboardBox();
        QCOMPARE(box->value(), 10);  // the default, with nothing stored
        box->selectAll();
        QTest::keyClicks(box, "0");
        QTest::mouseClick(sheet.OkButton(), Qt::LeftButton);
    }
    profile.Sync();
    QCOMPARE(QSettings(Ini(), QSettings::IniFormat)
                 .value("General Preferences/Clear Clipboard Seconds")
                 .toInt(),
             0);
    QCOMPARE(ClearClipboardSeconds(profile), 0);
    profile.WriteInt("General Preferences", "Clear Clipboard Seconds", 45);
    CPrefPropertySheet sheet(profile, ui);
    QCOMPARE(sheet.GeneralPage()->ClearClipboardBox()->value(), 45);
}

// "Submit login forms after filling" starts off and is stored as 1 or 0 beside the
// General page's other values.
void CardsPreferencesTest::submitLoginFormsOnTheGeneralPage() {
    QtProfile profile(Ini());
    ScriptedAnswers ui;
    for (const bool on : {true, false}) {
        CPrefPropertySheet sheet(profile, ui);
        sheet.show();
        QCheckBox* box = sheet.GeneralPage()->SubmitLoginBox();
        QCOMPARE(box->text(), QStringLiteral("Submit login forms after filling"));
        QCOMPARE(box->isChecked(), !on);  // off at first, then as stored
        box->click();
        QTest::mouseClick(sheet.OkButton(), Qt::LeftButton);
        profile.Sync();
        QCOMPARE(QSettings(Ini(), QSettings::IniFormat)
                     .value("General Preferences/Submit Login Forms")
                     .toInt(),
                 on ? 1 : 0);
    }
}

// "Search passwords" (off at first) and the key settings of new sealed files, once only in
// the settings file, are set on the General page and stored where the program reads them.
void CardsPreferencesTest::searchPasswordsAndSealedKeysOnTheGeneralPage() {
    QtProfile profile(Ini());
    ScriptedAnswers ui;
    {
        CPrefPropertySheet sheet(profile, ui);
        sheet.show();
        CGeneralSettingsPref* page = sheet.GeneralPage();
        QCOMPARE(page->SearchPasswordsBox()->text(), QStringLiteral("Search passwords"));
        QVERIFY(!page->SearchPasswordsBox()->isChecked());
        QCOMPARE(page->SealedOperationsSpin()->value(), 3);
        QCOMPARE(page->SealedMemorySpin()->value(), 262144);
        page->SearchPasswordsBox()->click();
        page->SealedOperationsSpin()->selectAll();
        QTest::keyClicks(page->SealedOperationsSpin(), "5");
        page->SealedMemorySpin()->selectAll();
        QTest::keyClicks(page->SealedMemorySpin(), "65536");
        QTest::mouseClick(sheet.OkButton(), Qt::LeftButton);
    }
    profile.Sync();
    const QSettings stored(Ini(), QSettings::IniFormat);
    QCOMPARE(stored.value("General Preferences/Search Passwords").toInt(), 1);
    QCOMPARE(stored.value("General Preferences/Sealed Key Operations").toInt(), 5);
    QCOMPARE(stored.value("General Preferences/Sealed Key Memory KiB").toInt(), 65536);
    // Out of range in the file: the page shows what a new seal would use.
    profile.WriteInt("General Preferences", "Sealed Key Operations", 99);
    CPrefPropertySheet sheet(profile, ui);
    QCOMPARE(sheet.GeneralPage()->SealedOperationsSpin()->value(), 3);
    QVERIFY(sheet.GeneralPage()->SearchPasswordsBox()->isChecked());
}

QTEST_MAIN(CardsPreferencesTest)
#include "preferences_test.moc"
