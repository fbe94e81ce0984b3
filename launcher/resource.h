// Resource ids of Tolv.exe.
#pragma once

#define IDI_LAUNCHER 107
