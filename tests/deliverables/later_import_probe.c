/* A 32-bit program that asks for more than Windows 95 and NT 4.0 offer, built
   only so that the compatibility check is seen to catch each kind of fault: a
   newer header (set where it is linked), a DLL they lack, a function that came
   later (GetTickCount64) and one the list does not know (Beep). */
#include <windows.h>
#include <dwmapi.h>

int main(void)
{
    BOOL composed = FALSE;
    Beep(440, 1);
    return (int)(GetTickCount64() & 1) + (int)DwmIsCompositionEnabled(&composed);
}
