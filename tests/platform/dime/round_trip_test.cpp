// DIME messages written by compose() and read back by parse(), and the exact bytes written.
#include <cstddef>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dime/composer.h"
#include "platform/dime/parser.h"
#include "platform/dime/record.h"

namespace nv::dime {
namespace {

using namespace std::string_literals;

std::vector<Record> roundTrip(const std::vector<Record>& records, std::size_t chunkSize = 0) {
    std::string bytes = compose(records, chunkSize);
    EXPECT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.size() % 4, 0u);
    ParseResult result = parse(bytes);
    EXPECT_TRUE(result.ok()) << result.error;
    return result.records;
}

void expectSame(const std::vector<Record>& expected, const std::vector<Record>& actual) {
    ASSERT_EQ(expected.size(), actual.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i].id, actual[i].id) << "record " << i;
        EXPECT_EQ(expected[i].type, actual[i].type) << "record " << i;
        EXPECT_EQ(expected[i].tnf, actual[i].tnf) << "record " << i;
        EXPECT_EQ(expected[i].data, actual[i].data) << "record " << i;
    }
}

std::string pattern(std::size_t size) {
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    return data;
}

TEST(DimeRoundTrip, OneRecord) {
    std::vector<Record> records{{"uuid:1", "http://schemas.xmlsoap.org/soap/envelope/",
                                 TypeFormat::AbsoluteUri, "<Envelope/>"}};
    expectSame(records, roundTrip(records));
}

TEST(DimeRoundTrip, ManyRecordsKeepTheirOrderAndFormats) {
    std::vector<Record> records{
        {"uuid:a", "http://schemas.xmlsoap.org/soap/envelope/", TypeFormat::AbsoluteUri, "<e/>"},
        {"uuid:b", "image/png", TypeFormat::MediaType, pattern(1000)},
        {"", "", TypeFormat::Unknown, "opaque\0bytes"s},
        {"uuid:d", "", TypeFormat::None, ""},
        {"uuid:e", "text/plain", TypeFormat::MediaType, "last"},
    };
    expectSame(records, roundTrip(records));
}

TEST(DimeRoundTrip, ChunkedPayloadsAreJoinedAtEverySmallChunkSize) {
    std::vector<Record> records{
        {"uuid:env", "http://schemas.xmlsoap.org/soap/envelope/", TypeFormat::AbsoluteUri,
         pattern(37)},
        {"uuid:att", "application/octet-stream", TypeFormat::MediaType, pattern(101)},
        {"", "", TypeFormat::Unknown, ""},
    };
    for (std::size_t chunk : {1u, 2u, 3u, 4u, 5u, 7u, 36u, 37u, 38u, 100u, 101u, 102u})
        expectSame(records, roundTrip(records, chunk));
}

TEST(DimeRoundTrip, ChunkingWritesOneWireRecordPerChunk) {
    std::string bytes = compose({{"id", "t/t", TypeFormat::MediaType, pattern(10)}}, 4);
    // Three chunks of 4, 4, 2 bytes: the first carries ID and TYPE, the others neither.
    EXPECT_EQ(bytes.size(), (12u + 4 + 4 + 4) + (12u + 4) + (12u + 4));
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0x0D);   // v1, MB, CF
    EXPECT_EQ(static_cast<unsigned char>(bytes[24]), 0x09);  // v1, CF
    EXPECT_EQ(static_cast<unsigned char>(bytes[25]), 0x00);  // TYPE_T unchanged
    EXPECT_EQ(static_cast<unsigned char>(bytes[40]), 0x0A);  // v1, ME
}

TEST(DimeRoundTrip, EmptyPayloadsStayEmpty) {
    std::vector<Record> records{{"uuid:x", "text/xml", TypeFormat::MediaType, ""},
                                {"uuid:y", "text/xml", TypeFormat::MediaType, ""}};
    expectSame(records, roundTrip(records));
    expectSame(records, roundTrip(records, 1));
}

TEST(DimeRoundTrip, IdAndTypeOfEveryLengthAroundThePaddingBoundary) {
    for (std::size_t idLength = 1; idLength <= 9; ++idLength) {
        for (std::size_t typeLength = 1; typeLength <= 9; ++typeLength) {
            std::vector<Record> records{
                {std::string(idLength, 'i'), std::string(typeLength, 't'), TypeFormat::MediaType,
                 pattern(idLength + typeLength)},
                {std::string(typeLength, 'j'), "", TypeFormat::Unknown, pattern(idLength)},
            };
            SCOPED_TRACE("id " + std::to_string(idLength) + ", type " + std::to_string(typeLength));
            expectSame(records, roundTrip(records));
        }
    }
}

