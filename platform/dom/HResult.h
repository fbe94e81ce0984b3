// Early return on a failed HRESULT, so COM call chains read top to bottom without nested ifs.
#pragma once

#include <windows.h>

#ifndef RETURN_IF_FAILED
#define RETURN_IF_FAILED(expr)             \
    do {                                   \
        const HRESULT hrChecked_ = (expr); \
        if (FAILED(hrChecked_)) {          \
            return hrChecked_;             \
        }                                  \
    } while (0)
#endif
