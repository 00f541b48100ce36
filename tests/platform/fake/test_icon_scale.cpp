// Scaling a program's icon down, as every backend does before handing it out.
#include "detail/icon_scale.h"

#include <gtest/gtest.h>

TEST(IconScale, KeepsProportionsAndDoesNotDarkenTransparentEdges)
{
    // 4 × 2: the left half one opaque red pixel among transparent black ones,
    // the right half opaque blue.
    platform::ProgramIcon icon;
    icon.width = 4;
    icon.height = 2;
    icon.argb = {0xffff0000, 0x00000000, 0xff0000ff, 0xff0000ff,
                 0x00000000, 0x00000000, 0xff0000ff, 0xff0000ff};
    const platform::ProgramIcon scaled = platform::detail::scaledDown(icon, 2);
    EXPECT_EQ(scaled.width, 2);
    EXPECT_EQ(scaled.height, 1);
    EXPECT_EQ(scaled.argb, (std::vector<std::uint32_t>{0x40ff0000, 0xff0000ff}));
    EXPECT_EQ(platform::detail::scaledDown(icon, 4).argb, icon.argb); // fits already
}
