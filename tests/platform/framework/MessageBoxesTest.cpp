// The suite's boxes: fixed title and style, Korean text intact, and only Yes counts as Yes.
#include <gtest/gtest.h>

#include "platform/framework/App.h"
#include "platform/framework/MessageBoxes.h"
#include "platform/framework/RecordingMessageBoxes.h"

namespace {

using platform::RecordingMessageBoxes;

constexpr UINT kInfoStyle = MB_ICONINFORMATION | MB_TOPMOST;

TEST(MessageBoxes, InfoBoxIsTitledJeongboTopmostWithTheInformationIcon) {
    RecordingMessageBoxes boxes;
    platform::ShowInfo(boxes, nullptr, L"런처를 시작하지 못하였습니다.\n다시 시도하여 주십시오.");
    ASSERT_EQ(boxes.boxes().size(), 1u);
    const auto& box = boxes.boxes()[0];
    EXPECT_EQ(box.title, L"정보");
    EXPECT_EQ(box.text, L"런처를 시작하지 못하였습니다.\n다시 시도하여 주십시오.");
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK) | kInfoStyle);
    EXPECT_EQ(box.owner, nullptr);
}

TEST(MessageBoxes, StopBoxKeepsTheTitleAndUsesTheStopIcon) {
    RecordingMessageBoxes boxes;
    platform::ShowStop(boxes, nullptr, L"런처를 업데이트 하는 도중 오류가 발생하였습니다.(오류코드:2)");
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].title, L"정보");
    EXPECT_EQ(boxes.boxes()[0].type, static_cast<UINT>(MB_OK | MB_ICONSTOP | MB_TOPMOST));
}

TEST(MessageBoxes, OnlyAnExplicitYesAnswersYes) {
    RecordingMessageBoxes boxes;
    boxes.QueueAnswer(IDYES);
    boxes.QueueAnswer(IDNO);
    boxes.QueueAnswer(0);  // the box could not be shown
    boxes.QueueAnswer(IDCANCEL);
    EXPECT_TRUE(platform::AskYesNo(boxes, nullptr, L"Kelvo를 종료 하시겠습니까?"));
    EXPECT_FALSE(platform::AskYesNo(boxes, nullptr, L"Kelvo를 종료 하시겠습니까?"));
    EXPECT_FALSE(platform::AskYesNo(boxes, nullptr, L"Kelvo를 종료 하시겠습니까?"));
    EXPECT_FALSE(platform::AskYesNo(boxes, nullptr, L"Kelvo를 종료 하시겠습니까?"));
    ASSERT_EQ(boxes.boxes().size(), 4u);
    EXPECT_EQ(boxes.boxes()[0].type, static_cast<UINT>(MB_YESNO) | kInfoStyle);
    EXPECT_EQ(boxes.boxes()[0].title, L"정보");
}

TEST(MessageBoxes, AppBoxCarriesTheProgramsTitleThroughTheInjectedDoor) {
    platform::App app(::GetModuleHandleW(nullptr), L"TolvSet");
    RecordingMessageBoxes boxes;
    app.SetMessageBoxes(&boxes);
    EXPECT_EQ(app.AppMessageBox(L"OLE를 초기화할 수 없습니다. OLE 라이브러리 버전이 올바른지 확인하십시오."), IDOK);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].title, L"TolvSet");
    EXPECT_EQ(boxes.boxes()[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(boxes.boxes()[0].text, L"OLE를 초기화할 수 없습니다. OLE 라이브러리 버전이 올바른지 확인하십시오.");
}

}  // namespace
