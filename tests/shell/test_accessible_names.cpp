// What a screen reader hears: every window and dialog of the editor is shown, and each
// widget in it that takes the keys must be read out with a name; the tool bar's
// icon-only buttons with their hints, the open dialog's fields with their captions.
// Fixture builders first: their field names clash with Qt's keyword macros.
// clang-format off
#include "shell_support.h"
// clang-format on

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <functional>
#include <memory>

#include "dialogs/about_box.h"
#include "dialogs/channel_dialog.h"
#include "dialogs/duplicates_dialog.h"
#include "dialogs/file_order_dialog.h"
#include "dialogs/open_dialog.h"
#include "dialogs/rename_dialog.h"
#include "dialogs/reorder_dialogs.h"
#include "dialogs/row_number_dialog.h"
#include "dialogs/transponder_dialog.h"
#include "shell/help_controller.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "test_registry.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

QString SpokenName(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name).trimmed() : QString();
}

// The shown widgets of window that take the keys and would be read out without a name,
// as "where: class objectName".
QStringList Unnamed(QWidget& window, const QString& where) {
    QStringList unnamed;
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets.prepend(&window);
    for (QWidget* widget : widgets) {
        // A widget that passes the keys on (a tab widget to its tab bar) is never read.
        if (widget->focusPolicy() == Qt::NoFocus || widget->focusProxy() || !widget->isVisible() ||
            widget->window() != &window)
            continue;
        if (SpokenName(widget).isEmpty())
            unnamed << where + QStringLiteral(": ") +
                           QString::fromLatin1(widget->metaObject()->className()) +
                           QLatin1Char(' ') + widget->objectName();
    }
    return unnamed;
}

}  // namespace

class AccessibleNamesTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ShellFolder> folder;
    ScriptedPrompts prompts;
    QStringList unnamed;

    // Shows a dialog, walks it and closes it.
    void walk(QWidget& dialog, const QString& where) {
        dialog.show();
        QCoreApplication::processEvents();
        unnamed << Unnamed(dialog, where);
        dialog.close();
    }

private slots:
    void initTestCase() { folder = std::make_unique<ShellFolder>(); }

    void everyWindowAndDialogNamesItsControls() {
        MainWindow window;
        PrepareWindow(window, prompts, *folder);
        window.show();
        const QString path = folder->write(
            "Nomi.Bin", BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 20, 4)));
        // The open dialog as the user meets it.
        std::function<bool(OpenDialog&)> opener = window.runOpenDialog;
        QString lnbLowName;
        window.runOpenDialog = [&](OpenDialog& dialog) -> bool {
            dialog.show();
            QCoreApplication::processEvents();
            unnamed << Unnamed(dialog, QStringLiteral("open dialog"));
            lnbLowName = SpokenName(dialog.lnbLowEdit);
            return opener(dialog);
        };
        QVERIFY(OpenThroughDialog(window, path));
        // A field is read with its caption.
        QCOMPARE(lnbLowName, QStringLiteral("Frequenza LNB bassa (22kHz Off)"));
        QVERIFY(OpenAgain(window, prompts, path));
        PageView* view = window.pageView(1);
        view->openFindBar();
        view->showChangedOnDisk();
        for (int tab = 0; tab < 3; ++tab) {
            view->tabs->setCurrentIndex(tab);
            QCoreApplication::processEvents();
            unnamed << Unnamed(window, QStringLiteral("main window, tab %1").arg(tab));
        }
        // The icon-only tool buttons are read with their hints.
        QCOMPARE(SpokenName(window.toolBar->widgetForAction(window.deleteChannelsAction)),
                 QStringLiteral("Cancella i canali selezionati"));
        QCOMPARE(SpokenName(window.toolBar->widgetForAction(window.openAction)),
                 QStringLiteral("Apri un file"));
        // The tables expose their column titles.
        view->tabs->setCurrentIndex(1);
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(view->transponderTable);
        QVERIFY(table && table->tableInterface());
        QStringList headers;
        for (int i = 0; i < table->childCount() && i < 40; ++i)
            if (QAccessibleInterface* cell = table->child(i);
                cell && cell->role() == QAccessible::ColumnHeader)
                headers << cell->text(QAccessible::Name);
        QCOMPARE(headers.mid(0, 3), (QStringList{"Num.", "Frequenza", "TID"}));

        window.help->showManual();
        unnamed << Unnamed(*window.help->manualWindow(), QStringLiteral("manual"));

        ChannelDialog channel;
        walk(channel, QStringLiteral("channel dialog"));
        TransponderDialog transponder;
        walk(transponder, QStringLiteral("transponder dialog"));
        RowNumberDialog number(prompts);
        walk(number, QStringLiteral("row number dialog"));
        SortDialog sort(true);
        walk(sort, QStringLiteral("sort dialog"));
        ReferenceDialog reference(ReferenceDialogValues{}, true, prompts);
        walk(reference, QStringLiteral("reference dialog"));
        ReferencePreviewDialog referencePreview(ReferencePreview{});
        walk(referencePreview, QStringLiteral("reference preview"));
        DuplicatesDialog duplicates(view->page());
        walk(duplicates, QStringLiteral("duplicates dialog"));
        FileOrderDialog fileOrder(FileOrderPreview{}, prompts);
        walk(fileOrder, QStringLiteral("file order dialog"));
        RenameDialog rename(view->page(), {1, 2});
        walk(rename, QStringLiteral("rename dialog"));
        AboutBox about;
        walk(about, QStringLiteral("about box"));

        // The compare window, beside the editor.
        window.chooseCompareSource = [](const QStringList&) { return 0; };
        window.compareAction->trigger();
        QVERIFY(window.compareWindow());
        walk(*window.compareWindow(), QStringLiteral("compare window"));

        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char('\n'))));
    }
};

static const int kRegistered = RegisterTest([]() -> QObject* { return new AccessibleNamesTest; });

#include "test_accessible_names.moc"
