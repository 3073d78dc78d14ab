// A password typed in the desktop program's dialogs keys a file the same way as the same
// password typed to tessaline-cli: a file made by one opens in the other, both ways.

#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "core/platform/profile.h"
#include "gui/app/qt_user_answers.h"
#include "gui/document/decrypt_password_dialog.h"
#include "gui/document/file_encryption_dialog.h"
#include "gui/document/tessaline_doc.h"
#include "support/qt_dialog_driver.h"

using namespace tessaline;
using tessaline::testing::WhenModal;

namespace {

// Types text key by key, as a keyboard (or its input method) gives non-ASCII letters.
void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

}  // namespace

class DocviewPasswordBytesTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    MemoryProfile profile_;

    QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

    // Runs tessaline-cli with input as its standard input (so passwords are read from it).
    int Cli(const QStringList& args, const QByteArray& input, QByteArray* out = nullptr) {
        QProcess cli;
        cli.start(QStringLiteral(TESSALINE_CLI), args);
        if (!cli.waitForStarted())
            return -1;
        cli.write(input);
        cli.closeWriteChannel();
        cli.waitForFinished(30000);
        if (out)
            *out = cli.readAllStandardOutput();
        return cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    }

private slots:
    void aNonAsciiPasswordOpensInBothPrograms() {
        const QString first = QString::fromUtf8("p\xC3\xA4sswort1");                  // pässwort1
        const QString second = QString::fromUtf8("na\xC3\xAFv\xC3\xA9t\xC3\xA9-12");  // naïveté-12

        QFile text(Path("in.txt"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("0\tmail\thttps://mail.example\tme\ts3cret!\t\r\n");
        text.close();
        QCOMPARE(Cli({"import", Path("in.txt"), Path("cli.tse")}, first.toUtf8() + "\n"), 0);

        // The file made on the command line opens with the password typed in the dialog.
        QtUserAnswers ui;
        CTessalineNewDoc doc(ui, profile_, nullptr);
        WhenModal<CDecryptPasswordDialog>([first](CDecryptPasswordDialog& d) {
            Type(d.PasswordEdit(), first);
            QCOMPARE(d.Password(), first);
            d.accept();
        });
        QVERIFY(doc.OnOpenDocument(Path("cli.tse")));
        QVERIFY(doc.HasCards());

        // And back: enciphered under another password in the window, opened on the command
        // line.
        WhenModal<CFileEncryptionDialog>([second](CFileEncryptionDialog& d) {
            QVERIFY(d.EncryptOnSave());
            d.FirstEdit()->clear();
            d.SecondEdit()->clear();
            Type(d.FirstEdit(), second);
            Type(d.SecondEdit(), second);
            d.accept();
        });
        doc.OnEncryptOnSave();
        QVERIFY(doc.OnFileSave());
        QByteArray listed;
        QCOMPARE(Cli({"ls", Path("cli.tse")}, second.toUtf8() + "\n", &listed), 0);
        QVERIFY(listed.contains("mail\tWWW Sites\tme"));
        QCOMPARE(Cli({"ls", Path("cli.tse")}, first.toUtf8() + "\n"), 1);
    }
};

QTEST_MAIN(DocviewPasswordBytesTest)
#include "password_bytes_test.moc"
