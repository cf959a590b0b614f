// First cut: no guard yet.
#include "host/exception_guard.h"

int32_t RunGuarded(GuardedCall call, const char *argument, int32_t *result)
{
    *result = call(argument);
    return 1;
}
