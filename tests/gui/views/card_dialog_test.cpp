// The card editor and the address editor, driven as a user would.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "core/cards/card.h"
#include "gui/views/card_dialog.h"
#include "gui/views/edit_url_dialog.h"
#include "support/qt_dialog_driver.h"
#include "support/qt_scripted_answers.h"

using namespace tessaline;
using tessaline::testing::ModalWatch;
using tessaline::testing::ScriptedAnswers;
using tessaline::testing::WhenModal;

class CardsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void newCardShowsTheCategoryPresets_data();
    void newCardShowsTheCategoryPresets();
    void editCardTitleButtonAndAttributes();
    void showPasswordMenuShowsAmpersandsLiterally();
    void addressEditorsKeepTheAddressOnCancel();
    void tooLongTextIsRefused();
    void unchangedNoteComesBackExactly();
    void untouchedFieldsKeepTheirBytes();
    void typingReplacesTheSelectedName();
    void tabWalksTheFieldsTopToBottom();
    void takePagePasswordOnlyWhenOfferedAndTicked();
    void theEyeShowsAndHidesThePassword();
};

void CardsDialogTest::newCardShowsTheCategoryPresets_data() {
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("attributes");
    QTest::addColumn<bool>("addressButton");
    QTest::addColumn<QString>("label2");
    QTest::newRow("www") << "WWW Sites"
                         << "http://" << true << true << "URL:";
    QTest::newRow("news") << "Newsgroups"
                          << "ftp://" << false << true << "URL:";
    QTest::newRow("login") << "Login Accounts"
                           << "telnet://" << false << true << "Host:";
    QTest::newRow("credit") << "Credit Cards"
                            << "" << false << false << "Exp. Date:";
    QTest::newRow("forms") << "WWW Forms"
                           << "" << false << false << "URL:";
}

void CardsDialogTest::newCardShowsTheCategoryPresets() {
    QFETCH(QString, category);
    QFETCH(QString, address);
    QFETCH(bool, attributes);
    QFETCH(bool, addressButton);
    QFETCH(QString, label2);
    ScriptedAnswers ui;
    CCardDialog dialog(ui);
    dialog.SetFields(PresetForNewCard(category.toStdString()));
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QString("New Card"));
    QCOMPARE(dialog.OkButton()->text(), QString("Add Card"));
    QCOMPARE(dialog.CategoryLabel()->text(), category);
    QCOMPARE(dialog.NameEdit()->text(), QString("Untitled"));
    QCOMPARE(dialog.AddressEdit()->text(), address);
    QCOMPARE(dialog.Label(1)->text(), label2);
    QCOMPARE(dialog.NewWindowBox()->isEnabled(), attributes);
    QCOMPARE(dialog.AutoAccessBox()->isEnabled(), attributes);
    QCOMPARE(dialog.AddressButton()->isVisible(), addressButton);
    QCOMPARE(dialog.PasswordEdit()->echoMode(), QLineEdit::Password);
}

void CardsDialogTest::editCardTitleButtonAndAttributes() {
    CCard card;
    card.SetCategory(1);
    card.SetName("Shop");
    card.SetPassword("pw");
    card.SetNewBrowserWindow(true);
    ScriptedAnswers ui;
    CCardDialog dialog(ui);
    dialog.SetFields(PresetForEdit(card));
    QCOMPARE(dialog.windowTitle(), QString("Edit Card"));
    QCOMPARE(dialog.OkButton()->text(), QString("OK"));
    QVERIFY(dialog.NewWindowBox()->isEnabled());
    QVERIFY(dialog.NewWindowBox()->isChecked());
    QVERIFY(!dialog.AutoAccessBox()->isChecked());
    QCOMPARE(dialog.Label(0)->text(), QString("Name:"));

    // The user changes the name and ticks Automatic Access, then presses OK.
    dialog.show();
    dialog.NameEdit()->clear();
    QTest::keyClicks(dialog.NameEdit(), "Shop 2");
    // On the box itself: a wide check box takes clicks on its box and label only.
    QTest::mouseClick(dialog.AutoAccessBox(), Qt::LeftButton, {},
                      QPoint(6, dialog.AutoAccessBox()->height() / 2));
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const CardEditorFields f = dialog.Fields();
    QCOMPARE(QString::fromStdString(f.name), QString("Shop 2"));
    QVERIFY(f.automaticAccess);
    QVERIFY(f.newBrowserWindow);
    QCOMPARE(QString::fromStdString(f.password), QString("pw"));
}

void CardsDialogTest::showPasswordMenuShowsAmpersandsLiterally() {
    ScriptedAnswers ui;
    CCardDialog dialog(ui);
    dialog.SetFields(PresetForNewCard("WWW Sites"));
    dialog.show();
    QTest::mouseClick(dialog.ShowPasswordButton(), Qt::LeftButton);
    QVERIFY(dialog.LastMenu() == nullptr);  // an empty password shows nothing

    QTest::keyClicks(dialog.PasswordEdit(), "a&b&&c");
    QTest::mouseClick(dialog.ShowPasswordButton(), Qt::LeftButton);
    QMenu* menu = dialog.LastMenu();
    QVERIFY(menu != nullptr);
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(menu->actions()[0]->text(), QString("a&&b&&&&c"));
    QVERIFY(!menu->actions()[0]->isEnabled());
    menu->close();
    // The field itself stays masked.
    QCOMPARE(dialog.PasswordEdit()->echoMode(), QLineEdit::Password);
}

