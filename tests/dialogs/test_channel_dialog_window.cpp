// The channel properties dialog on screen (offscreen platform): its controls, the
// three-state boxes, the name box, and both entry points driven through the real widgets.
// Boxes are found by the caption next to them, as the user finds them, so that a field
// shown under another field's caption is seen.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <string>
#include <vector>

#include "captioned_controls.h"
#include "channels/list_page.h"
#include "channels/user_prompts.h"
#include "dialog_test_support.h"
#include "dialogs/channel_dialog.h"
#include "page_maker.h"
#include "test_registry.h"

using rivo::CheckState;

namespace {

using Hook = ScopedExecHook<ChannelDialog>;

// Channels 1..3 on transponders 1, 2, 9 (beyond the table); channel 3 inactive.
rivo::ListPage MakeChannels() {
    rivo::ListPage page = rivo::pages::MakePage(4, 2);
    rivo::pages::Transponder t;
    rivo::pages::SetTransponder(page, 1, t);
    t.frequency = "12603,125";
    t.satellite = "Astra";
    rivo::pages::SetTransponder(page, 2, t);
    rivo::pages::SetChannel(page, 1, "RAI 1", 1);
    rivo::pages::SetChannel(page, 2, "RAI 2", 2, "65535", "650", "27");
    rivo::pages::SetChannel(page, 3, "OFF", 9, "512", "650", "00");
    return page;
}

// Types text one character at a time, as a keyboard would (also outside Latin-1).
void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), {});
}

std::vector<std::string> Favourites(const rivo::ListPage& page, int list) {
    std::vector<std::string> numbers;
    for (int n : rivo::pages::Favourites(page, list)) numbers.push_back(std::to_string(n));
    return numbers;
}

// Channel 1 on transponder 2 with a different text in every box and the encoding
// NAGRAVISION (status 44: encoding 2, active), so that each value can appear under one
// caption only.
rivo::ListPage MakeDistinctChannel() {
    rivo::ListPage page = rivo::pages::MakePage(3, 2);
    rivo::pages::Transponder t;
    rivo::pages::SetTransponder(page, 1, t);
    t.frequency = "12603,125";
    rivo::pages::SetTransponder(page, 2, t);
    rivo::pages::SetChannel(page, 1, "Distinto", 2, "202", "303", "44");
    page.channelGrid.setCell(1, rivo::ch::Sid, "101");
    page.channelGrid.setCell(1, rivo::ch::VEcm, "404");
    page.channelGrid.setCell(1, rivo::ch::AEcm, "505");
    page.channelGrid.setCell(1, rivo::ch::Pcr, "606");
    return page;
}

// The check boxes of the channel page of a split list, by their captions.
const std::vector<QString>& CheckCaptions() {
    static const std::vector<QString> captions{"Attivo",  "Segnagruppi", "Bloccato", "Lista 1",
                                               "Lista 2", "Lista 3",     "Lista 4",  "Lista 5",
                                               "Lista 6", "Lista 7",     "Lista 8"};
    return captions;
}

}  // namespace

