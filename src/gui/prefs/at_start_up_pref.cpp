#include "gui/prefs/at_start_up_pref.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QVBoxLayout>

namespace tessaline {

namespace {

QCheckBox* NewBox(const char* text, const char* id, QWidget* parent, QVBoxLayout* layout) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(id);
    layout->addWidget(box);
    return box;
}

}  // namespace

CAtStartUpPref::CAtStartUpPref(QWidget* parent) : QWidget(parent) {
    auto* start = new QGroupBox("At Startup", this);
    auto* startLayout = new QVBoxLayout(start);
    openRecent_ = NewBox("Open most recent file", "1057", start, startLayout);
    auto* helpers = new QGroupBox("Helper Applications ", this);
    auto* helperLayout = new QVBoxLayout(helpers);
    web_ = NewBox("Launch Web Browser", "1052", helpers, helperLayout);
    ftp_ = NewBox("Launch FTP Client", "1053", helpers, helperLayout);
    email_ = NewBox("Launch E-Mail Application ", "1054", helpers, helperLayout);
    telnet_ = NewBox("Launch Telnet Application ", "1055", helpers, helperLayout);
    news_ = NewBox("Launch Newsreader", "1056", helpers, helperLayout);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(start);
    layout->addWidget(helpers);
    layout->addStretch();
}

void CAtStartUpPref::Load(const Preferences& p) {
    email_->setChecked(p.launchEmail == 1);
    ftp_->setChecked(p.launchFtp == 1);
    news_->setChecked(p.launchNews == 1);
    telnet_->setChecked(p.launchTelnet == 1);
    web_->setChecked(p.launchWebBrowser == 1);
    openRecent_->setChecked(p.checkOpenFiles == 1);
}

void CAtStartUpPref::Store(Preferences& p) const {
    p.launchEmail = email_->isChecked() ? 1 : 0;
    p.launchFtp = ftp_->isChecked() ? 1 : 0;
    p.launchNews = news_->isChecked() ? 1 : 0;
    p.launchTelnet = telnet_->isChecked() ? 1 : 0;
    p.launchWebBrowser = web_->isChecked() ? 1 : 0;
    p.checkOpenFiles = openRecent_->isChecked() ? 1 : 0;
}

}  // namespace tessaline
