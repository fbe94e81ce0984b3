// The agent's application object at start: what it tells the user when it cannot go on.
#include "agent/MarloApp.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <thread>

#include "platform/framework/RecordingMessageBoxes.h"

namespace {

// Catches: the OLE failure shown under the program's own title with the stop icon and behind other windows,
// unlike every other box of the suite ("정보", the information icon, top-most).
TEST(MarloApp, AnOleFailureIsToldInTheSuitesInformationBox) {
    platform::RecordingMessageBoxes boxes;
    int exitCode = -1;
    HRESULT apartment = E_FAIL;
    // A thread already in the multithreaded apartment cannot take OLE, which needs a single-threaded one.
    std::thread starter([&] {
        apartment = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        CMarloApp app(::GetModuleHandleW(nullptr));
        app.SetMessageBoxes(&boxes);
        exitCode = app.Main(SW_HIDE);
        ::CoUninitialize();
    });
    starter.join();
    ASSERT_TRUE(SUCCEEDED(apartment));
    EXPECT_EQ(exitCode, 0);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    const auto& box = boxes.boxes()[0];
    EXPECT_EQ(box.text, L"OLE를 초기화할 수 없습니다. OLE 라이브러리 버전이 올바른지 확인하십시오.");
    EXPECT_EQ(box.title, L"정보");
    EXPECT_EQ(box.type & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_NE(box.type & MB_TOPMOST, 0u);
}

}  // namespace