TEST(DimeLayout, TinyMessageMatchesTheWireFormatByteForByte) {
    std::string bytes = compose({{"a", "b", TypeFormat::MediaType, "xyz"}});
    const std::string expected =
        "\x0E\x10"          // VERSION 1, MB, ME; TYPE_T media-type, RESERVED 0
        "\x00\x00"          // OPTIONS_LENGTH
        "\x00\x01"          // ID_LENGTH
        "\x00\x01"          // TYPE_LENGTH
        "\x00\x00\x00\x03"  // DATA_LENGTH
        "a\0\0\0"
        "b\0\0\0"
        "xyz\0"s;
    EXPECT_EQ(bytes, expected);
}

TEST(DimeLayout, ChunkedMessageMatchesTheWireFormatByteForByte) {
    std::string bytes = compose({{"", "", TypeFormat::Unknown, "abcde"}}, 2);
    const std::string expected =
        "\x0D\x30\0\0\0\0\0\0\0\0\0\x02"
        "ab\0\0"  // first chunk: MB, CF, TYPE_T unknown
        "\x09\x00\0\0\0\0\0\0\0\0\0\x02"
        "cd\0\0"  // middle chunk: CF, TYPE_T unchanged
        "\x0A\x00\0\0\0\0\0\0\0\0\0\x01"
        "e\0\0\0"s;  // last chunk: ME
    EXPECT_EQ(bytes, expected);
}

TEST(DimeLayout, LongerFieldsAreBigEndian) {
    std::string id(0x0102, 'i');
    std::string bytes = compose({{id, "", TypeFormat::Unknown, pattern(0x010203)}});
    EXPECT_EQ(bytes.substr(4, 2), "\x01\x02");
    EXPECT_EQ(bytes.substr(8, 4), "\x00\x01\x02\x03"s);
}

TEST(DimeCompose, RefusesRecordsDimeCannotCarry) {
    EXPECT_EQ(composeProblem({}), "a DIME message needs at least one record");
    EXPECT_TRUE(compose({}).empty());

    std::vector<Record> longId{{"ok", "", TypeFormat::Unknown, ""},
                               {std::string(65536, 'x'), "", TypeFormat::Unknown, ""}};
    EXPECT_EQ(composeProblem(longId),
              "record 2: an ID of 65536 bytes is longer than DIME allows (65535)");
    EXPECT_TRUE(compose(longId).empty());

    std::vector<Record> longType{{"", std::string(70000, 't'), TypeFormat::MediaType, ""}};
    EXPECT_EQ(composeProblem(longType),
              "record 1: a TYPE of 70000 bytes is longer than DIME allows (65535)");

    EXPECT_EQ(composeProblem({{"", "", TypeFormat::Unchanged, ""}}),
              "record 1: TYPE_T unchanged is only for chunk continuations");
    EXPECT_EQ(composeProblem({{"", "text/plain", TypeFormat::Unknown, ""}}),
              "record 1: TYPE_T unknown cannot carry a TYPE");
    EXPECT_EQ(composeProblem({{"", "", TypeFormat::None, "data"}}),
              "record 1: TYPE_T none cannot carry a TYPE or data");
}

TEST(DimeCompose, TheLongestFieldsDimeAllowsAreWritten) {
    std::vector<Record> records{
        {std::string(65535, 'i'), std::string(65535, 't'), TypeFormat::MediaType, "d"}};
    EXPECT_TRUE(composeProblem(records).empty());
    expectSame(records, roundTrip(records));
}

TEST(DimeTypeFormat, NamesConvertBothWays) {
    const std::vector<std::pair<TypeFormat, std::string>> names{
        {TypeFormat::Unchanged, "unchanged"},
        {TypeFormat::MediaType, "media-type"},
        {TypeFormat::AbsoluteUri, "absolute-uri"},
        {TypeFormat::Unknown, "unknown"},
        {TypeFormat::None, "none"}};
    for (const auto& [format, name] : names) {
        EXPECT_EQ(typeFormatName(format), name);
        EXPECT_EQ(typeFormatFromName(name), format);
    }
}

TEST(DimeTypeFormat, NamesIgnoreCaseAndRejectOthers) {
    EXPECT_EQ(typeFormatFromName("Media-Type"), TypeFormat::MediaType);
    EXPECT_EQ(typeFormatFromName("ABSOLUTE-URI"), TypeFormat::AbsoluteUri);
    EXPECT_FALSE(typeFormatFromName("").has_value());
    EXPECT_FALSE(typeFormatFromName("mediatype").has_value());
    EXPECT_FALSE(typeFormatFromName("1").has_value());
}

}  // namespace
}  // namespace nv::dime
