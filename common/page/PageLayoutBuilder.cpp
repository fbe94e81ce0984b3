// The page's layout.
#include "common/page/PageLayoutBuilder.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

namespace common {

namespace {

constexpr int kListIndent = 24;
constexpr int kCellPadding = 4;
constexpr int kControlPadding = 8;  // each side of a button's label
constexpr int kFieldChars = 20;     // a text field's width without a size attribute
constexpr int kMaxFieldChars = 80;
constexpr int kNaturalWidth = 1 << 20;  // "as wide as it likes" when a table measures its cells
constexpr int kMaxMeasuredTables = 3;   // deeper tables share their width evenly instead of measuring

bool IsOneOf(std::u16string_view name, std::initializer_list<std::u16string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool IsBlock(const DomNode& node) {
    return IsOneOf(node.tag, {u"p",   u"div",     u"h1",     u"h2",     u"h3",      u"h4",      u"h5",
                              u"h6",  u"ul",      u"ol",     u"li",     u"form",    u"center",  u"blockquote",
                              u"pre", u"dl",      u"dt",     u"dd",     u"hr",      u"body",    u"html",
                              u"tr",  u"address", u"header", u"footer", u"section", u"article", u"nav"});
}

bool IsSpace(char16_t unit) {
    return unit == u' ' || unit == u'\t' || unit == u'\r' || unit == u'\n' || unit == u'\f';
}

std::u16string FieldType(const DomNode& node) {
    const std::u16string* type = node.Attribute(u"type");
    std::u16string lower;
    for (char16_t unit : type != nullptr ? *type : std::u16string(u"text")) {
        lower.push_back(unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit + 32) : unit);
    }
    return lower;
}

struct Flow {
    int left = 0;
    int right = 0;
    int x = 0;
    int lineTop = 0;
    int lineHeight = 0;
    bool pendingSpace = false;
    std::vector<size_t> lineBoxes;  // the boxes of the open line, by index: centred in it when it ends

    bool AtLineStart() const { return x == left; }
    int Bottom() const { return lineTop + lineHeight; }
};

struct Context {
    TextStyle style = TextStyle::Body;
    int focusIndex = -1;  // of the enclosing link
    int tableDepth = 0;
};

class Builder {
public:
    Builder(const std::vector<int>& focusIndex, ITextMeasure& measure) : m_focusIndex(focusIndex), m_measure(measure) {}

    void Run(const DomNode& root, int width, PageLayout& layout) {
        Flow flow;
        flow.right = std::max(width, 1);
        m_boxes = &layout.boxes;
        Context context;
        Children(root, flow, context);
        NewLine(flow);
        layout.width = width;
        layout.height = flow.lineTop;
    }

private:
    int FocusOf(const DomNode& node) const { return node.id < m_focusIndex.size() ? m_focusIndex[node.id] : -1; }

    void NewLine(Flow& flow) {
        if (flow.AtLineStart() && flow.lineHeight == 0) {
            flow.pendingSpace = false;
            return;  // nothing on the line yet (a bullet may wait for its item's words)
        }
        // Words beside a taller button or field sit in the middle of the line, as their labels do.
        for (size_t index : flow.lineBoxes) {
            PageBox& box = (*m_boxes)[index];
            const int shift = (flow.lineHeight - (box.bottom - box.top)) / 2;
            if (shift > 0) {
                box.top += shift;
                box.bottom += shift;
            }
        }
        flow.lineBoxes.clear();
        flow.lineTop += flow.lineHeight;
        flow.x = flow.left;
        flow.lineHeight = 0;
        flow.pendingSpace = false;
    }

    void Place(Flow& flow, PageBox box, int width, int height) {
        if (flow.x + width > flow.right && !flow.AtLineStart()) {
            NewLine(flow);
        }
        box.left = flow.x;
        box.top = flow.lineTop;
        box.right = flow.x + width;
        box.bottom = flow.lineTop + height;
        flow.x += width;
        flow.lineHeight = std::max(flow.lineHeight, height);
        flow.lineBoxes.push_back(m_boxes->size());
        m_boxes->push_back(std::move(box));
    }

