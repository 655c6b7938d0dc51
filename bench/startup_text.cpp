// A bare window of Tessarin's size that draws one caption: what text alone
// costs at start-up (fonts found and loaded), for comparison.

#include "ShownHarness.h"

#include <QLabel>

int main(int argc, char* argv[])
{
    return RunBareWindow(argc, argv, [](QWidget& window) {
        // Owned by the window, as a caption in a form is.
        new QLabel(QStringLiteral("HOST TO IP"), &window);
    });
}
