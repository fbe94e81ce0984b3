// Lays a document tree out for a width: text flows in lines and wraps at spaces (a word wider than the line is
// broken), blocks start new lines, lists are indented with bullets, tables are rows of cells in columns, and
// links, buttons and fields become the boxes the view draws and hits.
#pragma once

#include <vector>

#include "common/page/DomNode.h"
#include "common/page/PageSession.h"

namespace common {

// `focusIndex[node id]` is the node's place in the Tab order, -1 when it takes no focus (missing ids count as -1).
PageLayout BuildPageLayout(const DomDocument& document, const std::vector<int>& focusIndex, int width,
                           ITextMeasure& measure);

// True for elements whose content is never drawn (head, script, style, hidden fields, display none).
bool IsUndrawn(const DomNode& node);

}  // namespace common