    void Word(Flow& flow, const Context& context, std::u16string word) {
        const int height = m_measure.LineHeight(context.style);
        if (flow.pendingSpace && !flow.AtLineStart()) {
            int space = m_measure.Measure(u" ", context.style).width;
            int width = m_measure.Measure(word, context.style).width;
            if (flow.x + space + width <= flow.right) {
                flow.x += space;
            } else {
                NewLine(flow);
            }
        }
        flow.pendingSpace = false;
        PageBox box;
        box.kind = context.focusIndex >= 0 ? PageBox::Kind::Link : PageBox::Kind::Text;
        box.style = context.style;
        box.focusIndex = context.focusIndex;
        while (!word.empty()) {
            int width = m_measure.Measure(word, context.style).width;
            if (flow.x + width <= flow.right) {
                box.text = std::move(word);
                Place(flow, box, width, height);
                return;
            }
            if (!flow.AtLineStart()) {
                NewLine(flow);
                continue;
            }
            // Wider than a whole line: as much as fits goes on this line (at least one unit), the rest below.
            size_t fits = 1;
            while (fits < word.size() &&
                   flow.x + m_measure.Measure(std::u16string_view(word).substr(0, fits + 1), context.style).width <=
                       flow.right) {
                ++fits;
            }
            if (fits < word.size() && (word[fits - 1] & 0xFC00) == 0xD800) {
                ++fits;  // a surrogate pair stays together
            }
            box.text = word.substr(0, fits);
            Place(flow, box, m_measure.Measure(box.text, context.style).width, height);
            word.erase(0, fits);
            NewLine(flow);
        }
    }

    void Text(Flow& flow, const Context& context, std::u16string_view text) {
        size_t i = 0;
        while (i < text.size()) {
            if (IsSpace(text[i])) {
                flow.pendingSpace = true;
                ++i;
                continue;
            }
            size_t end = i;
            while (end < text.size() && !IsSpace(text[end])) {
                ++end;
            }
            Word(flow, context, std::u16string(text.substr(i, end - i)));
            i = end;
        }
    }

    void Control(Flow& flow, PageBox::Kind kind, std::u16string text, int width, int focusIndex) {
        PageBox box;
        box.kind = kind;
        box.style = TextStyle::Control;
        box.text = std::move(text);
        box.focusIndex = focusIndex;
        int height = m_measure.LineHeight(TextStyle::Control) + 2 * kCellPadding;
        if (flow.pendingSpace && !flow.AtLineStart()) {
            flow.x += m_measure.Measure(u" ", TextStyle::Body).width;
        }
        flow.pendingSpace = false;
        Place(flow, std::move(box), std::min(width, std::max(flow.right - flow.left, 1)), height);
    }

    void Input(const DomNode& node, Flow& flow) {
        std::u16string type = FieldType(node);
        if (type == u"button" || type == u"submit" || type == u"reset") {
            std::u16string label = node.value.empty() && type == u"submit" ? u"Submit" : node.value;
            int width = m_measure.Measure(label, TextStyle::Control).width + 2 * kControlPadding;
            Control(flow, PageBox::Kind::Button, label, width, FocusOf(node));
            return;
        }
        if (type == u"checkbox" || type == u"radio" || type == u"image" || type == u"file") {
            return;
        }
        int chars = kFieldChars;
        if (const std::u16string* size = node.Attribute(u"size")) {
            int value = 0;
            for (char16_t unit : *size) {
                if (unit < u'0' || unit > u'9' || value > kMaxFieldChars) {
                    break;
                }
                value = value * 10 + (unit - u'0');
            }
            chars = std::clamp(value, 1, kMaxFieldChars);
        }
        int width = m_measure.Measure(u"0", TextStyle::Control).width * chars + 2 * kCellPadding;
        Control(flow, type == u"password" ? PageBox::Kind::PasswordField : PageBox::Kind::TextField, node.value, width,
                FocusOf(node));
    }

