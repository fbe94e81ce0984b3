// Test doubles for page sessions: a text measure of 8 pixels per UTF-16 unit and 16-pixel lines, and a host
// that records what the page asked of it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/page/PageSession.h"
#include "common/text/Utf.h"
#if !defined(_WIN32)
#include "common/text/IconvCharsetDecoder.h"
#endif
#include "tests/common/page/FakeScriptClock.h"

namespace common::testing {

#if defined(_WIN32)
// The Windows tree's decoder belongs to the view; these tests read UTF-8 there (the Korean cases are native).
class TestCharsetDecoder final : public ICharsetDecoder {
public:
    std::optional<std::u16string> Decode(std::string_view bytes, std::string_view) override {
        return Utf8ToUtf16(bytes);
    }
};
#else
using TestCharsetDecoder = IconvCharsetDecoder;
#endif

class FixedTextMeasure final : public ITextMeasure {
public:
    static constexpr int kCharWidth = 8;
    static constexpr int kLineHeight = 16;
    TextExtent Measure(std::u16string_view text, TextStyle) override {
        return {static_cast<int>(text.size()) * kCharWidth, kLineHeight};
    }
    int LineHeight(TextStyle) override { return kLineHeight; }
};

struct ExternalCallRecord {
    std::u16string name;
    std::vector<std::u16string> arguments;  // strings as passed; "<undefined>" and "<true>"/"<false>" otherwise
};

class RecordingHost final : public IPageHost {
public:
    std::optional<ExternalValue> CallExternal(std::u16string_view name,
                                              const std::vector<ExternalValue>& arguments) override {
        ExternalCallRecord record{std::u16string(name), {}};
        for (const ExternalValue& value : arguments) {
            switch (value.kind) {
                case ExternalValue::Kind::String: record.arguments.push_back(value.string); break;
                case ExternalValue::Kind::Boolean: record.arguments.push_back(value.boolean ? u"<true>" : u"<false>"); break;
                default: record.arguments.push_back(u"<undefined>");
            }
        }
        calls.push_back(record);
        if (name == u"CB_IsOurCustomBrowser") {
            ExternalValue result;
            result.kind = ExternalValue::Kind::Boolean;
            result.boolean = true;
            return result;
        }
        if (name == u"CB_InstallPackage" || name == u"CB_UpdatePackage" || name == u"CB_Close") {
            return ExternalValue{};
        }
        return std::nullopt;
    }
    void Alert(std::u16string_view text) override { alerts.emplace_back(text); }
    bool Confirm(std::u16string_view text) override {
        confirms.emplace_back(text);
        return confirmAnswer;
    }

    std::vector<ExternalCallRecord> calls;
    std::vector<std::u16string> alerts;
    std::vector<std::u16string> confirms;
    bool confirmAnswer = true;
};

// One page loaded with its doubles, all owned together.
struct LoadedPage {
    SteppingClock clock{100};  // an endless script meets the 2 s budget after some twenty checks
    RecordingHost host;
    TestCharsetDecoder decoder;
    FixedTextMeasure measure;
    std::unique_ptr<PageSession> session;

    explicit LoadedPage(std::string_view html, std::string_view contentType = "text/html",
                        std::u16string_view url = u"http://store.test:8080/apps/list.asp?page=1") {
        session = PageSession::Load(url, html, contentType, decoder, host, clock);
    }
    const PageLayout& Layout(int width = 400) { return session->Layout(width, measure); }
};

// The drawn text of a layout in reading order, boxes joined by single spaces.
inline std::u16string DrawnText(const PageLayout& layout) {
    std::u16string out;
    for (const PageBox& box : layout.boxes) {
        if (box.text.empty() || box.kind == PageBox::Kind::Bullet) {
            continue;
        }
        if (!out.empty()) {
            out += u' ';
        }
        out += box.text;
    }
    return out;
}

inline const PageBox* FindBox(const PageLayout& layout, std::u16string_view text) {
    for (const PageBox& box : layout.boxes) {
        if (box.text == text) {
            return &box;
        }
    }
    return nullptr;
}

}  // namespace common::testing
