// A structured-exception guard for GCC, which has no __try / __except: an
// exception that nothing inside handles is put before the system's
// unhandled-exception filter, and its verdict is obeyed.
#pragma once

#include <stdint.h>

typedef int32_t (*GuardedCall)(const char *argument);

// Runs call(argument) and gives 1 with its result in *result, or 0 when an
// exception escaped it and the filter chose to run the handler (the stack
// below has then been unwound and *result is untouched).
int32_t RunGuarded(GuardedCall call, const char *argument, int32_t *result);
