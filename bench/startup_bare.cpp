// The floor for start-up: a bare window of Tessarin's size, shown the same way.

#include "ShownHarness.h"

int main(int argc, char* argv[])
{
    char fallbackName[] = "bare";
    char* programName[] = {argc > 0 && argv[0] != nullptr ? argv[0] : fallbackName, nullptr};
    int programArgc = 1;
    QApplication application(programArgc, programName);
    QWidget window;
    window.setFixedSize(378, 194);
    return RunUntilShown(window);
}
