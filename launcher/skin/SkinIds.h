// Resource ids of the skin bitmaps built into Tolv.exe (tools/art/make_skin.py draws them; Skin.rc is generated).
#pragma once

namespace launcher {

inline constexpr int kSkinBackground = 129;   // 330 x 556, drawn opaque; its magenta corners are the window key
inline constexpr int kSkinHomeButton = 168;   // 38 x 38
inline constexpr int kSkinExitButton = 182;   // 20 x 20
inline constexpr int kSkinPageCurrent = 169;  // 11 x 11 page indicators
inline constexpr int kSkinPageOther = 170;
inline constexpr int kSkinMenuStore = 171;     // 48 x 48 menu buttons by TYPE: 12
inline constexpr int kSkinMenuSettings = 172;  // 10
inline constexpr int kSkinMenuSearch = 173;    // 11
inline constexpr int kSkinMenuDrive = 174;     // 13
inline constexpr int kSkinFolder = 205;        // 48 x 48 package icons: TYPE 1
inline constexpr int kSkinInstalling = 214;    // a new package while it is being installed
inline constexpr int kSkinBackup = 215;        // TYPE 15
inline constexpr int kSkinDocument = 216;      // any other TYPE; also every package button's disabled image
inline constexpr int kSkinUpdateBadge = 207;   // 48 x 48, drawn over an icon when an update is available
inline constexpr int kSkinShade = 209;         // 48 x 48, alpha-blended at 128 during installation or update
inline constexpr int kSkinProgress = 210;      // 4 x 3, one progress bar segment
inline constexpr int kSkinPanel = 198;         // 288 x 261 command panel background with its field labels
inline constexpr int kSkinPanelOk = 201;       // 74 x 24
inline constexpr int kSkinPanelCancel = 199;   // 74 x 24
inline constexpr int kSkinPanelBrowse = 202;   // 74 x 24, both browse buttons
inline constexpr int kSkinPanelField = 204;    // 186 x 22
inline constexpr int kSkinPanelCaret = 203;    // 3 x 18

// Every skin picture but the background is drawn with this key colour (a Windows COLORREF).
inline constexpr unsigned kSkinKeyColour = 0x000000;
// The window's layered colour key, RGB(255, 0, 255), outside the background's rounded body.
inline constexpr unsigned kWindowKeyColour = 0xFF00FF;

}  // namespace launcher
