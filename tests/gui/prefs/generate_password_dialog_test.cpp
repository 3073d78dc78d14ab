// The Generate Password dialog and the clipboard that forgets secrets.
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

#include "core/health/password_strength.h"
#include "gui/health/strength_meter.h"
#include "gui/prefs/generate_password_dialog.h"
#include "gui/prefs/secret_clipboard.h"
#include "support/qt_scripted_answers.h"

using namespace tessaline;
using tessaline::testing::ScriptedAnswers;

namespace {

bool AllIn(const QString& text, const QString& alphabet) {
    for (QChar c : text) {
        if (!alphabet.contains(c))
            return false;
    }
    return true;
}

const QString kUpper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
const QString kLower = "abcdefghijklmnopqrstuvwxyz";
const QString kDigits = "0123456789";
const QString kOthers = "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";

}  // namespace

class CardsGeneratorTest : public QObject {
    Q_OBJECT
private slots:
    void opensWithDefaultsAndUseRule_data();
    void opensWithDefaultsAndUseRule();
    void classesAndLength();
    void spinWrapsAndTypedLengthIsLimited();
    void impossibleSettingsGreyNewAndUseWithAHint();
    void toClipboardMarksTheSecret();
    void clipboardClearedOnlyWhileItHoldsOurText();
    void passphrasesAndTheStrengthOfTheSettings();
};

void CardsGeneratorTest::opensWithDefaultsAndUseRule_data() {
    QTest::addColumn<bool>("selection");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("use");
    QTest::newRow("www") << true << "WWW Sites" << true;
    QTest::newRow("show all") << true << "Show All" << true;
    QTest::newRow("credit") << true << "Credit Cards" << false;
    QTest::newRow("none selected") << false << "WWW Sites" << false;
}

void CardsGeneratorTest::opensWithDefaultsAndUseRule() {
    QFETCH(bool, selection);
    QFETCH(QString, text);
    QFETCH(bool, use);
    ScriptedAnswers ui;
    SecretClipboard clipboard;
    CGeneratePasswordDialog dialog(ui, clipboard, 0);
    QCOMPARE(dialog.windowTitle(), QString("Generate Password"));
    // Without a card list: "Use" on, no password until "New".
    QVERIFY(dialog.UseButton()->isEnabled());
    QVERIFY(dialog.Password().isEmpty());
    // Strong today: 20 characters of all four classes.
    QCOMPARE(dialog.LengthBox()->value(), 20);
    QVERIFY(dialog.UpperBox()->isChecked() && dialog.LowerBox()->isChecked());
    QVERIFY(dialog.NumbersBox()->isChecked() && dialog.OthersBox()->isChecked());
    QVERIFY(dialog.CharactersChoice()->isChecked());
    dialog.SetActiveList(selection, text);
    QCOMPARE(dialog.UseButton()->isEnabled(), use);
    QCOMPARE(dialog.Password().size(), 20);
    QVERIFY(AllIn(dialog.Password(), kUpper + kLower + kDigits + kOthers));
    QCOMPARE(dialog.PasswordEdit()->text(), dialog.Password());
    QVERIFY(dialog.PasswordEdit()->isReadOnly());
}

void CardsGeneratorTest::classesAndLength() {
    ScriptedAnswers ui;
    SecretClipboard clipboard;
    CGeneratePasswordDialog dialog(ui, clipboard, 0);
    dialog.show();
    // Only numbers, 15 long.
    QTest::mouseClick(dialog.UpperBox(), Qt::LeftButton);
    QTest::mouseClick(dialog.LowerBox(), Qt::LeftButton);
    QTest::mouseClick(dialog.OthersBox(), Qt::LeftButton);
    dialog.LengthBox()->setValue(15);
    QTest::mouseClick(dialog.NewButton(), Qt::LeftButton);
    QCOMPARE(dialog.Password().size(), 15);
    QVERIFY(AllIn(dialog.Password(), kDigits));
    // Only others: clicking a box regenerates at once.
    QTest::mouseClick(dialog.OthersBox(), Qt::LeftButton);
    QTest::mouseClick(dialog.NumbersBox(), Qt::LeftButton);
    QCOMPARE(dialog.Password().size(), 15);
    QVERIFY(AllIn(dialog.Password(), kOthers));
    // Two generations in a row differ.
    dialog.LengthBox()->setValue(40);
    QTest::mouseClick(dialog.NewButton(), Qt::LeftButton);
    const QString first = dialog.Password();
    QTest::mouseClick(dialog.NewButton(), Qt::LeftButton);
    QVERIFY(first != dialog.Password());
    // No class: empty password; length 0: empty password.
    QTest::mouseClick(dialog.OthersBox(), Qt::LeftButton);
    QVERIFY(dialog.Password().isEmpty());
    QVERIFY(dialog.PasswordEdit()->text().isEmpty());
    QTest::mouseClick(dialog.UpperBox(), Qt::LeftButton);
    dialog.LengthBox()->setValue(0);
    QTest::mouseClick(dialog.NewButton(), Qt::LeftButton);
    QVERIFY(dialog.Password().isEmpty());
}

