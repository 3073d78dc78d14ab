#include "gui/prefs/path_settings_ref.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/platform/user_answers.h"
#include "gui/text/text_codec.h"

namespace tessaline {

namespace {

struct Row {
    const char* text;
    const char* radioId;
    const char* editId;
};
constexpr Row kRows[] = {
    {"Command-line browser:", "1116", "1027"},
    {"Mail App:", "1016", "1028"},
    {"FTP App:", "1017", "1033"},
    {"News Reader:", "1018", "1032"},
    {"Acrobat Reader:", "1019", "1035"},
    {"Telnet:", "1015", "1036"},
    {"Automation browser:", "automationBrowserRadio", "automationBrowserEdit"},
};

}  // namespace

CPathSettingsRef::CPathSettingsRef(IUserAnswers& ui, QWidget* parent) : QWidget(parent), ui_(ui) {
    auto* group = new QGroupBox("Internet applications paths:", this);
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel("Choose path for:", group), 0, 0, 1, 2);
    for (int i = 0; i < kProgramCount; ++i) {
        radios_[i] = new QRadioButton(kRows[i].text, group);
        radios_[i]->setObjectName(kRows[i].radioId);
        edits_[i] = new QLineEdit(group);
        edits_[i]->setObjectName(kRows[i].editId);
        grid->addWidget(radios_[i], i + 1, 0);
        grid->addWidget(edits_[i], i + 1, 1);
    }
    edits_[kAutomationBrowser]->setPlaceholderText("Empty: find Chromium");
    findPath_ = new QPushButton("Find Path...", group);
    findPath_->setObjectName("1034");
    grid->addWidget(findPath_, kProgramCount + 1, 1, Qt::AlignRight);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    connect(findPath_, &QPushButton::clicked, this, &CPathSettingsRef::OnFindPath);
}

void CPathSettingsRef::Load(const Preferences& p) {
    edits_[kNavigator]->setText(DisplayText(p.netscapePath));
    edits_[kMail]->setText(DisplayText(p.mailPath));
    edits_[kFtp]->setText(DisplayText(p.ftpPath));
    edits_[kNews]->setText(DisplayText(p.newsPath));
    edits_[kAcrobat]->setText(DisplayText(p.helpPath));
    edits_[kTelnet]->setText(DisplayText(p.telnetPath));
    edits_[kAutomationBrowser]->setText(DisplayText(p.explorerPath));
}

void CPathSettingsRef::Store(Preferences& p) const {
    p.netscapePath = StoredText(edits_[kNavigator]->text());
    p.mailPath = StoredText(edits_[kMail]->text());
    p.ftpPath = StoredText(edits_[kFtp]->text());
    p.newsPath = StoredText(edits_[kNews]->text());
    p.helpPath = StoredText(edits_[kAcrobat]->text());
    p.telnetPath = StoredText(edits_[kTelnet]->text());
    // Spaces alone would name no program: empty, so that Chromium is looked for.
    p.explorerPath = StoredText(edits_[kAutomationBrowser]->text().trimmed());
}

void CPathSettingsRef::OnFindPath() {
    FileDialogRequest request;
    request.title = "Find Internet Applications Paths";
    request.filter = "Executable Files (*.exe)|*.exe|All Files|*||";
    request.mustExist = true;
    const auto answer = ui_.OpenFileName(request);
    const QString path = answer ? DisplayText(answer->path) : QString();
    for (int i = 0; i < kProgramCount; ++i) {
        if (radios_[i]->isChecked())
            edits_[i]->setText(path);
    }
}

}  // namespace tessaline
