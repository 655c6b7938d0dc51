#include "app/Entry.h"

#include "app/TessarinMain.h"
#include "app/Version.h"
#include "platform/Platform.h"

#include <memory>

#include <QApplication>

namespace tessarin {

int RunTessarin(int argc, char* argv[], int (*run)(QWidget& window))
{
    char fallbackName[] = "tessarin";
    char* programName[] = {argc > 0 && argv[0] != nullptr ? argv[0] : fallbackName, nullptr};
    int programArgc = 1;
    QApplication application(programArgc, programName);
    QApplication::setApplicationName(QStringLiteral("Tessarin"));
    QApplication::setApplicationVersion(QString::fromLatin1(version::Text));
    // The desktop finds the entry, and with it the icon and name, by this
    // (Wayland) or by the X class, the application name (the entry's StartupWMClass).
    QApplication::setDesktopFileName(QString::fromLatin1(version::DesktopFileName));

    const std::unique_ptr<Platform> platform = MakeSystemPlatform();
    TessarinMain window(*platform);
    return run(window);
}

} // namespace tessarin
