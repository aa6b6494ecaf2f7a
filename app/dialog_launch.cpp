#include "app/main_window.h"
#include "app/state.h"

void LaunchDialog(const char* templateName, DLGPROC procedure) {
    // The only message the program ever shows: every other failure is silent.
    if (DialogBoxParamA(Instance, templateName, MainWindow, procedure, 0) == -1) {
        MessageBoxA(MainWindow, "UNABLE TO PROCEED", "System Error", MB_OK);
    }
}
