// The card commands on a real document and its card list, with the real card editor.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

#include "core/cards/card_collection.h"
#include "core/commands/command_ids.h"
#include "core/platform/profile.h"
#include "gui/document/tessaline_doc.h"
#include "gui/views/card_dialog.h"
#include "gui/views/card_edit_commands.h"
#include "gui/views/card_output_commands.h"
#include "gui/views/generate_password_command.h"
#include "gui/views/tessaline_view.h"
#include "support/qt_dialog_driver.h"
#include "support/qt_scripted_answers.h"

using namespace tessaline;
using tessaline::testing::ScriptedAnswers;
using tessaline::testing::WhenModal;

namespace {

CCard* Add(CTessalineNewDoc& doc, int code, const char* name, const char* password = "",
           const char* note = "") {
    CCard card;
    card.SetCategory(static_cast<std::uint8_t>(code));
    card.SetName(name);
    card.SetPassword(password);
    card.SetNote(note);
    card.SetModificationTime(1000);
    CCard* c = doc.Cards().Adopt(std::move(card));
    doc.Cards().AddCardToCategory(code, c);
    return c;
}

}  // namespace

class CardsCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void newCardWithTheRealEditor();
    void newCardAsksForTheCategoryWhereNoneIsShown();
    void editWithoutChangeMarksNothing();
    void editCancelKeepsEarlierModifiedState();
    void deleteAsksAndRefusesShowAll();
    void changeCategorySelectsTheMovedCard();
    void copyFieldsToTheClipboard();
    void copyCardThenPasteElsewhere();
    void contextMenuAndOpenDataFile();
    void enabledStates();
    void generatedPasswordIsUsed();

private:
    MemoryProfile profile_;
    ScriptedAnswers ui_;
    std::unique_ptr<CTessalineNewDoc> doc_;
    std::unique_ptr<CTessalineNewView> view_;
};

void CardsCommandsTest::init() {
    ui_.ClearShown();
    doc_ = std::make_unique<CTessalineNewDoc>(ui_, profile_, nullptr);
    doc_->OnNewDocument();
    view_ = std::make_unique<CTessalineNewView>(*doc_, profile_);
    view_->show();
}

void CardsCommandsTest::cleanup() {
    view_.reset();
    doc_.reset();
    ui_.ExpectUsedUp();
}

void CardsCommandsTest::newCardWithTheRealEditor() {
    view_->ShowCategory("Login Accounts");
    WhenModal<CCardDialog>([](CCardDialog& d) {
        QCOMPARE(d.windowTitle(), QString("New Card"));
        QCOMPARE(d.AddressEdit()->text(), QString("telnet://"));
        d.NameEdit()->setText("router");
        d.UserIdEdit()->setText("admin");
        d.PasswordEdit()->setText("s3cret");
        QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    });
    CCard* card = OnNewCard(*doc_, *view_, ui_, profile_);
    QVERIFY(card != nullptr);
    QCOMPARE(doc_->Cards().List(kLoginAccounts).Count(), 1);
    QCOMPARE(QString::fromStdString(card->Name()), QString("router"));
    QCOMPARE(QString::fromStdString(card->Address()), QString("telnet://"));
    QVERIFY(card->Changed());
    QVERIFY(doc_->IsModified());
    QCOMPARE(view_->ItemCount(), 1);
    QCOMPARE(view_->SelectedCard(), card);

    // Cancel adds nothing.
    doc_->SetModifiedFlag(false);
    WhenModal<CCardDialog>([](CCardDialog& d) { d.close(); });
    QVERIFY(OnNewCard(*doc_, *view_, ui_, profile_) == nullptr);
    QCOMPARE(doc_->Cards().List(kLoginAccounts).Count(), 1);
    QVERIFY(!doc_->IsModified());
}

