// The page's scripts and the DOM they see.
#include "common/page/PageScript.h"

#include <algorithm>

#include "common/page/HtmlParser.h"

namespace common {

namespace {

constexpr size_t kMaxTimers = 256;
constexpr uint32_t kMinIntervalMs = 10;  // a setInterval of 0 would otherwise keep the window busy
constexpr duk_idx_t kMaxExternalArguments = 16;

// window.external's members, in the order of their magic numbers.
constexpr const char16_t* kExternalMembers[] = {u"CB_IsOurCustomBrowser", u"CB_UpdatePackage", u"CB_InstallPackage",
                                                u"CB_Close"};

constexpr const char* kNodeKey = DUK_HIDDEN_SYMBOL("node");

// A page's name for a form or field that may become a property of a script object: not one whose assignment
// throws (an array's length, an index, the prototype).
bool IsPlainPropertyName(const std::u16string* name) {
    return name != nullptr && !name->empty() && *name != u"length" && *name != u"__proto__" &&
           !((*name)[0] >= u'0' && (*name)[0] <= u'9');
}

PageScript& Self(duk_context* context) {
    duk_push_global_stash(context);
    duk_get_prop_string(context, -1, "script");
    auto* self = static_cast<PageScript*>(duk_get_pointer(context, -1));
    duk_pop_2(context);
    return *self;
}

// The node behind an element or style object at `index`; nullptr for anything else.
DomNode* NodeAt(duk_context* context, duk_idx_t index) {
    if (!duk_is_object(context, index)) {
        return nullptr;
    }
    duk_get_prop_string(context, index, kNodeKey);
    duk_uint_t id = duk_is_number(context, -1) ? duk_get_uint(context, -1) : 0;
    duk_pop(context);
    return id == 0 ? nullptr : Self(context).Document().Node(id - 1);
}

DomNode* ThisNode(duk_context* context) {
    duk_push_this(context);
    DomNode* node = NodeAt(context, -1);
    duk_pop(context);
    return node;
}

std::u16string Argument(duk_context* context, duk_idx_t index) {
    return ScriptEngine::ToString(context, index);
}

void DefineAccessor(duk_context* context, duk_idx_t object, const char* name, duk_c_function getter,
                    duk_c_function setter) {
    duk_push_string(context, name);
    duk_push_c_function(context, getter, 0);
    duk_uint_t flags = DUK_DEFPROP_HAVE_GETTER | DUK_DEFPROP_SET_CONFIGURABLE;
    if (setter != nullptr) {
        duk_push_c_function(context, setter, 1);
        flags |= DUK_DEFPROP_HAVE_SETTER;
    }
    duk_def_prop(context, object, flags);
}

void DefineMethod(duk_context* context, duk_idx_t object, const char* name, duk_c_function function,
                  duk_idx_t argCount) {
    duk_push_c_function(context, function, argCount);
    duk_put_prop_string(context, object, name);
}

void Changed(duk_context* context) {
    Self(context).Site().DomChanged();
}

// --- elements

duk_ret_t GetInnerHtml(duk_context* context) {
    DomNode* node = ThisNode(context);
    if (node == nullptr) {
        return 0;
    }
    ScriptEngine::PushString(context, WriteHtml(*node));
    return 1;
}

duk_ret_t SetInnerHtml(duk_context* context) {
    DomNode* node = ThisNode(context);
    if (node != nullptr) {
        DomDocument::ClearChildren(*node);
        ParseHtml(Argument(context, 0), Self(context).Document(), *node);
        Changed(context);
    }
    return 0;
}

duk_ret_t GetTextContent(duk_context* context) {
    DomNode* node = ThisNode(context);
    if (node == nullptr) {
        return 0;
    }
    ScriptEngine::PushString(context, DomDocument::TextContent(*node));
    return 1;
}

duk_ret_t SetTextContent(duk_context* context) {
    DomNode* node = ThisNode(context);
    if (node != nullptr) {
        DomDocument::ClearChildren(*node);
        if (DomNode* text = Self(context).Document().NewNode(DomNode::Type::Text)) {
            text->text = Argument(context, 0);
            DomDocument::Append(*node, *text);
        }
        Changed(context);
    }
    return 0;
}

duk_ret_t GetValue(duk_context* context) {
    DomNode* node = ThisNode(context);
    if (node == nullptr) {
        return 0;
    }
    ScriptEngine::PushString(context, node->value);
    return 1;
}

duk_ret_t SetValue(duk_context* context) {
    if (DomNode* node = ThisNode(context)) {
        node->value = Argument(context, 0);
        Changed(context);
    }
    return 0;
}

duk_ret_t PushAttribute(duk_context* context, const DomNode* node, std::u16string_view name) {
    const std::u16string* value = node != nullptr ? node->Attribute(name) : nullptr;
    if (value == nullptr) {
        duk_push_null(context);
    } else {
        ScriptEngine::PushString(context, *value);
    }
    return 1;
}

duk_ret_t GetId(duk_context* context) {
    const DomNode* node = ThisNode(context);
    ScriptEngine::PushString(context, node != nullptr && node->Attribute(u"id") ? *node->Attribute(u"id") : u"");
    return 1;
}

duk_ret_t GetName(duk_context* context) {
    const DomNode* node = ThisNode(context);
    ScriptEngine::PushString(context, node != nullptr && node->Attribute(u"name") ? *node->Attribute(u"name") : u"");
    return 1;
}

duk_ret_t GetTagName(duk_context* context) {
    const DomNode* node = ThisNode(context);
    std::u16string tag = node != nullptr ? node->tag : u"";
    for (char16_t& unit : tag) {
        if (unit >= u'a' && unit <= u'z') {
            unit = static_cast<char16_t>(unit - 32);
        }
    }
    ScriptEngine::PushString(context, tag);
    return 1;
}

duk_ret_t GetAttribute(duk_context* context) {
    return PushAttribute(context, ThisNode(context), LowerAscii(Argument(context, 0)));
}

duk_ret_t SetAttribute(duk_context* context) {
    if (DomNode* node = ThisNode(context)) {
        std::u16string name = LowerAscii(Argument(context, 0));
        std::u16string value = Argument(context, 1);
        node->SetAttribute(name, value);
        if (name == u"value") {
            node->value = value;
        }
        Changed(context);
    }
    return 0;
}

duk_ret_t ClickElement(duk_context* context) {
    if (DomNode* node = ThisNode(context)) {
        Self(context).Click(*node);
    }
    return 0;
}

duk_ret_t SubmitElement(duk_context* context) {
    DomNode* node = ThisNode(context);
    if (node != nullptr && node->Is(u"form")) {
        Self(context).Site().SubmitForm(*node);
    }
    return 0;
}

duk_ret_t Nothing(duk_context*) {
    return 0;
}

duk_ret_t GetStyle(duk_context* context) {
    DomNode* node = ThisNode(context);
    if (node == nullptr) {
        return 0;
    }
    duk_push_this(context);
    duk_get_prop_string(context, -1, DUK_HIDDEN_SYMBOL("style"));
    if (duk_is_object(context, -1)) {
        return 1;
    }
    duk_pop(context);
    duk_push_object(context);
    duk_push_global_stash(context);
    duk_get_prop_string(context, -1, "styleProto");
    duk_set_prototype(context, -3);
    duk_pop(context);
    duk_push_uint(context, node->id + 1);
    duk_put_prop_string(context, -2, kNodeKey);
    duk_dup(context, -1);
    duk_put_prop_string(context, -3, DUK_HIDDEN_SYMBOL("style"));
    return 1;
}

duk_ret_t GetDisplay(duk_context* context) {
    const DomNode* node = ThisNode(context);
    duk_push_string(context, node != nullptr && node->isHidden ? "none" : "");
    return 1;
}

duk_ret_t SetDisplay(duk_context* context) {
    if (DomNode* node = ThisNode(context)) {
        bool isHidden = Argument(context, 0) == u"none";
        if (isHidden != node->isHidden) {
            node->isHidden = isHidden;
            Changed(context);
        }
    }
    return 0;
}

// --- document

void CollectByTag(DomNode& node, std::u16string_view tag, std::vector<DomNode*>& out) {
    for (DomNode* child : node.children) {
        if (child->type == DomNode::Type::Element) {
            if (tag == u"*" || child->tag == tag) {
                out.push_back(child);
            }
            CollectByTag(*child, tag, out);
        }
    }
}

void PushElementList(duk_context* context, const std::vector<DomNode*>& nodes) {
    duk_idx_t array = duk_push_array(context);
    for (size_t i = 0; i < nodes.size(); ++i) {
        PushElement(context, nodes[i]);
        if (const std::u16string* name = nodes[i]->Attribute(u"name"); IsPlainPropertyName(name)) {
            duk_dup(context, -1);
            ScriptEngine::PushString(context, *name);
            duk_swap_top(context, -2);
            duk_put_prop(context, array);  // document.forms.loginForm as well as document.forms[0]
        }
        duk_put_prop_index(context, array, static_cast<duk_uarridx_t>(i));
    }
}

duk_ret_t GetElementById(duk_context* context) {
    PushElement(context, Self(context).Document().ElementById(Argument(context, 0)));
    return 1;
}

duk_ret_t GetElementsByTagName(duk_context* context) {
    std::vector<DomNode*> nodes;
    CollectByTag(Self(context).Document().Root(), LowerAscii(Argument(context, 0)), nodes);
    PushElementList(context, nodes);
    return 1;
}

duk_ret_t GetForms(duk_context* context) {
    std::vector<DomNode*> nodes;
    CollectByTag(Self(context).Document().Root(), u"form", nodes);
    PushElementList(context, nodes);
    return 1;
}

duk_ret_t GetTitle(duk_context* context) {
    ScriptEngine::PushString(context, Self(context).Site().Title());
    return 1;
}

duk_ret_t SetTitle(duk_context* context) {
    Self(context).Site().SetTitle(Argument(context, 0));
    return 0;
}

// document.write: the text is read as HTML and goes in after the running script (at the end of the body when
// no script is running, as after the page was read).
duk_ret_t Write(duk_context* context) {
    PageScript& self = Self(context);
    std::u16string html;
    for (duk_idx_t i = 0, count = duk_get_top(context); i < count; ++i) {
        html += Argument(context, i);
    }
    DomDocument& document = self.Document();
    DomNode* anchor = self.WriteAnchor();
    DomNode* fragment = document.NewNode(DomNode::Type::Element);
    if (fragment == nullptr) {
        return 0;
    }
    DomNode* parent = anchor != nullptr && anchor->parent != nullptr ? anchor->parent : &document.Root();
    DomDocument::Append(*parent, *fragment);  // parsed in place, so the nesting cap counts the real depth
    parent->children.pop_back();
    ParseHtml(html, document, *fragment);
    auto at = anchor != nullptr && anchor->parent == parent
                  ? std::find(parent->children.begin(), parent->children.end(), anchor) + 1
                  : parent->children.end();
    for (DomNode* child : fragment->children) {
        child->parent = parent;
    }
    parent->children.insert(at, fragment->children.begin(), fragment->children.end());
    fragment->children.clear();
    Changed(context);
    return 0;
}

// --- window

duk_ret_t Alert(duk_context* context) {
    Self(context).Host().Alert(Argument(context, 0));
    return 0;
}

duk_ret_t Confirm(duk_context* context) {
    duk_push_boolean(context, Self(context).Host().Confirm(Argument(context, 0)));
    return 1;
}

duk_ret_t AddTimer(duk_context* context, bool isRepeating) {
    duk_int_t delay = duk_get_top(context) > 1 ? duk_to_int(context, 1) : 0;
    duk_dup(context, 0);
    if (!duk_is_function(context, -1)) {
        duk_to_string(context, -1);  // setTimeout("code()", ms)
    }
    duk_push_uint(context, Self(context).AddTimer(static_cast<uint32_t>(std::max<duk_int_t>(delay, 0)), isRepeating));
    return 1;
}

duk_ret_t SetTimeout(duk_context* context) {
    return AddTimer(context, false);
}

duk_ret_t SetInterval(duk_context* context) {
    return AddTimer(context, true);
}

duk_ret_t ClearTimerCall(duk_context* context) {
    Self(context).ClearTimer(duk_to_uint32(context, 0));
    return 0;
}

duk_ret_t GetHref(duk_context* context) {
    ScriptEngine::PushString(context, Self(context).Site().Url());
    return 1;
}

duk_ret_t SetHref(duk_context* context) {
    Self(context).Site().NavigateTo(Argument(context, 0));
    return 0;
}

duk_ret_t Reload(duk_context* context) {
    PageScript& self = Self(context);
    self.Site().NavigateTo(self.Site().Url());
    return 0;
}

duk_ret_t GetLocation(duk_context* context) {
    duk_push_global_stash(context);
    duk_get_prop_string(context, -1, "location");
    return 1;
}

ExternalValue ToExternal(duk_context* context, duk_idx_t index) {
    ExternalValue value;
    if (duk_is_boolean(context, index)) {
        value.kind = ExternalValue::Kind::Boolean;
        value.boolean = duk_get_boolean(context, index) != 0;
    } else if (!duk_is_null_or_undefined(context, index)) {
        value.kind = ExternalValue::Kind::String;
        value.string = Argument(context, index);
    }
    return value;
}

// Pushes the call's result; false (nothing pushed) when the host has no such member.
bool ForwardExternal(duk_context* context, std::u16string_view name) {
    std::vector<ExternalValue> arguments;
    for (duk_idx_t i = 0, count = std::min(duk_get_top(context), kMaxExternalArguments); i < count; ++i) {
        arguments.push_back(ToExternal(context, i));
    }
    std::optional<ExternalValue> result = Self(context).Host().CallExternal(name, arguments);
    if (!result) {
        return false;
    }
    if (result->kind == ExternalValue::Kind::Boolean) {
        duk_push_boolean(context, result->boolean);
    } else if (result->kind == ExternalValue::Kind::String) {
        ScriptEngine::PushString(context, result->string);
    } else {
        duk_push_undefined(context);
    }
    return true;
}

duk_ret_t CallExternal(duk_context* context) {
    duk_int_t member = duk_get_current_magic(context);
    if (!ForwardExternal(context, kExternalMembers[member])) {
        return duk_error(context, DUK_ERR_TYPE_ERROR, "window.external has no such member");
    }
    return 1;
}

duk_ret_t PreventDefault(duk_context* context) {
    duk_push_this(context);
    duk_push_boolean(context, 1);
    duk_put_prop_string(context, -2, "defaultPrevented");
    return 0;
}

duk_ret_t OpenWindow(duk_context* context) {
    duk_push_null(context);  // no other windows
    return 1;
}

}  // namespace

void PushElement(duk_context* context, DomNode* node) {
    if (node == nullptr || node->type != DomNode::Type::Element) {
        duk_push_null(context);
        return;
    }
    duk_push_global_stash(context);
    duk_idx_t stash = duk_get_top_index(context);
    duk_get_prop_string(context, stash, "nodes");
    duk_get_prop_index(context, -1, node->id);
    if (duk_is_object(context, -1)) {
        duk_replace(context, stash);
        duk_pop(context);
        return;
    }
    duk_pop(context);
    duk_push_object(context);
    duk_get_prop_string(context, stash, "elementProto");
    duk_set_prototype(context, -2);
    duk_push_uint(context, node->id + 1);
    duk_put_prop_string(context, -2, kNodeKey);
    duk_dup(context, -1);
    duk_put_prop_index(context, -3, node->id);
    duk_replace(context, stash);
    duk_pop(context);
    if (node->Is(u"form")) {
        // A form's named fields as its properties (form.userID.value), as the tree is now.
        std::vector<DomNode*> fields;
        CollectByTag(*node, u"*", fields);
        for (DomNode* field : fields) {
            const std::u16string* name = field->Attribute(u"name");
            if (IsPlainPropertyName(name) &&
                (field->Is(u"input") || field->Is(u"textarea") || field->Is(u"select") || field->Is(u"button"))) {
                // Defined, not assigned: a field named like an element member ("id", "value") shadows it,
                // where an assignment would call that member's setter or throw for a member without one.
                ScriptEngine::PushString(context, *name);
                PushElement(context, field);
                duk_def_prop(context, -3,
                             DUK_DEFPROP_HAVE_VALUE | DUK_DEFPROP_SET_WRITABLE | DUK_DEFPROP_SET_ENUMERABLE |
                                 DUK_DEFPROP_SET_CONFIGURABLE);
            }
        }
    }
}

PageScript::PageScript(DomDocument& document, IPageHost& host, IPageScriptSite& site, IScriptClock& clock)
    : m_document(document), m_host(host), m_site(site), m_engine(clock) {
    InstallGlobals();
}

void PageScript::InstallGlobals() {
    duk_context* context = m_engine.Context();
    duk_push_global_stash(context);
    duk_idx_t stash = duk_get_top_index(context);
    duk_push_pointer(context, this);
    duk_put_prop_string(context, stash, "script");
    duk_push_object(context);
    duk_put_prop_string(context, stash, "nodes");
    duk_push_object(context);
    duk_put_prop_string(context, stash, "timers");

    duk_idx_t element = duk_push_object(context);
    DefineAccessor(context, element, "innerHTML", GetInnerHtml, SetInnerHtml);
    DefineAccessor(context, element, "textContent", GetTextContent, SetTextContent);
    DefineAccessor(context, element, "innerText", GetTextContent, SetTextContent);
    DefineAccessor(context, element, "value", GetValue, SetValue);
    DefineAccessor(context, element, "id", GetId, nullptr);
    DefineAccessor(context, element, "name", GetName, nullptr);
    DefineAccessor(context, element, "tagName", GetTagName, nullptr);
    DefineAccessor(context, element, "style", GetStyle, nullptr);
    DefineMethod(context, element, "getAttribute", GetAttribute, 1);
    DefineMethod(context, element, "setAttribute", SetAttribute, 2);
    DefineMethod(context, element, "click", ClickElement, 0);
    DefineMethod(context, element, "submit", SubmitElement, 0);
    DefineMethod(context, element, "focus", Nothing, 0);
    DefineMethod(context, element, "blur", Nothing, 0);
    duk_put_prop_string(context, stash, "elementProto");

    duk_idx_t style = duk_push_object(context);
    DefineAccessor(context, style, "display", GetDisplay, SetDisplay);
    duk_put_prop_string(context, stash, "styleProto");

    duk_idx_t location = duk_push_object(context);
    DefineAccessor(context, location, "href", GetHref, SetHref);
    DefineMethod(context, location, "assign", SetHref, 1);
    DefineMethod(context, location, "replace", SetHref, 1);
    DefineMethod(context, location, "reload", Reload, 0);
    duk_put_prop_string(context, stash, "location");

    duk_push_global_object(context);
    duk_idx_t global = duk_get_top_index(context);
    duk_dup(context, global);
    duk_put_prop_string(context, global, "window");
    duk_dup(context, global);
    duk_put_prop_string(context, global, "self");
    DefineMethod(context, global, "alert", Alert, 1);
    DefineMethod(context, global, "confirm", Confirm, 1);
    DefineMethod(context, global, "setTimeout", SetTimeout, DUK_VARARGS);
    DefineMethod(context, global, "setInterval", SetInterval, DUK_VARARGS);
    DefineMethod(context, global, "clearTimeout", ClearTimerCall, 1);
    DefineMethod(context, global, "clearInterval", ClearTimerCall, 1);
    DefineMethod(context, global, "open", OpenWindow, DUK_VARARGS);
    DefineMethod(context, global, "focus", Nothing, 0);
    DefineAccessor(context, global, "location", GetLocation, SetHref);

    duk_idx_t document = duk_push_object(context);
    DefineMethod(context, document, "getElementById", GetElementById, 1);
    DefineMethod(context, document, "getElementsByTagName", GetElementsByTagName, 1);
    DefineMethod(context, document, "write", Write, DUK_VARARGS);
    DefineMethod(context, document, "writeln", Write, DUK_VARARGS);
    DefineAccessor(context, document, "title", GetTitle, SetTitle);
    DefineAccessor(context, document, "forms", GetForms, nullptr);
    DefineAccessor(context, document, "location", GetLocation, SetHref);
    duk_put_prop_string(context, global, "document");

    duk_idx_t external = duk_push_object(context);
    for (size_t i = 0; i < std::size(kExternalMembers); ++i) {
        duk_push_c_function(context, CallExternal, DUK_VARARGS);
        duk_set_magic(context, -1, static_cast<duk_int_t>(i));
        ScriptEngine::PushString(context, kExternalMembers[i]);
        duk_swap_top(context, -2);
        duk_put_prop(context, external);
    }
    duk_put_prop_string(context, global, "external");

    duk_idx_t navigator = duk_push_object(context);
    duk_push_string(context, "Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 5.1)");
    duk_put_prop_string(context, navigator, "userAgent");
    duk_push_string(context, "Microsoft Internet Explorer");
    duk_put_prop_string(context, navigator, "appName");
    duk_put_prop_string(context, global, "navigator");

    duk_idx_t console = duk_push_object(context);
    DefineMethod(context, console, "log", Nothing, DUK_VARARGS);
    duk_put_prop_string(context, global, "console");
    duk_pop_2(context);  // global, stash
}

bool PageScript::RunScript(std::u16string_view source, DomNode* scriptElement) {
    m_writeAnchor = scriptElement;
    bool isOk = m_engine.Run(source);
    m_writeAnchor = nullptr;
    return isOk;
}

bool PageScript::Click(DomNode& node) {
    return Dispatch(node, "click");
}

bool PageScript::Submit(DomNode& form) {
    return Dispatch(form, "submit");
}

bool PageScript::Dispatch(DomNode& node, const std::string& type) {
    const std::string handlerName = "on" + type;
    const std::u16string attributeName(handlerName.begin(), handlerName.end());
    duk_context* context = m_engine.Context();
    PushElement(context, &node);
    duk_idx_t element = duk_get_top_index(context);
    duk_idx_t event = duk_push_object(context);
    duk_push_string(context, type.c_str());
    duk_put_prop_string(context, event, "type");
    duk_dup(context, element);
    duk_put_prop_string(context, event, "target");
    DefineMethod(context, event, "preventDefault", PreventDefault, 0);
    duk_get_prop_string(context, element, handlerName.c_str());
    bool hasHandler = duk_is_function(context, -1);
    if (!hasHandler) {
        duk_pop(context);
        const std::u16string* source = node.Attribute(attributeName);
        if (source != nullptr) {
            ScriptEngine::PushString(context, u"function (event) {\n" + *source + u"\n}");
            duk_push_string(context, handlerName.c_str());
            hasHandler = duk_pcompile(context, DUK_COMPILE_FUNCTION) == DUK_EXEC_SUCCESS;
            if (!hasHandler) {
                duk_pop(context);  // the error: a handler that does not compile does nothing
            }
        }
    }
    bool returnedFalse = false;
    if (hasHandler) {
        duk_dup(context, element);
        duk_dup(context, event);
        m_engine.CallMethod(1, &returnedFalse);
    }
    duk_get_prop_string(context, event, "defaultPrevented");
    bool isPrevented = duk_to_boolean(context, -1) != 0;
    duk_get_prop_string(context, event, "returnValue");
    isPrevented = isPrevented || (duk_is_boolean(context, -1) && !duk_get_boolean(context, -1));
    duk_pop_n(context, 4);  // returnValue, defaultPrevented, event, element
    return !(returnedFalse || isPrevented);
}

uint32_t PageScript::AddTimer(uint32_t delayMs, bool isRepeating) {
    duk_context* context = m_engine.Context();
    if (m_timers.size() >= kMaxTimers) {
        duk_pop(context);
        return 0;
    }
    Timer timer;
    timer.id = m_nextTimerId++;
    timer.intervalMs = isRepeating ? std::max(delayMs, kMinIntervalMs) : 0;
    timer.dueMs = m_nowMs + (isRepeating ? timer.intervalMs : delayMs);
    duk_push_global_stash(context);
    duk_get_prop_string(context, -1, "timers");
    duk_dup(context, -3);
    duk_put_prop_index(context, -2, timer.id);
    duk_pop_3(context);
    m_timers.push_back(timer);
    return timer.id;
}

void PageScript::ClearTimer(uint32_t id) {
    auto found = std::find_if(m_timers.begin(), m_timers.end(), [id](const Timer& timer) { return timer.id == id; });
    if (found == m_timers.end()) {
        return;
    }
    m_timers.erase(found);
    duk_context* context = m_engine.Context();
    duk_push_global_stash(context);
    duk_get_prop_string(context, -1, "timers");
    duk_del_prop_index(context, -1, id);
    duk_pop_2(context);
}

std::optional<uint32_t> PageScript::NextTimerMs() const {
    std::optional<uint32_t> next;
    for (const Timer& timer : m_timers) {
        uint32_t wait = timer.dueMs > m_nowMs ? static_cast<uint32_t>(timer.dueMs - m_nowMs) : 0;
        next = next ? std::min(*next, wait) : wait;
    }
    return next;
}

void PageScript::RunTimers(uint32_t elapsedMs) {
    m_nowMs += elapsedMs;
    // Those due now, in the order they fall due; timers the callbacks add wait for the next call.
    std::vector<Timer> due;
    for (const Timer& timer : m_timers) {
        if (timer.dueMs <= m_nowMs) {
            due.push_back(timer);
        }
    }
    std::stable_sort(due.begin(), due.end(), [](const Timer& a, const Timer& b) { return a.dueMs < b.dueMs; });
    duk_context* context = m_engine.Context();
    for (const Timer& timer : due) {
        auto found = std::find_if(m_timers.begin(), m_timers.end(),
                                  [&timer](const Timer& entry) { return entry.id == timer.id; });
        if (found == m_timers.end()) {
            continue;  // cleared by an earlier callback
        }
        duk_push_global_stash(context);
        duk_get_prop_string(context, -1, "timers");
        duk_get_prop_index(context, -1, timer.id);
        duk_remove(context, -2);
        duk_remove(context, -2);
        if (timer.intervalMs != 0) {
            found->dueMs = m_nowMs + timer.intervalMs;
        } else {
            ClearTimer(timer.id);
        }
        if (duk_is_function(context, -1)) {
            duk_push_undefined(context);
            m_engine.CallMethod(0);
        } else {
            std::u16string source = ScriptEngine::ToString(context, -1);
            duk_pop(context);
            m_engine.Run(source);
        }
    }
}

}  // namespace common
