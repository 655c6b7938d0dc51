#pragma once

class QWidget;

namespace tessarin {

// Starts Tessarin: the toolkit with the program name alone (the program reads
// no command line), the system's platform and the window, loaded. `run` shows
// the window and runs it to its end; its answer is the exit status.
int RunTessarin(int argc, char* argv[], int (*run)(QWidget& window));

} // namespace tessarin
