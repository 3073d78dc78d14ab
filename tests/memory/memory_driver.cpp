// The desktop program for the memory test: the real application, start-up and main
// window (and the same heap clearing as the program), steered by one command a line on
// the standard input so that the test can take a memory image between two steps.
//
//   open PATH PASSWORD   opens a data file, typing the password into its dialog
//   show-all             lists every card ("Show All") and paints the list
//   edit-cancel          opens the editor on the first listed card and cancels it
//   preview              File > Print Preview, closed once its pages are drawn
//   lock                 Ctrl+L
//   close                File > Close
//   quit
//
// Each step answers "done STEP" on the standard output, or "failed STEP: WHY" (and the
// program ends) when it did not have the effect a user would see.

#include <unistd.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <array>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "core/app/startup.h"
#include "core/base/secure_wipe.h"
#include "core/cards/categories.h"
#include "core/commands/command_ids.h"
#include "core/platform/process_hardening.h"
#include "gui/app/child_frame.h"
#include "gui/app/main_frame.h"
#include "gui/app/tessaline_app.h"
#include "gui/document/decrypt_password_dialog.h"
#include "gui/document/tessaline_doc.h"
#include "gui/text/text_wipe.h"
#include "gui/views/card_dialog.h"
#include "gui/views/tessaline_view.h"

namespace {

using namespace tessaline;

void Say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

[[noreturn]] void Fail(const std::string& step, const std::string& why) {
    Say("failed " + step + ": " + why);
    std::_Exit(1);
}

// Lets the window paint and the timers run for a while.
void Settle(int ms = 300) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Answers the next modal dialog of type T with answer, from inside its event loop.
template <typename T>
void WhenShown(const std::string& step, std::function<void(T&)> answer) {
    auto* poll = new QTimer(qApp);
    auto waited = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, waited, step, answer] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<T*>(modal); dialog && dialog->isVisible()) {
            poll->stop();
            poll->deleteLater();
            answer(*dialog);
            return;
        }
        if (modal != nullptr && qobject_cast<T*>(modal) == nullptr)
            Fail(step, "an unexpected window: " + modal->windowTitle().toStdString());
        if (++*waited > 200)
            Fail(step, "the window did not open");
    });
    poll->start(50);
}

class Driver : public QObject {
public:
    explicit Driver(CMainFrame& frame) : frame_(frame), input_(0, QSocketNotifier::Read) {
        connect(&input_, &QSocketNotifier::activated, this, [this] { ReadInput(); });
    }

private:
    void ReadInput() {
        char c = 0;
        const ssize_t n = ::read(0, &c, 1);
        if (n <= 0) {
            std::_Exit(0);
        }
        if (c != '\n') {
            if (used_ + 1 < line_.size())
                line_[used_++] = c;
            return;
        }
        std::string command(line_.data(), used_);
        SecureWipe(line_.data(), line_.size());
        used_ = 0;
        input_.setEnabled(false);
        const std::string step = Run(command);
        SecureWipe(command);
        // Answered from the main event loop, once what the step let go of (a closed
        // window, a dialog) has been deleted and the window has painted.
        QTimer::singleShot(0, this, [this, step] {
            Settle();
            if (check_) {
                const std::string why = check_();
                check_ = nullptr;
                if (!why.empty())
                    Fail(step, why);
            }
            Say("done " + step);
            input_.setEnabled(true);
        });
    }

    CChildFrame* Child(const std::string& step) {
        CChildFrame* child = frame_.ActiveChild();
        if (child == nullptr)
            Fail(step, "no document is open");
        return child;
    }

    // Runs one step; returns its name.
    std::string Run(const std::string& command) {
        const std::size_t space = command.find(' ');
        const std::string step = command.substr(0, space);
        if (step == "open") {
            const std::size_t second = command.find(' ', space + 1);
            if (space == std::string::npos || second == std::string::npos)
                Fail(step, "usage: open PATH PASSWORD");
            const QString path =
                QString::fromStdString(command.substr(space + 1, second - space - 1));
            auto password = std::make_shared<QString>(QString::fromUtf8(
                command.data() + second + 1, static_cast<qsizetype>(command.size() - second - 1)));
            WhenShown<CDecryptPasswordDialog>(step, [password](CDecryptPasswordDialog& dialog) {
                QTest::keyClicks(dialog.PasswordEdit(), *password);
                WipeText(*password);
                QTest::keyClick(dialog.PasswordEdit(), Qt::Key_Return);
            });
            if (frame_.OpenDocumentFile(path) == nullptr)
                Fail(step, "the file did not open");
        } else if (step == "show-all") {
            Child(step)->View()->ShowCategory(
                QString::fromLatin1(kShowAll.data(), static_cast<qsizetype>(kShowAll.size())));
            if (Child(step)->View()->ItemCount() == 0)
                Fail(step, "no card is listed");
        } else if (step == "edit-cancel") {
            CTessalineNewView* view = Child(step)->View();
            view->List()->setCurrentIndex(view->List()->model()->index(0, 0));
            if (view->SelectedCard() == nullptr)
                Fail(step, "no card could be selected");
            WhenShown<CCardDialog>(step, [](CCardDialog& dialog) {
                Settle();
                dialog.reject();
            });
            frame_.OnCommand(CommandId::EditCard);
        } else if (step == "preview") {
            Child(step);
            WhenShown<QPrintPreviewDialog>(step, [](QPrintPreviewDialog& dialog) {
                Settle(800);
                dialog.reject();
            });
            frame_.OnCommand(CommandId::PrintPreview);
        } else if (step == "lock") {
            CChildFrame* child = Child(step);
            QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &frame_;
            QTest::keyClick(target, Qt::Key_L, Qt::ControlModifier);
            Settle(100);
            if (!child->Document().IsLocked())
                Fail(step, "the document did not lock");
        } else if (step == "close") {
            QPointer<CChildFrame> child = Child(step);
            frame_.OnCommand(CommandId::FileClose);
            check_ = [child] { return child ? "the document is still open" : ""; };
        } else if (step == "quit") {
            Say("done quit");
            std::_Exit(0);
        } else {
            Fail(step, "unknown step");
        }
        return step;
    }

    CMainFrame& frame_;
    QSocketNotifier input_;
    // What the step must have done, looked at once its effects have settled; empty: done.
    std::function<std::string()> check_;
    std::array<char, 4096> line_{};
    std::size_t used_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    // As the program itself does before anything secret is read.
    HardenProcessAgainstDumps();
    CTessalineApp app(argc, argv);
    StartupOptions options;
    options.showSplash = false;
    if (!app.InitInstance(options) || app.MainFrame() == nullptr)
        return 1;
    app.MainFrame()->show();
    Settle();
    Driver driver(*app.MainFrame());
    Say("ready");
    return CTessalineApp::exec();
}
