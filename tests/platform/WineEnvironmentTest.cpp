// The environment the programs are tested in must look like a Korean Windows with the suite on a removable
// drive; a prefix or locale set up wrongly would make every later result meaningless.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>

namespace {

TEST(WineEnvironment, RunsUnderTheKoreanCodePage) {
    EXPECT_EQ(::GetACP(), 949u);
    // Korean text survives the round trip through the ANSI code page, as on a Korean Windows.
    const wchar_t* hangul = L"한글";
    char ansi[16] = {};
    int bytes = ::WideCharToMultiByte(CP_ACP, 0, hangul, -1, ansi, sizeof(ansi), nullptr, nullptr);
    EXPECT_EQ(bytes, 5);
    EXPECT_EQ(static_cast<unsigned char>(ansi[0]), 0xC7u);  // 한 is C7 D1 in code page 949
}

TEST(WineEnvironment, TestDriveIsRemovableWithLabelAndFreeSpace) {
    // The test drive T: is a project folder; give it a label of its own for this check.
    char linuxPath[] = "T:\\";
    EXPECT_EQ(::GetDriveTypeA(linuxPath), static_cast<UINT>(DRIVE_REMOVABLE));

    wchar_t label[MAX_PATH + 1] = {};
    DWORD serial = 0;
    DWORD maxComponent = 0;
    DWORD flags = 0;
    wchar_t fileSystem[MAX_PATH + 1] = {};
    ASSERT_TRUE(::GetVolumeInformationW(L"T:\\", label, MAX_PATH + 1, &serial, &maxComponent, &flags, fileSystem,
                                        MAX_PATH + 1));
    std::printf("T: label=%ls serial=%08lX fs=%ls maxComponent=%lu\n", label, serial, fileSystem, maxComponent);
    EXPECT_NE(label[0], L'\0');

    ULARGE_INTEGER freeToCaller = {};
    ULARGE_INTEGER total = {};
    ULARGE_INTEGER totalFree = {};
    ASSERT_TRUE(::GetDiskFreeSpaceExW(L"T:\\", &freeToCaller, &total, &totalFree));
    std::printf("T: free=%llu total=%llu\n", freeToCaller.QuadPart, total.QuadPart);
    EXPECT_GT(total.QuadPart, 0u);
    EXPECT_LE(freeToCaller.QuadPart, total.QuadPart);
}

TEST(WineEnvironment, HangulFontIsFoundUnderTheKoreanNames) {
    HDC dc = ::GetDC(nullptr);
    ASSERT_NE(dc, nullptr);
    for (const wchar_t* face : {L"Gulim", L"굴림"}) {
        LOGFONTW request = {};
        request.lfHeight = -12;
        request.lfCharSet = HANGEUL_CHARSET;
        lstrcpynW(request.lfFaceName, face, LF_FACESIZE);
        HFONT font = ::CreateFontIndirectW(&request);
        HGDIOBJ old = ::SelectObject(dc, font);
        wchar_t chosen[LF_FACESIZE] = {};
        ::GetTextFaceW(dc, LF_FACESIZE, chosen);
        TEXTMETRICW metrics = {};
        ::GetTextMetricsW(dc, &metrics);
        ::SelectObject(dc, old);
        ::DeleteObject(font);
        EXPECT_EQ(metrics.tmCharSet, HANGEUL_CHARSET) << "face " << static_cast<int>(face[0]);
        std::printf("font %ls -> %ls\n", face, chosen);
    }
    ::ReleaseDC(nullptr, dc);
}

// Catches: a prefix whose fonts miss Wine's own (Marlett draws the caption buttons, which otherwise show the
// letters "0 1 r"; Tahoma is the dialogs' font), so screens depend on whatever the machine has installed.
TEST(WineEnvironment, CaptionButtonAndDialogFontsAreWinesOwn) {
    HDC dc = ::GetDC(nullptr);
    ASSERT_NE(dc, nullptr);
    const struct {
        const wchar_t* face;
        BYTE charSet;
    } wanted[] = {{L"Marlett", SYMBOL_CHARSET}, {L"Tahoma", DEFAULT_CHARSET}};
    for (const auto& font : wanted) {
        LOGFONTW request = {};
        request.lfHeight = -13;
        request.lfCharSet = font.charSet;
        lstrcpynW(request.lfFaceName, font.face, LF_FACESIZE);
        HFONT created = ::CreateFontIndirectW(&request);
        HGDIOBJ old = ::SelectObject(dc, created);
        wchar_t chosen[LF_FACESIZE] = {};
        ::GetTextFaceW(dc, LF_FACESIZE, chosen);
        ::SelectObject(dc, old);
        ::DeleteObject(created);
        EXPECT_STREQ(chosen, font.face);
    }
    ::ReleaseDC(nullptr, dc);
}

}  // namespace
