// Texts the dialogs put together from a pattern and values: the Italian that shows
// must be the exact text the dialogs have always shown, piece for piece.
#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <string>

#include "channels/open_params.h"
#include "dialog_test_support.h"
#include "dialogs/about_box.h"
#include "dialogs/dialog_parts.h"
#include "dialogs/open_dialog.h"
#include "test_registry.h"

namespace {

class TestComposedTexts : public QObject {
    Q_OBJECT
private slots:
    void fileFilterKeepsEveryPattern() {
        QCOMPARE(rivo::dialogs::ImageFileFilter(),
                 QStringLiteral("File Bin (*.Bin *.bin *.BIN);;File Dat (*.Dat *.dat *.DAT);;"
                                "File RCU (*.Rcu *.rcu *.RCU);;Tutti i files (*)"));
    }

    void aboutBoxNamesTheVersion() {
        AboutBox box;
        QCOMPARE(box.versionLabel->text(), QStringLiteral("Versione ") + AboutBox::version());
    }

    // A symbol rate file that is there but cannot be read (a folder here) is named with
    // the reason the reader gave.
    void unreadableSymbolRatesAreExplained() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString iniPath = folder.filePath(QStringLiteral("Sr.Ini"));
        QVERIFY(QDir().mkpath(iniPath));
        std::string reason;
        bool missing = true;
        rivo::ReadSymbolRateSets(iniPath.toStdString(), &reason, &missing);
        QVERIFY(!reason.empty());
        QVERIFY(!missing);

        RecordingPrompts prompts;
        OpenDialog dialog(iniPath, prompts);
        dialog.initialise();
        QVERIFY(!dialog.symbolRateProblemLabel->isHidden());
        QCOMPARE(dialog.symbolRateProblemLabel->text(),
                 QStringLiteral("Symbol rate non letti: ") + QString::fromStdString(reason));
    }
};

[[maybe_unused]] const int kRegistered = RegisterTest([]() -> QObject* { return new TestComposedTexts; });

}  // namespace

#include "test_composed_texts.moc"
