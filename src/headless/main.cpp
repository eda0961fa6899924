// The logger without a window as a program of its own: only the core, Qt Core and the serial
// ports are loaded, so an unattended box spends no memory on widgets it never shows.
// `kt7-logger --headless` hands over to it.
#include "headless/HeadlessMain.h"

int main(int argc, char** argv) {
    return kt7::runHeadless(argc, argv);
}
