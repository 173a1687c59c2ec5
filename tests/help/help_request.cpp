// A stand-in for a program that asks for help by the bare file name:
//   help_request <help file> <context number>
// calls WinHelpA with HELP_CONTEXT from wherever it is started.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    DWORD context = strtoul(argv[2], NULL, 10);
    // Wine's WinHelpA gives up when the viewer it starts is slow to open its
    // window; the viewer is running by the second request.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (WinHelpA(NULL, argv[1], HELP_CONTEXT, context))
            return 0;
        Sleep(2000);
    }
    return 1;
}
