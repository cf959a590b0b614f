// Where the process begins: isolate the command line's tail and end the
// process with the dispatched mode's result.
#include "host/dispatch.h"

namespace {

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

} // namespace

const char *SkipProgramName(const char *position)
{
    if (*position == '"') {
        // A quoted name may hold spaces; an unclosed quote takes the whole line.
        do
            position = CharNextA(position);
        while (*position != '"' && *position != '\0');
        if (*position == '"')
            ++position;
    } else if (!IsBlank(*position)) {
        // Bytes from 0x80 up belong to the name: the test is unsigned.
        while (!IsBlank(*position))
            position = CharNextA(position);
    }
    while (*position != '\0' && IsBlank(*position))
        position = CharNextA(position);
    return position;
}

void StartSaverHost()
{
    const char *tail = SkipProgramName(GetCommandLineA());
    int32_t result = RunCommandLine(GetModuleHandleA(nullptr), tail);
    // -1 leaves the process as 0xFFFFFFFF; the runtime's exit sequence is not run.
    ExitProcess(static_cast<UINT>(result));
}
