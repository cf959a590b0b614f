// Placeholder until the password hooks land.
#include "host/password_hooks.h"

void SetSaverRunning(uint32_t) {}
void LoadPasswordVerifier() {}
void UnloadPasswordVerifier() {}
void ChangeSaverPassword(HWND) {}
