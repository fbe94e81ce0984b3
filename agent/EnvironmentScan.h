// The agent's read of TolvEnv.xml: auto-start and auto-close programs, package hotkeys, interrupted updates.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/agent/HotKeyBinding.h"
#include "platform/framework/IMessageBoxes.h"

// Shows one box; returns what MessageBoxW would.

// A listed package as the update request from the settings program needs it.
struct ListedPackage {
    int32_t pkgId = 0;
    std::u16string path;  // PATH as stored
};

struct EnvironmentScan {
    std::vector<std::u16string> captions;   // every listed package's CAPTION, in file order
    std::vector<ListedPackage> packages;    // every listed package, in file order
    std::vector<std::u16string> autoStart;  // in file order, duplicates kept
    std::vector<std::u16string> autoClose;
    std::vector<common::HotKeyBinding> hotKeys;  // each unregistered, and registered when it has a key
    std::vector<int32_t> interruptedUpdates;     // PKGIDs whose UPDATEFLAG reads 2
};

// How it works: the file is read through the DOM wrapper. "PAGEENV" and its "PageNum" are found by name; the
// pages are PAGEENV's children from the third on, as many as PageNum says, and a page's packages its children
// from the second on, as many as its "PackageCount" says. A missing page or package ends its loop early. Per
// package: a missing STARTOPEN skips the package; a nonzero one appends PATH to the auto-start list, and without
// a PATH skips the rest of the package. STARTCLOSE likewise. Then PKGID, SHORTCUT and the four modifiers give a
// hotkey, and UPDATEFLAG 2 lists the PKGID. Auto-start and auto-close paths of the form "X:..." are moved to
// `drive`, the drive the suite runs from now (the stick may have had another letter when they were stored).
//
// nullopt when the file cannot be loaded or lacks PAGEENV or PageNum. Calling thread: any thread that may use
// COM; the wrapper initialises it there. The wrapper's own boxes go to `boxes`, owned by `owner`.
std::optional<EnvironmentScan> ScanEnvironmentFile(const std::wstring& path, char16_t drive,
                                                   platform::IMessageBoxes& boxes, HWND owner);
// The PKGID of the first listed store package installed in `folder` (compared ignoring case), from its PATH on
// `drive`; nullopt when none is, or its PKGID is not a store package's (not positive).
std::optional<int32_t> ListedPackageInFolder(const std::vector<ListedPackage>& packages, char16_t drive,
                                             std::u16string_view folder);
// The same without a word to the user: for callers to whom the file's problems are not theirs to show.
std::optional<EnvironmentScan> ScanEnvironmentFile(const std::wstring& path, char16_t drive);
