#include "examples/demo_service/base64.h"

#include <string>

#include <gtest/gtest.h>

namespace nv::demo {
namespace {

TEST(DemoBase64, EncodesWithPaddingForEveryRemainder) {
    EXPECT_EQ(encodeBase64(""), "");
    EXPECT_EQ(encodeBase64("f"), "Zg==");
    EXPECT_EQ(encodeBase64("fo"), "Zm8=");
    EXPECT_EQ(encodeBase64("foo"), "Zm9v");
    EXPECT_EQ(encodeBase64("foobar"), "Zm9vYmFy");
    EXPECT_EQ(encodeBase64(std::string("\xFF\xFE\x00", 3)), "//4A");
}

TEST(DemoBase64, DecodesWhatItEncodesForEveryByte) {
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(255 - i);
    for (std::size_t n = 0; n <= 5; ++n)
        EXPECT_EQ(decodeBase64(encodeBase64(bytes.substr(0, bytes.size() - n))),
                  bytes.substr(0, bytes.size() - n));
}

TEST(DemoBase64, SkipsXmlWhitespaceAndAcceptsMissingPadding) {
    EXPECT_EQ(decodeBase64(" Zm9v\r\n YmFy\t"), "foobar");
    EXPECT_EQ(decodeBase64("Zm8"), "fo");
}

TEST(DemoBase64, RefusesBadSymbolsAndMisplacedPadding) {
    EXPECT_FALSE(decodeBase64("Zm9v!").has_value());
    EXPECT_FALSE(decodeBase64("Z===").has_value());
    EXPECT_FALSE(decodeBase64("Zg==Zg==").has_value());
    EXPECT_FALSE(decodeBase64("Zg=").has_value());
    EXPECT_FALSE(decodeBase64("Z").has_value());
}

}  // namespace
}  // namespace nv::demo
