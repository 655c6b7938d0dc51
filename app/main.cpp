#include "app/Entry.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    return tessarin::RunTessarin(argc, argv, [](QWidget& window) {
        window.show();
        return QApplication::exec();
    });
}
