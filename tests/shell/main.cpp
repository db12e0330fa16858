// The window tests: every test class registered with RegisterTest (see test_registry.h).
#include <QSettings>
#include <QStandardPaths>

#include "test_registry.h"

namespace {
// Settings the windows keep go to a test location, never the user's own.
void UseTestSettings() {
    QStandardPaths::setTestModeEnabled(true);
    QSettings(QStringLiteral("Rivo800"), QStringLiteral("Rivo800 Editor")).clear();
}
}  // namespace

int main(int argc, char** argv) { return RunRegisteredTests(argc, argv, UseTestSettings); }
