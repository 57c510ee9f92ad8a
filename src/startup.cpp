// Start-up in place of the C runtime's.  The mingw runtime would make the
// executable import msvcrt.dll; with this file it imports only kernel32 and
// shell32.  It gives what the compiler and std::string expect of a runtime:
// the entry point, operator new and delete on the process heap, the memory
// and string functions that the compiler emits calls to, std::string's
// members (libstdc++ declares them extern templates, so some object must
// instantiate them), and libstdc++'s error hooks.  There are no static
// constructors or destructors to run.
#include <windows.h>

#include <cstddef>
#include <new>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

namespace {

// Out of memory or an impossible string length: end at once, without a
// message, with a status that is not the normal one.
[[noreturn]] void Die() { ExitProcess(3); }

}  // namespace

// The linker's default entry for a GUI-subsystem image.  The stack pointer is
// realigned because the loader only promises four-byte alignment on x86.
extern "C" __attribute__((force_align_arg_pointer)) void WinMainCRTStartup() {
    char no_arguments[] = "";
    ExitProcess(static_cast<UINT>(WinMain(GetModuleHandleA(nullptr), nullptr,
                                          no_arguments, SW_SHOWDEFAULT)));
}

void *operator new(std::size_t size) {
    void *block = HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
    if (!block)
        Die();
    return block;
}

void operator delete(void *block) noexcept {
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

void operator delete(void *block, std::size_t) noexcept {
    operator delete(block);
}

namespace std {

void __throw_length_error(const char *) { Die(); }
void __throw_logic_error(const char *) { Die(); }
void __throw_out_of_range_fmt(const char *, ...) { Die(); }
void __throw_bad_alloc() { Die(); }

template class basic_string<char>;

}  // namespace std

// The compiler turns copies, fills and comparisons into calls of these.  The
// build keeps it from turning these loops back into calls of themselves.
extern "C" {

void *memcpy(void *to, const void *from, std::size_t count) {
    auto *d = static_cast<unsigned char *>(to);
    auto *s = static_cast<const unsigned char *>(from);
    while (count--)
        *d++ = *s++;
    return to;
}

void *memmove(void *to, const void *from, std::size_t count) {
    auto *d = static_cast<unsigned char *>(to);
    auto *s = static_cast<const unsigned char *>(from);
    if (d < s) {
        while (count--)
            *d++ = *s++;
    } else {
        while (count--)
            d[count] = s[count];
    }
    return to;
}

void *memset(void *to, int value, std::size_t count) {
    auto *d = static_cast<unsigned char *>(to);
    while (count--)
        *d++ = static_cast<unsigned char>(value);
    return to;
}

int memcmp(const void *a, const void *b, std::size_t count) {
    auto *x = static_cast<const unsigned char *>(a);
    auto *y = static_cast<const unsigned char *>(b);
    for (; count; --count, ++x, ++y) {
        if (*x != *y)
            return *x < *y ? -1 : 1;
    }
    return 0;
}

std::size_t strlen(const char *text) {
    const char *end = text;
    while (*end)
        ++end;
    return static_cast<std::size_t>(end - text);
}

}  // extern "C"
