#include "framework/base/Narrowing.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A unit above U+00FF anywhere, in the blocks tested at once or in the rest
// after them, is found; U+00FF alone fits.
TEST(Narrowing, UnitsFitInBytesFindsAWideUnitAnywhere)
{
    for (const size_t count : {1, 63, 64, 65, 130, 200}) {
        const std::u16string fits(count, u'\u00FF');
        EXPECT_TRUE(UnitsFitInBytes(fits.data(), fits.size())) << count;
        for (size_t at = 0; at < count; ++at) {
            std::u16string text = fits;
            text[at] = u'\u0100';
            EXPECT_FALSE(UnitsFitInBytes(text.data(), text.size())) << count << " at " << at;
        }
    }
}

}  // namespace