void CardsDialogTest::addressEditorsKeepTheAddressOnCancel() {
    ScriptedAnswers ui;
    CCardDialog dialog(ui);
    dialog.SetFields(PresetForNewCard("WWW Sites"));
    dialog.show();

    QTest::mouseClick(dialog.AddressButton(), Qt::LeftButton);
    QMenu* menu = dialog.LastMenu();
    QVERIFY(menu != nullptr);
    QStringList items;
    for (QAction* a : menu->actions())
        items << (a->isSeparator() ? QString("-") : a->text());
    QCOMPARE(items, (QStringList{"Edit URL...", "-", "Select File..."}));
    menu->close();

    // The real "Edit URL" dialog: typed text is taken on OK, dropped on Cancel.
    ModalWatch edited = WhenModal<CEditURLDialog>([](CEditURLDialog& edit) {
        QCOMPARE(edit.windowTitle(), QString("Edit URL"));
        QCOMPARE(edit.Edit()->toPlainText(), QString("http://"));
        edit.Edit()->setPlainText("http://long.example/a/very/long/path");
        edit.accept();
    });
    dialog.OnEditUrl();
    QVERIFY(edited);
    QCOMPARE(dialog.AddressEdit()->text(), QString("http://long.example/a/very/long/path"));
    edited = WhenModal<CEditURLDialog>([](CEditURLDialog& edit) {
        edit.Edit()->setPlainText("something else");
        edit.reject();
    });
    dialog.OnEditUrl();
    QVERIFY(edited);
    QCOMPARE(dialog.AddressEdit()->text(), QString("http://long.example/a/very/long/path"));

    ui.fileAnswers.push_back(std::nullopt);
    dialog.OnSelectFile();
    QCOMPARE(dialog.AddressEdit()->text(), QString("http://long.example/a/very/long/path"));
    QCOMPARE(QString::fromStdString(ui.fileRequests[0].title),
             QString("Select Tessaline File Path"));
    QCOMPARE(QString::fromStdString(ui.fileRequests[0].defaultExtension), QString("tse"));
    QVERIFY(ui.fileRequests[0].mustExist);
    ui.fileAnswers.push_back(FileDialogAnswer{"/home/me/other.tse", 0});
    dialog.OnSelectFile();
    QCOMPARE(dialog.AddressEdit()->text(), QString("/home/me/other.tse"));
}

void CardsDialogTest::tooLongTextIsRefused() {
    ScriptedAnswers ui;
    CCardDialog dialog(ui);
    dialog.SetFields(PresetForNewCard("WWW Sites"));
    dialog.show();
    dialog.NoteEdit()->setPlainText(QString(32767, 'x'));
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    QCOMPARE(ui.Texts().size(), std::size_t(1));
    QVERIFY(QString::fromStdString(ui.Texts()[0]).contains("Note"));
    dialog.NoteEdit()->setPlainText(QString(32766, 'x'));
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    // Single-line fields cannot even take that much.
    QVERIFY(dialog.NameEdit()->maxLength() < 32767);
}

void CardsDialogTest::unchangedNoteComesBackExactly() {
    CCard card;
    card.SetCategory(0);
    card.SetNote("line 1\r\nline 2\nline 3");
    ScriptedAnswers ui;
    CCardDialog dialog(ui);
    dialog.SetFields(PresetForEdit(card));
    QCOMPARE(dialog.NoteEdit()->toPlainText(), QString("line 1\nline 2\nline 3"));
    QCOMPARE(QString::fromStdString(dialog.Fields().note), QString("line 1\r\nline 2\nline 3"));
    dialog.NoteEdit()->setPlainText("line 1\nline 2");
    QCOMPARE(QString::fromStdString(dialog.Fields().note), QString("line 1\r\nline 2"));
}

void CardsDialogTest::untouchedFieldsKeepTheirBytes() {
    CCard card;
    card.SetCategory(0);
    card.SetName("Caf\xC3\xA9");  // kept as UTF-8 by another program
    card.SetUserId("Jos\xE9");    // kept as Windows-1252
    card.SetNote("r\xC3\xA9sum\xC3\xA9\r\nline");
    ScriptedAnswers ui;
    CCardDialog dialog(ui);
    dialog.SetFields(PresetForEdit(card));
    QCOMPARE(dialog.NameEdit()->text(), QString::fromUtf8("Caf\xC3\xA9"));
    QCOMPARE(dialog.UserIdEdit()->text(), QString::fromUtf8("Jos\xC3\xA9"));
    CardEditorFields f = dialog.Fields();
    QCOMPARE(QByteArray::fromStdString(f.name), QByteArray("Caf\xC3\xA9"));
    QCOMPARE(QByteArray::fromStdString(f.userId), QByteArray("Jos\xE9"));
    QCOMPARE(QByteArray::fromStdString(f.note), QByteArray("r\xC3\xA9sum\xC3\xA9\r\nline"));
    // A field the user changes is stored as typed.
    dialog.NameEdit()->setText("Bistro");
    QCOMPARE(QString::fromStdString(dialog.Fields().name), QString("Bistro"));
}

