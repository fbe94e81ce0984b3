// Resource ids of Start.exe.
#pragma once

#define IDI_STARTER 101
