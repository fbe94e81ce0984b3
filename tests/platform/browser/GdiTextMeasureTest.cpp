// The page layout's measuring through the view's fonts.
#include <gtest/gtest.h>

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

}  // namespace
