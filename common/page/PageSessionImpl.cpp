// One loaded page.
#include "common/page/PageSessionImpl.h"

#include "common/page/HtmlParser.h"
#include "common/page/PageCharset.h"
#include "common/page/PageLayoutBuilder.h"
#include "common/page/PageUrl.h"
#include "common/store/QueryEncoding.h"
#include "common/text/Utf.h"

namespace common {

namespace {

bool IsSpace(char16_t unit) {
    return unit == u' ' || unit == u'\t' || unit == u'\r' || unit == u'\n' || unit == u'\f';
}

std::u16string Collapse(std::u16string_view text) {
    std::u16string out;
    bool isSpace = false;
    for (char16_t unit : text) {
        if (IsSpace(unit)) {
            isSpace = !out.empty();
            continue;
        }
        if (isSpace) {
            out.push_back(u' ');
            isSpace = false;
        }
        out.push_back(unit);
    }
    return out;
}

std::u16string AttributeOr(const DomNode& node, std::u16string_view name, std::u16string_view fallback) {
    const std::u16string* value = node.Attribute(name);
    return value != nullptr ? *value : std::u16string(fallback);
}

std::u16string InputType(const DomNode& node) {
    return LowerAscii(AttributeOr(node, u"type", u"text"));
}

bool IsTextInput(const DomNode& node) {
    if (node.Is(u"textarea")) {
        return true;
    }
    if (!node.Is(u"input")) {
        return false;
    }
    std::u16string type = InputType(node);
    return type == u"text" || type == u"password" || type == u"search" || type == u"email" || type == u"tel" ||
           type == u"number" || type == u"url";
}

bool IsButton(const DomNode& node) {
    if (node.Is(u"button")) {
        return true;
    }
    std::u16string type = node.Is(u"input") ? InputType(node) : u"";
    return type == u"button" || type == u"submit" || type == u"reset";
}

bool IsSubmit(const DomNode& node) {
    if (node.Is(u"button")) {
        return LowerAscii(AttributeOr(node, u"type", u"submit")) == u"submit";
    }
    return node.Is(u"input") && InputType(node) == u"submit";
}

// "javascript:code" → the code; nullopt for any other address.
std::optional<std::u16string_view> ScriptAddress(std::u16string_view href) {
    while (!href.empty() && IsSpace(href.front())) {
        href.remove_prefix(1);
    }
    if (href.size() >= 11 && LowerAscii(href.substr(0, 11)) == u"javascript:") {
        return href.substr(11);
    }
    return std::nullopt;
}

void CollectFocusables(DomNode& node, std::vector<DomNode*>& out) {
    for (DomNode* child : node.children) {
        if (child->type != DomNode::Type::Element || IsUndrawn(*child)) {
            continue;
        }
        if ((child->Is(u"a") && child->Attribute(u"href") != nullptr) || IsTextInput(*child) || IsButton(*child)) {
            out.push_back(child);
        }
        if (!child->Is(u"button") && !child->Is(u"textarea")) {
            CollectFocusables(*child, out);
        }
    }
}

void CollectFields(const DomNode& node, std::u16string& query) {
    for (const DomNode* child : node.children) {
        if (child->type != DomNode::Type::Element) {
            continue;
        }
        const std::u16string* name = child->Attribute(u"name");
        const bool isField = (child->Is(u"input") && (IsTextInput(*child) || InputType(*child) == u"hidden")) ||
                             child->Is(u"textarea");
        if (isField && name != nullptr && !name->empty()) {
            if (!query.empty()) {
                query += u'&';
            }
            query += PercentEncode(Utf16ToUtf8(*name)) + u"=" + PercentEncode(Utf16ToUtf8(child->value));
        }
        CollectFields(*child, query);
    }
}

}  // namespace

PageSessionImpl::PageSessionImpl(std::u16string_view url, std::u16string_view text, IPageHost& host,
                                 IScriptClock& clock)
    : m_url(url) {
    ParseHtml(text, m_document, m_document.Root());
    m_script = std::make_unique<PageScript>(m_document, host, *this, clock);
    RunPageScripts();
}

void PageSessionImpl::RunPageScripts() {
    std::vector<DomNode*> scripts;
    std::vector<DomNode*> stack{&m_document.Root()};
    // Document order; scripts that document.write adds are not run (as with innerHTML).
    while (!stack.empty()) {
        DomNode* node = stack.back();
        stack.pop_back();
        if (node->Is(u"script")) {
            scripts.push_back(node);
        }
        for (auto child = node->children.rbegin(); child != node->children.rend(); ++child) {
            stack.push_back(*child);
        }
    }
    for (DomNode* script : scripts) {
        if (script->Attribute(u"src") == nullptr) {
            m_script->RunScript(DomDocument::TextContent(*script), script);
        }
    }
    const DomNode* body = m_document.FirstElement(u"body");
    if (const std::u16string* onload = body != nullptr ? body->Attribute(u"onload") : nullptr) {
        m_script->RunScript(*onload);
    }
    m_script->RunScript(u"if (typeof window.onload === 'function') { window.onload(); }");
}

std::u16string PageSessionImpl::Title() const {
    if (m_title) {
        return *m_title;
    }
    const DomNode* title = m_document.FirstElement(u"title");
    return title != nullptr ? Collapse(DomDocument::TextContent(*title)) : std::u16string();
}

void PageSessionImpl::SetTitle(std::u16string_view title) {
    m_title = std::u16string(title);
    m_needsLayout = true;
}

const PageLayout& PageSessionImpl::Layout(int width, ITextMeasure& measure) {
    EnsureFocusables();
    m_layout = BuildPageLayout(m_document, m_focusIndex, width, measure);
    m_needsLayout = false;
    return m_layout;
}

void PageSessionImpl::EnsureFocusables() const {
    if (!m_isFocusDirty) {
        return;
    }
    m_focusables.clear();
    CollectFocusables(const_cast<DomNode&>(m_document.Root()), m_focusables);
    m_focusIndex.assign(DomDocument::kMaxNodes, -1);
    for (size_t i = 0; i < m_focusables.size(); ++i) {
        m_focusIndex[m_focusables[i]->id] = static_cast<int>(i);
    }
    m_isFocusDirty = false;
}

DomNode* PageSessionImpl::FocusableAt(size_t index) const {
    EnsureFocusables();
    return index < m_focusables.size() ? m_focusables[index] : nullptr;
}

size_t PageSessionImpl::FocusableCount() const {
    EnsureFocusables();
    return m_focusables.size();
}

void PageSessionImpl::Activate(size_t index) {
    DomNode* node = FocusableAt(index);
    if (node == nullptr || IsTextInput(*node)) {
        return;
    }
    // The node outlives any change its handler makes to the tree, so it is safe to look at afterwards.
    if (!m_script->Click(*node)) {
        return;  // the handler cancelled the click
    }
    if (node->Is(u"a")) {
        NavigateTo(AttributeOr(*node, u"href", u""));
        return;
    }
    if (IsSubmit(*node)) {
        for (DomNode* form = node->parent; form != nullptr; form = form->parent) {
            if (form->Is(u"form")) {
                SubmitForm(*form);
                return;
            }
        }
    }
}

std::u16string PageSessionImpl::FieldValue(size_t index) const {
    DomNode* node = FocusableAt(index);
    return node != nullptr && IsTextInput(*node) ? node->value : std::u16string();
}

void PageSessionImpl::SetFieldValue(size_t index, std::u16string_view value) {
    DomNode* node = FocusableAt(index);
    if (node != nullptr && IsTextInput(*node)) {
        node->value = value;
        m_needsLayout = true;
    }
}

bool PageSessionImpl::IsTextField(size_t index) const {
    DomNode* node = FocusableAt(index);
    return node != nullptr && IsTextInput(*node);
}

std::optional<uint32_t> PageSessionImpl::NextTimerMs() const {
    return m_script->NextTimerMs();
}

void PageSessionImpl::RunTimers(uint32_t elapsedMs) {
    m_script->RunTimers(elapsedMs);
}

std::optional<PageNavigation> PageSessionImpl::TakeNavigation() {
    std::optional<PageNavigation> navigation = std::move(m_navigation);
    m_navigation.reset();
    return navigation;
}

void PageSessionImpl::DomChanged() {
    m_needsLayout = true;
    m_isFocusDirty = true;
}

void PageSessionImpl::NavigateTo(std::u16string_view href) {
    if (std::optional<std::u16string_view> code = ScriptAddress(href)) {
        m_script->RunScript(*code);
        return;
    }
    if (std::optional<std::u16string> url = ResolvePageUrl(m_url, href)) {
        m_navigation = PageNavigation{std::move(*url)};
    }
}

void PageSessionImpl::SubmitForm(DomNode& form) {
    if (LowerAscii(AttributeOr(form, u"method", u"get")) != u"get") {
        return;  // the view has no way to post a body: such forms are not sent at all
    }
    std::u16string query;
    CollectFields(form, query);
    std::u16string action = AttributeOr(form, u"action", u"");
    std::u16string_view base(action);
    base = base.substr(0, std::min(base.find(u'?'), base.find(u'#')));
    if (base.empty()) {
        std::u16string_view page(m_url);
        std::u16string path(page.substr(0, std::min(page.find(u'?'), page.find(u'#'))));
        NavigateTo(path + u"?" + query);
    } else {
        NavigateTo(std::u16string(base) + u"?" + query);
    }
}

std::unique_ptr<PageSession> PageSession::Load(std::u16string_view url, std::string_view bytes,
                                               std::string_view contentType, ICharsetDecoder& decoder,
                                               IPageHost& host, IScriptClock& clock) {
    std::optional<std::u16string> text = decoder.Decode(bytes, FindPageCharset(contentType, bytes));
    if (!text) {
        text = Utf8ToUtf16(bytes);  // a charset the decoder does not know is read as UTF-8
    }
    return std::make_unique<PageSessionImpl>(url, *text, host, clock);
}

std::unique_ptr<PageSession> PageSession::Load(std::u16string_view url, std::string_view bytes,
                                               std::string_view contentType, ICharsetDecoder& decoder,
                                               IPageHost& host) {
    return Load(url, bytes, contentType, decoder, host, SteadyScriptClock());
}

}  // namespace common
