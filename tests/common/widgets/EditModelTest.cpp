// Edit field model: typing, caret keys, deletion limits, input-method composition and the visible window.
#include "common/widgets/EditModel.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using common::EditModel;

// Latin characters 10 pixels wide, Hangul syllables 20, as a stand-in for a real font.
class FixedMeasurer : public common::ITextMeasurer {
public:
    int TextWidth(const char16_t* text, size_t count) override {
        int width = 0;
        for (size_t i = 0; i < count; ++i) {
            width += text[i] >= 0xAC00 ? 20 : 10;
        }
        return width;
    }
};

// Field 70 wide: 60 pixels of room, six Latin characters.
constexpr common::PixelRect kField{100, 50, 70, 20};
constexpr uint32_t kId = 900;

class EditModelTest : public ::testing::Test {
protected:
    EditModelTest() : model(kField, 260) { model.Click(kField.x + 1, kField.y + 1); }

    void Type(const std::u16string& text) {
        for (char16_t c : text) {
            model.Character(c, measurer);
        }
    }
    void Press(uint32_t key, int times = 1) {
        for (int i = 0; i < times; ++i) {
            model.KeyDown(key, measurer);
        }
    }
    std::u16string Text() const { return std::u16string(model.Text()); }
    std::u16string Visible() const {
        return std::u16string(model.Text() + model.FirstVisible(), model.EndVisible() - model.FirstVisible());
    }

    FixedMeasurer measurer;
    EditModel model;
};

TEST_F(EditModelTest, TypingPastTheWidthScrollsTheTextLeft) {
    Type(u"abcdefghij");

    EXPECT_EQ(Visible(), u"efghij");
    EXPECT_EQ(model.Caret(), 10u);
    EXPECT_EQ(model.CaretOffset(), 5 + 60);
}

TEST_F(EditModelTest, CaretLeftPastTheFirstVisibleScrollsBackOneAtATime) {
    Type(u"abcdefghij");
    Press(common::kEditKeyLeft, 6);
    EXPECT_EQ(Visible(), u"efghij");
    EXPECT_EQ(model.CaretOffset(), 5);

    Press(common::kEditKeyLeft);
    EXPECT_EQ(Visible(), u"defghi");
    Press(common::kEditKeyLeft);
    EXPECT_EQ(Visible(), u"cdefgh");
    EXPECT_EQ(model.Caret(), 2u);
}

TEST_F(EditModelTest, CaretRightPastTheLastVisibleScrollsForward) {
    Type(u"abcdefghij");
    Press(common::kEditKeyLeft, 10);
    EXPECT_EQ(Visible(), u"abcdef");

    Press(common::kEditKeyRight, 7);
    EXPECT_EQ(Visible(), u"bcdefg");
    EXPECT_EQ(model.CaretOffset(), 5 + 60);
}

TEST_F(EditModelTest, CaretStopsAtBothEndsOfTheText) {
    Type(u"ab");
    Press(common::kEditKeyRight, 3);
    EXPECT_EQ(model.Caret(), 2u);
    Press(common::kEditKeyLeft, 5);
    EXPECT_EQ(model.Caret(), 0u);
}

struct DeleteCase {
    const char* name;
    int caretFromEnd;
    std::u16string expected;
};

class EditDeleteTest : public EditModelTest, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(EditDeleteTest, DeleteRemovesOnlyTheCharacterAfterTheCaret) {
    Type(u"abcd");
    Press(common::kEditKeyLeft, GetParam().caretFromEnd);

    Press(common::kEditKeyDelete);

    EXPECT_EQ(Text(), GetParam().expected);
    EXPECT_EQ(model.Length(), GetParam().expected.size());
    EXPECT_EQ(model.Caret(), 4u - GetParam().caretFromEnd);
}

