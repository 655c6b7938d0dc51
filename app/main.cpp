#include "app/TessarinMain.h"
#include "app/Version.h"
#include "platform/Platform.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[])
{
    // The program reads no command line: the toolkit gets the program name alone.
    char fallbackName[] = "tessarin";
    char* programName[] = {argc > 0 && argv[0] != nullptr ? argv[0] : fallbackName, nullptr};
    int programArgc = 1;
    QApplication application(programArgc, programName);
    QApplication::setApplicationName(QStringLiteral("Tessarin"));
    QApplication::setApplicationVersion(QString::fromLatin1(tessarin::version::Text));

    const std::unique_ptr<tessarin::Platform> platform = tessarin::MakeSystemPlatform();
    tessarin::TessarinMain window(*platform);
    window.show();
    return QApplication::exec();
}