class TestChanDataWindow : public QObject {
    Q_OBJECT
private slots:
    void freshFormShowsTheDefaults() {
        ChannelDialog dialog;
        QCOMPARE(dialog.windowTitle(), QString("Dati del canale"));
        QCOMPARE(dialog.pages()->count(), 2);
        QCOMPARE(dialog.pages()->tabText(0), QString("Canale"));
        QCOMPARE(dialog.pages()->tabText(1), QString("Transponder"));
        QCOMPARE(dialog.encodingList()->count(), 6);
        QCOMPARE(dialog.encodingList()->itemText(2), QString("NAGRAVISION"));
        QCOMPARE(dialog.encodingList()->currentIndex(), 0);
        QVERIFY(!CheckCaptioned(dialog, "Preferito")->isChecked());
        QCOMPARE(EditCaptioned(dialog, "Nome")->maxLength(), 16);
        QVERIFY(!(dialog.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(dialog.values(), rivo::ChannelDialogValues{});

        // The value labels are blue and empty.
        for (int i = 0; i < rivo::tpvalue::Count; ++i) {
            QCOMPARE(dialog.transponderValue(i)->text(), QString());
            QCOMPARE(dialog.transponderValue(i)->palette().color(QPalette::WindowText),
                     QColor(Qt::blue));
        }
    }

    void favouritesBoxesStandInTwoRowsOfFourByCaption() {
        ChannelDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const auto list = [&](int n) { return CheckCaptioned(dialog, QString("Lista %1").arg(n)); };
        for (int n = 1; n <= 8; ++n) {
            const QCheckBox* box = list(n);
            QCOMPARE(box->parentWidget(), static_cast<QWidget*>(dialog.listsGroup()));
            if (n % 4 != 1) QVERIFY(box->x() > list(n - 1)->x());
            if (n > 4) {
                QVERIFY(box->y() > list(n - 4)->y());
                QCOMPARE(box->x(), list(n - 4)->x());
            }
        }
        // The controls "Lista 3" and "Lista 4" carry each other's names; the caption counts.
        QCOMPARE(dialog.findChild<QCheckBox*>("list3Check")->text(), QString("Lista 3"));
        rivo::ChannelDialogValues values;
        values.lists[2] = CheckState::Checked;
        dialog.setValues(values);
        QVERIFY(dialog.findChild<QCheckBox*>("list3Check")->isChecked());
        QVERIFY(!dialog.findChild<QCheckBox*>("list4Check")->isChecked());
    }

    void mixedBoxIsNeverChosenAgain() {
        ChannelDialog dialog;
        rivo::ChannelDialogValues values;
        values.active = CheckState::Mixed;
        values.lists[4] = CheckState::Mixed;
        dialog.setValues(values);
        dialog.show();
        QCheckBox* active = CheckCaptioned(dialog, "Attivo");
        QCheckBox* list5 = CheckCaptioned(dialog, "Lista 5");
        QVERIFY(active && list5);
        QCOMPARE(active->checkState(), Qt::PartiallyChecked);

        const std::vector<Qt::CheckState> expected{Qt::Checked, Qt::Unchecked, Qt::Checked,
                                                   Qt::Unchecked};
        for (Qt::CheckState state : expected) {
            QTest::mouseClick(active, Qt::LeftButton, {}, QPoint(5, active->height() / 2));
            QCOMPARE(active->checkState(), state);
        }
        list5->setFocus();
        QTest::keyClick(list5, Qt::Key_Space);
        QCOMPARE(list5->checkState(), Qt::Checked);

        // An untouched mixed box reads back as mixed.
        values.lists[4] = CheckState::Mixed;
        dialog.setValues(values);
        QCOMPARE(dialog.values().lists[4], CheckState::Mixed);
        QCOMPARE(dialog.values().active, CheckState::Mixed);
    }

    void nameBoxTakesSixteenWindows1252Characters() {
        ChannelDialog dialog;
        dialog.show();
        QLineEdit* name = EditCaptioned(dialog, "Nome");
        name->setFocus();
        QVERIFY(dialog.unstorableNote()->isHidden());
        Type(name, QString::fromUtf8("Caf\u00e9 \u20ac\u0416\u4e2d!"));
        // Cyrillic and CJK have no Windows-1252 byte: they stay in the box, the dialog
        // names them before Ok, and Ok leaves them out.
        QCOMPARE(name->text(), QString::fromUtf8("Caf\u00e9 \u20ac\u0416\u4e2d!"));
        QVERIFY(dialog.unstorableNote()->isVisible());
        QCOMPARE(dialog.unstorableNote()->text(),
                 QString::fromUtf8(
                     "Caratteri non ammessi: \u0416 \u4e2d. La lista usa Windows-1252 e non li può "
                     "conservare: con Ok verranno tolti."));
        QCOMPARE(dialog.values().boxes[rivo::box::Name], std::string("Caf\xE9 \x80!"));
        // The case tried: a character outside the basic plane too, in another box.
        name->clear();
        QVERIFY(dialog.unstorableNote()->isHidden());
        Type(name, QString::fromUtf8("Test \u0151 \u2713"));
        EditCaptioned(dialog, "SID")->insert(QString::fromUtf8("\U0001F600"));  // pasted
        QCOMPARE(dialog.unstorableNote()->text(),
                 QString::fromUtf8("Caratteri non ammessi: \u0151 \u2713 \U0001F600. La lista usa "
                                   "Windows-1252 e non li "
                                   "può conservare: con Ok verranno tolti."));
        QCOMPARE(dialog.values().boxes[rivo::box::Name], std::string("Test  "));
        QCOMPARE(dialog.values().boxes[rivo::box::Sid], std::string());
        EditCaptioned(dialog, "SID")->clear();
        name->setText(QStringLiteral("Test"));
        QVERIFY(dialog.unstorableNote()->isHidden());

        name->clear();
        Type(name, "ABCDEFGHIJKLMNOPQRST");
        QCOMPARE(name->text(), QString("ABCDEFGHIJKLMNOP"));

        rivo::ChannelDialogValues values;
        values.boxes[rivo::box::Name] = "\xE0\x9D";  // bytes shown and given back unchanged
        dialog.setValues(values);
        QCOMPARE(dialog.values().boxes[rivo::box::Name], std::string("\xE0\x9D"));
    }

    // Each box shows, under its caption, the cell of its own column, and what is typed
    // there goes back to that column and no other.
    void boxesShowTheFieldTheirCaptionNames_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QString>("written");  // the column's cell after Ok
        QTest::newRow("Nome") << "Nome" << rivo::ch::Name << "Distinto"
                              << "Altro"
                              << "Altro";
        QTest::newRow("Transponder") << "Transponder" << rivo::ch::Transponder << "2"
                                     << "1"
                                     << "1";
        QTest::newRow("SID") << "SID" << rivo::ch::Sid << "101"
                             << "111"
                             << "111";
        QTest::newRow("VPID") << "VPID" << rivo::ch::VPid << "202"
                              << "222"
                              << "222";
        QTest::newRow("APID") << "APID" << rivo::ch::APid << "303"
                              << "333"
                              << "333";
        QTest::newRow("VECM") << "VECM" << rivo::ch::VEcm << "404"
                              << "444"
                              << "444";
        QTest::newRow("AECM") << "AECM" << rivo::ch::AEcm << "505"
                              << "555"
                              << "555";
        QTest::newRow("PCR") << "PCR" << rivo::ch::Pcr << "606"
                             << "666"
                             << "666";
        // The encoding is bits 5-7 of the status: IRDETO (4) on an active channel.
        QTest::newRow("Codifica") << "Codifica" << rivo::ch::Status << "NAGRAVISION"
                                  << "IRDETO"
                                  << "84";
    }
    void boxesShowTheFieldTheirCaptionNames() {
        QFETCH(QString, caption);
        QFETCH(int, column);
        QFETCH(QString, shown);
        QFETCH(QString, entered);
        QFETCH(QString, written);
        rivo::ListPage page = MakeDistinctChannel();
        const rivo::ListPage before = page;
        ChannelDialog shared;
        RecordingPrompts prompts;
        bool edited = false;
        {
            Hook hook([&](ChannelDialog& d) {
                QWidget* box = BoxCaptioned(d, caption);
                QVERIFY2(box, qPrintable("no box stands next to the caption " + caption));
                QCOMPARE(ShownText(box), shown);
                QVERIFY(EnterText(box, entered));
                edited = true;
                d.okButton()->click();
            });
            QVERIFY(RunChannelDialog(nullptr, shared, page, 1, &prompts));
        }
        QVERIFY(edited);
        QVERIFY(prompts.texts.empty());
        for (int c = 0; c < rivo::ch::Count; ++c) {
            const std::string expected =
                c == column ? written.toStdString() : before.channelGrid.cell(1, c);
            QCOMPARE(page.channelGrid.cell(1, c), expected);
        }
    }

    // Every check box of the channel page is read from and written to its own bit. The
    // row has all of them set but the one under test, so a box showing another's bit
    // shows it checked; checking the box sets the whole row again.
    void checksShowTheBitTheirCaptionNames_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("favourites");
        QTest::newRow("Attivo") << "Attivo"
                                << "03"
                                << "255";  // shown inactive, made active
        QTest::newRow("Segnagruppi") << "Segnagruppi"
                                     << "05"
                                     << "255";
        QTest::newRow("Bloccato") << "Bloccato"
                                  << "06"
                                  << "255";
        QTest::newRow("Lista 1") << "Lista 1"
                                 << "07"
                                 << "254";
        QTest::newRow("Lista 2") << "Lista 2"
                                 << "07"
                                 << "253";
        QTest::newRow("Lista 3") << "Lista 3"
                                 << "07"
                                 << "251";
        QTest::newRow("Lista 4") << "Lista 4"
                                 << "07"
                                 << "247";
        QTest::newRow("Lista 5") << "Lista 5"
                                 << "07"
                                 << "239";
        QTest::newRow("Lista 6") << "Lista 6"
                                 << "07"
                                 << "223";
        QTest::newRow("Lista 7") << "Lista 7"
                                 << "07"
                                 << "191";
        QTest::newRow("Lista 8") << "Lista 8"
                                 << "07"
                                 << "127";
    }
    void checksShowTheBitTheirCaptionNames() {
        QFETCH(QString, caption);
        QFETCH(QString, status);
        QFETCH(QString, favourites);
        rivo::ListPage page = MakeDistinctChannel();
        page.channelGrid.setCell(1, rivo::ch::Status, status.toStdString());
        page.channelGrid.setCell(1, rivo::ch::Favourites, favourites.toStdString());
        ChannelDialog shared;
        RecordingPrompts prompts;
        bool clicked = false;
        {
            Hook hook([&](ChannelDialog& d) {
                for (const QString& other : CheckCaptions())
                    QVERIFY2(CheckCaptioned(d, other)->isChecked() == (other != caption),
                             qPrintable(other));
                CheckCaptioned(d, caption)->click();
                clicked = true;
                d.okButton()->click();
            });
            QVERIFY(RunChannelDialog(nullptr, shared, page, 1, &prompts));
        }
        QVERIFY(clicked);
        QCOMPARE(page.channelGrid.cell(1, rivo::ch::Status), std::string("07"));
        QCOMPARE(page.channelGrid.cell(1, rivo::ch::Favourites), std::string("255"));
        QCOMPARE(page.channelGrid.cell(1, rivo::ch::Name), std::string("Distinto"));
    }

