// Reads an XML file through the system's MSXML DOM parser and turns it into a plain CXmlItem tree.
#pragma once

#include <windows.h>

#include <msxml2.h>

#include <string>

#include "platform/dom/ComInit.h"
#include "platform/dom/ComPtr.h"
#include "platform/framework/IMessageBoxes.h"

class CXmlItem;

// One wrapper per document and per operation, used on the thread that made it (it initialises COM there).
// Not copyable; nothing is shared between two wrappers.
//
// Parsing is locked down before anything is read: DTDs are prohibited, external entities and DTDs are never
// resolved and nothing is validated, so a profile fetched from the network cannot make the parser fetch
// anything else or expand entities. A document that carries a DTD anyway is refused.
class CCEXML {
public:
    // Shows nothing: the caller reads the results and LastError() and reports what it must.
    CCEXML() = default;
    // The wrapper's own boxes (below) go to `boxes`, owned by `owner`; `boxes` must outlive the wrapper.
    explicit CCEXML(platform::IMessageBoxes& boxes, HWND owner = nullptr) : m_boxes(&boxes), m_owner(owner) {}
    ~CCEXML();
    CCEXML(const CCEXML&) = delete;
    CCEXML& operator=(const CCEXML&) = delete;

    // Parses the file at `path` (a file path or URL as MSXML takes it), replacing any document held before.
    // False when the parser cannot be created or locked down, or the file is missing or not well-formed; shows
    // nothing. LastError() then says why.
    bool Load(const std::wstring& path);

    // Fills `root` (normally empty; it stands for the document element, whose name is not stored) with one
    // item per element below the document element. An element's value is the last text, CDATA or comment
    // node directly inside it. False without a message when there is no document element; false after one
    // "Error get_nodeName" box when the DOM cannot be walked (items made before that stay in the tree).
    bool ToItemTree(CXmlItem& root);

    // Writes the document as loaded (changes to an item tree are not part of it). False after a
    // "Cannot save XML file" box when it cannot be written or nothing was loaded.
    bool Save(const std::wstring& path);

    // Why the last Load or Save failed, empty after a success. For a parse error:
    // "Error 0x%.8X on line %d, position %d\r\nReason: %s %s" (code, line, position, reason, path).
    const std::wstring& LastError() const { return m_lastError; }

private:
    HRESULT CreateLockedDownDocument(platform::ComPtr<IXMLDOMDocument>& document);
    void RecordParseError(const std::wstring& path);
    HRESULT FillItem(CXmlItem& item, IXMLDOMNode* node);
    void ShowMessage(const wchar_t* text, const wchar_t* caption, UINT style) const;

    // Declared first so it is destroyed last: the document must be released before COM is uninitialised.
    platform::ComInit m_comInit;
    platform::ComPtr<IXMLDOMDocument> m_document;
    platform::IMessageBoxes* m_boxes = nullptr;
    HWND m_owner = nullptr;
    std::wstring m_lastError;
};
