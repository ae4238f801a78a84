// Records and string blocks as they cross the library boundary.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/api/flat_record.h"
#include "platform/com/task_memory.h"

using namespace wscore;

TEST(RecordHandOut, EveryStringIsAllocatedEvenWhenEmpty) {
    std::vector<FlatRecord> in(2);
    in[0].level = 1;
    in[0].isComplexType = true;
    in[0].fieldName = u"GetQuote";
    in[0].prefix = u"tns";
    in[1].level = 2;
    in[1].fieldName = u"symbol";
    in[1].dataType = u"string";
    in[1].isRequired = false;
    ParameterRecord* out = nullptr;
    std::int32_t count = -1;
    handOutRecords(in, &out, &count);
    ASSERT_EQ(count, 2);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out[0].level, 1);
    EXPECT_EQ(out[0].isComplexType, 1);
    EXPECT_EQ(out[0].isRequired, 1);
    EXPECT_EQ(std::u16string(out[0].fieldName), u"GetQuote");
    EXPECT_EQ(std::u16string(out[0].prefix), u"tns");
    for (char16_t* s : {out[0].info, out[0].dataType, out[0].theData, out[0].description}) {
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s[0], u'\0');
    }
    EXPECT_EQ(out[1].isRequired, 0);
    EXPECT_EQ(std::u16string(out[1].dataType), u"string");
    freeRecordBlock(out, count);
}

TEST(RecordHandOut, AnEmptyListIsANullBlock) {
    ParameterRecord* out = reinterpret_cast<ParameterRecord*>(0x1);
    std::int32_t count = 7;
    handOutRecords({}, &out, &count);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(count, 0);
    char16_t* block = reinterpret_cast<char16_t*>(0x1);
    handOutStrings({}, &block, &count);
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(count, 0);
}

TEST(StringBlock, StringsFollowEachOtherWithTheirTerminators) {
    char16_t* block = nullptr;
    std::int32_t count = 0;
    handOutStrings({u"Calculator", u"", u"Add", u"Adds two numbers"}, &block, &count);
    ASSERT_EQ(count, 4);
    const char16_t expected[] = u"Calculator\0\0Add\0Adds two numbers";
    EXPECT_EQ(std::memcmp(block, expected, sizeof expected), 0);
    CoTaskMemFree(block);
}

TEST(RecordInput, NullStringsReadEmptyAndAnyNonZeroIsTrue) {
    ParameterRecord r{};
    r.level = 3;
    r.isArray = -1;  // an Automation client writes VARIANT_TRUE
    r.isHeader = 2;
    r.fieldName = const_cast<char16_t*>(u"item");
    r.description = reinterpret_cast<char16_t*>(0xdeadbeef);  // never read on input
    std::vector<FlatRecord> in = copyInputRecords(&r, 1);
    ASSERT_EQ(in.size(), 1u);
    EXPECT_TRUE(in[0].isArray);
    EXPECT_TRUE(in[0].isHeader);
    EXPECT_FALSE(in[0].isRequired);
    EXPECT_EQ(in[0].fieldName, u"item");
    EXPECT_EQ(in[0].theData, u"");
    EXPECT_EQ(in[0].description, u"");
    EXPECT_TRUE(copyInputRecords(nullptr, 5).empty());
    EXPECT_TRUE(copyInputRecords(&r, -1).empty());
}
