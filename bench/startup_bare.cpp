// The floors for start-up: a bare window of Tessarin's size, shown the same
// way; with the argument "caption" it draws one caption, to show what text
// alone costs (fonts found and loaded).

#include "ShownHarness.h"

#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setFixedSize(378, 194);
    if (argc > 1) {
        new QLabel(QStringLiteral("HOST TO IP"), &window); // owned by the window
    }
    return RunUntilShown(window);
}
