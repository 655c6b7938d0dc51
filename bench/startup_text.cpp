// A bare window of Tessarin's size that draws one caption: what text alone
// costs at start-up (fonts found and loaded), for comparison.

#include "ShownHarness.h"

#include <QLabel>

int main(int argc, char* argv[])
{
    char fallbackName[] = "text";
    char* programName[] = {argc > 0 && argv[0] != nullptr ? argv[0] : fallbackName, nullptr};
    int programArgc = 1;
    QApplication application(programArgc, programName);
    QWidget window;
    window.setFixedSize(378, 194);
    QLabel caption(QStringLiteral("HOST TO IP"), &window);
    return RunUntilShown(window);
}
