// The launcher's layout points: where the skin's parts are drawn and hit, read from the three .kpt files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "common/layout/Geometry.h"

namespace common {

inline constexpr char16_t kMainPointFileName[] = u"mainpoint.kpt";
inline constexpr char16_t kPagePosFileName[] = u"pagepos.kpt";
inline constexpr char16_t kEditCtrlPointFileName[] = u"EditCtrlPoint.kpt";

// Values each file must hold (signed 16-bit little-endian, no header). Longer files are fine: the rest is ignored.
inline constexpr size_t kMainPointCount = 34;
inline constexpr size_t kPageSlotCount = 16;  // pagepos.kpt holds one (x, y) pair per slot
inline constexpr size_t kEditCtrlPointCount = 16;
inline constexpr size_t kMenuSlotCount = 4;

// The command panel's controls, in the order of their points in EditCtrlPoint.kpt.
enum class PanelControl {
    CaptionField,
    CommandField,
    ParameterField,
    IconField,
    OkButton,
    CancelButton,
    CommandBrowse,
    IconBrowse,
};

// Which files were taken as read; false means that file's built-in values are in use. For a start-up log line.
struct LayoutSources {
    bool mainPoint = false;
    bool pagePos = false;
    bool editCtrlPoint = false;
};

// Built-in values equal the files shipped in the suite folder (launcher/skin/*.kpt, drawn with the skin by
// tools/art/make_skin.py, whose tables are the source; a native test keeps the two equal).
//
// Fallback: each file stands alone. A file that is missing or holds fewer than its required values is replaced
// whole by its built-in set; values are never mixed from a short file and the defaults, since a half-read layout
// from another skin would put the rest of the window in places that fit neither. The files are independent
// because pagepos.kpt and EditCtrlPoint.kpt are relative to areas that mainpoint.kpt places.
class LayoutPoints {
public:
    LayoutPoints();  // the built-in set

    // Each argument is the file's whole content, or nullopt when it could not be read. Never reads outside the
    // given bytes; an odd trailing byte is ignored.
    static LayoutPoints FromFiles(const std::optional<std::vector<uint8_t>>& mainPoint,
                                  const std::optional<std::vector<uint8_t>>& pagePos,
                                  const std::optional<std::vector<uint8_t>>& editCtrlPoint);

    const LayoutSources& Sources() const { return m_sources; }

    // A raw mainpoint.kpt value; 0 for an index past kMainPointCount.
    int MainValue(size_t index) const;

    // Window coordinates.
    Point HomeButton() const;
    Point ExitButton() const;
    Point MenuSlot(size_t slot) const;  // slot 0..3; the file's x is page-relative, this one is not
    int DragBandHeight() const;
    Rect PageArea() const;
    int IndicatorRowY() const;
    Point DriveLabel() const;
    Point FreeSpaceRightEnd() const;  // the free-space line ends at this x
    Point CommandPanelOrigin() const;

    // Relative to the page area's top-left; slot 0..15, (0, 0) past the end.
    Point PageSlot(size_t slot) const;
    // Relative to the command panel's top-left.
    Point PanelControlPoint(PanelControl control) const;

private:
    int16_t m_main[kMainPointCount];
    int16_t m_pagePos[kPageSlotCount * 2];
    int16_t m_editCtrl[kEditCtrlPointCount];
    LayoutSources m_sources;
};

}  // namespace common
