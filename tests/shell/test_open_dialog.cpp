// The open dialog: start values, the symbol-rate sets of Sr.Ini, the field checks and
// the parameters it yields.
// Fixture builders first: their field names clash with Qt's keyword macros.
#include "shell_support.h"
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <sys/stat.h>

#include "dialogs/open_dialog.h"
#include "test_registry.h"

namespace {

QString Rate(const OpenDialog& dialog, int code) { return dialog.symbolRateTable->item(code, 1)->text(); }

void LeaveField(QWidget* field) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(field, &out);
}
}  // namespace

class OpenDialogTest : public QObject {
    Q_OBJECT
private slots:
    void startValuesAndFirstSet() {
        ShellFolder folder;
        ScriptedPrompts prompts;
        OpenDialog dialog(folder.path("Sr.Ini"), prompts);
        dialog.initialise();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Apertura lista canali..."));
        QCOMPARE(dialog.fileEdit->text(), QString());
        QVERIFY(!dialog.fileEdit->isReadOnly());  // a path may be typed or pasted
        QCOMPARE(dialog.lnbLowEdit->text(), QStringLiteral("9750"));
        QCOMPARE(dialog.lnbHighEdit->text(), QStringLiteral("10600"));
        for (QComboBox* combo : {dialog.satelliteACombo, dialog.satelliteBCombo}) {
            QVERIFY(combo->isEditable());
            QCOMPARE(combo->count(), 3);
            QCOMPARE(combo->itemText(2), QStringLiteral("Thor"));
        }
        QCOMPARE(dialog.satelliteACombo->currentText(), QStringLiteral("HotBird"));
        QCOMPARE(dialog.satelliteBCombo->currentText(), QStringLiteral("Astra"));
        // Sets in file order, the first chosen and shown.
        QCOMPARE(dialog.symbolRateSetCombo->count(), 3);
        QCOMPARE(dialog.symbolRateSetCombo->itemText(0), QStringLiteral("Fixture"));
        QCOMPARE(dialog.symbolRateSetCombo->itemText(1), QStringLiteral("Personalizzato"));
        QCOMPARE(dialog.symbolRateSetCombo->currentIndex(), 0);
        QCOMPARE(dialog.symbolRateTable->rowCount(), 16);
        QCOMPARE(dialog.symbolRateTable->horizontalHeaderItem(0)->text(), QStringLiteral("SR"));
        QCOMPARE(dialog.symbolRateTable->horizontalHeaderItem(1)->text(), QStringLiteral("VALORE"));
        QCOMPARE(dialog.symbolRateTable->item(10, 0)->text(), QStringLiteral("0A"));
        QCOMPARE(Rate(dialog, 0), QStringLiteral("27500"));
        QCOMPARE(Rate(dialog, 15), QStringLiteral("0"));
        QVERIFY(prompts.asked.empty());
        // Shown, the path box has the keys: a path can be typed or pasted at once.
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.fileEdit));
    }

    void setsAndTheCustomSet() {
        ShellFolder folder;
        ScriptedPrompts prompts;
        OpenDialog dialog(folder.path("Sr.Ini"), prompts);
        dialog.initialise();
        dialog.symbolRateSetCombo->setCurrentIndex(2);  // "Ridotto": SR03 -1, SR0C missing
        QCOMPARE(Rate(dialog, 2), QStringLiteral("1000"));
        QCOMPARE(Rate(dialog, 3), QString());
        QCOMPARE(Rate(dialog, 12), QString());
        QCOMPARE(Rate(dialog, 13), QStringLiteral("113"));
        // "Personalizzato" keeps what the previous set showed, whatever it holds itself.
        dialog.symbolRateSetCombo->setCurrentIndex(1);
        QCOMPARE(Rate(dialog, 2), QStringLiteral("1000"));
        QCOMPARE(Rate(dialog, 0), QStringLiteral("27500"));
        dialog.fileEdit->setText(QStringLiteral("/x/y.Bin"));
        dialog.okButton->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const rivo::OpenParams params = dialog.params();
        QCOMPARE(params.symbolRates[2], 1000);
        QCOMPARE(params.symbolRates[3], 0);   // empty cell
        QCOMPARE(params.symbolRates[12], 0);  // missing key
        QCOMPARE(params.symbolRates[13], 113);
        QCOMPARE(params.fileName, std::string("/x/y.Bin"));
        QCOMPARE(params.lnbLow, 9750);
        QCOMPARE(params.lnbHigh, 10600);
        QCOMPARE(params.satelliteA, std::string("HotBird"));
        QCOMPARE(params.satelliteB, std::string("Astra"));
    }

    void missingIniGivesNoSets() {
        ShellFolder folder;
        ScriptedPrompts prompts;
        OpenDialog dialog(folder.path("NoSuch.Ini"), prompts);
        dialog.initialise();
        QCOMPARE(dialog.symbolRateSetCombo->count(), 0);
        for (int i = 0; i < 16; ++i) QCOMPARE(Rate(dialog, i), QString());
        dialog.fileEdit->setText(QStringLiteral("a.Bin"));
        dialog.okButton->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        for (std::int32_t rate : dialog.params().symbolRates) QCOMPARE(rate, 0);
    }

    void browseReplacesThePathOnlyWhenChosen() {
        ShellFolder folder;
        ScriptedPrompts prompts;
        OpenDialog dialog(folder.path("Sr.Ini"), prompts);
        dialog.initialise();
        QString offered;
        QString answer = QStringLiteral("/data/Lista.Bin");
        dialog.chooseFile = [&](QWidget*, const QString& filter) {
            offered = filter;
            return answer;
        };
        dialog.browseButton->click();
        QCOMPARE(dialog.fileEdit->text(), QStringLiteral("/data/Lista.Bin"));
        QVERIFY(offered.contains(QStringLiteral("File Bin (*.Bin")));
        QVERIFY(offered.contains(QStringLiteral("File Dat (*.Dat")));
        QVERIFY(offered.contains(QStringLiteral("File RCU (*.Rcu")));
        QVERIFY(offered.endsWith(QStringLiteral("Tutti i files (*)")));
        answer.clear();  // cancelled
        dialog.browseButton->click();
        QCOMPARE(dialog.fileEdit->text(), QStringLiteral("/data/Lista.Bin"));
    }

    void lnbFieldChecks() {
        ShellFolder folder;
        ScriptedPrompts prompts;
        OpenDialog dialog(folder.path("Sr.Ini"), prompts);
        dialog.initialise();
        // Low band: checked at every change; "0" is accepted while typing.
        dialog.lnbLowEdit->setText(QStringLiteral("0"));
        QVERIFY(prompts.asked.empty());
        dialog.lnbLowEdit->setText(QString());
        QCOMPARE(prompts.asked.size(), size_t(1));
        QCOMPARE(prompts.asked[0].text, std::string("Selezionare una frequenza bassa LNB corretta"));
        QCOMPARE(prompts.asked[0].title, std::string("Attenzione"));
        QVERIFY(prompts.asked[0].icon == rivo::Icon::Warning);
        dialog.lnbLowEdit->setText(QStringLiteral("-5"));
        QCOMPARE(prompts.asked.size(), size_t(2));
        QCOMPARE(dialog.lnbLowEdit->text(), QStringLiteral("-5"));  // left as typed
        // High band: only when the focus leaves the field.
        prompts.clear();
        dialog.lnbHighEdit->setText(QString());
        QVERIFY(prompts.asked.empty());
        LeaveField(dialog.lnbHighEdit);
        QCOMPARE(prompts.asked.size(), size_t(1));
        QCOMPARE(prompts.asked[0].text, std::string("Selezionare una frequenza alta LNB corretta"));
        dialog.lnbHighEdit->setText(QStringLiteral("10600"));
        LeaveField(dialog.lnbHighEdit);
        QCOMPARE(prompts.asked.size(), size_t(1));
    }

    void okRefusesWrongValues_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("low");
        QTest::addColumn<QString>("high");
        QTest::addColumn<QString>("satA");
        QTest::addColumn<QString>("satB");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("message");  // the one field that is wrong
        auto row = [](const char* name, const char* file, const char* low, const char* high,
                      const char* a, const char* b, bool accepted, const char* message = "") {
            QTest::newRow(name) << QString::fromUtf8(file) << QString::fromUtf8(low)
                                << QString::fromUtf8(high) << QString::fromUtf8(a)
                                << QString::fromUtf8(b) << accepted << QString::fromUtf8(message);
        };
        const char* noFile = "Selezionare il file da aprire";
        const char* low = "Selezionare una frequenza bassa LNB corretta";
        const char* high = "Selezionare una frequenza alta LNB corretta";
        row("valid", "a.Bin", "9750", "10600", "HotBird", "Astra", true);
        row("no file", "", "9750", "10600", "HotBird", "Astra", false, noFile);
        row("blank file", "   ", "9750", "10600", "HotBird", "Astra", false, noFile);
        row("low zero", "a.Bin", "0", "10600", "HotBird", "Astra", false, low);
        row("low text", "a.Bin", "x", "10600", "HotBird", "Astra", false, low);
        row("high empty", "a.Bin", "9750", "", "HotBird", "Astra", false, high);
        row("high negative", "a.Bin", "9750", "-1", "HotBird", "Astra", false, high);
        row("low and high wrong: the first named", "a.Bin", "0", "-1", "HotBird", "Astra", false, low);
        row("sat A empty", "a.Bin", "9750", "10600", "", "Astra", false, "Inserire il nome del satellite A");
        row("sat B empty", "a.Bin", "9750", "10600", "HotBird", "", false, "Inserire il nome del satellite B");
        row("same satellites", "a.Bin", "9750", "10600", "Astra", "Astra", false,
            "I satelliti A e B devono avere nomi diversi");
        row("case differs", "a.Bin", "9750", "10600", "astra", "Astra", true);
        row("typed like a preset", "a.Bin", "9750", "10600", "hotbird", "HotBird", true);
    }
    void okRefusesWrongValues() {
        QFETCH(QString, file);
        QFETCH(QString, low);
        QFETCH(QString, high);
        QFETCH(QString, satA);
        QFETCH(QString, satB);
        QFETCH(bool, accepted);
        QFETCH(QString, message);
        ShellFolder folder;
        ScriptedPrompts prompts;
        OpenDialog dialog(folder.path("Sr.Ini"), prompts);
        dialog.initialise();
        dialog.fileEdit->setText(file);
        dialog.lnbLowEdit->setText(low);
        dialog.lnbHighEdit->setText(high);
        // The satellite names typed key by key, as a user does: nothing may complete them.
        for (auto [combo, text] : {std::pair{dialog.satelliteACombo, satA}, std::pair{dialog.satelliteBCombo, satB}}) {
            combo->clearEditText();
            QTest::keyClicks(combo->lineEdit(), text);
            QCOMPARE(combo->currentText(), text);
        }
        prompts.clear();
        dialog.okButton->click();
        QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
        if (accepted) {
            QVERIFY(prompts.asked.empty());
            const rivo::OpenParams params = dialog.params();
            QCOMPARE(QString::fromStdString(params.satelliteA), satA);
            QCOMPARE(params.lnbLow, low.toInt());
        } else {
            QCOMPARE(prompts.asked.size(), size_t(1));
            QCOMPARE(QString::fromStdString(prompts.asked[0].text), message);
            QCOMPARE(prompts.asked[0].title, std::string("Attenzione"));
        }
    }

    void typedPathsAreOpened_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("opened");
        QTest::newRow("plain") << "/tmp/a b/Lista.Bin" << "/tmp/a b/Lista.Bin";
        QTest::newRow("blanks around") << "  /tmp/Lista.Bin \t" << "/tmp/Lista.Bin";
        QTest::newRow("quoted") << "\"/tmp/a b/Lista.Bin\"" << "/tmp/a b/Lista.Bin";
        QTest::newRow("file address") << "file:///tmp/a%20b/Lista.Bin" << "/tmp/a b/Lista.Bin";
    }
    void typedPathsAreOpened() {
        QFETCH(QString, typed);
        QFETCH(QString, opened);
        ShellFolder folder;
        ScriptedPrompts prompts;
        OpenDialog dialog(folder.path("Sr.Ini"), prompts);
        dialog.initialise();
        dialog.fileEdit->clear();
        QTest::keyClicks(dialog.fileEdit, typed);
        dialog.okButton->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(QString::fromStdString(dialog.params().fileName), opened);
    }

    void afterBrowsingEnterPressesOk() {
        ShellFolder folder;
        ScriptedPrompts prompts;
        OpenDialog dialog(folder.path("Sr.Ini"), prompts);
        dialog.initialise();
        int chooserRuns = 0;
        dialog.chooseFile = [&](QWidget*, const QString&) {
            ++chooserRuns;
            return QStringLiteral("/tmp/Lista.Bin");
        };
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTest::mouseClick(dialog.browseButton, Qt::LeftButton);
        QCOMPARE(chooserRuns, 1);
        QCOMPARE(QApplication::focusWidget(), dialog.okButton);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(chooserRuns, 1);  // the chooser was not opened again
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
    }

    void cancelClosesEvenWithAWrongHighFrequency() {
        ShellFolder folder;
        ScriptedPrompts prompts;
        OpenDialog dialog(folder.path("Sr.Ini"), prompts);
        dialog.initialise();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.lnbHighEdit->setFocus();
        QCOMPARE(QApplication::focusWidget(), dialog.lnbHighEdit);
        dialog.lnbHighEdit->setText(QStringLiteral("x"));
        QTest::mouseClick(dialog.cancelButton, Qt::LeftButton);
        QVERIFY(prompts.asked.empty());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
    }

    void unreadableSymbolRateFileIsNamed_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");  // "" when the dialog says nothing
        QTest::newRow("folder") << "folder" << "Is a directory";
        QTest::newRow("fifo") << "fifo" << "non è un file normale";
        QTest::newRow("over 1 MiB") << "large" << "è troppo grande (1048577 byte";
        QTest::newRow("missing") << "missing" << "";
        QTest::newRow("readable") << "readable" << "";
    }
    void unreadableSymbolRateFileIsNamed() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        ShellFolder folder;
        ScriptedPrompts prompts;
        const QString ini = folder.path("Altro.Ini");
        if (kind == "folder") QVERIFY(QDir().mkdir(ini));
        if (kind == "fifo") QCOMPARE(::mkfifo(ini.toLocal8Bit().constData(), 0600), 0);
        if (kind == "large") folder.write("Altro.Ini", rivo::Bytes((std::size_t{1} << 20) + 1, 'x'));
        if (kind == "readable") folder.write("Altro.Ini", rivo::Bytes{'[', 'A', ']', '\n'});
        OpenDialog dialog(ini, prompts);
        dialog.initialise();
        QCOMPARE(dialog.symbolRateProblemLabel->isHidden(), reason.isEmpty());
        if (!reason.isEmpty()) {
            QVERIFY2(dialog.symbolRateProblemLabel->text().contains(reason),
                     qPrintable(dialog.symbolRateProblemLabel->text()));
            QVERIFY(dialog.symbolRateProblemLabel->text().contains(ini));
            QCOMPARE(dialog.symbolRateSetCombo->count(), 0);
        }
        QCOMPARE(dialog.symbolRateSetCombo->count(), kind == "readable" ? 1 : 0);
        QVERIFY(prompts.asked.empty());
        // Opened again once the file is readable, the line goes away.
        if (kind == "large") {
            folder.write("Altro.Ini", rivo::Bytes{'[', 'A', ']', '\n'});
            dialog.initialise();
            QVERIFY(dialog.symbolRateProblemLabel->isHidden());
            QCOMPARE(dialog.symbolRateSetCombo->count(), 1);
        }
    }

    void cancelCloses() {
        ShellFolder folder;
        ScriptedPrompts prompts;
        OpenDialog dialog(folder.path("Sr.Ini"), prompts);
        dialog.initialise();
        // Shown, and with a result that is not "rejected" yet, so the click must close it.
        dialog.setResult(QDialog::Accepted);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(dialog.isVisible());
        dialog.cancelButton->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(prompts.asked.empty());
    }
};

static const int kRegistered = RegisterTest([]() -> QObject* { return new OpenDialogTest; });

#include "test_open_dialog.moc"