void CardsGeneratorTest::spinWrapsAndTypedLengthIsLimited() {
    ScriptedAnswers ui;
    SecretClipboard clipboard;
    CGeneratePasswordDialog dialog(ui, clipboard, 0);
    dialog.show();
    dialog.LengthBox()->setValue(63);
    dialog.LengthBox()->stepBy(1);
    QCOMPARE(dialog.LengthBox()->value(), 0);
    dialog.LengthBox()->stepBy(-1);
    QCOMPARE(dialog.LengthBox()->value(), 63);
    // From the opening length the arrows go one step either way.
    dialog.LengthBox()->setValue(20);
    dialog.LengthBox()->stepBy(1);
    QCOMPARE(dialog.LengthBox()->value(), 21);
    // Typing a length works as well.
    dialog.LengthBox()->setFocus();
    dialog.LengthBox()->selectAll();
    QTest::keyClicks(dialog.LengthBox(), "40");
    QTest::mouseClick(dialog.NewButton(), Qt::LeftButton);
    QCOMPARE(dialog.Password().size(), 40);
}

// What no password can be made from is refused where the user sees it: a hint, and "New"
// and "Use" greyed until the settings allow a password again.
void CardsGeneratorTest::impossibleSettingsGreyNewAndUseWithAHint() {
    ScriptedAnswers ui;
    SecretClipboard clipboard;
    CGeneratePasswordDialog dialog(ui, clipboard, 0);
    dialog.show();
    dialog.SetActiveList(true, "WWW Sites");
    const QString before = dialog.Password();
    QVERIFY(!dialog.HintLabel()->isVisible());
    struct Setting {
        const char* length;
        bool anyClass;
        QString hint;  // empty: a password can be made
    };
    const QString tooLong =
        "A password can have at most 63 characters: please type a smaller length.";
    const QString noClass = "Tick at least one of Uppercase, Lowercase, Numbers or Others.";
    const Setting settings[] = {
        {"99", true, tooLong},  {"64", true, tooLong},  {"63", true, ""},
        {"12", false, noClass}, {"99", false, tooLong}, {"12", true, ""},
    };
    // A refused length makes no password cut to 63 behind the user's back, not even from
    // a click on a class box, which makes a new password otherwise.
    dialog.LengthBox()->selectAll();
    QTest::keyClicks(dialog.LengthBox(), "99");
    QTest::mouseClick(dialog.OthersBox(), Qt::LeftButton);
    QCOMPARE(dialog.Password(), before);
    QTest::mouseClick(dialog.OthersBox(), Qt::LeftButton);
    for (const Setting& s : settings) {
        dialog.LengthBox()->selectAll();
        QTest::keyClicks(dialog.LengthBox(), s.length);
        QCOMPARE(dialog.LengthBox()->text(), QString(s.length));  // kept as typed
        for (QCheckBox* box :
             {dialog.UpperBox(), dialog.LowerBox(), dialog.NumbersBox(), dialog.OthersBox()}) {
            const bool wanted = s.anyClass && box != dialog.OthersBox();
            if (box->isChecked() != wanted)
                QTest::mouseClick(box, Qt::LeftButton);
        }
        const bool refused = !s.hint.isEmpty();
        QCOMPARE(dialog.HintLabel()->isVisible(), refused);
        QCOMPARE(dialog.HintLabel()->text(), s.hint);
        QCOMPARE(dialog.NewButton()->isEnabled(), !refused);
        QCOMPARE(dialog.UseButton()->isEnabled(), !refused);
    }
    QTest::mouseClick(dialog.NewButton(), Qt::LeftButton);
    QCOMPARE(dialog.Password().size(), 12);
    // Enter with "Use" greyed does not close the dialog.
    dialog.LengthBox()->selectAll();
    QTest::keyClicks(dialog.LengthBox(), "80");
    QTest::keyClick(dialog.LengthBox(), Qt::Key_Return);
    QVERIFY(dialog.isVisible());
}

void CardsGeneratorTest::toClipboardMarksTheSecret() {
    ScriptedAnswers ui;
    SecretClipboard clipboard;
    CGeneratePasswordDialog dialog(ui, clipboard, 0);
    dialog.show();
    QTest::mouseClick(dialog.NewButton(), Qt::LeftButton);
    QTest::mouseClick(dialog.ToClipboardButton(), Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), dialog.Password());
    QCOMPARE(QGuiApplication::clipboard()->mimeData()->data("x-kde-passwordManagerHint"),
             QByteArray("secret"));
    QVERIFY(ui.Texts().empty());
    QVERIFY(dialog.isVisible());  // the dialog stays open
}

