/* A 32-bit program that asks for more than Windows 95 and NT 4.0 offer, built
   only so that the compatibility check is seen to catch each kind of fault: a
   newer header (set where it is linked), a DLL they lack, a C runtime DLL, a
   function that came later (GetTickCount64) and one the list does not know
   (Beep). It links no start-up code, so that it imports nothing else. */
#include <windows.h>
#include <dwmapi.h>
#include <stdio.h>

void WINAPI Start(void)
{
    BOOL composed = FALSE;
    Beep(440, 1);
    puts("probe");
    ExitProcess((UINT)(GetTickCount64() & 1) + (UINT)DwmIsCompositionEnabled(&composed));
}