    void Element(const DomNode& node, Flow& flow, Context context) {
        if (IsUndrawn(node)) {
            return;
        }
        const std::u16string& tag = node.tag;
        if (tag == u"br") {
            if (flow.AtLineStart() && flow.lineHeight == 0) {
                flow.lineHeight = m_measure.LineHeight(context.style);
            }
            NewLine(flow);
            return;
        }
        if (tag == u"input") {
            Input(node, flow);
            return;
        }
        if (tag == u"img") {
            const std::u16string* alt = node.Attribute(u"alt");
            if (alt != nullptr) {
                size_t first = m_boxes->size();
                Text(flow, context, *alt);
                for (size_t i = first; i < m_boxes->size(); ++i) {
                    (*m_boxes)[i].kind = PageBox::Kind::ImageAlt;
                }
            }
            return;
        }
        if (tag == u"button" || tag == u"textarea") {
            std::u16string label = tag == u"button" ? DomDocument::TextContent(node) : node.value;
            int width = m_measure.Measure(label, TextStyle::Control).width + 2 * kControlPadding;
            if (tag == u"textarea") {
                width = m_measure.Measure(u"0", TextStyle::Control).width * kFieldChars + 2 * kCellPadding;
            }
            Control(flow, tag == u"button" ? PageBox::Kind::Button : PageBox::Kind::TextField, label, width,
                    FocusOf(node));
            return;
        }
        if (tag == u"table") {
            Table(node, flow, context);
            return;
        }
        if (tag == u"b" || tag == u"strong" || tag == u"th") {
            if (context.style == TextStyle::Body) {
                context.style = TextStyle::Bold;
            }
        } else if (tag.size() == 2 && tag[0] == u'h' && tag[1] >= u'1' && tag[1] <= u'6') {
            context.style = TextStyle::Heading;
        } else if (tag == u"a" && FocusOf(node) >= 0) {
            context.style = TextStyle::Link;
            context.focusIndex = FocusOf(node);
        }
        bool isBlock = IsBlock(node);
        if (isBlock) {
            NewLine(flow);
        }
        if (tag == u"ul" || tag == u"ol") {
            Flow inner = flow;
            inner.lineBoxes.clear();
            inner.left = std::min(flow.left + kListIndent, flow.right - 1);
            inner.x = inner.left;
            int number = 0;
            for (const DomNode* child : node.children) {
                if (child->Is(u"li") && !IsUndrawn(*child)) {
                    // The item's first line starts beside its bullet: the line is begun here, and the item's own
                    // block start then finds it empty. An item that draws nothing still keeps its bullet's line.
                    NewLine(inner);
                    PageBox bullet;
                    bullet.kind = PageBox::Kind::Bullet;
                    bullet.text = tag == u"ol" ? std::u16string(u"") + ToText(++number) + u"." : u"\u2022";
                    int width = m_measure.Measure(bullet.text, TextStyle::Body).width;
                    bullet.left = std::max(flow.left, inner.left - width - 4);
                    bullet.right = bullet.left + width;
                    bullet.top = inner.lineTop;
                    bullet.bottom = inner.lineTop + m_measure.LineHeight(TextStyle::Body);
                    const int bulletBottom = bullet.bottom;
                    inner.lineBoxes.push_back(m_boxes->size());
                    m_boxes->push_back(std::move(bullet));
                    Node(*child, inner, context);
                    NewLine(inner);
                    inner.lineTop = std::max(inner.lineTop, bulletBottom);
                    continue;
                }
                Node(*child, inner, context);
            }
            NewLine(inner);
            flow.lineTop = inner.lineTop;
        } else {
            Children(node, flow, context);
        }
        if (isBlock) {
            NewLine(flow);
            if (tag == u"p" || context.style == TextStyle::Heading) {
                flow.lineTop += m_measure.LineHeight(TextStyle::Body) / 2;
            }
        }
    }

    static std::u16string ToText(int number) {
        std::u16string out;
        for (char c : std::to_string(number)) {
            out.push_back(static_cast<char16_t>(c));
        }
        return out;
    }

    void Node(const DomNode& node, Flow& flow, const Context& context) {
        if (node.type == DomNode::Type::Text) {
            Text(flow, context, node.text);
        } else {
            Element(node, flow, context);
        }
    }

    void Children(const DomNode& node, Flow& flow, const Context& context) {
        for (const DomNode* child : node.children) {
            Node(*child, flow, context);
        }
    }

    static void CollectRows(const DomNode& node, std::vector<const DomNode*>& rows) {
        for (const DomNode* child : node.children) {
            if (child->Is(u"tr") && !IsUndrawn(*child)) {
                rows.push_back(child);
            } else if (child->Is(u"thead") || child->Is(u"tbody") || child->Is(u"tfoot")) {
                CollectRows(*child, rows);
            }
        }
    }

    static std::vector<const DomNode*> Cells(const DomNode& row) {
        std::vector<const DomNode*> cells;
        for (const DomNode* child : row.children) {
            if ((child->Is(u"td") || child->Is(u"th")) && !IsUndrawn(*child)) {
                cells.push_back(child);
            }
        }
        return cells;
    }

    // Header cells are bold.
    static Context CellContext(const DomNode& cell, Context context) {
        if (cell.Is(u"th") && context.style == TextStyle::Body) {
            context.style = TextStyle::Bold;
        }
        return context;
    }

