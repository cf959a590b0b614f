// Placeholder until the dispatch lands.
#include "host/dispatch.h"

#include "host/host_state.h"

int32_t RunCommandLine(HINSTANCE instance, const char *)
{
    HostState.Instance = instance;
    return -1;
}

HWND ParseWindowHandle(const char *)
{
    return nullptr;
}

int32_t RunConfigDialog(HWND)
{
    return -1;
}
