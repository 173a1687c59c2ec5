#include "import_patch.h"

#include <windows.h>

#include <stdexcept>

static void WriteSlot(void** slot, void* value)
{
    DWORD oldProtection;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &oldProtection);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, oldProtection, &oldProtection);
}

ImportPatch::ImportPatch(void* original, void* fake) : original_(original)
{
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(NULL));
    auto dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    for (; library->Name; ++library) {
        auto slot = reinterpret_cast<void**>(base + library->FirstThunk);
        for (; *slot; ++slot)
            if (*slot == original)
                slots_.push_back(slot);
    }
    if (slots_.empty())
        throw std::logic_error("the test program does not import the function to redirect");
    for (void** slot : slots_)
        WriteSlot(slot, fake);
}

ImportPatch::~ImportPatch()
{
    for (void** slot : slots_)
        WriteSlot(slot, original_);
}
