// kdrive: the end-to-end tests' hands on the programs under test (find windows, send messages, click, shoot).
//
// Started as "Marlo.exe" with no arguments it is the stand-in agent instead: the tests copy it under the agent's
// file name for the cases where the launcher itself must start the agent. It then behaves as
//   peer --class Marlo --log <its own folder>\standin-agent.log
// after first appending the line "started" to that log. Started as "KelvoUp.exe" with no arguments it is the
// stand-in updater: it appends "started" to standin-updater.log in its own folder and ends.
#include <windows.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "Args.h"
#include "Console.h"
#include "Dialogs.h"
#include "Files.h"
#include "Input.h"
#include "Keys.h"
#include "Messages.h"
#include "Peer.h"
#include "Shot.h"
#include "TopWindows.h"
#include "Tray.h"
#include "common/ipc/SuiteNames.h"
#include "platform/WideText.h"

namespace kdrive {
namespace {

constexpr int64_t kAny64Min = INT64_MIN;
constexpr int64_t kAny64Max = INT64_MAX;
constexpr int64_t kUint32Max = 0xFFFFFFFF;
constexpr int64_t kMaxTimeoutMs = 0x7FFFFFFF;

constexpr OptionRule kClass = {L"class", OptionKind::Text, true, 0, 0};
constexpr OptionRule kOptionalClass = {L"class", OptionKind::Text, false, 0, 0};
constexpr OptionRule kTitle = {L"title", OptionKind::Text, false, 0, 0};
constexpr OptionRule kTimeout = {L"timeout-ms", OptionKind::Number, false, 0, kMaxTimeoutMs};
constexpr OptionRule kPost = {L"post", OptionKind::Flag, false, 0, 0};
constexpr OptionRule kVirtualKey = {L"vk", OptionKind::Number, true, 1, 0xFE};
constexpr OptionRule kAlt = {L"alt", OptionKind::Flag, false, 0, 0};
constexpr OptionRule kCtrl = {L"ctrl", OptionKind::Flag, false, 0, 0};
constexpr OptionRule kShift = {L"shift", OptionKind::Flag, false, 0, 0};
constexpr OptionRule kWin = {L"win", OptionKind::Flag, false, 0, 0};

struct Command {
    const wchar_t* name;
    const wchar_t* usage;
    Syntax syntax;
    int (*run)(const Args&);
};

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {L"find", L"find --class C [--title T]", {kClass, kTitle}, RunFind},
        {L"count",
         L"count --class C [--title T] [--visible]",
         {kClass, kTitle, {L"visible", OptionKind::Flag, false, 0, 0}},
         RunCount},
        {L"wait",
         L"wait --class C [--title T] [--timeout-ms N] [--visible]",
         {kClass, kTitle, kTimeout, {L"visible", OptionKind::Flag, false, 0, 0}},
         RunWait},
        {L"wait-gone", L"wait-gone --class C [--title T] [--timeout-ms N]", {kClass, kTitle, kTimeout}, RunWaitGone},
        {L"info", L"info --class C [--title T]", {kClass, kTitle}, RunInfo},
        {L"send",
         L"send --class C [--title T] --msg N [--wparam N] [--lparam N] [--timeout-ms N]",
         {kClass,
          kTitle,
          kTimeout,
          {L"msg", OptionKind::Number, true, 0, kUint32Max},
          {L"wparam", OptionKind::Number, false, kAny64Min, kAny64Max},
          {L"lparam", OptionKind::Number, false, kAny64Min, kAny64Max}},
         RunSend},
        {L"post",
         L"post --class C [--title T] --msg N [--wparam N] [--lparam N]",
         {kClass,
          kTitle,
          {L"msg", OptionKind::Number, true, 0, kUint32Max},
          {L"wparam", OptionKind::Number, false, kAny64Min, kAny64Max},
          {L"lparam", OptionKind::Number, false, kAny64Min, kAny64Max}},
         RunPost},
        {L"copydata",
         L"copydata --class C [--title T] --kind N (--file PATH | --file - | --empty) [--timeout-ms N]",
         {kClass,
          kTitle,
          kTimeout,
          {L"kind", OptionKind::Number, true, kAny64Min, kAny64Max},
          {L"file", OptionKind::Text, false, 0, 0},
          {L"empty", OptionKind::Flag, false, 0, 0}},
         RunCopyData},
        {L"pointer",
         L"pointer --x X --y Y",
         {{L"x", OptionKind::Number, true, INT_MIN, INT_MAX}, {L"y", OptionKind::Number, true, INT_MIN, INT_MAX}},
         RunPointer},
        {L"click",
         L"click --class C [--title T] --x X --y Y [--button left|right] [--post]",
         {kClass,
          kTitle,
          kPost,
          {L"x", OptionKind::Number, true, INT_MIN, INT_MAX},
          {L"y", OptionKind::Number, true, INT_MIN, INT_MAX},
          {L"button", OptionKind::Text, false, 0, 0}},
         RunClick},
        {L"drag",
         L"drag --class C [--title T] --from X,Y --to X,Y [--steps N] [--post]",
         {kClass,
          kTitle,
          kPost,
          {L"from", OptionKind::Point, true, 0, 0},
          {L"to", OptionKind::Point, true, 0, 0},
          {L"steps", OptionKind::Number, false, 1, 1000}},
         RunDrag},
        {L"press",
         L"press --class C [--title T] --id N [--bm-click]",
         {kClass, kTitle, {L"id", OptionKind::Number, true, 0, 0xFFFF}, {L"bm-click", OptionKind::Flag, false, 0, 0}},
         RunPress},
        {L"keys", L"keys --vk N [--alt] [--ctrl] [--shift] [--win]", {kVirtualKey, kAlt, kCtrl, kShift, kWin}, RunKeys},
        {L"hotkey-free",
         L"hotkey-free --vk N [--alt] [--ctrl] [--shift] [--win]",
         {kVirtualKey, kAlt, kCtrl, kShift, kWin},
         RunHotKeyFree},
        {L"type",
         L"type --class C [--title T] --text TEXT",
         {kClass, kTitle, {L"text", OptionKind::Text, true, 0, 0}},
         RunType},
        {L"devicechange",
         L"devicechange --class C [--title T] --drives LETTERS [--event N] [--timeout-ms N]",
         {kClass,
          kTitle,
          kTimeout,
          {L"drives", OptionKind::Text, true, 0, 0},
          {L"event", OptionKind::Number, false, 0, 0xFFFF}},
         RunDeviceChange},
        {L"dialog-text", L"dialog-text --class C [--title T]", {kClass, kTitle}, RunDialogText},
        {L"control-text",
         L"control-text --class C [--title T] --id N",
         {kClass, kTitle, {L"id", OptionKind::Number, true, 0, 0xFFFF}},
         RunControlText},
        {L"children", L"children --class C [--title T]", {kClass, kTitle}, RunChildren},
        {L"peer",
         L"peer --class C [--title T] --log PATH [--ready PATH] [--exit-on N] [--reply N] [--crash-on N]",
         {kClass,
          kTitle,
          {L"log", OptionKind::Text, true, 0, 0},
          {L"ready", OptionKind::Text, false, 0, 0},
          {L"exit-on", OptionKind::Number, false, 0, kUint32Max},
          {L"reply", OptionKind::Number, false, kAny64Min, kAny64Max},
          {L"crash-on", OptionKind::Number, false, 0x400, kUint32Max}},
         RunPeerCommand},
        {L"hold",
         L"hold --file PATH --ready PATH --release PATH [--timeout-ms N]",
         {{L"file", OptionKind::Text, true, 0, 0},
          {L"ready", OptionKind::Text, true, 0, 0},
          {L"release", OptionKind::Text, true, 0, 0},
          kTimeout},
         RunHold},
        {L"keylog",
         L"keylog --log PATH --ready PATH [--timeout-ms N]",
         {{L"log", OptionKind::Text, true, 0, 0}, {L"ready", OptionKind::Text, true, 0, 0}, kTimeout},
         RunKeyLog},
        {L"tray",
         L"tray --class C [--title T] --id N [--remove]",
         {kClass, kTitle, {L"id", OptionKind::Number, true, 0, kUint32Max}, {L"remove", OptionKind::Flag, false, 0, 0}},
         RunTray},
        {L"registered", L"registered --name NAME", {{L"name", OptionKind::Text, true, 0, 0}}, RunRegistered},
        {L"shot",
         L"shot --out PATH.png [--class C [--title T]]",
         {kOptionalClass, kTitle, {L"out", OptionKind::Text, true, 0, 0}},
         RunShot},
    };
    return commands;
}

