// The scripts of one page in Duktape, with the small DOM they see: document.getElementById, .title, .forms,
// .getElementsByTagName and .write; elements' innerHTML, textContent, value, id, tagName, style.display,
// onclick (attribute or function), getAttribute/setAttribute, click() and a form's submit(); window.external
// with the store's four members, alert and confirm, location.href, setTimeout/setInterval and their clears.
//
// A script error or a script stopped by its time budget ends only that script: the page stays as far as it got.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/page/DomNode.h"
#include "common/page/PageSession.h"
#include "common/page/ScriptEngine.h"

namespace common {

// What the scripts change beyond the tree, handled by the session.
class IPageScriptSite {
public:
    virtual ~IPageScriptSite() = default;
    // The tree or a field changed: the page needs a new layout and new focusables.
    virtual void DomChanged() = 0;
    // location.href = `href` (as written; the session resolves and vets it).
    virtual void NavigateTo(std::u16string_view href) = 0;
    // form.submit() or a click on a submit button.
    virtual void SubmitForm(DomNode& form) = 0;
    virtual std::u16string Url() const = 0;
    virtual std::u16string Title() const = 0;
    virtual void SetTitle(std::u16string_view title) = 0;
};

class PageScript {
public:
    // All references must outlive the script.
    PageScript(DomDocument& document, IPageHost& host, IPageScriptSite& site, IScriptClock& clock);
    PageScript(const PageScript&) = delete;
    PageScript& operator=(const PageScript&) = delete;

    // Runs one <script>'s text; document.write output goes in after `scriptElement`.
    bool RunScript(std::u16string_view source, DomNode* scriptElement = nullptr);
    // Runs the node's click handler (a function set from script, else its onclick attribute). False when the
    // handler returned false, which cancels what the click would do next; true otherwise, errors included.
    bool Click(DomNode& node);

    std::optional<uint32_t> NextTimerMs() const;
    void RunTimers(uint32_t elapsedMs);

    // For tests and diagnostics.
    const ScriptEngine& Engine() const { return m_engine; }

    // Used by the native functions the scripts call (public for them only).
    DomDocument& Document() { return m_document; }
    IPageHost& Host() { return m_host; }
    IPageScriptSite& Site() { return m_site; }
    ScriptEngine& MutableEngine() { return m_engine; }
    DomNode* WriteAnchor() { return m_writeAnchor; }
    uint32_t AddTimer(uint32_t delayMs, bool isRepeating);  // the callback is on the stack top; 0 when refused
    void ClearTimer(uint32_t id);

private:
    struct Timer {
        uint32_t id = 0;
        uint64_t dueMs = 0;
        uint32_t intervalMs = 0;  // 0 for setTimeout
    };
    void InstallGlobals();

    DomDocument& m_document;
    IPageHost& m_host;
    IPageScriptSite& m_site;
    ScriptEngine m_engine;
    DomNode* m_writeAnchor = nullptr;
    std::vector<Timer> m_timers;
    uint64_t m_nowMs = 0;
    uint32_t m_nextTimerId = 1;
};

// The element's script object (made once per node and kept), pushed on the stack; null for nullptr.
void PushElement(duk_context* context, DomNode* node);

}  // namespace common
