// Runs every test class registered with registerTest (see test_registry.h).
#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <memory>
#include <vector>

#include "test_registry.h"

namespace {
std::vector<QObject* (*)()>& factories() {
    static std::vector<QObject* (*)()> list;
    return list;
}
}  // namespace

int registerTest(QObject* (*factory)()) {
    factories().push_back(factory);
    return static_cast<int>(factories().size());
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Settings the windows keep go to a test location, never the user's own.
    QStandardPaths::setTestModeEnabled(true);
    QSettings(QStringLiteral("Rivo800"), QStringLiteral("Rivo800 Editor")).clear();
    int failures = 0;
    for (auto factory : factories()) {
        std::unique_ptr<QObject> test(factory());
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
