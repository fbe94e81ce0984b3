// The page engine of the agent's own page view: one loaded store page as a document tree, its scripts, and the
// page laid out for a given width. Portable: the window that shows it supplies text measuring, the calls into
// window.external, the page's message boxes and the clock; the engine never blocks and never touches a window.
//
// Seam between the engine (common/page) and the view (platform/browser/WebView). UI thread only; one session per
// shown page (a navigation makes a new one).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/page/ScriptClock.h"
#include "common/text/CharsetDecoder.h"

namespace common {

// How a piece of text is drawn; the view maps it to a font.
enum class TextStyle : uint8_t { Body, Bold, Heading, Link, Control };

struct TextExtent {
    int width = 0;
    int height = 0;
};

// The view's fonts, as the layout needs them.
class ITextMeasure {
public:
    virtual ~ITextMeasure() = default;
    virtual TextExtent Measure(std::u16string_view text, TextStyle style) = 0;
    virtual int LineHeight(TextStyle style) = 0;
};

// A value handed to or returned from window.external (only what the store's pages use).
struct ExternalValue {
    enum class Kind : uint8_t { Undefined, Boolean, String } kind = Kind::Undefined;
    bool boolean = false;
    std::u16string string;
};

// What the page asks of the window that shows it.
class IPageHost {
public:
    virtual ~IPageHost() = default;
    // window.external.NAME(args...); nullopt when the object has no such member (the script then sees an error).
    virtual std::optional<ExternalValue> CallExternal(std::u16string_view name,
                                                      const std::vector<ExternalValue>& arguments) = 0;
    // alert(text) and confirm(text): the page's message box.
    virtual void Alert(std::u16string_view text) = 0;
    virtual bool Confirm(std::u16string_view text) = 0;
};

// One drawn box of the laid-out page, in document coordinates (0,0 is the page's top-left corner).
struct PageBox {
    enum class Kind : uint8_t { Text, Bullet, Link, Button, TextField, PasswordField, ImageAlt, CellBorder };
    Kind kind = Kind::Text;
    int left = 0, top = 0, right = 0, bottom = 0;
    std::u16string text;  // what is drawn (a password field's text is drawn masked by the view)
    TextStyle style = TextStyle::Body;
    int focusIndex = -1;  // index into PageSession::Focusables() for links, buttons and fields; -1 otherwise
};

struct PageLayout {
    int width = 0;
    int height = 0;  // the document's height, for scrolling
    std::vector<PageBox> boxes;
};

// Where the page wants to go next (a link, location.href, a form submitted by GET): an absolute http address on
// the page's own host; addresses elsewhere are never offered.
struct PageNavigation {
    std::u16string url;
};

class PageSession {
public:
    // `bytes` as fetched from `url`; `contentType` is the HTTP Content-Type header (its charset wins over <meta>).
    // The bytes are decoded by `decoder` (UTF-8 when neither names a charset). Scripts of the page run here,
    // bounded in time: a script that does not end is stopped. Host and decoder must outlive the session.
    static std::unique_ptr<PageSession> Load(std::u16string_view url, std::string_view bytes,
                                             std::string_view contentType, ICharsetDecoder& decoder,
                                             IPageHost& host);
    // As above, with the clock that bounds each script's run (the other form uses the steady clock). The clock
    // must outlive the session too.
    static std::unique_ptr<PageSession> Load(std::u16string_view url, std::string_view bytes,
                                             std::string_view contentType, ICharsetDecoder& decoder,
                                             IPageHost& host, IScriptClock& clock);
    virtual ~PageSession() = default;

    virtual std::u16string Title() const = 0;
    // Lays the page out for `width` pixels; the result stays valid until the next call or the next change.
    virtual const PageLayout& Layout(int width, ITextMeasure& measure) = 0;
    // True once a script or an edit changed what the page shows since the last Layout.
    virtual bool NeedsLayout() const = 0;

    // The links, buttons and fields in Tab order; PageBox::focusIndex points in here.
    virtual size_t FocusableCount() const = 0;
    // A click (mouse or Enter/Space) on focusable `index`: runs its onclick, follows its link, submits its form.
    virtual void Activate(size_t index) = 0;
    // The text of a text or password field, and editing it (the view edits; Backspace reaches the view, not the page).
    virtual std::u16string FieldValue(size_t index) const = 0;
    virtual void SetFieldValue(size_t index, std::u16string_view value) = 0;
    virtual bool IsTextField(size_t index) const = 0;

    // setTimeout: milliseconds from now to the next due timer, nullopt when none waits. RunTimers runs those due
    // after `elapsedMs` have passed since the last call.
    virtual std::optional<uint32_t> NextTimerMs() const = 0;
    virtual void RunTimers(uint32_t elapsedMs) = 0;

    // A navigation the page asked for since the last call (taken once).
    virtual std::optional<PageNavigation> TakeNavigation() = 0;
};

}  // namespace common