    void doubleClickEditsTheRowThroughTheSharedDialog() {
        rivo::ListPage page = MakeChannels();
        ChannelDialog shared;
        RecordingPrompts prompts;
        bool shown = false;
        {
            Hook hook([&](ChannelDialog& d) {
                shown = true;
                QCOMPARE(d.windowTitle(), QString("Dati del canale 1"));
                QVERIFY(!CheckCaptioned(d, "Segnagruppi")->isChecked());  // status 04
                QVERIFY(d.listsGroup()->isVisible());
                QCOMPARE(d.transponderValue(rivo::tpvalue::Frequency)->text(),
                         QString("11747 Mhz"));
                QCOMPARE(d.transponderValue(rivo::tpvalue::Satellite)->text(), QString("HotBird"));
                EditCaptioned(d, "Nome")->setText(QString::fromUtf8("R\u00e0i Uno"));
                CheckCaptioned(d, "Lista 3")->click();
                d.pages()->setCurrentIndex(1);
                d.transponderOkButton()->click();
            });
            QVERIFY(RunChannelDialog(nullptr, shared, page, 1, &prompts));
        }
        QVERIFY(shown);
        QVERIFY(page.modified);
        QCOMPARE(page.channelGrid.cell(1, rivo::ch::Name), std::string("R\xE0i Uno"));
        QCOMPARE(page.channelGrid.cell(1, rivo::ch::Favourites), std::string("4"));
        QCOMPARE(Favourites(page, 3), std::vector<std::string>{"1"});
        QCOMPARE(page.favouriteGrids[2].cell(1, rivo::fav::Name), std::string("R\xE0i Uno"));

        // The same dialog again: it kept its page; Annulla changes nothing.
        const rivo::ListPage before = page;
        {
            Hook hook([&](ChannelDialog& d) {
                QCOMPARE(d.pages()->currentIndex(), 1);
                QCOMPARE(d.windowTitle(), QString("Dati del canale 2"));
                QCOMPARE(d.transponderValue(rivo::tpvalue::Frequency)->text(),
                         QString("12603,125 Mhz"));
                QCOMPARE(d.encodingList()->currentIndex(), 1);
                QVERIFY(CheckCaptioned(d, "Segnagruppi")->isChecked());
                QVERIFY(!CheckCaptioned(d, "Lista 3")
                             ->isChecked());  // the last channel's boxes are gone
                EditCaptioned(d, "Nome")->setText("X");
                d.transponderCancelButton()->click();
            });
            QVERIFY(!RunChannelDialog(nullptr, shared, page, 2, &prompts));
        }
        QCOMPARE(page.channelGrid, before.channelGrid);

        // A transponder beyond the table empties the values of the last channel.
        {
            Hook hook([&](ChannelDialog& d) {
                for (int i = 0; i < rivo::tpvalue::Count; ++i)
                    QCOMPARE(d.transponderValue(i)->text(), QString());
                d.close();  // the close box counts as Annulla
            });
            QVERIFY(!RunChannelDialog(nullptr, shared, page, 3, &prompts));
        }
        QCOMPARE(shared.result(), ChannelDialog::kResultCancel);
        QVERIFY(prompts.texts.empty());
    }

