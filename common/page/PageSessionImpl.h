// The session behind PageSession::Load: the document, its scripts, its focusables and its last layout.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/page/DomNode.h"
#include "common/page/PageScript.h"
#include "common/page/PageSession.h"

namespace common {

class PageSessionImpl final : public PageSession, public IPageScriptSite {
public:
    // `text` is the page already decoded. Runs the page's scripts, then its onload handler.
    PageSessionImpl(std::u16string_view url, std::u16string_view text, IPageHost& host, IScriptClock& clock);

    std::u16string Title() const override;
    const PageLayout& Layout(int width, ITextMeasure& measure) override;
    bool NeedsLayout() const override { return m_needsLayout; }
    size_t FocusableCount() const override;
    void Activate(size_t index) override;
    std::u16string FieldValue(size_t index) const override;
    void SetFieldValue(size_t index, std::u16string_view value) override;
    bool IsTextField(size_t index) const override;
    std::optional<uint32_t> NextTimerMs() const override;
    void RunTimers(uint32_t elapsedMs) override;
    std::optional<PageNavigation> TakeNavigation() override;

private:
    // IPageScriptSite
    void DomChanged() override;
    void NavigateTo(std::u16string_view href) override;
    void SubmitForm(DomNode& form) override;
    std::u16string Url() const override { return m_url; }
    void SetTitle(std::u16string_view title) override;

    void RunPageScripts();
    void EnsureFocusables() const;
    DomNode* FocusableAt(size_t index) const;

    std::u16string m_url;
    DomDocument m_document;
    std::unique_ptr<PageScript> m_script;
    std::optional<std::u16string> m_title;  // set by a script
    std::optional<PageNavigation> m_navigation;
    PageLayout m_layout;
    bool m_needsLayout = true;
    mutable bool m_isFocusDirty = true;
    mutable std::vector<DomNode*> m_focusables;
    mutable std::vector<int> m_focusIndex;  // by node id
};

}  // namespace common