void CardsDialogTest::typingReplacesTheSelectedName() {
    ScriptedAnswers ui;
    CCardDialog dialog(ui);
    dialog.SetFields(PresetForNewCard("Credit Cards"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.NameEdit()));
    QTest::keyClicks(QApplication::focusWidget(), "Visa");
    QCOMPARE(dialog.NameEdit()->text(), QString("Visa"));
}

void CardsDialogTest::tabWalksTheFieldsTopToBottom() {
    ScriptedAnswers ui;
    CCardDialog dialog(ui);
    dialog.SetFields(PresetForNewCard("WWW Sites"));  // both boxes can be ticked here
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    const QList<QWidget*> forward{
        dialog.AddressEdit(),  dialog.UserIdEdit(),    dialog.PasswordEdit(), dialog.NoteEdit(),
        dialog.NewWindowBox(), dialog.AutoAccessBox(), dialog.OkButton()};
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.NameEdit()));
    for (QWidget* next : forward) {
        if (QApplication::focusWidget() == dialog.NoteEdit())
            QTest::keyClicks(dialog.NoteEdit(), "pin 1234");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), next->objectName());
        QCOMPARE(QApplication::focusWidget(), next);
    }
    // Back from the first box into the note with Shift+Tab, and on to the password.
    QTest::keyClick(dialog.OkButton(), Qt::Key_Backtab, Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.NoteEdit()));
    QTest::keyClick(dialog.NoteEdit(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.PasswordEdit()));
    // The note holds what was typed and no tab.
    QCOMPARE(dialog.NoteEdit()->toPlainText(), QString("pin 1234"));
    QCOMPARE(QString::fromStdString(dialog.Fields().note), QString("pin 1234"));
}

// "Take the password typed into the page" shows only for a page with a login form, starts
// off, and while ticked the password field rests.
void CardsDialogTest::takePagePasswordOnlyWhenOfferedAndTicked() {
    ScriptedAnswers ui;
    {
        CCardDialog dialog(ui);
        dialog.SetFields(PresetForWebPage("WWW Sites", "Bank", "https://bank.example/"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QVERIFY(!dialog.TakePagePasswordBox()->isVisible());
        QVERIFY(!dialog.Fields().takePagePassword);
    }
    CCardDialog dialog(ui);
    dialog.SetFields(PresetForWebPage("WWW Sites", "Bank", "https://bank.example/", true, "joe"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCheckBox* box = dialog.TakePagePasswordBox();
    QVERIFY(box->isVisible());
    QCOMPARE(box->text(), QString("Take the password typed into the page"));
    QVERIFY(!box->isChecked());
    QCOMPARE(dialog.UserIdEdit()->text(), QString("joe"));
    QVERIFY(!dialog.Fields().takePagePassword);
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(dialog.Fields().takePagePassword);
    QVERIFY(!dialog.PasswordEdit()->isEnabled());
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(!dialog.Fields().takePagePassword);
    QVERIFY(dialog.PasswordEdit()->isEnabled());
}

// The eye at the end of the password field: a click shows the password, the next masks
// it; every card the editor is given starts masked.
void CardsDialogTest::theEyeShowsAndHidesThePassword() {
    ScriptedAnswers ui;
    CCardDialog dialog(ui);
    dialog.SetFields(PresetForNewCard("WWW Sites"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClicks(dialog.PasswordEdit(), "s3cret");
    QToolButton* eye = nullptr;
    for (QToolButton* b : dialog.PasswordEdit()->findChildren<QToolButton*>()) {
        if (b->defaultAction() == dialog.RevealPasswordAction())
            eye = b;
    }
    QVERIFY(eye != nullptr);
    QVERIFY(eye->isVisible());
    QCOMPARE(dialog.PasswordEdit()->echoMode(), QLineEdit::Password);
    QCOMPARE(eye->toolTip(), QString("Show the password"));
    QTest::mouseClick(eye, Qt::LeftButton);
    QCOMPARE(dialog.PasswordEdit()->echoMode(), QLineEdit::Normal);
    QCOMPARE(dialog.PasswordEdit()->displayText(), QString("s3cret"));
    QCOMPARE(eye->toolTip(), QString("Hide the password"));
    QTest::mouseClick(eye, Qt::LeftButton);
    QCOMPARE(dialog.PasswordEdit()->echoMode(), QLineEdit::Password);
    QVERIFY(dialog.PasswordEdit()->displayText() != QString("s3cret"));

    QTest::mouseClick(eye, Qt::LeftButton);
    dialog.SetFields(PresetForNewCard("Credit Cards"));
    QCOMPARE(dialog.PasswordEdit()->echoMode(), QLineEdit::Password);
    QVERIFY(!dialog.RevealPasswordAction()->isChecked());
}

QTEST_MAIN(CardsDialogTest)

#include "card_dialog_test.moc"