void CardsCommandsTest::newCardAsksForTheCategoryWhereNoneIsShown() {
    view_->ShowCategory("Show All");
    // Cancel adds nothing.
    WhenModal<CCardDialog>([](CCardDialog& d) {
        QVERIFY(!d.CategoryChoice()->isHidden());
        d.close();
    });
    QVERIFY(OnNewCard(*doc_, *view_, ui_, profile_) == nullptr);
    QVERIFY(!doc_->IsModified());
    QCOMPARE(doc_->Cards().LiveCardCount(), 0);
    // The category chosen in the editor takes the card.
    WhenModal<CCardDialog>([](CCardDialog& d) {
        const int index = d.CategoryChoice()->findText("Credit Cards");
        d.CategoryChoice()->setCurrentIndex(index);
        emit d.CategoryChoice()->activated(index);
        QCOMPARE(d.Label(0)->text(), QString::fromStdString(EditorFieldLabels("Credit Cards")[0]));
        d.NameEdit()->setText("visa");
        QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    });
    CCard* card = OnNewCard(*doc_, *view_, ui_, profile_);
    QVERIFY(card != nullptr);
    QCOMPARE(int(card->Category()), int(kCreditCards));
    QCOMPARE(doc_->Cards().List(kCreditCards).Count(), 1);
    QCOMPARE(view_->ShownCategory(), QString("Show All"));
    QCOMPARE(view_->SelectedCard(), card);
    QVERIFY(ui_.Texts().empty());
}

void CardsCommandsTest::editWithoutChangeMarksNothing() {
    CCard* card = Add(*doc_, kWwwSites, "site", "pw", "two\r\nlines");
    view_->ShowCategory("WWW Sites");
    view_->SelectCard(card);
    WhenModal<CCardDialog>([](CCardDialog& d) {
        QCOMPARE(d.windowTitle(), QString("Edit Card"));
        QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    });
    QVERIFY(!OnEditCard(*doc_, *view_, ui_, profile_));
    QVERIFY(!doc_->IsModified());
    QCOMPARE(card->ModificationTime(), 1000u);
    QCOMPARE(QString::fromStdString(card->Note()), QString("two\r\nlines"));

    WhenModal<CCardDialog>([](CCardDialog& d) {
        d.PasswordEdit()->setText("new");
        QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    });
    QVERIFY(OnEditCard(*doc_, *view_, ui_, profile_, card));
    QVERIFY(doc_->IsModified());
    QCOMPARE(QString::fromStdString(card->Password()), QString("new"));
    QVERIFY(card->ModificationTime() > 1000u);
    QCOMPARE(view_->SelectedCard(), card);
}

void CardsCommandsTest::editCancelKeepsEarlierModifiedState() {
    CCard* card = Add(*doc_, kWwwSites, "site");
    view_->ShowCategory("WWW Sites");
    view_->SelectCard(card);
    doc_->SetModifiedFlag(true);
    WhenModal<CCardDialog>([](CCardDialog& d) {
        d.NameEdit()->setText("changed");
        d.reject();
    });
    QVERIFY(!OnEditCard(*doc_, *view_, ui_, profile_));
    QVERIFY(doc_->IsModified());
    QCOMPARE(QString::fromStdString(card->Name()), QString("site"));
}

void CardsCommandsTest::deleteAsksAndRefusesShowAll() {
    CCard* a = Add(*doc_, kBankAccounts, "a");
    Add(*doc_, kBankAccounts, "b");
    view_->ShowCategory("Show All");
    view_->SelectCard(a);
    ui_.messageAnswers.push_back(MsgAnswer::Cancel);
    QVERIFY(!OnDeleteCard(*doc_, *view_, ui_));
    QCOMPARE(ui_.Texts().back(), std::string("Are you sure you want to delete the card \"a\"?"));
    QCOMPARE(doc_->Cards().List(kBankAccounts).Count(), 2);

    view_->ShowCategory("Bank Accounts");
    view_->SelectCard(a);
    ui_.messageAnswers.push_back(MsgAnswer::Ok);
    QVERIFY(OnDeleteCard(*doc_, *view_, ui_));
    QCOMPARE(ui_.Texts().back(), std::string("Are you sure you want to delete the card \"a\"?"));
    QCOMPARE(doc_->Cards().List(kBankAccounts).Count(), 1);
    QCOMPARE(doc_->Cards().RecycleBin().Count(), 1);
    QCOMPARE(view_->ItemCount(), 1);
    QVERIFY(doc_->IsModified());
}

