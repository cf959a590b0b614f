// Static initialisation gives every field its starting value before any of the
// program's own code runs.
#include "host/host_state.h"

HostStateRecord HostState = {
    nullptr,       // Instance
    0,             // IsWin9x
    nullptr,       // SaverWindow
    0,             // IsPreview
    0xFF,          // AcLineStatus: not known yet
    0,             // AutoPlayMessage
    nullptr,       // PasswordModule
    nullptr,       // PasswordVerifier
    0,             // CloseAllowed
    0,             // Verifying
    NeverVerified, // LastVerifyTick
    4,             // MouseThreshold
    {0, 0},        // LastCursorPos
    nullptr,       // ImmModule
    nullptr,       // ImmAssociate
    nullptr,       // SavedImmContext
};
