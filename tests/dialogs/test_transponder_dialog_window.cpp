// The transponder dialog on screen (offscreen platform): what it shows for a row, and
// Ok, Annulla and the close box driven through the real widgets.
#include <QApplication>
#include <QBrush>
#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include "channels/list_page.h"
#include "channels/user_prompts.h"
#include "dialog_test_support.h"
#include "dialogs/transponder_dialog.h"
#include "page_maker.h"
#include "test_registry.h"

namespace {

using Hook = ScopedExecHook<TransponderDialog>;

// Transponder 2: 12603,125 / 7 / 318 / 12 / 22000 / 5/6 / V / On / Astra; channels 1 and
// 3 use it (3 is a radio channel), channel 2 uses transponder 1.
rivo::ListPage MakeTransponders() {
    rivo::ListPage page = rivo::pages::MakePage(3, 2);
    rivo::pages::SetTransponder(page, 1, rivo::pages::Transponder{});
    rivo::pages::Transponder t;
    t.frequency = "12603,125";
    t.tid = "7";
    t.nid = "318";
    t.channels = "12";
    t.symbolRate = "22000";
    t.fec = "5/6";
    t.polarisation = "V";
    t.tone = "On";
    t.satellite = "Astra";
    rivo::pages::SetTransponder(page, 2, t);
    rivo::pages::SetChannel(page, 1, "UNO", 2);
    rivo::pages::SetChannel(page, 2, "DUE", 1);
    rivo::pages::SetChannel(page, 3, "TR\xC8", 2, "65535", "650");  // "TRÈ" in Windows-1252
    return page;
}

// Clicks a radio button on its indicator (a wide button's centre may lie past its text).
void ClickRadio(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

class TestTransponderDialogWindow : public QObject {
    Q_OBJECT
private slots:
    void showsTheRowAndItsLinkedChannels() {
        rivo::ListPage page = MakeTransponders();
        bool shown = false;
        Hook hook([&](TransponderDialog& d) {
            shown = true;
            QCOMPARE(d.windowTitle(), QString("Transponder 2"));
            QCOMPARE(d.pages()->tabText(0), QString("Transponder"));
            QCOMPARE(d.pages()->tabText(1), QString("Canali collegati"));
            QCOMPARE(d.frequencyBox()->text(), QString("12603,125"));
            QCOMPARE(d.tidBox()->text(), QString("7"));
            QCOMPARE(d.nidBox()->text(), QString("318"));
            QCOMPARE(d.channelsBox()->text(), QString("12"));
            QCOMPARE(d.symbolRateList()->count(), 16);
            QCOMPARE(d.symbolRateList()->currentText(), QString("22000"));
            QCOMPARE(d.satelliteList()->count(), 2);
            QCOMPARE(d.satelliteList()->currentText(), QString("Astra"));
            QCOMPARE(d.fecGroup()->checkedButton()->text(), QString("5/6"));
            QCOMPARE(d.polarisationGroup()->checkedButton()->text(), QString("Verticale"));
            QCOMPARE(d.toneGroup()->checkedButton()->text(), QString("On"));

            const QAbstractItemModel* grid = d.linkedGrid()->model();
            QCOMPARE(grid->rowCount(), 2);
            QCOMPARE(grid->columnCount(), 11);
            QCOMPARE(grid->headerData(0, Qt::Horizontal).toString(), QString("Numero"));
            QCOMPARE(grid->headerData(10, Qt::Horizontal).toString(), QString("Preferiti"));
            QCOMPARE(grid->index(1, 0).data().toString(), QString("3"));
            QCOMPARE(grid->index(1, 1).data().toString(), QString::fromUtf8("TR\xC3\x88"));
            QCOMPARE(grid->index(0, 1).data(Qt::BackgroundRole).value<QBrush>().color(),
                     QColor(255, 226, 102));
            QCOMPARE(grid->index(1, 1).data(Qt::BackgroundRole).value<QBrush>().color(),
                     QColor(111, 145, 255));
            QCOMPARE(d.linkedGrid()->editTriggers(), QAbstractItemView::NoEditTriggers);
            QTest::mouseClick(d.okButton(), Qt::LeftButton);
        });
        QVERIFY(!RunTransponderDialog(nullptr, page, 2));
        QVERIFY(shown);
        QVERIFY(!page.modified);  // Ok without change

        rivo::ListPage unused = MakeTransponders();
        rivo::pages::SetChannel(unused, 2, "DUE", 2);
        Hook none([&](TransponderDialog& d) { QCOMPARE(d.linkedGrid()->model()->rowCount(), 0); });
        RunTransponderDialog(nullptr, unused, 1);
    }

    // "Canali collegati": a name of the full sixteen characters is shown whole.
    void linkedNamesAreNotCut() {
        rivo::ListPage page = MakeTransponders();
        const QString longest = QStringLiteral("WWWWWWWWWWWWWWWW");
        rivo::pages::SetChannel(page, 3, longest.toStdString(), 2);
        int nameWidth = 0, needed = 0;
        Hook hook([&](TransponderDialog& d) {
            nameWidth = d.linkedGrid()->columnWidth(1);
            needed = d.linkedGrid()->fontMetrics().horizontalAdvance(longest);
            d.cancelButton()->click();
        });
        RunTransponderDialog(nullptr, page, 2);
        QVERIFY2(nameWidth >= needed,
                 qPrintable(QStringLiteral("%1 < %2").arg(nameWidth).arg(needed)));
    }

    void okStoresWhatTheWidgetsShow() {
        rivo::ListPage page = MakeTransponders();
        Hook hook([&](TransponderDialog& d) {
            d.frequencyBox()->clear();
            QTest::keyClicks(d.frequencyBox(), "11000,5");
            d.tidBox()->setText("9");
            d.symbolRateList()->setCurrentIndex(0);
            d.satelliteList()->setCurrentIndex(0);
            ClickRadio(d.fecGroup()->button(4));
            ClickRadio(d.polarisationGroup()->button(1));
            ClickRadio(d.toneGroup()->button(0));
            QTest::mouseClick(d.okButton(), Qt::LeftButton);
        });
        QVERIFY(RunTransponderDialog(nullptr, page, 2));
        QCOMPARE(page.transponderGrid.row(2).cells,
                 (std::vector<std::string>{"2", "11000,5", "9", "318", "12", "27500", "7/8", "H",
                                           "Off", "HotBird"}));
        QVERIFY(page.modified);
    }

    // Ok with a text that is no frequency, or a number its field cannot store, asks
    // first; Yes stores what the boxes show.
    void okAsksAboutNumbersTheFieldsCannotStore() {
        rivo::ListPage page = MakeTransponders();
        AnsweringPrompts prompts;
        prompts.answers = {rivo::Answer::Yes};
        Hook hook([&](TransponderDialog& d) {
            d.frequencyBox()->setText("11000.5");
            d.tidBox()->setText("65536");
            QTest::mouseClick(d.okButton(), Qt::LeftButton);
        });
        QVERIFY(RunTransponderDialog(nullptr, page, 2, &prompts));
        QCOMPARE(prompts.texts.size(), std::size_t{1});
        QCOMPARE(
            prompts.texts[0],
            std::string("Questi campi non contengono un valore che la lista possa memorizzare:\n"
                        "- Frequenza: \"11000.5\" non è una frequenza in MHz\n"
                        "- Transponder ID: \"65536\" non è un numero intero da 0 a 65535\n\n"
                        "Confermare comunque?"));
        QVERIFY(prompts.discarding[0]);
        QCOMPARE(page.transponderGrid.cell(2, rivo::tp::Frequency), std::string("11000.5"));
        QCOMPARE(page.transponderGrid.cell(2, rivo::tp::Tid), std::string("65536"));
    }

    // The page's oscillators are 9750 (Off) and 10600 (On): a signed 32-bit offset in
    // hertz reaches 2147,483647 MHz either side of them.
    void aFrequencyTheRecordCannotHoldIsRedWithTheRangeAsTooltip() {
        rivo::ListPage page = MakeTransponders();
        Hook hook([&](TransponderDialog& d) {
            QLineEdit* box = d.frequencyBox();
            const QColor normal = d.tidBox()->palette().color(QPalette::Text);
            QCOMPARE(box->palette().color(QPalette::Text), normal);  // 12603,125 on 10600
            QVERIFY(box->toolTip().isEmpty());
            ClickRadio(d.toneGroup()->button(0));  // 12603,125 on 9750: 2853 MHz above
            QCOMPARE(box->palette().color(QPalette::Text), QColor(Qt::red));
            QCOMPARE(box->toolTip(),
                     QString("Frequenze memorizzabili con 22 kHz Off (oscillatore 9750 MHz): "
                             "da 7602,516352 a 11897,483647 MHz"));
            box->setText("11897,483647");  // the last one that fits
            QCOMPARE(box->palette().color(QPalette::Text), normal);
            QVERIFY(box->toolTip().isEmpty());
            box->setText("12345");
            QCOMPARE(box->palette().color(QPalette::Text), QColor(Qt::red));
            ClickRadio(d.toneGroup()->button(1));
            QCOMPARE(box->palette().color(QPalette::Text), normal);
            ClickRadio(d.toneGroup()->button(0));
            QTest::mouseClick(d.okButton(), Qt::LeftButton);  // Ok still stores it
        });
        QVERIFY(RunTransponderDialog(nullptr, page, 2));
        QCOMPARE(page.transponderGrid.cell(2, rivo::tp::Frequency), std::string("12345"));
        QCOMPARE(page.transponderGrid.cell(2, rivo::tp::Tone), std::string("Off"));
    }

    void annullaAndTheCloseBoxChangeNothing() {
        for (const bool closeBox : {false, true}) {
            rivo::ListPage page = MakeTransponders();
            const rivo::Grid before = page.transponderGrid;
            Hook hook([&](TransponderDialog& d) {
                d.tidBox()->setText("99");
                ClickRadio(d.toneGroup()->button(0));
                if (closeBox)
                    d.close();
                else
                    QTest::mouseClick(d.cancelButton(), Qt::LeftButton);
                QCOMPARE(d.result(), TransponderDialog::kResultCancel);
            });
            QVERIFY(!RunTransponderDialog(nullptr, page, 2));
            QVERIFY(page.transponderGrid == before);
            QVERIFY(!page.modified);
        }
    }

    void aRateOutsideTheTableKeepsItsTextAndAnUnreadableOneStopsTheDialog() {
        rivo::ListPage page = MakeTransponders();
        page.transponderGrid.setCell(2, rivo::tp::SymbolRate, "0");
        Hook hook([&](TransponderDialog& d) {
            QCOMPARE(d.symbolRateList()->currentIndex(), -1);
            QTest::mouseClick(d.okButton(), Qt::LeftButton);
        });
        QVERIFY(!RunTransponderDialog(nullptr, page, 2));
        QCOMPARE(page.transponderGrid.cell(2, rivo::tp::SymbolRate), std::string("0"));

        page.transponderGrid.setCell(2, rivo::tp::SymbolRate, "veloce");
        bool shown = false;
        Hook never([&](TransponderDialog&) { shown = true; });
        RecordingPrompts prompts;
        QVERIFY(!RunTransponderDialog(nullptr, page, 2, &prompts));
        QVERIFY(!shown);
        QCOMPARE(prompts.texts,
                 (std::vector<std::string>{"'veloce' is not a valid integer value"}));
        QCOMPARE(prompts.icons.front(), rivo::Icon::Error);
    }

    void runsModallyWithoutTheHook() {
        rivo::ListPage page = MakeTransponders();
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<TransponderDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->nidBox()->setText("1");
            QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        });
        QVERIFY(RunTransponderDialog(nullptr, page, 2));
        QCOMPARE(page.transponderGrid.cell(2, rivo::tp::Nid), std::string("1"));
    }
};

[[maybe_unused]] const int kRegistered =
    RegisterTest([]() -> QObject* { return new TestTransponderDialogWindow; });

}  // namespace

#include "test_transponder_dialog_window.moc"