INSTANTIATE_TEST_SUITE_P(EditModel, EditDeleteTest,
                         ::testing::Values(DeleteCase{"AtEndDoesNothing", 0, u"abcd"},
                                           DeleteCase{"BeforeLast", 1, u"abc"}, DeleteCase{"InMiddle", 2, u"abd"},
                                           DeleteCase{"AtStartRemovesFirst", 4, u"bcd"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditModelTest, DeleteOnEmptyTextDoesNothing) {
    Press(common::kEditKeyDelete);
    EXPECT_EQ(model.Length(), 0u);
    EXPECT_EQ(model.Caret(), 0u);
}

TEST_F(EditModelTest, BackspaceRemovesTheCharacterBeforeTheCaretWhenThereIsOne) {
    Type(u"abc");
    Press(common::kEditKeyLeft);
    Type(u"\b");
    EXPECT_EQ(Text(), u"ac");
    Press(common::kEditKeyLeft);
    Type(u"\b");
    EXPECT_EQ(Text(), u"ac");
    EXPECT_EQ(model.Caret(), 0u);
}

TEST_F(EditModelTest, DeletingFreesRoomThatTheWindowFillsAgain) {
    Type(u"abcdefghij");
    Type(u"\b\b\b");
    EXPECT_EQ(Visible(), u"bcdefg");
    EXPECT_EQ(model.FirstVisible(), 1u);
    Type(u"\b");
    EXPECT_EQ(Visible(), u"abcdef");
}

TEST_F(EditModelTest, HoldsAtMostTheMaximumLength) {
    Type(std::u16string(300, u'x'));
    EXPECT_EQ(model.Length(), 260u);
    EXPECT_EQ(model.Text()[260], u'\0');

    model.Composition(0xAC00, common::kEditComposingFlags, measurer);
    model.ImeCharacter(0xAC01, measurer);
    EXPECT_EQ(model.Length(), 260u);
    EXPECT_FALSE(model.IsComposing());
}

TEST_F(EditModelTest, SetTextCutsToTheMaximumAndPutsTheCaretAtTheEnd) {
    model.SetText(std::u16string(400, u'y'), measurer);
    EXPECT_EQ(model.Length(), 260u);
    EXPECT_EQ(model.Caret(), 260u);
    EXPECT_EQ(model.EndVisible(), 260u);
    EXPECT_EQ(model.FirstVisible(), 254u);
}

TEST_F(EditModelTest, ControlCodesAreIgnoredAndSyllablesLeftToTheInputMethod) {
    Type(u"a\t\r");
    EXPECT_EQ(Text(), u"a");
    EXPECT_FALSE(model.Character(0xAC00, measurer));
    EXPECT_TRUE(model.Character(0xABFF, measurer));
    EXPECT_EQ(model.Length(), 2u);
}

TEST(EditModel, UnfocusedFieldTakesNoInput) {
    FixedMeasurer measurer;
    EditModel model(kField, 260);

    EXPECT_FALSE(model.Character(u'a', measurer));
    EXPECT_FALSE(model.KeyDown(common::kEditKeyLeft, measurer));
    EXPECT_FALSE(model.ImeCharacter(0xAC00, measurer));
    model.Composition(0xAC00, common::kEditComposingFlags, measurer);
    EXPECT_EQ(model.Length(), 0u);
}

TEST(EditModel, ClickFocusesOnceAndClickOutsideBlurs) {
    EditModel model(kField, 260);

    EXPECT_EQ(model.Click(kField.x + kField.width, kField.y + kField.height), common::EditClick::GainedFocus);
    EXPECT_EQ(model.Click(kField.x, kField.y), common::EditClick::Inside);
    EXPECT_EQ(model.Click(kField.x - 1, kField.y), common::EditClick::Outside);
    EXPECT_FALSE(model.IsFocused());

    model.SetFocusFromNotice(kId, kId);
    EXPECT_TRUE(model.IsFocused());
    model.SetFocusFromNotice(901, kId);
    EXPECT_FALSE(model.IsFocused());
}

TEST_F(EditModelTest, ComposingCharacterShowsAtTheCaretAndTheSyllableReplacesIt) {
    Type(u"ab");
    Press(common::kEditKeyLeft);

    model.Composition(0x3131, common::kEditComposingFlags, measurer);  // ㄱ
    EXPECT_EQ(Text(), u"a\u3131b");
    EXPECT_TRUE(model.IsComposing());
    model.Composition(0xAC00, common::kEditComposingFlags, measurer);  // 가
    EXPECT_EQ(Text(), u"a\uAC00b");

    model.ImeCharacter(0xAC01, measurer);  // 각
    EXPECT_EQ(Text(), u"a\uAC01b");
    EXPECT_FALSE(model.IsComposing());
    EXPECT_EQ(model.Caret(), 2u);

    model.ImeCharacter(0xD55C, measurer);  // 한, no composition: inserted
    EXPECT_EQ(Text(), u"a\uAC01\uD55Cb");
}

TEST_F(EditModelTest, CompositionWithOtherFlagsIsIgnored) {
    model.Composition(0x3131, 0x0008, measurer);
    EXPECT_EQ(model.Length(), 0u);
    EXPECT_FALSE(model.IsComposing());
}

TEST_F(EditModelTest, BackspaceThroughTheInputMethodEndsCompositionAndDeletes) {
    Type(u"a");
    model.Composition(0x3131, common::kEditComposingFlags, measurer);
    model.ImeCharacter(common::kEditBackspace, measurer);

    EXPECT_EQ(Text(), u"a");
    EXPECT_FALSE(model.IsComposing());
}

TEST_F(EditModelTest, MovingTheCaretEndsCompositionSoTheNextOneInserts) {
    Type(u"ab");
    model.Composition(0x3131, common::kEditComposingFlags, measurer);
    Press(common::kEditKeyLeft, 3);
    model.Composition(0x3134, common::kEditComposingFlags, measurer);

    EXPECT_EQ(Text(), u"\u3134ab\u3131");
}

TEST_F(EditModelTest, HangulWidthsKeepTheCaretVisible) {
    for (int i = 0; i < 5; ++i) {
        model.ImeCharacter(static_cast<char16_t>(0xAC00 + i), measurer);
    }
    EXPECT_EQ(model.EndVisible() - model.FirstVisible(), 3u);
    EXPECT_EQ(model.CaretOffset(), 5 + 60);
}

// Random edits never break the model's bounds: the caret in the window, the window in the text, the text within
// its maximum and terminated, and the window within the room unless a single character is wider.
TEST(EditModel, RandomEditingKeepsEveryIndexInBounds) {
    FixedMeasurer measurer;
    for (size_t maxLength : {1u, 2u, 8u, 260u}) {
        for (int width : {5, 15, 70}) {
            EditModel model(common::PixelRect{0, 0, width, 20}, maxLength);
            model.Click(0, 0);
            std::mt19937 random(static_cast<unsigned>(maxLength * 100 + width));
            for (int step = 0; step < 3000; ++step) {
                switch (random() % 7) {
                    case 0:
                        model.Character(static_cast<char16_t>(u'a' + random() % 26), measurer);
                        break;
                    case 1:
                        model.Character(common::kEditBackspace, measurer);
                        break;
                    case 2:
                        model.KeyDown(common::kEditKeyLeft, measurer);
                        break;
                    case 3:
                        model.KeyDown(common::kEditKeyRight, measurer);
                        break;
                    case 4:
                        model.KeyDown(common::kEditKeyDelete, measurer);
                        break;
                    case 5:
                        model.Composition(static_cast<char16_t>(0x3131 + random() % 10), common::kEditComposingFlags,
                                          measurer);
                        break;
                    default:
                        model.ImeCharacter(static_cast<char16_t>(0xAC00 + random() % 100), measurer);
                        break;
                }
                ASSERT_LE(model.Length(), maxLength);
                ASSERT_EQ(model.Text()[model.Length()], u'\0');
                ASSERT_LE(model.FirstVisible(), model.Caret());
                ASSERT_LE(model.Caret(), model.EndVisible());
                ASSERT_LE(model.EndVisible(), model.Length());
                if (model.EndVisible() - model.FirstVisible() > 1) {
                    ASSERT_LE(measurer.TextWidth(model.Text() + model.FirstVisible(),
                                                 model.EndVisible() - model.FirstVisible()),
                              width - 10);
                }
                if (model.IsComposing()) {
                    ASSERT_GT(model.Caret(), 0u);
                }
            }
        }
    }
}

}  // namespace
