// The windowed entry: its arguments play no part, the start-up reads the
// command line itself.
#include <windows.h>

#include "host/dispatch.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    StartSaverHost();
}
