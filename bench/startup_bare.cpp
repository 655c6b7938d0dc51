// The floor for start-up: a bare window of Tessarin's size, shown the same way.

#include "ShownHarness.h"

int main(int argc, char* argv[])
{
    return RunBareWindow(argc, argv, [](QWidget&) {});
}
