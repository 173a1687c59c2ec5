// The exception paths and the formatting that the programs rely on, built as
// they are built, for the emulated processor: each step writes one line to
// the standard output and the exit code says whether all of them behaved.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

char g_trace[16];  // depths of the destructors, in the order they ran
bool g_passed = true;

void Say(const char* step, bool behaved, const char* detail)
{
    char line[128];
    snprintf(line, sizeof line, "%s: %s %s\r\n", step, behaved ? "ok" : "FAILED", detail);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, static_cast<DWORD>(strlen(line)), &written,
              nullptr);
    g_passed = g_passed && behaved;
}

struct Frame {
    explicit Frame(int depth) : depth_(depth) {}
    ~Frame() { g_trace[strlen(g_trace)] = static_cast<char>('0' + depth_); }
    int depth_;
};

struct Failure {
    explicit Failure(int code) : code(code) {}
    virtual ~Failure() = default;
    int code;
};

struct DiskFailure : Failure {
    using Failure::Failure;
};

// noinline keeps the six frames apart, each with its own destructor to run.
__attribute__((noinline)) void Descend(int depth)
{
    Frame frame(depth);
    if (depth == 6)
        throw DiskFailure(depth);
    Descend(depth + 1);
}

void ThrowPlain() { throw 5; }

void UnwindsSixFrames()
{
    int code = 0;
    try {
        Descend(1);
    } catch (const Failure& failure) {
        code = failure.code;
    }
    Say("six frames unwound", code == 6 && strcmp(g_trace, "654321") == 0, g_trace);
}

void RethrowsByDerivedType()
{
    int code = 0;
    try {
        try {
            throw DiskFailure(42);
        } catch (Failure&) {
            throw;
        }
    } catch (const DiskFailure& failure) {
        code = failure.code;
    } catch (...) {
    }
    char detail[16];
    snprintf(detail, sizeof detail, "%d", code);
    Say("rethrown by derived type", code == 42, detail);
}

void CatchesAllThroughPointer()
{
    void (*volatile thrower)() = ThrowPlain;
    bool caught = false;
    try {
        thrower();
    } catch (...) {
        caught = true;
    }
    Say("catch (...) through a pointer", caught, "");
}

void ThrowsFromCatchBlock()
{
    int code = 0;
    try {
        try {
            ThrowPlain();
        } catch (int value) {
            throw DiskFailure(value + 2);
        }
    } catch (const Failure& failure) {
        code = failure.code;
    }
    Say("thrown from a catch block", code == 7, "");
}

// The emulator notes the heap at each debug string: the two notes around the
// loop must agree, or thrown objects were not given back.
void ThrowsManyTimes()
{
    OutputDebugStringA("before 1000 throws");
    int caught = 0;
    for (int i = 0; i < 1000; ++i) {
        try {
            throw DiskFailure(i);
        } catch (const Failure& failure) {
            caught += failure.code == i;
        }
    }
    OutputDebugStringA("after 1000 throws");
    char detail[16];
    snprintf(detail, sizeof detail, "%d caught", caught);
    Say("1000 throws", caught == 1000, detail);
}

void FormatsText()
{
    char text[32];
    int length = snprintf(text, sizeof text, "%s|%d|%.*s|%.0f|%%", "ab", -42, 2, "xyz", 1025.0);
    char cut[8];
    int whole = snprintf(cut, sizeof cut, "%s", "truncated text");
    Say("snprintf", length == 16 && strcmp(text, "ab|-42|xy|1025|%") == 0 &&
                        whole == 14 && strcmp(cut, "truncat") == 0,
        text);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    UnwindsSixFrames();
    RethrowsByDerivedType();
    CatchesAllThroughPointer();
    ThrowsFromCatchBlock();
    ThrowsManyTimes();
    FormatsText();
    return g_passed ? 0 : 1;
}
