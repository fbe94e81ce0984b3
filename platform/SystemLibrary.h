// Functions of a system DLL that is loaded only when one of them is first called.
#pragma once

#include <windows.h>

namespace platform {

// Some system DLLs cost memory merely by being loaded, for the process's whole life: under Wine, bcrypt.dll starts
// GnuTLS (about 0.4 MB) and comdlg32.dll the printing system through winspool (about 0.8 MB). A program that
// seldom calls them keeps them out of its imports and asks here when it needs one.
//
// Only the system folder is searched, never the program's own folder on the drive, so a DLL of the same name
// beside the program is not loaded. A library once loaded stays loaded. Any thread.
class SystemLibrary {
public:
    // The function `name` of the system DLL `dll`, loading the DLL if need be; null when either is missing.
    static FARPROC Function(const wchar_t* dll, const char* name);

    // The same, typed as the function's declaration (`decltype(&::Name)`).
    template <typename FunctionPointer>
    static FunctionPointer Function(const wchar_t* dll, const char* name) {
        return reinterpret_cast<FunctionPointer>(reinterpret_cast<void*>(Function(dll, name)));
    }
};

}  // namespace platform
