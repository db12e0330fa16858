// The channel properties dialog on screen (offscreen platform): its controls, the
// three-state boxes, the name box, and both entry points driven through the real widgets.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <string>
#include <vector>

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
    for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), {});
}

std::vector<std::string> Favourites(const rivo::ListPage& page, int list) {
    std::vector<std::string> numbers;
    for (int n : rivo::pages::Favourites(page, list)) numbers.push_back(std::to_string(n));
    return numbers;
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
        QCOMPARE(dialog.favouriteBox()->text(), QString("Preferito"));
        QCOMPARE(dialog.box(rivo::box::Name)->maxLength(), 16);
        QVERIFY(!(dialog.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(dialog.values(), rivo::ChannelDialogValues{});

        // The value labels are blue and empty.
        for (int i = 0; i < rivo::tpvalue::Count; ++i) {
            QCOMPARE(dialog.transponderValue(i)->text(), QString());
            QCOMPARE(dialog.transponderValue(i)->palette().color(QPalette::WindowText), QColor(Qt::blue));
        }
    }

    void favouritesBoxesStandInTwoRowsOfFourByCaption() {
        ChannelDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (int n = 1; n <= 8; ++n) {
            const MixedCheckBox* box = dialog.listBox(n);
            QCOMPARE(box->text(), QString("Lista %1").arg(n));
            QCOMPARE(box->parentWidget(), static_cast<QWidget*>(dialog.listsGroup()));
            if (n % 4 != 1) QVERIFY(box->x() > dialog.listBox(n - 1)->x());
            if (n > 4) {
                QVERIFY(box->y() > dialog.listBox(n - 4)->y());
                QCOMPARE(box->x(), dialog.listBox(n - 4)->x());
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
        QCOMPARE(dialog.activeBox()->checkState(), Qt::PartiallyChecked);

        const std::vector<Qt::CheckState> expected{Qt::Checked, Qt::Unchecked, Qt::Checked, Qt::Unchecked};
        for (Qt::CheckState state : expected) {
            QTest::mouseClick(dialog.activeBox(), Qt::LeftButton, {}, QPoint(5, dialog.activeBox()->height() / 2));
            QCOMPARE(dialog.activeBox()->checkState(), state);
        }
        dialog.listBox(5)->setFocus();
        QTest::keyClick(dialog.listBox(5), Qt::Key_Space);
        QCOMPARE(dialog.listBox(5)->checkState(), Qt::Checked);

        // An untouched mixed box reads back as mixed.
        values.lists[4] = CheckState::Mixed;
        dialog.setValues(values);
        QCOMPARE(dialog.values().lists[4], CheckState::Mixed);
        QCOMPARE(dialog.values().active, CheckState::Mixed);
    }

    void nameBoxTakesSixteenWindows1252Characters() {
        ChannelDialog dialog;
        dialog.show();
        QLineEdit* name = dialog.box(rivo::box::Name);
        name->setFocus();
        Type(name, QString::fromUtf8("Caf\u00e9 \u20ac\u0416\u4e2d!"));
        QCOMPARE(name->text(), QString::fromUtf8("Caf\u00e9 \u20ac!"));  // Cyrillic and CJK refused
        QCOMPARE(dialog.values().boxes[rivo::box::Name], std::string("Caf\xE9 \x80!"));

        name->clear();
        Type(name, "ABCDEFGHIJKLMNOPQRST");
        QCOMPARE(name->text(), QString("ABCDEFGHIJKLMNOP"));

        rivo::ChannelDialogValues values;
        values.boxes[rivo::box::Name] = "\xE0\x9D";  // bytes shown and given back unchanged
        dialog.setValues(values);
        QCOMPARE(dialog.values().boxes[rivo::box::Name], std::string("\xE0\x9D"));
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
                QCOMPARE(d.favouriteBox()->text(), QString("Segnagruppi"));
                QVERIFY(d.listsGroup()->isVisible());
                QCOMPARE(d.transponderValue(rivo::tpvalue::Frequency)->text(), QString("11747 Mhz"));
                QCOMPARE(d.transponderValue(rivo::tpvalue::Satellite)->text(), QString("HotBird"));
                d.box(rivo::box::Name)->setText(QString::fromUtf8("R\u00e0i Uno"));
                d.listBox(3)->click();
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
                QCOMPARE(d.transponderValue(rivo::tpvalue::Frequency)->text(), QString("12603,125 Mhz"));
                QCOMPARE(d.encodingList()->currentIndex(), 1);
                QVERIFY(d.favouriteBox()->isChecked());
                QVERIFY(!d.listBox(3)->isChecked());  // the last channel's boxes are gone
                d.box(rivo::box::Name)->setText("X");
                d.transponderCancelButton()->click();
            });
            QVERIFY(!RunChannelDialog(nullptr, shared, page, 2, &prompts));
        }
        QCOMPARE(page.channelGrid, before.channelGrid);

        // A transponder beyond the table empties the values of the last channel.
        {
            Hook hook([&](ChannelDialog& d) {
                for (int i = 0; i < rivo::tpvalue::Count; ++i) QCOMPARE(d.transponderValue(i)->text(), QString());
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
                QCOMPARE(d.favouriteBox()->text(), QString("Preferito"));
                QVERIFY(!d.listsGroup()->isVisible());
                QCOMPARE(d.box(rivo::box::Name)->text(), QString());        // names differ
                QCOMPARE(d.box(rivo::box::Sid)->text(), QString("100"));    // common SID
                QCOMPARE(d.activeBox()->checkState(), Qt::PartiallyChecked);
                QCOMPARE(d.lockedBox()->checkState(), Qt::PartiallyChecked);
                QCOMPARE(d.transponderValue(rivo::tpvalue::Frequency)->text(), QString());
                d.box(rivo::box::Pcr)->setText("77");
                d.lockedBox()->click();  // mixed -> checked
                d.okButton()->click();
            });
            QVERIFY(RunChannelPropertiesDialog(nullptr, page, 1, 3, &prompts));
        }
        QVERIFY(page.modified);
        QCOMPARE(page.channelGrid.cell(1, rivo::ch::Name), std::string("RAI 1"));
        QCOMPARE(page.channelGrid.cell(3, rivo::ch::Name), std::string("OFF"));
        for (int r = 1; r <= 3; ++r) QCOMPARE(page.channelGrid.cell(r, rivo::ch::Pcr), std::string("77"));
        QCOMPARE(page.channelGrid.cell(1, rivo::ch::Status), std::string("05"));
        QCOMPARE(page.channelGrid.cell(2, rivo::ch::Status), std::string("07"));  // first row's encoding
        QCOMPARE(page.channelGrid.cell(3, rivo::ch::Status), std::string("01"));

        // Annulla leaves the page alone, also its modified flag.
        page.modified = false;
        const rivo::ListPage before = page;
        Hook hook([&](ChannelDialog& d) {
            QCOMPARE(d.lockedBox()->checkState(), Qt::Checked);
            d.box(rivo::box::Sid)->setText("1");
            d.cancelButton()->click();
        });
        QVERIFY(!RunChannelPropertiesDialog(nullptr, page, 1, 3, &prompts));
        QCOMPARE(page.channelGrid, before.channelGrid);
        QVERIFY(!page.modified);
    }
};

static const int kRegistered = RegisterTest([]() -> QObject* { return new TestChanDataWindow; });

#include "test_channel_dialog_window.moc"
