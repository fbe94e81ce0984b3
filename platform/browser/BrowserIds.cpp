// Interface ids the host needs that MinGW-w64's libuuid lacks (the headers declare them).
#include <windows.h>
#include <mshtmhst.h>

extern "C" const IID IID_IDocHostShowUI = {
    0xc4d244b0, 0xd43e, 0x11cf, {0x89, 0x3b, 0x00, 0xaa, 0x00, 0xbd, 0xce, 0x1a}};
