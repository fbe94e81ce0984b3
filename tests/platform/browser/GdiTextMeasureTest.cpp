// The page layout's measuring through the view's fonts.
#include <gtest/gtest.h>

#include <string>

#include "platform/browser/GdiTextMeasure.h"

namespace {

// Catches: widths measured with no font selected (the system font), Korean text measured as nothing, a style
// that falls back to another's font, and lines too short for their own text.
TEST(GdiTextMeasure, WidthsGrowWithTheTextAndEachStyleHasItsFont) {
    platform::GdiTextMeasure measure;
    const common::TextExtent one = measure.Measure(u"\xd55c", common::TextStyle::Body);
    const common::TextExtent three = measure.Measure(u"\xd55c\xad6d\xc5b4", common::TextStyle::Body);
    EXPECT_GT(one.width, 0);
    EXPECT_GT(three.width, 2 * one.width);
    EXPECT_EQ(measure.Measure(u"", common::TextStyle::Body).width, 0);
    EXPECT_GT(measure.Measure(u"Storvia", common::TextStyle::Heading).width,
              measure.Measure(u"Storvia", common::TextStyle::Body).width);
    EXPECT_GE(measure.Measure(u"Install all", common::TextStyle::Bold).width,
              measure.Measure(u"Install all", common::TextStyle::Body).width);
    for (common::TextStyle style : {common::TextStyle::Body, common::TextStyle::Bold, common::TextStyle::Heading,
                                    common::TextStyle::Link, common::TextStyle::Control}) {
        EXPECT_NE(measure.Font(style), nullptr);
        EXPECT_GE(measure.LineHeight(style), measure.Measure(u"\xd55cAg", style).height);
    }
    EXPECT_GT(measure.LineHeight(common::TextStyle::Heading), measure.LineHeight(common::TextStyle::Body));
}

// Catches: a kept extent answered for another style, or one that is no longer the text's own after the kept
// extents of a long page were dropped.
TEST(GdiTextMeasure, KeptExtentsAreEachTextsOwnInItsStyle) {
    platform::GdiTextMeasure measure;
    platform::GdiTextMeasure fresh;
    const std::u16string word = u"\xd55c\xad6d Storvia";
    const common::TextExtent body = measure.Measure(word, common::TextStyle::Body);
    EXPECT_GT(measure.Measure(word, common::TextStyle::Heading).width, body.width);
    EXPECT_EQ(measure.LineHeight(common::TextStyle::Body), fresh.LineHeight(common::TextStyle::Body));
    EXPECT_GT(measure.LineHeight(common::TextStyle::Heading), measure.LineHeight(common::TextStyle::Body));
    // More different words than are kept: the first ones are asked again and still measure the same.
    for (int i = 0; i < 10000; ++i) {
        measure.Measure(u"w" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) +
                            std::u16string(static_cast<size_t>(i / 26 % 40), u'x') +
                            std::u16string(1, static_cast<char16_t>(u'a' + i / 1040)),
                        common::TextStyle::Body);
    }
    const common::TextExtent again = measure.Measure(word, common::TextStyle::Body);
    EXPECT_EQ(again.width, body.width);
    EXPECT_EQ(again.height, body.height);
    EXPECT_EQ(fresh.Measure(word, common::TextStyle::Body).width, body.width);
}

}  // namespace
