#include "cardfile/compression.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace tabellan {
namespace {

std::string Header(std::uint32_t n) {
    std::string h(4, '\0');
    for (int i = 0; i < 4; ++i) {
        h[i] = static_cast<char>((n >> (8 * i)) & 0xFF);
    }
    return h;
}

std::uint32_t HeaderOf(const std::string& block) {
    std::uint32_t n = 0;
    for (int i = 0; i < 4; ++i) {
        n |= static_cast<std::uint32_t>(static_cast<unsigned char>(block[i])) << (8 * i);
    }
    return n;
}

std::string CardBody(int cards) {
    std::string body;
    for (int i = 0; i < cards; ++i) {
        body += "Smith " + std::to_string(i) + ",\"12 Main St\",\"Tel. 555 0100\",Leeds\r\n";
    }
    return body;
}

std::string RandomBytes(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& c : s) {
        c = static_cast<char>(gen() & 0xFF);
    }
    return s;
}

TEST(CompressionTest, LevelMapping) {
    EXPECT_EQ(UclLevelFor(0), 0);
    EXPECT_EQ(UclLevelFor(1), 1);
    EXPECT_EQ(UclLevelFor(2), 5);
    EXPECT_EQ(UclLevelFor(3), 10);
    EXPECT_EQ(UclLevelFor(4), 0);
    EXPECT_EQ(UclLevelFor(-1), 0);
}

TEST(CompressionTest, EveryLevelRoundTripsAndShrinksText) {
    const std::string body = CardBody(500);
    for (int level : {1, 2, 3}) {
        const auto block = CompressText(body, UclLevelFor(level));
        ASSERT_TRUE(block.has_value()) << level;
        ASSERT_GT(block->size(), 4u);
        EXPECT_LT(block->size(), body.size() / 4) << level;
        EXPECT_EQ(HeaderOf(*block), body.size());
        const auto back = DecompressText(*block);
        ASSERT_TRUE(back.has_value()) << level;
        EXPECT_EQ(*back, body);
    }
}

// The window compresses on a worker thread and shows the progress: reporting it must not
// change a single byte of the block, and the counts rise up to the body's size.
TEST(CompressionTest, ProgressLeavesTheBlockAsItIs) {
    const std::string body = CardBody(3000);
    for (int level : {1, 3}) {
        SCOPED_TRACE(level);
        std::vector<std::size_t> seen;
        const auto withProgress =
            CompressText(body, UclLevelFor(level), [&](std::size_t done, std::size_t total) {
                EXPECT_EQ(total, body.size());
                seen.push_back(done);
            });
        EXPECT_EQ(withProgress, CompressText(body, UclLevelFor(level)));
        ASSERT_FALSE(seen.empty());
        EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
        EXPECT_LE(seen.back(), body.size());
    }
}

TEST(CompressionTest, EmptyDataAndEmptyBlock) {
    const auto block = CompressText("", 1);
    ASSERT_TRUE(block.has_value());
    EXPECT_TRUE(block->empty());
    const auto body = DecompressText("");
    ASSERT_TRUE(body.has_value());
    EXPECT_TRUE(body->empty());
}

TEST(CompressionTest, NoGainIsStoredWithHeaderZero) {
    for (const std::string& data :
         {std::string("Jones\r\n"), std::string("x"), RandomBytes(10000, 7)}) {
        const auto block = CompressText(data, 10);
        ASSERT_TRUE(block.has_value());
        EXPECT_EQ(*block, Header(0) + data);
        EXPECT_EQ(DecompressText(*block), data);
    }
}

TEST(CompressionTest, CompressorErrorGivesNullopt) {
    // Level 11 lies outside the library's 1..10.
    EXPECT_FALSE(CompressText(CardBody(10), 11).has_value());
}

TEST(CompressionTest, ShortBlocks) {
    EXPECT_EQ(DecompressText(Header(0)), std::string());
    EXPECT_EQ(DecompressText(Header(0) + "abc"), "abc");
    EXPECT_FALSE(DecompressText(std::string("\0\0\0", 3)).has_value());
    EXPECT_FALSE(DecompressText("a").has_value());
    // A non-zero header with no stream at all.
    EXPECT_FALSE(DecompressText(Header(5)).has_value());
}

TEST(CompressionTest, DamagedStreamsGiveNullopt) {
    const std::string body = CardBody(200);
    const std::string block = *CompressText(body, 1);

    for (std::size_t len = 4; len < block.size(); ++len) {
        EXPECT_FALSE(DecompressText(block.substr(0, len)).has_value()) << len;
    }
    // A header that claims more or fewer bytes than the stream yields.
    EXPECT_FALSE(DecompressText(Header(body.size() + 1) + block.substr(4)).has_value());
    EXPECT_FALSE(DecompressText(Header(body.size() - 1) + block.substr(4)).has_value());
    // Trailing garbage after the end marker.
    EXPECT_FALSE(DecompressText(block + "zz").has_value());
    // Flipped bytes either fail or, when the stream still decodes, give exactly h bytes.
    for (std::size_t i = 4; i < block.size(); ++i) {
        std::string altered = block;
        altered[i] = static_cast<char>(altered[i] ^ 0x5A);
        const auto out = DecompressText(altered);
        if (out.has_value()) {
            EXPECT_EQ(out->size(), body.size());
        }
    }
}

TEST(CompressionTest, HugeHeadersAreRefusedWithoutReserving) {
    const std::string stream = CompressText(CardBody(50), 1)->substr(4);
    EXPECT_FALSE(DecompressText(Header(0xFFFFFFFFu) + stream).has_value());
    EXPECT_FALSE(DecompressText(Header(0x80000000u) + stream).has_value());
    EXPECT_FALSE(DecompressText(Header(kMaxBodyBytes + 1) + std::string(1 << 20, 'a')).has_value());
}

TEST(CompressionTest, HighlyRepetitiveBodyStaysWithinTheAcceptedRatio) {
    // The most compressible body there is must still read back.
    const std::string body(4 << 20, 'a');
    for (int level : {1, 10}) {
        const auto block = CompressText(body, level);
        ASSERT_TRUE(block.has_value());
        EXPECT_EQ(DecompressText(*block), body);
    }
}

TEST(CompressionTest, StreamWithEscapedBytesRoundTrips) {
    // Search seeds until the stream holds 0, 10, 13, 26 and 92: the bytes the one-line payload
    // escapes.
    bool found = false;
    for (unsigned seed = 1; seed < 200 && !found; ++seed) {
        std::string body = CardBody(20) + RandomBytes(300, seed) + CardBody(20);
        const auto block = CompressText(body, 1);
        ASSERT_TRUE(block.has_value());
        const std::string stream = block->substr(4);
        if (HeaderOf(*block) == 0) {
            continue;
        }
        bool all = true;
        for (char c : {'\0', '\n', '\r', '\x1A', '\\'}) {
            all = all && stream.find(c) != std::string::npos;
        }
        if (all) {
            found = true;
            EXPECT_EQ(DecompressText(*block), body);
        }
    }
    EXPECT_TRUE(found);
}

}  // namespace
}  // namespace tabellan
