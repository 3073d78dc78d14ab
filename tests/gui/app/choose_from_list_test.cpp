// The short list Fill Login offers when several cards match a page, as the real dialog.
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "gui/app/qt_user_answers.h"
#include "support/qt_dialog_driver.h"

using namespace tessaline;
using tessaline::testing::WhenModal;

class ChooseFromListTest : public QObject {
    Q_OBJECT
private slots:
    // The entries are listed with the first one chosen; OK gives the row chosen, a double
    // click too, Cancel nothing.
    void okDoubleClickAndCancel() {
        QtUserAnswers answers;
        const std::vector<std::string> entries{"Bank (joe)", "Bank, second login (ann)"};
        QStringList listed;
        QString caption, prompt;
        auto seen = WhenModal<QDialog>([&](QDialog& dialog) {
            caption = dialog.windowTitle();
            prompt = dialog.findChild<QLabel*>()->text();
            auto* list = dialog.findChild<QListWidget*>();
            for (int i = 0; i < list->count(); ++i)
                listed << list->item(i)->text();
            QCOMPARE(list->currentRow(), 0);
            list->setCurrentRow(1);
            QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                              Qt::LeftButton);
        });
        QCOMPARE(answers.ChooseFromList("Fill Login", "Pick one:", entries),
                 std::optional<std::size_t>(1));
        QVERIFY(seen);
        QCOMPARE(caption, QString("Fill Login"));
        QCOMPARE(prompt, QString("Pick one:"));
        QCOMPARE(listed, (QStringList{"Bank (joe)", "Bank, second login (ann)"}));

        seen = WhenModal<QDialog>([](QDialog& dialog) {
            auto* list = dialog.findChild<QListWidget*>();
            emit list->itemDoubleClicked(list->item(0));
        });
        QCOMPARE(answers.ChooseFromList("Fill Login", "Pick one:", entries),
                 std::optional<std::size_t>(0));
        QVERIFY(seen);

        seen = WhenModal<QDialog>([](QDialog& dialog) {
            QTest::mouseClick(
                dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel),
                Qt::LeftButton);
        });
        QCOMPARE(answers.ChooseFromList("Fill Login", "Pick one:", entries), std::nullopt);
        QVERIFY(seen);
    }
};

QTEST_MAIN(ChooseFromListTest)
#include "choose_from_list_test.moc"
