// Tessarin's own start-up, ended as soon as the window is shown.

#include "ShownHarness.h"
#include "app/Entry.h"

int main(int argc, char* argv[])
{
    return tessarin::RunTessarin(argc, argv, RunUntilShown);
}
