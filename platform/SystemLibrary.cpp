// Loading a system DLL on first use.
#include "platform/SystemLibrary.h"

namespace platform {

FARPROC SystemLibrary::Function(const wchar_t* dll, const char* name) {
    HMODULE module = ::GetModuleHandleW(dll);
    if (module == nullptr) {
        // Never freed: the functions handed out stay valid for the process's life.
        module = ::LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    return module != nullptr ? ::GetProcAddress(module, name) : nullptr;
}

}  // namespace platform
