// The "Rinomina..." dialog: the preview follows every box, marks the names it will not
// apply, and Ok is only offered while at least one name would change.
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include "channels/list_page.h"
#include "dialogs/rename_dialog.h"
#include "test_registry.h"

namespace {

rivo::ListPage NamesPage() {
    rivo::ListPage page;
    const char* names[] = {"Rai 1 HD", "ABCDEFGHIJKLM HD", "Sport", "Arte HD"};
    page.channelGrid.setRowCount(5);
    for (int r = 1; r <= 4; ++r) page.channelGrid.setCell(r, rivo::ch::Name, names[r - 1]);
    return page;
}

class TestRenameDialogWindow : public QObject {
    Q_OBJECT

private slots:
    void previewMarksWhatItWillNotApply() {
        const rivo::ListPage page = NamesPage();
        RenameDialog dialog(page, {1, 2});
        QVERIFY(dialog.selectionRadio->isChecked());
        QPushButton* ok = dialog.buttons->button(QDialogButtonBox::Ok);
        QVERIFY(!ok->isEnabled());  // nothing to find yet
        dialog.findEdit->setText(QStringLiteral(" HD$"));
        dialog.replaceEdit->setText(QStringLiteral(" Ultra HD"));
        QCOMPARE(dialog.previewTable->rowCount(), 0);  // not a regular expression: no name holds "$"
        dialog.regexBox->setChecked(true);
        QCOMPARE(dialog.previewTable->rowCount(), 2);
        QCOMPARE(dialog.previewTable->item(0, 2)->text(), QStringLiteral("Rai 1 Ultra HD"));
        QCOMPARE(dialog.previewTable->item(1, 3)->text(), QStringLiteral("non applicato: più di 16 caratteri"));
        QCOMPARE(dialog.summaryLabel->text(), QStringLiteral("1 nome cambia; 1 segnato non sarà cambiato"));
        QVERIFY(ok->isEnabled());
        dialog.allRadio->setChecked(true);
        QCOMPARE(dialog.previewTable->rowCount(), 3);
        QCOMPARE(dialog.rows(), (std::vector<int>{1, 2, 3, 4}));
        // A broken expression says why and offers no Ok.
        dialog.findEdit->setText(QStringLiteral("("));
        QVERIFY(dialog.summaryLabel->text().startsWith(QStringLiteral("Espressione regolare non valida")));
        QVERIFY(!ok->isEnabled());
    }

    void oneSelectedRowStartsOnAllRows() {
        const rivo::ListPage page = NamesPage();
        RenameDialog dialog(page, {3});
        QVERIFY(dialog.allRadio->isChecked());
        QVERIFY(!dialog.selectionRadio->isEnabled());
    }
};

[[maybe_unused]] const int kRegistered = RegisterTest([]() -> QObject* { return new TestRenameDialogWindow; });

}  // namespace

#include "test_rename_dialog_window.moc"