void CardsCommandsTest::changeCategorySelectsTheMovedCard() {
    Add(*doc_, kWwwSites, "first");
    CCard* card = Add(*doc_, kWwwSites, "second");
    view_->ShowCategory("WWW Sites");
    view_->SelectCard(card);
    QVERIFY(!OnChangeCategory(*doc_, *view_, ui_, CommandId::MoveToWwwSites));
    QCOMPARE(ui_.Texts().back(), std::string("Card already in this category"));
    QVERIFY(!doc_->IsModified());

    QVERIFY(OnChangeCategory(*doc_, *view_, ui_, CommandId::MoveToWwwForms));
    QCOMPARE(view_->ShownCategory(), QString("WWW Forms"));
    QCOMPARE(view_->SelectedCard(), card);
    QCOMPARE(card->ModificationTime(), 1000u);
    QCOMPARE(doc_->Cards().List(kWwwSites).Count(), 1);
    QVERIFY(doc_->IsModified());
}

void CardsCommandsTest::copyFieldsToTheClipboard() {
    CCard* card = Add(*doc_, kWwwSites, "name", "pa&ss", "multi\r\nline");
    card->SetUserId("user");
    view_->ShowCategory("WWW Sites");
    QVERIFY(!OnCopyField(*view_, profile_, CardField::Name));  // nothing selected
    view_->SelectCard(card);
    const std::pair<CardField, QString> cases[] = {{CardField::Name, "name"},
                                                   {CardField::UserId, "user"},
                                                   {CardField::Password, "pa&ss"},
                                                   {CardField::Note, "multi\r\nline"}};
    for (const auto& [field, text] : cases) {
        QVERIFY(OnCopyField(*view_, profile_, field));
        QCOMPARE(QApplication::clipboard()->text(), text);
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QCOMPARE(data->data("x-kde-passwordManagerHint"), QByteArray("secret"));
    }
}

void CardsCommandsTest::copyCardThenPasteElsewhere() {
    CCard* card = Add(*doc_, kWwwSites, "Mail", "pw");
    view_->ShowCategory("WWW Sites");
    view_->SelectCard(card);
    bool pasteAvailable = false;
    QVERIFY(OnCopyCard(*view_, profile_, pasteAvailable));
    QVERIFY(pasteAvailable);
    QVERIFY(!doc_->IsModified());

    view_->ShowCategory("Search Results");
    QVERIFY(OnPasteCard(*doc_, *view_, ui_, pasteAvailable) == nullptr);
    QCOMPARE(ui_.Texts().back(), std::string("You can not add cards to this category!"));
    QVERIFY(pasteAvailable);

    view_->ShowCategory("Software Keys");
    CCard* pasted = OnPasteCard(*doc_, *view_, ui_, pasteAvailable);
    QVERIFY(pasted != nullptr);
    QVERIFY(!pasteAvailable);
    QCOMPARE(QString::fromStdString(pasted->Name()), QString("Copy of Mail"));
    QCOMPARE(doc_->Cards().List(kSoftwareKeys).Count(), 1);
    QCOMPARE(view_->ItemCount(), 1);
    QCOMPARE(view_->SelectedCard(), pasted);
    QVERIFY(doc_->IsModified());
    QVERIFY(OnPasteCard(*doc_, *view_, ui_, pasteAvailable) == nullptr);
    QCOMPARE(doc_->Cards().List(kSoftwareKeys).Count(), 1);
}

