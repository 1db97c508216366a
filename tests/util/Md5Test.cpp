#include <gtest/gtest.h>

#include <string>

#include "util/Md5.h"

namespace {

std::string PatternBytes(size_t length, int factor, int offset)
{
    std::string s;
    for (size_t i = 0; i < length; ++i)
        s.push_back(static_cast<char>((static_cast<int>(i) * factor + offset) & 0xFF));
    return s;
}

std::string Hex(const unsigned char digest[16])
{
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (int i = 0; i < 16; ++i) {
        s.push_back(digits[digest[i] >> 4]);
        s.push_back(digits[digest[i] & 0x0F]);
    }
    return s;
}

TEST(Md5, Rfc1321TestSuite)
{
    const struct {
        std::string text;
        const char* digest;
    } cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"1234567890123456789012345678901234567890"
         "1234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.digest, GetMd5String(c.text)) << '"' << c.text << '"';
}

// Around the padding boundary: up to 55 bytes the length fits in the last
// block, from 56 on it needs another.
TEST(Md5, PaddingLengths)
{
    const struct {
        size_t length;
        const char* digest;
    } cases[] = {
        {55, "52c0e574e1198de5fe3f8f11440dcb1b"},
        {56, "46c9907fc908ee68b1e7b8e71286a518"},
        {63, "a62f6d59e837867693f042f5b8f5a236"},
        {64, "7160b8fb5e9e4023d549c3971fbaeead"},
        {65, "70bd662e7aefbda85a0f7244167b7897"},
        {128, "10b2da1a82f16d99a81a7203fe9f02cb"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.digest, GetMd5String(PatternBytes(c.length, 7, 3))) << c.length << " bytes";
}

TEST(Md5, PiecesEqualTheWhole)
{
    const std::string message = PatternBytes(128, 13, 1);
    const char* expected = "4ac27f82c62aec913ef2cd89320a9bfa";
    ASSERT_EQ(expected, GetMd5String(message));

    const size_t pieceSets[][3] = {{1, 63, 64}, {63, 1, 64}, {64, 64, 0}, {0, 127, 1}};
    for (const auto& pieces : pieceSets) {
        Md5Context context;
        Md5Init(&context);
        size_t at = 0;
        for (size_t piece : pieces) {
            Md5Update(&context, message.data() + at, static_cast<uint32_t>(piece));
            at += piece;
        }
        unsigned char digest[16];
        Md5Final(digest, &context);
        EXPECT_EQ(expected, Hex(digest)) << pieces[0] << ", " << pieces[1] << ", " << pieces[2];
    }
}

// The digest of "12" is c2 0a ... ff 67 10: a byte below 0x10 keeps its
// zero, a byte above 0x7f is not sign-extended.
TEST(Md5, DigestBytesAreTwoLowercaseDigits)
{
    EXPECT_EQ("c20ad4d76fe97759aa27a0c99bff6710", GetMd5String("12"));
}

TEST(Md5, EmbeddedZeroIsHashed)
{
    EXPECT_EQ("70350f6027bce3713f6b76473084309b", GetMd5String(std::string("a\0b", 3)));
}

TEST(Md5, FinalWipesTheContext)
{
    Md5Context context;
    Md5Init(&context);
    Md5Update(&context, "abcdefgh", 8);
    unsigned char digest[16];
    Md5Final(digest, &context);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&context);
    for (size_t i = 0; i < sizeof(context); ++i)
        ASSERT_EQ(0, bytes[i]) << "byte " << i;
}

}  // namespace
