#include <gtest/gtest.h>
#include "foundation/text.hpp"
TEST(Text, FormatInt) { EXPECT_EQ(qor::str_format_int(123456, 4), "1e5"); }