    void doubleClickWithUnreadableTransponderShowsTheErrorOnly() {
        rivo::ListPage page = MakeChannels();
        page.channelGrid.setCell(1, rivo::ch::Transponder, "7b");
        ChannelDialog shared;
        RecordingPrompts prompts;
        bool shown = false;
        Hook hook([&](ChannelDialog&) { shown = true; });
        QVERIFY(!RunChannelDialog(nullptr, shared, page, 1, &prompts));
        QVERIFY(!shown);
        QCOMPARE(prompts.texts, std::vector<std::string>{"'7b' is not a valid integer value"});
        QCOMPARE(prompts.icons.front(), rivo::Icon::Error);
        QVERIFY(!page.modified);
    }

    void propertiesEditsTheSelectionThroughAFreshDialog() {
        rivo::ListPage page = MakeChannels();
        page.layout = rivo::ListLayout::Single;
        RecordingPrompts prompts;
        {
            Hook hook([&](ChannelDialog& d) {
                QCOMPARE(d.windowTitle(), QString("Dati del canale"));
                QCOMPARE(CheckCaptioned(d, "Preferito")->checkState(),
                         Qt::PartiallyChecked);  // only in 27
                QVERIFY(!d.listsGroup()->isVisible());
                QCOMPARE(EditCaptioned(d, "Nome")->text(), QString());      // names differ
                QCOMPARE(EditCaptioned(d, "SID")->text(), QString("100"));  // common SID
                QCOMPARE(CheckCaptioned(d, "Attivo")->checkState(), Qt::PartiallyChecked);
                QCOMPARE(CheckCaptioned(d, "Bloccato")->checkState(), Qt::PartiallyChecked);
                QCOMPARE(d.transponderValue(rivo::tpvalue::Frequency)->text(), QString());
                // Row 2 alone is encrypted: "Codifica" is mixed, after the six systems.
                QCOMPARE(d.encodingList()->count(), 7);
                QCOMPARE(d.encodingList()->currentIndex(), 6);
                QCOMPARE(d.encodingList()->currentText(), QString("(diverse)"));
                EditCaptioned(d, "PCR")->setText("77");
                CheckCaptioned(d, "Bloccato")->click();  // mixed -> checked
                d.okButton()->click();
            });
            QVERIFY(RunChannelPropertiesDialog(nullptr, page, 1, 3, &prompts));
        }
        QVERIFY(page.modified);
        QCOMPARE(page.channelGrid.cell(1, rivo::ch::Name), std::string("RAI 1"));
        QCOMPARE(page.channelGrid.cell(3, rivo::ch::Name), std::string("OFF"));
        for (int r = 1; r <= 3; ++r)
            QCOMPARE(page.channelGrid.cell(r, rivo::ch::Pcr), std::string("77"));
        QCOMPARE(page.channelGrid.cell(1, rivo::ch::Status), std::string("05"));
        QCOMPARE(page.channelGrid.cell(2, rivo::ch::Status),
                 std::string("27"));  // its own encoding
        QCOMPARE(page.channelGrid.cell(3, rivo::ch::Status), std::string("01"));

        // Annulla leaves the page alone, also its modified flag.
        page.modified = false;
        const rivo::ListPage before = page;
        Hook hook([&](ChannelDialog& d) {
            QCOMPARE(CheckCaptioned(d, "Bloccato")->checkState(), Qt::Checked);
            EditCaptioned(d, "SID")->setText("1");
            d.cancelButton()->click();
        });
        QVERIFY(!RunChannelPropertiesDialog(nullptr, page, 1, 3, &prompts));
        QCOMPARE(page.channelGrid, before.channelGrid);
        QVERIFY(!page.modified);
    }