    // The width a cell's content takes with no wrapping at all.
    int NaturalWidth(const DomNode& cell, const Context& context) {
        std::vector<PageBox> scratch;
        std::vector<PageBox>* saved = m_boxes;
        m_boxes = &scratch;
        Flow flow;
        flow.right = kNaturalWidth;
        Children(cell, flow, context);
        m_boxes = saved;
        int right = 0;
        for (const PageBox& box : scratch) {
            right = std::max(right, box.right);
        }
        return right;
    }

    // What a table holds outside its cells (text between rows, say) goes before the table, as browsers do.
    void FosterParented(const DomNode& node, Flow& flow, const Context& context) {
        for (const DomNode* child : node.children) {
            if (child->Is(u"tr") || child->Is(u"thead") || child->Is(u"tbody") || child->Is(u"tfoot")) {
                FosterParented(*child, flow, context);
            } else if (!child->Is(u"td") && !child->Is(u"th")) {
                Node(*child, flow, context);
            }
        }
    }

    void Table(const DomNode& table, Flow& flow, Context context) {
        NewLine(flow);
        FosterParented(table, flow, context);
        NewLine(flow);
        std::vector<const DomNode*> rows;
        CollectRows(table, rows);
        size_t columns = 0;
        for (const DomNode* row : rows) {
            columns = std::max(columns, Cells(*row).size());
        }
        if (columns == 0) {
            return;
        }
        ++context.tableDepth;
        const int available = std::max(flow.right - flow.left, 1);
        std::vector<int> widths(columns, 0);
        long long total = 0;
        if (context.tableDepth <= kMaxMeasuredTables) {
            for (const DomNode* row : rows) {
                std::vector<const DomNode*> cells = Cells(*row);
                for (size_t i = 0; i < cells.size(); ++i) {
                    widths[i] = std::max(
                        widths[i], NaturalWidth(*cells[i], CellContext(*cells[i], context)) + 2 * kCellPadding + 1);
                }
            }
            for (int width : widths) {
                total += width;
            }
        }
        if (total == 0 || total > available) {
            // Too wide (or not measured): each column gets its share of the width, wrapping its text.
            for (size_t i = 0; i < columns; ++i) {
                widths[i] = total == 0 ? available / static_cast<int>(columns)
                                       : static_cast<int>(static_cast<long long>(available) * widths[i] / total);
                widths[i] = std::max(widths[i], 2 * kCellPadding + 1);
            }
        }
        int top = flow.lineTop;
        for (const DomNode* row : rows) {
            std::vector<const DomNode*> cells = Cells(*row);
            int x = flow.left;
            int rowHeight = m_measure.LineHeight(TextStyle::Body) / 2;
            size_t firstBorder = m_boxes->size();
            for (size_t i = 0; i < cells.size(); ++i) {
                PageBox border;
                border.kind = PageBox::Kind::CellBorder;
                border.left = x;
                border.right = x + widths[i];
                border.top = top;
                m_boxes->push_back(std::move(border));
                Flow cell;
                cell.left = x + kCellPadding;
                cell.right = x + widths[i] - kCellPadding;
                cell.x = cell.left;
                cell.lineTop = top + kCellPadding;
                Children(*cells[i], cell, CellContext(*cells[i], context));
                NewLine(cell);
                rowHeight = std::max(rowHeight, cell.lineTop + kCellPadding - top);
                x += widths[i];
            }
            for (size_t i = firstBorder; i < m_boxes->size(); ++i) {
                PageBox& box = (*m_boxes)[i];
                if (box.kind == PageBox::Kind::CellBorder && box.top == top && box.bottom == 0) {
                    box.bottom = top + rowHeight;
                }
            }
            top += rowHeight;
        }
        flow.lineTop = top;
        flow.x = flow.left;
        flow.lineHeight = 0;
        flow.pendingSpace = false;
    }

    const std::vector<int>& m_focusIndex;
    ITextMeasure& m_measure;
    std::vector<PageBox>* m_boxes = nullptr;
};

}  // namespace

bool IsUndrawn(const DomNode& node) {
    if (node.type != DomNode::Type::Element) {
        return false;
    }
    if (node.isHidden || IsOneOf(node.tag, {u"head", u"script", u"style", u"title", u"meta", u"link", u"select",
                                            u"option", u"noscript", u"iframe", u"object"})) {
        return true;
    }
    return node.tag == u"input" && FieldType(node) == u"hidden";
}

PageLayout BuildPageLayout(const DomDocument& document, const std::vector<int>& focusIndex, int width,
                           ITextMeasure& measure) {
    PageLayout layout;
    Builder(focusIndex, measure).Run(document.Root(), width, layout);
    return layout;
}

}  // namespace common