void CardsGeneratorTest::clipboardClearedOnlyWhileItHoldsOurText() {
    SecretClipboard clipboard;
    QSignalSpy expired(&clipboard, &SecretClipboard::Expired);
    QVERIFY(clipboard.Put("ours", 1));
    QVERIFY(expired.wait(10000));
    QCOMPARE(expired.takeFirst().at(0).toBool(), true);
    QVERIFY(QGuiApplication::clipboard()->text().isEmpty());

    // The user copied something else meanwhile: it stays.
    QVERIFY(clipboard.Put("ours again", 1));
    QGuiApplication::clipboard()->setText("their text");
    QVERIFY(expired.wait(10000));
    QCOMPARE(expired.takeFirst().at(0).toBool(), false);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("their text"));

    // Ending the program clears our text, and only ours.
    QVERIFY(clipboard.Put("at exit", 0));
    clipboard.ClearIfOurs();
    QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
    QVERIFY(clipboard.Put("at exit", 0));
    QGuiApplication::clipboard()->setText("kept");
    clipboard.ClearIfOurs();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("kept"));
}

// A choice of characters or a passphrase of EFF words; beside the length (or the word
// count) the randomness the settings give, and under the password its estimated strength.
void CardsGeneratorTest::passphrasesAndTheStrengthOfTheSettings() {
    QSet<QString> eff;
    QFile list("/usr/lib/python3/dist-packages/diceware/wordlists/wordlist_en_eff.txt");
    QVERIFY2(list.open(QIODevice::ReadOnly), "the diceware package is not installed");
    while (!list.atEnd())
        eff.insert(QString::fromUtf8(list.readLine()).trimmed().section('\t', 1));
    QCOMPARE(eff.size(), 7776);

    ScriptedAnswers ui;
    SecretClipboard clipboard;
    CGeneratePasswordDialog dialog(ui, clipboard, 0);
    dialog.show();
    dialog.SetActiveList(true, "WWW Sites");
    const auto shownStrength = [&] {
        return QString::fromStdString(
            StrengthText(EstimateStrength(dialog.Password().toStdString())));
    };
    QCOMPARE(dialog.SettingsBitsLabel()->text(), QString("131 bits of randomness"));
    QCOMPARE(dialog.StrengthMeter()->Text()->text(), shownStrength());
    // The length's strength follows the typing at once.
    dialog.LengthBox()->setFocus();
    dialog.LengthBox()->selectAll();
    QTest::keyClicks(dialog.LengthBox(), "8");
    QCOMPARE(dialog.SettingsBitsLabel()->text(), QString("52 bits of randomness"));
    QTest::mouseClick(dialog.OthersBox(), Qt::LeftButton);
    QCOMPARE(dialog.SettingsBitsLabel()->text(), QString("47 bits of randomness"));
    QCOMPARE(dialog.Password().size(), 8);
    QCOMPARE(dialog.StrengthMeter()->Text()->text(), shownStrength());

    // A passphrase: six words joined by "-", made as the choice is clicked.
    QVERIFY(!dialog.WordsBox()->isEnabled() && !dialog.SeparatorEdit()->isEnabled());
    QTest::mouseClick(dialog.PassphraseChoice(), Qt::LeftButton);
    QVERIFY(dialog.PassphraseChoice()->isChecked());
    QVERIFY(dialog.WordsBox()->isEnabled() && dialog.SeparatorEdit()->isEnabled());
    QVERIFY(!dialog.LengthBox()->isEnabled() && !dialog.UpperBox()->isEnabled());
    QCOMPARE(dialog.WordsBox()->value(), 6);
    QCOMPARE(dialog.SeparatorEdit()->text(), QString("-"));
    QCOMPARE(dialog.SettingsBitsLabel()->text(), QString("77 bits of randomness"));
    QStringList words = dialog.Password().split('-');
    QCOMPARE(words.size(), 6);
    for (const QString& w : words)
        QVERIFY2(eff.contains(w), qPrintable(w));
    QCOMPARE(dialog.PasswordEdit()->text(), dialog.Password());
    QCOMPARE(dialog.StrengthMeter()->Text()->text(), shownStrength());
    QVERIFY(dialog.UseButton()->isEnabled() && dialog.NewButton()->isEnabled());
    QVERIFY(!dialog.HintLabel()->isVisible());

    // Four words joined by a space.
    dialog.WordsBox()->setFocus();
    dialog.WordsBox()->selectAll();
    QTest::keyClicks(dialog.WordsBox(), "4");
    QCOMPARE(dialog.SettingsBitsLabel()->text(), QString("51 bits of randomness"));
    dialog.SeparatorEdit()->setFocus();
    dialog.SeparatorEdit()->selectAll();
    QTest::keyClicks(dialog.SeparatorEdit(), " ");
    QTest::mouseClick(dialog.NewButton(), Qt::LeftButton);
    words = dialog.Password().split(' ');
    QCOMPARE(words.size(), 4);
    for (const QString& w : words)
        QVERIFY2(eff.contains(w), qPrintable(w));
    QCOMPARE(dialog.StrengthMeter()->Text()->text(), shownStrength());

    // Back to characters: the classes and length chosen before.
    QTest::mouseClick(dialog.CharactersChoice(), Qt::LeftButton);
    QCOMPARE(dialog.Password().size(), 8);
    QVERIFY(AllIn(dialog.Password(), kUpper + kLower + kDigits));
}

QTEST_MAIN(CardsGeneratorTest)
#include "generate_password_dialog_test.moc"
