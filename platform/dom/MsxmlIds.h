// MSXML class and interface ids under our own names: MinGW's libuuid lacks some of them, and msxml2.h
// redefines CLSID_DOMDocument, so the system names cannot be trusted to mean what they say.
#pragma once

#include <windows.h>

namespace platform {

// The version-independent DOMDocument class, served by MSXML 3 on every Windows the suite runs on.
extern const CLSID kClsidDomDocument;
extern const IID kIidXmlDomDocument;
extern const IID kIidXmlDomDocument2;

}  // namespace platform
