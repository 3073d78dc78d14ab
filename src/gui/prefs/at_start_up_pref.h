#pragma once
// The "At Start Up" page: what the program opens and starts when it starts.

#include <QWidget>

#include "core/prefs/preferences.h"

class QCheckBox;

namespace tessaline {

class CAtStartUpPref : public QWidget {
    Q_OBJECT
public:
    explicit CAtStartUpPref(QWidget* parent = nullptr);
    void Load(const Preferences& prefs);
    void Store(Preferences& prefs) const;

    QCheckBox* OpenRecentBox() { return openRecent_; }
    QCheckBox* WebBrowserBox() { return web_; }
    QCheckBox* FtpBox() { return ftp_; }
    QCheckBox* EmailBox() { return email_; }
    QCheckBox* TelnetBox() { return telnet_; }
    QCheckBox* NewsBox() { return news_; }

private:
    QCheckBox* openRecent_;
    QCheckBox* web_;
    QCheckBox* ftp_;
    QCheckBox* email_;
    QCheckBox* telnet_;
    QCheckBox* news_;
};

}  // namespace tessaline
