// The channel number dialog: Ok closes only on a whole number 1 .. Limit-1; anything
// else shows "Inserire un canale corretto" and keeps the dialog open with the text.
// Fixture builders first: their field names clash with Qt's keyword macros.
#include "shell_support.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "dialogs/number_dialog.h"
#include "test_registry.h"

class NumberDialogTest : public QObject {
    Q_OBJECT
private slots:
    void okChecksTheNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("limit");
        QTest::addColumn<bool>("accepted");
        auto row = [](const char* name, const char* text, int limit, bool accepted) {
            QTest::newRow(name) << QString::fromUtf8(text) << limit << accepted;
        };
        row("first", "1", 11, true);
        row("limit - 1", "10", 11, true);
        row("limit", "11", 11, false);
        row("zero", "0", 11, false);
        row("empty", "", 11, false);
        row("letters", "abc", 11, false);
        row("negative", "-3", 11, false);
        row("no channels", "1", 1, false);
    }
    void okChecksTheNumber() {
        QFETCH(QString, text);
        QFETCH(int, limit);
        QFETCH(bool, accepted);
        ScriptedPrompts prompts;
        TForm4 dialog(prompts);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Vai al canale..."));
        QCOMPARE(dialog.GroupBox1->title(), QStringLiteral("Canale da visualizzare"));
        dialog.Limit = limit;
        dialog.Edit1->setText(text);
        dialog.SpeedButton2->click();
        QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
        if (accepted) {
            QVERIFY(prompts.asked.empty());
            QCOMPARE(dialog.value(), text.toInt());
        } else {
            QCOMPARE(prompts.asked.size(), size_t(1));
            QCOMPARE(prompts.asked[0].text, std::string("Inserire un canale corretto"));
            QCOMPARE(prompts.asked[0].title, std::string("Errore"));
            QVERIFY(prompts.asked[0].icon == rivo::Icon::Error);
            QCOMPARE(dialog.Edit1->text(), text);
            dialog.SpeedButton1->click();
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        }
    }
};

static const int kRegistered = registerTest([]() -> QObject* { return new NumberDialogTest; });

#include "test_number_dialog.moc"
