// DOM loading with the parser locked down, the walk from DOM nodes to items, and saving.
#include "platform/dom/CEXml.h"

#include <cwchar>
#include <memory>

#include "platform/dom/Bstr.h"
#include "platform/dom/HResult.h"
#include "platform/dom/MsxmlIds.h"
#include "platform/dom/UniqueVariant.h"
#include "platform/dom/XmlItem.h"

using platform::Bstr;
using platform::ComPtr;
using platform::UniqueVariant;

namespace {

// MSXML 6's code for a refused DTD; MSXML 3 reports a DTD it was told to prohibit with its own code, and
// Wine's MSXML ignores the setting, so the wrapper checks for a DTD itself and reports this one.
constexpr HRESULT kDtdProhibited = static_cast<HRESULT>(0xC00CE584);

std::wstring FormatParseError(long code, long line, long position, const std::wstring& reason,
                              const std::wstring& path) {
    // Reasons from MSXML end in CR LF and may be long; size the buffer from the parts.
    std::wstring text(96 + reason.size() + path.size(), L'\0');
    int written = std::swprintf(text.data(), text.size(), L"Error 0x%.8X on line %d, position %d\r\nReason: %ls %ls",
                                static_cast<unsigned>(code), static_cast<int>(line), static_cast<int>(position),
                                reason.c_str(), path.c_str());
    text.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return text;
}

std::wstring FormatFailure(const wchar_t* step, HRESULT hr, const std::wstring& path) {
    wchar_t code[16] = {};
    std::swprintf(code, 16, L"0x%.8X", static_cast<unsigned>(hr));
    return std::wstring(step) + L" failed (" + code + L"): " + path;
}

}  // namespace

CCEXML::~CCEXML() = default;

HRESULT CCEXML::CreateLockedDownDocument(ComPtr<IXMLDOMDocument>& document) {
    RETURN_IF_FAILED(::CoCreateInstance(platform::kClsidDomDocument, nullptr, CLSCTX_ALL, platform::kIidXmlDomDocument,
                                        document.putVoid()));
    RETURN_IF_FAILED(document->put_async(VARIANT_FALSE));

    // Every switch must take: a parser that cannot be locked down does not get to read a profile.
    ComPtr<IXMLDOMDocument2> document2;
    RETURN_IF_FAILED(document.QueryTo(platform::kIidXmlDomDocument2, document2));
    Bstr prohibitDtd(L"ProhibitDTD");
    UniqueVariant on(true);
    RETURN_IF_FAILED(document2->setProperty(prohibitDtd.get(), on.get()));
    RETURN_IF_FAILED(document->put_resolveExternals(VARIANT_FALSE));
    RETURN_IF_FAILED(document->put_validateOnParse(VARIANT_FALSE));
    return S_OK;
}

bool CCEXML::Load(const std::wstring& path) {
    m_document.reset();
    m_lastError.clear();

    ComPtr<IXMLDOMDocument> document;
    HRESULT hr = m_comInit.IsUsable() ? CreateLockedDownDocument(document) : m_comInit.result();
    if (FAILED(hr)) {
        m_lastError = FormatFailure(L"Creating the DOM document", hr, path);
        return false;
    }

    UniqueVariant source(path);
    VARIANT_BOOL isParsed = VARIANT_FALSE;
    hr = document->load(source.get(), &isParsed);
    if (FAILED(hr)) {
        m_lastError = FormatFailure(L"Loading", hr, path);
        return false;
    }
    m_document = std::move(document);
    if (isParsed != VARIANT_TRUE) {
        RecordParseError(path);
        m_document.reset();
        return false;
    }

    // Wine's MSXML accepts ProhibitDTD but parses DTDs all the same (it resolves nothing external); refusing
    // the document here keeps the result the same on every MSXML.
    ComPtr<IXMLDOMDocumentType> doctype;
    if (SUCCEEDED(m_document->get_doctype(doctype.put())) && doctype) {
        m_lastError = FormatParseError(kDtdProhibited, 0, 0, L"DTD is prohibited.", path);
        m_document.reset();
        return false;
    }
    return true;
}

void CCEXML::RecordParseError(const std::wstring& path) {
    ComPtr<IXMLDOMParseError> parseError;
    long code = 0;
    long line = 0;
    long position = 0;
    Bstr reason;
    if (SUCCEEDED(m_document->get_parseError(parseError.put())) && parseError) {
        parseError->get_errorCode(&code);
        parseError->get_line(&line);
        parseError->get_linepos(&position);
        parseError->get_reason(reason.put());
    }
    m_lastError = FormatParseError(code, line, position, reason.str(), path);
}

bool CCEXML::ToItemTree(CXmlItem& root) {
    if (!m_document) {
        return false;
    }
    ComPtr<IXMLDOMElement> documentElement;
    if (FAILED(m_document->get_documentElement(documentElement.put())) || !documentElement) {
        return false;
    }
    if (FAILED(FillItem(root, documentElement.get()))) {
        // One box for the whole walk: the failure is reported once, however deep it happened.
        ShowMessage(L"Error get_nodeName", L"Error Loading XML", MB_ICONERROR);
        return false;
    }
    return true;
}

// How it works: child nodes are taken by index in document order. Element nodes become child items filled
// the same way; text, CDATA and comment nodes replace the item's value, so the last one wins. Everything else
// (processing instructions, and entity references should a DTD ever get through) carries nothing into the
// tree: an item is always an element.
HRESULT CCEXML::FillItem(CXmlItem& item, IXMLDOMNode* node) {
    ComPtr<IXMLDOMNodeList> children;
    RETURN_IF_FAILED(node->get_childNodes(children.put()));
    if (!children) {
        return E_POINTER;
    }
    long count = 0;
    RETURN_IF_FAILED(children->get_length(&count));
    for (long index = 0; index < count; ++index) {
        ComPtr<IXMLDOMNode> child;
        RETURN_IF_FAILED(children->get_item(index, child.put()));
        if (!child) {
            return E_POINTER;
        }
        DOMNodeType type = NODE_INVALID;
        RETURN_IF_FAILED(child->get_nodeType(&type));
        if (type == NODE_TEXT || type == NODE_CDATA_SECTION || type == NODE_COMMENT) {
            UniqueVariant value;
            RETURN_IF_FAILED(child->get_nodeValue(value.put()));
            if (value.get().vt == VT_BSTR) {
                BSTR text = value.get().bstrVal;
                item.SetValue(text ? std::wstring(text, ::SysStringLen(text)) : std::wstring());
            }
            continue;
        }
        if (type != NODE_ELEMENT) {
            continue;
        }
        Bstr name;
        RETURN_IF_FAILED(child->get_nodeName(name.put()));
        CXmlItem* childItem = item.AddChild(std::make_unique<CXmlItem>(&item));
        childItem->SetName(name.str());
        RETURN_IF_FAILED(FillItem(*childItem, child.get()));
    }
    return S_OK;
}

bool CCEXML::Save(const std::wstring& path) {
    m_lastError.clear();
    HRESULT hr = E_UNEXPECTED;
    if (m_document) {
        UniqueVariant target(path);
        hr = m_document->save(target.get());
    }
    if (FAILED(hr)) {
        m_lastError = FormatFailure(L"Saving", hr, path);
        ShowMessage(L"Cannot save XML file", L"Error Saving XML", MB_ICONERROR);
        return false;
    }
    return true;
}

void CCEXML::ShowMessage(const wchar_t* text, const wchar_t* caption, UINT style) const {
    if (m_boxes != nullptr) {
        m_boxes->Show(m_owner, text, caption, style);
    }
}
