// Windows kept wholly on a screen: a frame that reaches past the screen shrinks and
// moves inside it, and a window opened beside another goes where there is room.
#include <QMainWindow>
#include <QScreen>
#include <QTest>

#include "dialogs/screen_fit.h"
#include "test_registry.h"

namespace {

class TestScreenFit : public QObject {
    Q_OBJECT
private slots:
    void frameFitsWithin_data() {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("expected");
        const QRect small(0, 0, 1280, 800);
        // Saved on a 1600x1000 screen, shown on a 1280x800 one.
        QTest::newRow("larger both ways")
            << QRect(0, 0, 1600, 990) << small << QRect(0, 0, 1280, 800);
        QTest::newRow("exactly the screen")
            << QRect(0, 0, 1280, 800) << small << QRect(0, 0, 1280, 800);
        QTest::newRow("one pixel wider")
            << QRect(0, 0, 1281, 800) << small << QRect(0, 0, 1280, 800);
        QTest::newRow("fits, left alone")
            << QRect(100, 50, 700, 500) << small << QRect(100, 50, 700, 500);
        QTest::newRow("past the right and bottom")
            << QRect(1000, 600, 700, 500) << small << QRect(580, 300, 700, 500);
        QTest::newRow("above and left of it")
            << QRect(-40, -10, 700, 500) << small << QRect(0, 0, 700, 500);
        // A panel at the top: the available area starts lower.
        QTest::newRow("under a panel")
            << QRect(0, 0, 1600, 990) << QRect(0, 28, 1280, 772) << QRect(0, 28, 1280, 772);
        // A second screen to the right of the first.
        QTest::newRow("second screen")
            << QRect(1200, 100, 900, 700) << QRect(1280, 0, 1024, 768) << QRect(1280, 68, 900, 700);
    }
    void frameFitsWithin() {
        QFETCH(QRect, frame);
        QFETCH(QRect, available);
        QFETCH(QRect, expected);
        QCOMPARE(FitFrameWithin(frame, available), expected);
    }

    void frameBeside_data() {
        QTest::addColumn<QRect>("anchor");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("expected");
        const QSize compare(760, 420);
        QTest::newRow("room on the right")
            << QRect(0, 0, 800, 600) << compare << QRect(800, 0, 760, 420);
        QTest::newRow("right edge exactly")
            << QRect(0, 10, 840, 600) << compare << QRect(840, 10, 760, 420);
        QTest::newRow("room on the left only")
            << QRect(800, 40, 800, 600) << compare << QRect(40, 40, 760, 420);
        QTest::newRow("no room either side")
            << QRect(0, 0, 1600, 990) << compare << QRect(840, 0, 760, 420);
        // Its bottom edge would pass the screen's: moved up.
        QTest::newRow("low anchor")
            << QRect(0, 700, 800, 290) << compare << QRect(800, 580, 760, 420);
        QTest::newRow("taller than the screen")
            << QRect(0, 0, 600, 600) << QSize(700, 1200) << QRect(600, 0, 700, 1000);
    }
    void frameBeside() {
        QFETCH(QRect, anchor);
        QFETCH(QSize, size);
        QFETCH(QRect, expected);
        QCOMPARE(FrameBeside(anchor, size, QRect(0, 0, 1600, 1000)), expected);
    }

    // A window sized larger than its screen shrinks to it and stays on it.
    void windowKeptOnItsScreen() {
        QMainWindow window;
        const QRect available = window.screen()->availableGeometry();
        window.setGeometry(available.left() + 50, available.top() + 60, available.width() + 400,
                           available.height() + 300);
        KeepOnScreen(window);
        QVERIFY(window.width() <= available.width());
        QVERIFY(window.height() <= available.height());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        KeepOnScreen(window);
        QVERIFY2(available.contains(window.frameGeometry()),
                 qPrintable(QStringLiteral("%1,%2 %3x%4")
                                .arg(window.frameGeometry().x())
                                .arg(window.frameGeometry().y())
                                .arg(window.frameGeometry().width())
                                .arg(window.frameGeometry().height())));
    }
};

[[maybe_unused]] const int kRegistered =
    RegisterTest([]() -> QObject* { return new TestScreenFit; });

}  // namespace

#include "test_screen_fit.moc"
