#include "gui/views/card_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <iterator>

#include "core/cards/categories.h"
#include "core/platform/user_answers.h"
#include "gui/health/strength_meter.h"
#include "core/views/card_list_model.h"
#include "gui/text/text_codec.h"
#include "gui/text/text_wipe.h"
#include "gui/views/card_history_page.h"
#include "gui/views/card_more_fields_page.h"
#include "gui/views/edit_url_dialog.h"
#include "gui/views/one_time_code_panel.h"
#include "gui/views/one_time_code_setup_dialog.h"
#include "gui/views/password_reveal.h"

namespace tessaline {

namespace {

QLineEdit* NewLine(QWidget* parent, const char* id) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(id);
    edit->setMaxLength(static_cast<int>(kMaxCardTextBytes) - 1);
    return edit;
}

}  // namespace

CCardDialog::CCardDialog(IUserAnswers& ui, QWidget* parent) : QDialog(parent), ui_(ui) {
    setWindowTitle("New Card");
    setObjectName("CardDialog");

    auto* info = new QGroupBox("Card Info", this);
    auto* grid = new QGridLayout(info);
    grid->addWidget(new QLabel("Selected Category:", info), 0, 0);
    category_ = new QLabel(info);
    category_->setObjectName("1044");
    grid->addWidget(category_, 0, 1, 1, 2);
    categoryChoice_ = new QComboBox(info);
    categoryChoice_->setObjectName("categoryChoice");
    for (const std::string& entry : CategorySelectorEntries()) {
        if (CategoryCodeOfName(entry) >= 0)
            categoryChoice_->addItem(DisplayText(entry));
    }
    categoryChoice_->setVisible(false);
    grid->addWidget(categoryChoice_, 0, 1, 1, 2);

    const char* resourceTexts[] = {"Name:", "Host:", "User ID:", "Password:"};
    const char* labelIds[] = {"1017", "1018", "1019", "1020"};
    for (int i = 0; i < 4; ++i) {
        labels_[i] = new QLabel(resourceTexts[i], info);
        labels_[i]->setObjectName(labelIds[i]);
        grid->addWidget(labels_[i], i + 1, 0);
    }
    name_ = NewLine(info, "1013");
    address_ = NewLine(info, "1014");
    userId_ = NewLine(info, "1015");
    password_ = NewLine(info, "1016");
    revealPassword_ = AddPasswordReveal(*password_);
    grid->addWidget(name_, 1, 1, 1, 2);
    grid->addWidget(address_, 2, 1);
    grid->addWidget(userId_, 3, 1, 1, 2);
    grid->addWidget(password_, 4, 1);

    addressButton_ = new QToolButton(info);
    addressButton_->setObjectName("1118");
    addressButton_->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    addressButton_->setToolTip("Edit URL... / Select File...");
    grid->addWidget(addressButton_, 2, 2);
    showPassword_ = new QToolButton(info);
    showPassword_->setObjectName("1061");
    showPassword_->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    showPassword_->setToolTip("Show the password");
    grid->addWidget(showPassword_, 4, 2);
    takePagePassword_ = new QCheckBox("Take the password typed into the page", info);
    takePagePassword_->setObjectName("takePagePassword");
    takePagePassword_->setVisible(false);
    // How hard the password is to guess, under it, as the user types.
    strength_ = new CStrengthMeter(info);
    connect(password_, &QLineEdit::textChanged, strength_, &CStrengthMeter::SetPassword);
    auto* underPassword = new QVBoxLayout;
    underPassword->addWidget(strength_);
    underPassword->addWidget(takePagePassword_);
    grid->addLayout(underPassword, 5, 1, 1, 2);
    // The page's password replaces whatever the field holds, so the field rests meanwhile.
    connect(takePagePassword_, &QCheckBox::toggled, this,
            [this](bool on) { password_->setEnabled(!on); });

    grid->addWidget(new QLabel(kEditorNoteLabel, info), 6, 0, Qt::AlignTop);
    note_ = new QPlainTextEdit(info);
    note_->setObjectName("1012");
    note_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves on to the next field here as everywhere else: a tab inside a note would
    // split the note's line in a text export.
    note_->setTabChangesFocus(true);
    grid->addWidget(note_, 6, 1, 1, 2);

    auto* attributes = new QGroupBox("Attributes", this);
    auto* attrLayout = new QHBoxLayout(attributes);
    newWindow_ = new QCheckBox("New Browser Window", attributes);
    newWindow_->setObjectName("1070");
    autoAccess_ = new QCheckBox("Automatic Access", attributes);
    autoAccess_->setObjectName("1069");
    attrLayout->addWidget(newWindow_);
    attrLayout->addWidget(autoAccess_);

    auto* otpBox = new QGroupBox("One-Time Code", this);
    auto* otpLayout = new QHBoxLayout(otpBox);
    oneTimeCode_ = new COneTimeCodePanel(otpBox);
    otpLayout->addWidget(oneTimeCode_);
    connect(oneTimeCode_, &COneTimeCodePanel::SetUpRequested, this,
            &CCardDialog::OnSetUpOneTimeCode);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton("Add Card", QDialogButtonBox::AcceptRole);
    ok_->setDefault(true);
    QPushButton* cancel = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CCardDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // The card's own fields on the first page, the optional fields and the history after it.
    pages_ = new QTabWidget(this);
    pages_->setObjectName("CardPages");
    auto* cardPage = new QWidget(pages_);
    auto* cardLayout = new QVBoxLayout(cardPage);
    cardLayout->addWidget(info);
    cardLayout->addWidget(attributes);
    cardLayout->addWidget(otpBox);
    pages_->addTab(cardPage, "Card");
    more_ = new CCardMoreFieldsPage(pages_);
    pages_->addTab(more_, "More");
    history_ = new CCardHistoryPage(pages_);
    pages_->addTab(history_, "History");
    connect(history_, &CCardHistoryPage::RestoreRequested, this, &CCardDialog::OnRestoreVersion);
    // The code shown follows the secret typed on the More page.
    connect(more_->OtpEdit(), &QLineEdit::textEdited, this,
            [this](const QString& text) { oneTimeCode_->SetOtpText(StoredText(text)); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addWidget(buttons);
    resize(600, 500);

    // Tab walks the fields from top to bottom, then the boxes and the buttons; the two
    // small buttons beside the fields and the one-time code's set-up come last, so typing a
    // card is field, Tab, field.
    setTabOrder(categoryChoice_, name_);
    QWidget* const setUpCode = oneTimeCode_->SetUpButton();
    QWidget* order[] = {name_,          address_,      userId_,     password_, takePagePassword_,
                        note_,          newWindow_,    autoAccess_, ok_,       cancel,
                        addressButton_, showPassword_, setUpCode};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(categoryChoice_, &QComboBox::activated, this,
            [this](int index) { OnCategoryChosen(categoryChoice_->itemText(index)); });
    connect(showPassword_, &QToolButton::clicked, this, &CCardDialog::OnShowPassword);
    connect(addressButton_, &QToolButton::clicked, this, &CCardDialog::OnAddressMenu);
}

CCardDialog::~CCardDialog() {
    for (QLineEdit* edit : {name_, address_, userId_, password_})
        WipeLineEdit(*edit);
    WipePlainTextEdit(*note_);
    WipeEditorTexts(fields_);
}

void CCardDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The name is selected, so that typing replaces "Untitled" instead of adding to it.
    name_->selectAll();
    // Where the card's category is asked for, that is the first thing to answer.
    if (fields_.chooseCategory)
        categoryChoice_->setFocus(Qt::TabFocusReason);
    else
        name_->setFocus(Qt::TabFocusReason);
}

void CCardDialog::SetFields(const CardEditorFields& f) {
    fields_ = f;
    category_->setText(DisplayText(f.categoryName));
    for (int i = 0; i < 4; ++i)
        labels_[i]->setText(DisplayText(f.labels[static_cast<std::size_t>(i)]));
    name_->setText(DisplayText(f.name));
    address_->setText(DisplayText(f.address));
    userId_->setText(DisplayText(f.userId));
    password_->setText(DisplayText(f.password));
    note_->setPlainText(DisplayText(NoteForEditor(f.note)));
    newWindow_->setChecked(f.newBrowserWindow);
    autoAccess_->setChecked(f.automaticAccess);
    if (f.attributesEnabled == 0 || f.attributesEnabled == 1) {
        newWindow_->setEnabled(f.attributesEnabled == 1);
        autoAccess_->setEnabled(f.attributesEnabled == 1);
    }
    if (f.editMode == 1) {
        ok_->setText("OK");
        setWindowTitle("Edit Card");
    } else {
        ok_->setText("Add Card");
        setWindowTitle("New Card");
    }
    addressButton_->setVisible(AddressButtonShown(f.categoryName));
    takePagePassword_->setChecked(f.takePagePassword);
    takePagePassword_->setVisible(f.offerPagePassword);
    revealPassword_->setChecked(false);
    password_->setEchoMode(QLineEdit::Password);
    more_->SetFields(f);
    history_->SetRows(f.history);
    // A new card has no history yet.
    pages_->setTabVisible(pages_->indexOf(history_), f.editMode == 1);
    restoreVersion_.reset();
    oneTimeCode_->SetOtpText(f.otpUri);
    category_->setVisible(!f.chooseCategory);
    categoryChoice_->setVisible(f.chooseCategory);
    if (f.chooseCategory)
        categoryChoice_->setCurrentText(DisplayText(f.categoryName));
}

void CCardDialog::OnCategoryChosen(const QString& name) {
    CardEditorFields typed = Fields();
    CardEditorFields next = WithChosenCategory(typed, StoredText(name));
    fields_.categoryName = next.categoryName;
    fields_.labels = next.labels;
    fields_.attributesEnabled = next.attributesEnabled;
    category_->setText(name);
    for (int i = 0; i < 4; ++i)
        labels_[i]->setText(DisplayText(next.labels[static_cast<std::size_t>(i)]));
    if (next.address != typed.address)
        address_->setText(DisplayText(next.address));
    newWindow_->setEnabled(next.attributesEnabled == 1);
    autoAccess_->setEnabled(next.attributesEnabled == 1);
    addressButton_->setVisible(AddressButtonShown(next.categoryName));
    WipeEditorTexts(typed);
    WipeEditorTexts(next);
}

namespace {

// The bytes to keep for a text field: the original bytes while the user left the text as
// it was shown, so that an untouched field never changes its bytes.
std::string KeptOrTyped(const QString& shown, const std::string& original) {
    return shown == DisplayText(original) ? original : StoredText(shown);
}

}  // namespace

CardEditorFields CCardDialog::Fields() const {
    CardEditorFields f = fields_;
    f.name = KeptOrTyped(name_->text(), fields_.name);
    f.address = KeptOrTyped(address_->text(), fields_.address);
    f.userId = KeptOrTyped(userId_->text(), fields_.userId);
    f.password = KeptOrTyped(password_->text(), fields_.password);
    const std::string noteShown = NoteForEditor(fields_.note);
    f.note = note_->toPlainText() == DisplayText(noteShown)
                 ? fields_.note
                 : NoteFromEditor(StoredText(note_->toPlainText()), fields_.note);
    f.newBrowserWindow = newWindow_->isChecked();
    f.automaticAccess = autoAccess_->isChecked();
    f.takePagePassword = fields_.offerPagePassword && takePagePassword_->isChecked();
    more_->PutInto(f, fields_);
    f.restoreVersion = restoreVersion_;
    return f;
}

void CCardDialog::OnRestoreVersion(int version) {
    CardEditorFields now = Fields();
    now.restoreVersion.reset();
    CardEditorFields shown = fields_;
    const bool edited = now.name != shown.name || now.address != shown.address ||
                        now.userId != shown.userId || now.password != shown.password ||
                        now.note != shown.note || now.newBrowserWindow != shown.newBrowserWindow ||
                        now.automaticAccess != shown.automaticAccess ||
                        now.expiresMs != shown.expiresMs || now.tags != shown.tags ||
                        now.otpUri != shown.otpUri || now.customFields != shown.customFields;
    WipeEditorTexts(now);
    if (edited &&
        ui_.Message(MessageRequest{kRestoreDropsEditsMessage, MsgCaption::Application,
                                   MsgIcon::Question, MsgButtons::YesNo}) != MsgAnswer::Yes)
        return;
    restoreVersion_ = version;
    QDialog::accept();
}

void CCardDialog::accept() {
    restoreVersion_.reset();
    CardEditorFields f = Fields();
    const std::optional<std::string> field = FieldTooLong(f);
    WipeEditorTexts(f);
    if (field) {
        ui_.Message(MessageRequest{TooLongMessage(*field), MsgCaption::Application,
                                   MsgIcon::Warning, MsgButtons::Ok});
        return;
    }
    QDialog::accept();
}

QMenu* CCardDialog::NewMenu() {
    delete lastMenu_;
    lastMenu_ = new QMenu(this);
    lastMenu_->setAttribute(Qt::WA_DeleteOnClose, false);
    return lastMenu_;
}

void CCardDialog::OnShowPassword() {
    const QString password = password_->text();
    if (password.isEmpty())
        return;
    QMenu* menu = NewMenu();
    menu->setObjectName("ShowPasswordMenu");
    // Shown literally, not as an accelerator; it can be read but not chosen.
    QAction* item = menu->addAction(QString(password).replace("&", "&&"));
    item->setEnabled(false);
    menu->popup(
        showPassword_->mapToGlobal(QPoint(showPassword_->width() + 5, showPassword_->height())));
}

void CCardDialog::OnAddressMenu() {
    QMenu* menu = NewMenu();
    menu->setObjectName("AddressMenu");
    QAction* edit = menu->addAction("Edit URL...");
    edit->setData(156);
    menu->addSeparator();
    QAction* select = menu->addAction("Select File...");
    select->setData(157);
    connect(edit, &QAction::triggered, this, &CCardDialog::OnEditUrl);
    connect(select, &QAction::triggered, this, &CCardDialog::OnSelectFile);
    menu->popup(
        addressButton_->mapToGlobal(QPoint(addressButton_->width() + 5, addressButton_->height())));
}

void CCardDialog::OnSetUpOneTimeCode() {
    COneTimeCodeSetupDialog dialog(oneTimeCode_->OtpText(), name_->text(), userId_->text(), this);
    if (dialog.exec() == QDialog::Accepted) {
        // The More page's field is what OK takes; the code shown follows it.
        more_->OtpEdit()->setText(DisplayText(dialog.Field()));
        oneTimeCode_->SetOtpText(dialog.Field());
    }
}

// The larger address editor: OK puts its text into the address field.
void CCardDialog::OnEditUrl() {
    CEditURLDialog dialog(this);
    dialog.SetText(address_->text());
    if (dialog.exec() == QDialog::Accepted)
        address_->setText(dialog.Text());
}

void CCardDialog::OnSelectFile() {
    FileDialogRequest request;
    request.title = "Select Tessaline File Path";
    request.defaultExtension = "tse";
    request.initialName = "*.tse";
    request.filter = "Encrypted Data (*.tse)|*.tse||";
    request.overwritePrompt = true;
    request.mustExist = true;
    if (auto answer = ui_.OpenFileName(request); answer && !answer->path.empty())
        address_->setText(DisplayText(answer->path));
}

}  // namespace tessaline
