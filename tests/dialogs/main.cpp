// The dialog tests: every test class registered with RegisterTest (see test_registry.h).
#include "test_registry.h"

int main(int argc, char** argv) { return RunRegisteredTests(argc, argv); }
