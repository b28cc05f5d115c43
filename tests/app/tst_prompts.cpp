#include "app/prompts.h"
#include "tests/support/testsupport.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

// The real dialogs: the exact prompt and title, Japanese button texts, and
// the answer of the button pressed.
class TestPrompts : public QObject
{
    Q_OBJECT

    // Runs check on the modal dialog once it is up, then presses the button
    // whose text is `press`.
    template <typename Check> void whenShown(const QString &press, Check check)
    {
        QTimer::singleShot(0, this, [=] {
            QWidget *dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            check(dialog);
            for (QPushButton *button : dialog->findChildren<QPushButton *>())
                if (button->text() == press) {
                    button->click();
                    return;
                }
            QFAIL(qPrintable(QStringLiteral("no button ") + press));
        });
    }

    static QStringList buttonTexts(QWidget *dialog)
    {
        QStringList texts;
        for (QPushButton *button : dialog->findChildren<QPushButton *>())
            texts << button->text();
        texts.sort();
        return texts;
    }

private slots:
    void initTestCase() { setUpTestApplication(); }

    void messageBoxesSpeakJapanese()
    {
        DialogPrompts dialogs;
        Prompts &prompts = dialogs;
        whenShown(QStringLiteral("キャンセル"), [](QWidget *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), QStringLiteral("料理の削除"));
            QCOMPARE(box->text(), QStringLiteral("煮物を削除します"));
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
            QCOMPARE(buttonTexts(box),
                     (QStringList{QStringLiteral("OK"), QStringLiteral("キャンセル")}));
        });
        QCOMPARE(prompts.message(QStringLiteral("煮物を削除します"), Prompts::Buttons::OkCancel,
                                 Prompts::Icon::None, QStringLiteral("料理の削除")),
                 Prompts::Answer::Cancel);

        whenShown(QStringLiteral("OK"), [](QWidget *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            QCOMPARE(box->windowTitle(), QStringLiteral("ゼント")); // no title given
            QCOMPARE(box->icon(), QMessageBox::Warning);
            QCOMPARE(buttonTexts(box), QStringList{QStringLiteral("OK")});
        });
        QCOMPARE(prompts.message(QStringLiteral("上の「食品名」欄から食品を選んでください"),
                                 Prompts::Buttons::Ok, Prompts::Icon::Exclamation),
                 Prompts::Answer::Ok);
    }

    void inputBoxReturnsTheTextOrNothing()
    {
        DialogPrompts dialogs;
        Prompts &prompts = dialogs;
        whenShown(QStringLiteral("OK"), [](QWidget *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("料理の新規追加"));
            QVERIFY(dialog->findChild<QLabel *>()->text() ==
                    QStringLiteral("追加する料理名を入力してください"));
            dialog->findChild<QLineEdit *>()->setText(QStringLiteral("肉じゃが"));
        });
        QCOMPARE(prompts.input(QStringLiteral("追加する料理名を入力してください"),
                               QStringLiteral("料理の新規追加")),
                 std::optional<QString>(QStringLiteral("肉じゃが")));
        whenShown(QStringLiteral("キャンセル"), [](QWidget *) {});
        QCOMPARE(prompts.input(QStringLiteral("追加する料理名を入力してください"),
                               QStringLiteral("料理の新規追加")),
                 std::nullopt);
    }
};

QTEST_MAIN(TestPrompts)
#include "tst_prompts.moc"