void CardsCommandsTest::contextMenuAndOpenDataFile() {
    CCard* card = Add(*doc_, kWwwSites, "other file");
    card->SetAddress("/home/me/Other.TSE");
    // An empty list has no selection mark.
    view_->ShowCategory("Credit Cards");
    QVERIFY(view_->SelectedCard() == nullptr);
    QVERIFY(BuildCardContextMenu(*view_, ui_, false, {}) == nullptr);
    QCOMPARE(ui_.Texts().back(), std::string("No card selected, please select a card first!"));
    view_->ShowCategory("WWW Sites");
    view_->SelectCard(card);
    std::vector<int> dispatched;
    QMenu* menu = BuildCardContextMenu(*view_, ui_, false,
                                       [&](CommandId id) { dispatched.push_back(ToInt(id)); });
    QVERIFY(menu != nullptr);
    QStringList items;
    for (QAction* a : menu->actions())
        items << (a->isSeparator() ? QString("-") : a->text());
    QCOMPARE(items, (QStringList{"Copy Name", "Copy User ID", "Copy Password", "Copy Address",
                                 "Copy Note", "Copy One-&Time Code", "-", "Copy Card",
                                 "Paste Card", "-", "Use Password To Open .tse File"}));
    // The selected card has no one-time-code secret.
    QVERIFY(!menu->actions()[5]->isEnabled());
    // Paste Card: nothing was copied.
    QVERIFY(!menu->actions()[8]->isEnabled());
    menu->actions()[10]->trigger();
    QCOMPARE(dispatched, std::vector<int>{158});
    delete menu;

    QStringList opened;
    auto open = [&](const QString& p) { opened << p; };
    QVERIFY(!OnUsePasswordToOpen(*view_, ui_, open));
    QCOMPARE(ui_.Texts().back(),
             std::string("File path not correct, not a .tse file, or file not found !"));
    card->SetAddress("/home/me/other.tse");
    QVERIFY(OnUsePasswordToOpen(*view_, ui_, open));
    QCOMPARE(opened, QStringList{"/home/me/other.tse"});
}

void CardsCommandsTest::enabledStates() {
    CCard* card = Add(*doc_, kWwwSites, "x");
    view_->ShowCategory("Show All");
    view_->SelectCard(card);
    QCOMPARE(CardCommandEnabled(CommandId::ToolDeleteCard, view_.get(), false),
             std::optional(true));
    QCOMPARE(CardCommandEnabled(CommandId::DeleteCard, view_.get(), false), std::optional(true));
    QCOMPARE(CardCommandEnabled(CommandId::EditCard, view_.get(), false), std::optional(true));
    QCOMPARE(CardCommandEnabled(CommandId::PasteCard, view_.get(), false), std::optional(false));
    QCOMPARE(CardCommandEnabled(CommandId::PasteCard, view_.get(), true), std::optional(true));
    view_->ShowCategory("WWW Sites");
    view_->SelectCard(card);
    QCOMPARE(CardCommandEnabled(CommandId::ToolDeleteCard, view_.get(), false),
             std::optional(true));
    QCOMPARE(CardCommandEnabled(CommandId::EditCard, nullptr, false), std::optional(false));
}

void CardsCommandsTest::generatedPasswordIsUsed() {
    CCard* card = Add(*doc_, kWwwSites, "x", "old");
    view_->ShowCategory("WWW Sites");
    view_->SelectCard(card);
    QVERIFY(UseGeneratedPassword(*view_, profile_, "Fresh1"));
    QCOMPARE(QString::fromStdString(card->Password()), QString("Fresh1"));
    QVERIFY(card->ModificationTime() > 1000u);
    QVERIFY(doc_->IsModified());
}

QTEST_MAIN(CardsCommandsTest)
#include "card_commands_test.moc"
