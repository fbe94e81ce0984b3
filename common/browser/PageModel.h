// The store page as the agent's browser shows it: headings, paragraphs and list items of text runs and buttons,
// read from the page's HTML by a small tolerant reader. Scripts are not run; a button's onclick may call one
// method of window.external with string arguments, which is all the store's pages do.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace common {

// "window.external.NAME('a', "b", ...)": the method and its string arguments in the script's order.
struct ExternalCall {
    std::u16string method;
    std::vector<std::u16string> arguments;
};

// nullopt for anything else (other objects, expressions, unterminated strings, more than kMaxCallArguments).
std::optional<ExternalCall> ParseExternalCall(std::u16string_view script);
inline constexpr size_t kMaxCallArguments = 8;

struct PageRun {
    std::u16string text;
    bool isBold = false;
    bool isButton = false;
    std::optional<ExternalCall> call;  // a button's onclick, when it is one the page may make
};

enum class BlockKind { Heading, Paragraph, ListItem };

struct PageBlock {
    BlockKind kind = BlockKind::Paragraph;
    std::vector<PageRun> runs;
};

struct PageModel {
    std::u16string title;
    std::vector<PageBlock> blocks;
};

// Reads UTF-8 HTML. Unknown tags are passed over, the text of <script>, <style> and <head> is dropped, character
// references (&amp; &lt; &gt; &quot; &#39; &#x27; and numeric ones) are decoded, and white space is collapsed.
// Bounded: at most kMaxBlocks blocks and kMaxRuns runs are kept, whatever the page holds.
PageModel ReadPage(std::string_view html);
inline constexpr size_t kMaxBlocks = 500;
inline constexpr size_t kMaxRuns = 2000;

}  // namespace common
