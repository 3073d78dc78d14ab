#pragma once
// What the main window shows while no data file is open: a short welcome with New data
// file, Open..., the recent files and Import from another password manager.

#include <QWidget>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace tessaline {

class CWelcomePanel : public QWidget {
    Q_OBJECT
public:
    explicit CWelcomePanel(QWidget* parent = nullptr);

    // The recent-file entries, newest first (full paths).
    void ShowRecentFiles(const std::vector<std::string>& paths);
    // The import button shows only while importing can be done.
    void SetImportAvailable(bool available);

    QPushButton* NewButton() const { return new_; }
    QPushButton* OpenButton() const { return open_; }
    QPushButton* ImportButton() const { return import_; }
    // The buttons of the recent files, newest first.
    QList<QPushButton*> RecentButtons() const { return recentButtons_; }

signals:
    // New (kCmdFileNew), Open (kCmdFileOpen) or a recent file (kCmdFileMru1 + index).
    void CommandChosen(int command);
    void ImportChosen();

private:
    QPushButton* new_;
    QPushButton* open_;
    QPushButton* import_;
    QLabel* noRecent_;
    QVBoxLayout* recentLayout_;
    QList<QPushButton*> recentButtons_;
};

}  // namespace tessaline
