// The channel number dialog: Ok closes only on a whole number 1 .. limit-1; anything
// else shows "Inserire un canale corretto" and keeps the dialog open with the text.
// Fixture builders first: their field names clash with Qt's keyword macros.
#include "shell_support.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "channel_number_cases.h"
#include "dialogs/row_number_dialog.h"
#include "test_registry.h"

class NumberDialogTest : public QObject {
    Q_OBJECT
private slots:
    void okChecksTheNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("limit");
        QTest::addColumn<bool>("accepted");
        // The same cases as the rule itself: the dialog must not disagree with it.
        for (const auto& c : rivo::testsupport::ChannelNumberCases())
            QTest::newRow(c.name) << QString::fromStdString(c.text) << c.limit << c.accepted;
    }
    void okChecksTheNumber() {
        QFETCH(QString, text);
        QFETCH(int, limit);
        QFETCH(bool, accepted);
        ScriptedPrompts prompts;
        RowNumberDialog dialog(prompts);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Vai al canale..."));
        // A fixed size: a close box, no minimise or maximise button.
        QVERIFY(dialog.windowFlags().testFlag(Qt::CustomizeWindowHint));
        QVERIFY(dialog.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(dialog.numberGroup->title(), QStringLiteral("Canale da visualizzare"));
        dialog.limit = limit;
        dialog.numberEdit->setText(text);
        // Shown, so that Ok and Annulla are seen to close it (or not).
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.okButton->click();
        QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
        QCOMPARE(dialog.isVisible(), !accepted);
        if (accepted) {
            QVERIFY(prompts.asked.empty());
            QCOMPARE(dialog.value(), text.toInt());
        } else {
            QCOMPARE(prompts.asked.size(), size_t(1));
            QCOMPARE(prompts.asked[0].text, std::string("Inserire un canale corretto"));
            QCOMPARE(prompts.asked[0].title, std::string("Errore"));
            QVERIFY(prompts.asked[0].icon == rivo::Icon::Error);
            QCOMPARE(dialog.numberEdit->text(), text);
            dialog.setResult(QDialog::Accepted);  // so that only the click can make it "rejected"
            dialog.cancelButton->click();
            QVERIFY(!dialog.isVisible());
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        }
    }
};

static const int kRegistered = RegisterTest([]() -> QObject* { return new NumberDialogTest; });

#include "test_row_number_dialog.moc"
