// Hostile and broken DIME input: each fault is refused with a message naming it.
#include <string>

#include <gtest/gtest.h>

#include "platform/dime/parser.h"
#include "tests/platform/dime/raw_record.h"

namespace nv::dime {
namespace {

using test::encode;
using test::RawRecord;

RawRecord only(std::string data = "data") {
    RawRecord r;
    r.mb = r.me = true;
    r.type = "text/plain";
    r.data = std::move(data);
    return r;
}

std::string parseError(const std::string& bytes, const ParseLimits& limits = {}) {
    ParseResult result = parse(bytes, limits);
    EXPECT_TRUE(result.records.empty());
    return result.error;
}

TEST(DimeMalformed, EmptyInput) {
    EXPECT_EQ(parseError(""), "the message is empty");
}

TEST(DimeMalformed, TruncatedHeader) {
    EXPECT_EQ(parseError(encode(only()).substr(0, 5)),
              "record 1: the header needs 12 bytes (5 bytes left)");
    RawRecord first = only();
    first.me = false;
    EXPECT_EQ(parseError(encode(first) + "\x0A"),
              "record 2: the header needs 12 bytes (1 byte left)");
}

TEST(DimeMalformed, DataLengthBeyondTheMessage) {
    RawRecord a = only(), b = only(), c = only(std::string(120, 'x'));
    a.me = b.me = b.mb = c.mb = false;
    c.dataLength = 0xFFFFFFFF;
    c.type.clear();
    EXPECT_EQ(parseError(encode(a) + encode(b) + encode(c)),
              "record 3: DATA_LENGTH 4294967295 goes past the end of the message (120 bytes "
              "left)");
}

TEST(DimeMalformed, IdTypeAndOptionsLengthsBeyondTheMessage) {
    RawRecord id = only();
    id.idLength = 500;
    EXPECT_EQ(parseError(encode(id)),
              "record 1: ID_LENGTH 500 goes past the end of the message (16 bytes left)");
    RawRecord type = only();
    type.typeLength = 65535;
    EXPECT_EQ(parseError(encode(type)),
              "record 1: TYPE_LENGTH 65535 goes past the end of the message (16 bytes left)");
    RawRecord options = only();
    options.optionsLength = 17;
    EXPECT_EQ(parseError(encode(options)),
              "record 1: OPTIONS_LENGTH 17 goes past the end of the message (16 bytes left)");
}

TEST(DimeMalformed, FieldPaddingCutOffBeforeTheEnd) {
    // ID "abc" ends the message: its padding byte is missing.
    RawRecord r = only("");
    r.type.clear();
    r.tnf = 3;
    std::string bytes = encode(r);
    bytes[5] = 3;  // ID_LENGTH 3
    bytes += "abc";
    EXPECT_EQ(parseError(bytes),
              "record 1: ID_LENGTH 3: the padding goes past the end of the message (3 bytes "
              "left)");
}

TEST(DimeMalformed, WrongVersion) {
    RawRecord r = only();
    r.version = 2;
    EXPECT_EQ(parseError(encode(r)), "record 1: VERSION 2 is not supported (only 1)");
    r.version = 0;
    EXPECT_EQ(parseError(encode(r)), "record 1: VERSION 0 is not supported (only 1)");
}

TEST(DimeMalformed, FirstRecordWithoutMessageBegin) {
    RawRecord r = only();
    r.mb = false;
    EXPECT_EQ(parseError(encode(r)), "record 1: MB flag missing on the first record");
}

TEST(DimeMalformed, MessageBeginOnALaterRecord) {
    RawRecord a = only(), b = only();
    a.me = false;
    EXPECT_EQ(parseError(encode(a) + encode(b)),
              "record 2: MB flag set on a record that is not the first");
}

TEST(DimeMalformed, NoRecordFlaggedMessageEnd) {
    RawRecord a = only(), b = only();
    a.me = b.me = b.mb = false;
    EXPECT_EQ(parseError(encode(a) + encode(b)),
              "the message ends after record 2 without a record flagged ME");
}

TEST(DimeMalformed, BytesAfterMessageEnd) {
    EXPECT_EQ(parseError(encode(only()) + "junk"), "record 1: ME flag set but 4 bytes follow");
    RawRecord second = only();
    second.mb = false;
    EXPECT_EQ(parseError(encode(only()) + encode(second)),
              "record 1: ME flag set but 28 bytes follow");
}

TEST(DimeMalformed, MessageEndsInsideAChunkedRecord) {
    RawRecord env = only(), first = only(), middle;
    env.me = first.mb = first.me = false;
    first.cf = middle.cf = true;
    middle.tnf = 0;
    middle.data = "more";
    EXPECT_EQ(parseError(encode(env) + encode(first) + encode(middle)),
              "the message ends inside the chunked record that starts at record 2");
}

TEST(DimeMalformed, EndlessChunksStopAtTheRecordLimit) {
    RawRecord first = only("x");
    first.me = false;
    first.cf = true;
    RawRecord chunk;
    chunk.cf = true;
    chunk.tnf = 0;
    chunk.data = "x";
    std::string bytes = encode(first);
    std::string one = encode(chunk);
    for (int i = 0; i < 10005; ++i)
        bytes += one;
    EXPECT_EQ(parseError(bytes), "record 10001: more than 10000 records");
    ParseLimits small;
    small.maxRecords = 50;
    EXPECT_EQ(parseError(bytes, small), "record 51: more than 50 records");
}

TEST(DimeMalformed, ChunkContinuationWithTypeOrId) {
    RawRecord first = only();
    first.me = false;
    first.cf = true;
    RawRecord last;
    last.me = true;
    last.tnf = 0;
    last.data = "tail";

    RawRecord typed = last;
    typed.type = "x/y";
    EXPECT_EQ(parseError(encode(first) + encode(typed)),
              "record 2: a chunk continuation carries a TYPE (3 bytes)");
    RawRecord named = last;
    named.id = "uuid:1";
    EXPECT_EQ(parseError(encode(first) + encode(named)),
              "record 2: a chunk continuation carries an ID (6 bytes)");
    RawRecord retyped = last;
    retyped.tnf = 1;
    EXPECT_EQ(parseError(encode(first) + encode(retyped)),
              "record 2: a chunk continuation has TYPE_T media-type (must be unchanged)");
}

TEST(DimeMalformed, UnchangedTypeFormatOutsideAChunk) {
    RawRecord r = only();
    r.tnf = 0;
    r.type.clear();
    EXPECT_EQ(parseError(encode(r)),
              "record 1: TYPE_T unchanged on a record that continues no chunk");
}

TEST(DimeMalformed, UndefinedTypeFormat) {
    RawRecord r = only();
    r.tnf = 7;
    EXPECT_EQ(parseError(encode(r)), "record 1: TYPE_T 7 is not defined");
    r.tnf = 15;
    EXPECT_EQ(parseError(encode(r)), "record 1: TYPE_T 15 is not defined");
}

TEST(DimeMalformed, MessageEndOnAChunkThatIsNotTheLast) {
    RawRecord r = only();
    r.cf = true;
    EXPECT_EQ(parseError(encode(r)), "record 1: ME flag set on a chunk that is not the last");
}

TEST(DimeMalformed, TypeOnUnknownAndPayloadOnNone) {
    RawRecord unknown = only();
    unknown.tnf = 3;
    unknown.type = "ab";
    EXPECT_EQ(parseError(encode(unknown)), "record 1: TYPE_T unknown with a TYPE of 2 bytes");
    RawRecord none = only("abc");
    none.tnf = 4;
    none.type.clear();
    EXPECT_EQ(parseError(encode(none)), "record 1: TYPE_T none with a payload of 3 bytes");
    none.data.clear();
    none.me = false;
    none.cf = true;
    EXPECT_EQ(parseError(encode(none)), "record 1: TYPE_T none on a chunked record");
}

TEST(DimeMalformed, RecordPayloadLimitCountsAllItsChunks) {
    RawRecord first = only("123456");
    first.me = false;
    first.cf = true;
    RawRecord last;
    last.me = true;
    last.tnf = 0;
    last.data = "789012";
    ParseLimits limits;
    limits.maxRecordSize = 10;
    EXPECT_EQ(parseError(encode(first) + encode(last), limits),
              "record 2: the payload of record 1 grows past the limit of 10 bytes");
    limits.maxRecordSize = 12;
    EXPECT_TRUE(parse(encode(first) + encode(last), limits).ok());
}

TEST(DimeMalformed, TotalPayloadLimitCountsAllRecords) {
    RawRecord a = only("123456"), b = only("789012");
    a.me = b.mb = false;
    ParseLimits limits;
    limits.maxTotalSize = 10;
    EXPECT_EQ(parseError(encode(a) + encode(b), limits),
              "record 2: the payloads grow past the limit of 10 bytes in all");
}

TEST(DimeTolerated, FinalPaddingMayBeMissing) {
    RawRecord r = only("abcde");
    r.padData = false;
    ParseResult result = parse(encode(r));
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.records.at(0).data, "abcde");
}

TEST(DimeTolerated, OptionsAreSkippedAndReservedBitsIgnored) {
    RawRecord r = only("payload");
    r.options = std::string("\x00\x01\x00\x02zz", 6);
    r.id = "uuid:opt";
    r.reserved = 0x0F;
    ParseResult result = parse(encode(r));
    ASSERT_TRUE(result.ok()) << result.error;
    ASSERT_EQ(result.records.size(), 1u);
    EXPECT_EQ(result.records[0].id, "uuid:opt");
    EXPECT_EQ(result.records[0].type, "text/plain");
    EXPECT_EQ(result.records[0].data, "payload");
}

}  // namespace
}  // namespace nv::dime