    // Ok with number boxes holding what their fields cannot store asks first, naming
    // them, with No as the default: No keeps the dialog open, Yes stores the texts.
    void okAsksAboutNumbersTheFieldsCannotStore() {
        rivo::ListPage page = MakeChannels();
        ChannelDialog shared;
        for (const rivo::Answer answer : {rivo::Answer::No, rivo::Answer::Yes}) {
            AnsweringPrompts prompts;
            prompts.answers = {answer};
            bool stillOpen = false;
            Hook hook([&](ChannelDialog& d) {
                d.box(rivo::box::Transponder)->setText("99999999999");
                d.box(rivo::box::Sid)->setText("-5");
                d.box(rivo::box::APid)->setText("abc");
                d.okButton()->click();
                stillOpen = d.isVisible();
            });
            const bool changed = RunChannelDialog(nullptr, shared, page, 1, &prompts);
            QCOMPARE(stillOpen, answer == rivo::Answer::No);
            QCOMPARE(changed, answer == rivo::Answer::Yes);
            QCOMPARE(prompts.texts.size(), std::size_t{1});
            QCOMPARE(
                prompts.texts[0],
                std::string(
                    "Questi campi non contengono un valore che la lista possa memorizzare:\n"
                    "- Transponder: \"99999999999\" non è un numero intero da 0 a 255\n"
                    "- SID: \"-5\" non è un numero intero da 0 a 65535\n"
                    "- APID: \"abc\" non è un numero intero da 0 a 65535\n\nConfermare comunque?"));
            QVERIFY(prompts.discarding[0]);
        }
        QCOMPARE(page.channelGrid.cell(1, rivo::ch::Transponder), std::string("99999999999"));
        QCOMPARE(page.channelGrid.cell(1, rivo::ch::Sid), std::string("-5"));

        // Numbers in range ask nothing; on a selection an empty box keeps each row's own.
        AnsweringPrompts quiet;
        Hook hook([&](ChannelDialog& d) {
            d.box(rivo::box::Transponder)->setText("255");
            d.box(rivo::box::Sid)->setText("65535");
            d.okButton()->click();
        });
        QVERIFY(RunChannelDialog(nullptr, shared, page, 2, &quiet));
        QVERIFY(RunChannelPropertiesDialog(nullptr, page, 2, 3, &quiet));
        QCOMPARE(quiet.texts.size(), std::size_t{0});
    }

