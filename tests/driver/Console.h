// Output conventions of kdrive: results on stdout as UTF-8 lines, one-line reasons on stderr, fixed exit codes.
#pragma once

#include <windows.h>

#include <string>

namespace kdrive {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// Puts stdout and stderr in binary mode; msvcrt's text mode would turn every "\n" into "\r\n".
void InitOutput();

std::string ToUtf8(const std::wstring& text);

// Writes text and "\n" (never "\r\n": the tests reading this run on Linux) to stdout, flushed.
void PrintLine(const std::wstring& text);

// Prints "kdrive: <reason>" to stderr and returns kExitFailed.
int Fail(const std::wstring& reason);

// Prints "kdrive: <reason>" to stderr and returns kExitUsage: for combinations the option table cannot express.
int UsageError(const std::wstring& reason);

// As Fail, with " (error N)" from GetLastError appended.
int FailWithLastError(const std::wstring& reason);

// "0x1a2b": how handles are printed everywhere, and a spelling the number options accept back.
std::wstring HexHandle(HWND hwnd);

}  // namespace kdrive
