// Redirects a platform function that the test program imports to a fake, for
// as long as the patch lives. The production code linked into the test
// program calls through the same import table, so it meets the fake.
#pragma once

#include <vector>

class ImportPatch {
public:
    // The fake must have exactly the type of the original: a wrong calling
    // convention can't slip through. A fake that passes calls on gets the real
    // function through `real`: an address taken elsewhere, in a static
    // initialiser say, may be the program's own import stub, which reads the
    // patched slot and would reach the fake again. `real` is set before the
    // slot changes: the compiler takes the slot for constant and may read it
    // again for `original` afterwards.
    template <typename Function>
    ImportPatch(Function* original, Function* fake, Function** real = nullptr)
        : ImportPatch(reinterpret_cast<void*>(real ? (*real = original) : original),
                      reinterpret_cast<void*>(fake))
    {
    }
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

private:
    ImportPatch(void* original, void* fake);
    void* original_;
    std::vector<void**> slots_;
};