    // A system picked over the mixed entry goes to every row; rows that agree show
    // their system and no mixed entry.
    void propertiesEncodingPickedOrShared() {
        rivo::ListPage page = MakeChannels();
        RecordingPrompts prompts;
        {
            Hook hook([&](ChannelDialog& d) {
                QCOMPARE(d.encodingList()->currentText(), QString("(diverse)"));
                d.encodingList()->setCurrentIndex(4);  // IRDETO
                d.okButton()->click();
            });
            QVERIFY(RunChannelPropertiesDialog(nullptr, page, std::vector<int>{1, 2}, &prompts));
        }
        QCOMPARE(page.channelGrid.cell(1, rivo::ch::Status), std::string("84"));
        QCOMPARE(page.channelGrid.cell(2, rivo::ch::Status), std::string("87"));
        QCOMPARE(page.channelGrid.cell(3, rivo::ch::Status), std::string("00"));
        Hook hook([&](ChannelDialog& d) {
            QCOMPARE(d.encodingList()->count(), 6);
            QCOMPARE(d.encodingList()->currentText(), QString("IRDETO"));
            d.okButton()->click();
        });
        QVERIFY(RunChannelPropertiesDialog(nullptr, page, std::vector<int>{1, 2}, &prompts));
        QCOMPARE(page.channelGrid.cell(1, rivo::ch::Status), std::string("84"));
        QCOMPARE(page.channelGrid.cell(2, rivo::ch::Status), std::string("87"));
    }
};

static const int kRegistered = RegisterTest([]() -> QObject* { return new TestChanDataWindow; });

#include "test_channel_dialog_window.moc"