int PrintUsage() {
    std::wstring text = L"usage: kdrive <command> [options]; numbers are decimal or 0x hex";
    for (const Command& command : Commands()) {
        text += L"\n  kdrive ";
        text += command.usage;
    }
    UsageError(text);
    return kExitUsage;
}

std::wstring OwnPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

int RunAsStandInAgent(const std::wstring& ownPath) {
    PeerOptions options;
    options.className = platform::WideCStr(common::kAgentClass);
    options.title = platform::WideCStr(common::kAgentTitle);
    options.logPath = ownPath.substr(0, ownPath.find_last_of(L"\\/") + 1) + L"standin-agent.log";
    if (!AppendLine(options.logPath, L"started")) {
        return FailWithLastError(L"cannot write '" + options.logPath + L"'");
    }
    return RunPeer(options);
}

int RunAsStandInUpdater(const std::wstring& ownPath) {
    const std::wstring logPath = ownPath.substr(0, ownPath.find_last_of(L"\\/") + 1) + L"standin-updater.log";
    return AppendLine(logPath, L"started") ? kExitOk : FailWithLastError(L"cannot write '" + logPath + L"'");
}

int Main(int argc, wchar_t** argv) {
    InitOutput();
    const std::wstring ownPath = OwnPath();
    const std::wstring ownName = ownPath.substr(ownPath.find_last_of(L"\\/") + 1);
    if (argc == 1 && lstrcmpiW(ownName.c_str(), platform::WideCStr(common::kAgentProgram)) == 0) {
        return RunAsStandInAgent(ownPath);
    }
    if (argc == 1 && lstrcmpiW(ownName.c_str(), platform::WideCStr(common::kUpdaterProgram)) == 0) {
        return RunAsStandInUpdater(ownPath);
    }
    if (argc < 2) {
        return PrintUsage();
    }
    const std::wstring name = argv[1];
    for (const Command& command : Commands()) {
        if (name != command.name) {
            continue;
        }
        Args args;
        std::wstring error;
        if (!args.Parse(std::vector<std::wstring>(argv + 2, argv + argc), command.syntax, &error)) {
            return UsageError(error + L"\nusage: kdrive " + command.usage);
        }
        return command.run(args);
    }
    UsageError(L"unknown command '" + name + L"'");
    return PrintUsage();
}

}  // namespace
}  // namespace kdrive

int wmain(int argc, wchar_t** argv) {
    return kdrive::Main(argc, argv);
}
