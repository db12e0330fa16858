// Files dropped on the window: an image opens through the pre-filled open dialog, a
// folder and a text file are refused in the status bar and open nothing.
// Fixture builders first: their field names clash with Qt's keyword macros.
// clang-format off
#include "shell_support.h"
// clang-format on

#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QUrl>
#include <memory>
#include <utility>

#include "dialogs/open_dialog.h"
#include "shell/editor_settings.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "test_registry.h"

using namespace rivo;
using namespace rivo::testsupport;

class DropOpenTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ShellFolder> folder;
    ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> window;
    QStringList dialogFiles;  // the file and LNB low each open dialog showed, in order
    QString typedLow;         // typed into the next dialog's LNB low, when not empty

    // Drops paths on target as a file manager does, then lets the window act.
    static void drop(QWidget* target, const QStringList& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction | Qt::MoveAction, &data,
                              Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent dropped(QPointF(20, 20), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                           Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        QVERIFY(dropped.isAccepted());
        QCoreApplication::processEvents();
    }

private slots:
    void initTestCase() { folder = std::make_unique<ShellFolder>(); }
    void init() {
        prompts.clear();
        EditorSettings().remove(QStringLiteral("recentFiles"));
        window = std::make_unique<MainWindow>();
        PrepareWindow(*window, prompts, *folder);
        dialogFiles.clear();
        window->runOpenDialog = [this](OpenDialog& dialog) {
            dialogFiles << dialog.fileEdit->text() + QLatin1Char('|') + dialog.lnbLowEdit->text();
            if (!typedLow.isEmpty()) dialog.lnbLowEdit->setText(std::exchange(typedLow, QString()));
            dialog.okButton->click();
            return dialog.result() == QDialog::Accepted;
        };
    }
    void cleanup() {
        window.reset();
        QCOMPARE(prompts.unexpected, 0);
    }

    // Two images dropped on an open page's table open one after the other through the
    // dialog, the second with the values remembered for it.
    void droppedImagesOpen() {
        const Bytes image = BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 12, 4));
        const QString first = folder->write("Primo.Bin", image);
        const QString second = folder->write("Secondo.dat", image);
        typedLow = QStringLiteral("9200");
        drop(window->pageTabs, {second});
        QCOMPARE(window->pageCount(), 1);
        QCOMPARE(dialogFiles, (QStringList{second + QStringLiteral("|9750")}));
        // A first opening of the first file starts from the last values (9200); it is
        // opened with 9400.
        prompts.answers.push_back(Answer::Yes);  // "Vuoi chiudere il file ...?"
        window->closePageAction->trigger();
        typedLow = QStringLiteral("9400");
        drop(window->pageTabs, {first});
        QCOMPARE(window->pageCount(), 1);
        QCOMPARE(dialogFiles[1], first + QStringLiteral("|9200"));
        // Dropped on the channel table, which takes row drags of its own.
        PageView* view = window->pageView(0);
        prompts.answers.push_back(Answer::No);  // "already open": a second page
        drop(view->channelTable->viewport(), {second, first});
        QCOMPARE(window->pageCount(), 3);
        QCOMPARE(dialogFiles.size(), 4);
        QCOMPARE(dialogFiles[2], second + QStringLiteral("|9200"));
        QCOMPARE(dialogFiles[3], first + QStringLiteral("|9400"));
        QCOMPARE(window->pageView(2)->page().lnbLow, 9400);
        QCOMPARE(prompts.asked.size(), size_t{2});
        prompts.clear();
    }

    // A folder or a file of another kind opens nothing and says why.
    void foldersAndOtherFilesAreRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("folder") << "Cartella"
                                << "Cartella è una cartella, non un'immagine: non aperta";
        QTest::newRow("text file")
            << "note.txt"
            << "note.txt non è un'immagine (File Bin, Dat o RCU): non aperto";
    }
    void foldersAndOtherFilesAreRefused() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        const QString path = folder->path(name.toStdString());
        if (name == QStringLiteral("Cartella"))
            QVERIFY(QDir().mkpath(path));
        else
            folder->write(name.toStdString(), Bytes{'c', 'i', 'a', 'o'});
        drop(window->pageTabs, {path});
        QCOMPARE(window->pageCount(), 0);
        QCOMPARE(dialogFiles, QStringList());
        QCOMPARE(window->statusMessage->text(), message);
    }
};

static const int kRegistered = RegisterTest([]() -> QObject* { return new DropOpenTest; });

#include "test_drop_open.moc"
