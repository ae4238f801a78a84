// Keys and values through the public API: types, sizes, names, enumeration, deletion.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>

#include "platform/registry/registry.h"
#include "tests/support/registry_sandbox.h"

using namespace nv::registry;

namespace {

class RegistryValues : public ::testing::Test {
  protected:
    nv::test::RegistrySandbox sandbox;
};

TEST_F(RegistryValues, EveryTypeRoundTripsThroughTheFile) {
    Key key;
    ASSERT_EQ(Key::create(Hive::CurrentUser, u"Software\\Norvale\\Sondar", key), Status::Ok);
    const std::uint8_t blob[] = {0, 1, 2, 0xFF, 0x80};
    ASSERT_EQ(key.setString(u"Text", u"C:\\path \"quoted\" \u00e9\u4e2d"), Status::Ok);
    ASSERT_EQ(key.setExpandString(u"Expand", u"%HOME%/x"), Status::Ok);
    ASSERT_EQ(key.setDword(u"Number", 0xDEADBEEF), Status::Ok);
    ASSERT_EQ(key.setBinary(u"Blob", blob, sizeof blob), Status::Ok);
    ASSERT_EQ(key.setString(u"", u"default"), Status::Ok);
    ASSERT_EQ(key.setString(u"Lines", u"one\r\ntwo"), Status::Ok);

    // A second store reading the same file sees exactly the same values.
    std::string file = hiveFilePath(Hive::CurrentUser);
    std::string copyDir = sandbox.dir() + "copy/";
    ASSERT_EQ(::mkdir(copyDir.c_str(), 0700), 0);
    ASSERT_TRUE(nv::test::writeFile(copyDir + "HKEY_CURRENT_USER.reg", nv::test::readFile(file)));
    setenv("NORVALE_REGISTRY_DIR", copyDir.c_str(), 1);

    Key again;
    ASSERT_EQ(Key::open(Hive::CurrentUser, u"software\\NORVALE\\sondar", Access::Read, again),
              Status::Ok);
    std::u16string s;
    EXPECT_EQ(again.getString(u"text", s), Status::Ok);
    EXPECT_EQ(s, u"C:\\path \"quoted\" \u00e9\u4e2d");
    Value v;
    ASSERT_EQ(again.get(u"Expand", v), Status::Ok);
    EXPECT_EQ(v.type, ValueType::ExpandString);
    EXPECT_EQ(again.getString(u"Expand", s), Status::Ok);
    EXPECT_EQ(s, u"%HOME%/x");
    std::uint32_t n = 0;
    EXPECT_EQ(again.getDword(u"NUMBER", n), Status::Ok);
    EXPECT_EQ(n, 0xDEADBEEFu);
    ASSERT_EQ(again.get(u"Blob", v), Status::Ok);
    EXPECT_EQ(v.type, ValueType::Binary);
    EXPECT_EQ(v.data, std::vector<std::uint8_t>(blob, blob + sizeof blob));
    EXPECT_EQ(again.getString(u"", s), Status::Ok);
    EXPECT_EQ(s, u"default");
    EXPECT_EQ(again.getString(u"Lines", s), Status::Ok);
    EXPECT_EQ(s, u"one\r\ntwo");
    EXPECT_EQ(again.path(), u"Software\\Norvale\\Sondar");
}

TEST_F(RegistryValues, QueryHonoursTheCallersBufferSize) {
    Key key;
    ASSERT_EQ(Key::create(Hive::CurrentUser, u"K", key), Status::Ok);
    ASSERT_EQ(key.setString(u"Proxy", u"abcd"), Status::Ok);  // 10 bytes with the NUL

    ValueType type = ValueType::None;
    std::uint32_t size = 0;
    EXPECT_EQ(key.query(u"Proxy", &type, nullptr, &size), Status::Ok);
    EXPECT_EQ(type, ValueType::String);
    EXPECT_EQ(size, 10u);

    char16_t small[4] = {u'z', u'z', u'z', u'z'};
    size = sizeof small;
    EXPECT_EQ(key.query(u"Proxy", &type, small, &size), Status::MoreData);
    EXPECT_EQ(size, 10u);
    EXPECT_EQ(small[0], u'z');  // nothing copied

    char16_t exact[5];
    size = sizeof exact;
    EXPECT_EQ(key.query(u"Proxy", &type, exact, &size), Status::Ok);
    EXPECT_EQ(std::u16string(exact), u"abcd");

    EXPECT_EQ(key.query(u"Missing", &type, exact, &size), Status::NotFound);
    EXPECT_EQ(key.query(u"Proxy", &type, exact, nullptr), Status::InvalidArgument);
}

TEST_F(RegistryValues, NamesCompareWithoutCaseButKeepTheirCase) {
    Key key;
    ASSERT_EQ(Key::create(Hive::CurrentUser, u"Software\\MixedCase", key), Status::Ok);
    ASSERT_EQ(key.setDword(u"UseProxy", 1), Status::Ok);
    ASSERT_EQ(key.setDword(u"USEPROXY", 2), Status::Ok);  // same value, first spelling stays
    Value v;
    ASSERT_EQ(key.enumValue(0, v), Status::Ok);
    EXPECT_EQ(v.name, u"UseProxy");
    EXPECT_EQ(key.enumValue(1, v), Status::NoMoreItems);
    std::uint32_t n = 0;
    EXPECT_EQ(key.getDword(u"useproxy", n), Status::Ok);
    EXPECT_EQ(n, 2u);

    // Non-ASCII names fold too.
    ASSERT_EQ(key.setDword(u"\u00c9t\u00e9", 3), Status::Ok);
    EXPECT_EQ(key.getDword(u"\u00e9T\u00c9", n), Status::Ok);
    EXPECT_EQ(n, 3u);

    Key sub;
    ASSERT_EQ(Key::create(Hive::CurrentUser, u"software\\mixedcase\\Child", sub), Status::Ok);
    EXPECT_EQ(sub.path(), u"Software\\MixedCase\\Child");
}

TEST_F(RegistryValues, ValuesEnumerateInStoredOrderAndSubkeysByName) {
    Key key;
    ASSERT_EQ(Key::create(Hive::CurrentUser, u"Order", key), Status::Ok);
    for (const char16_t* name : {u"zeta", u"Alpha", u"mid"})
        ASSERT_EQ(key.setDword(name, 1), Status::Ok);
    ASSERT_EQ(key.setDword(u"alpha", 2), Status::Ok);  // overwrite keeps the position
    std::vector<std::u16string> names;
    Value v;
    for (std::uint32_t i = 0; key.enumValue(i, v) == Status::Ok; ++i)
        names.push_back(v.name);
    EXPECT_EQ(names, (std::vector<std::u16string>{u"zeta", u"Alpha", u"mid"}));

    Key child;
    for (const char16_t* name : {u"b", u"C", u"a"})
        ASSERT_EQ(key.createSubkey(name, child), Status::Ok);
    std::vector<std::u16string> subs;
    std::u16string sub;
    for (std::uint32_t i = 0; key.enumSubkey(i, sub) == Status::Ok; ++i)
        subs.push_back(sub);
    EXPECT_EQ(subs, (std::vector<std::u16string>{u"a", u"b", u"C"}));
    std::uint32_t count = 0;
    EXPECT_EQ(key.subkeyCount(count), Status::Ok);
    EXPECT_EQ(count, 3u);
}

TEST_F(RegistryValues, CreateMakesIntermediateKeysAndOpenDoesNot) {
    Key key;
    EXPECT_EQ(Key::open(Hive::CurrentUser, u"A\\B\\C", Access::Read, key), Status::NotFound);
    EXPECT_FALSE(key.isOpen());
    ASSERT_EQ(Key::create(Hive::CurrentUser, u"A\\B\\C", key), Status::Ok);
    Key a;
    EXPECT_EQ(Key::open(Hive::CurrentUser, u"A", Access::Read, a), Status::Ok);
    Key b;
    EXPECT_EQ(a.openSubkey(u"B", Access::Read, b), Status::Ok);
    // The two hives are separate.
    EXPECT_EQ(Key::open(Hive::ClassesRoot, u"A", Access::Read, a), Status::NotFound);
}

TEST_F(RegistryValues, ReadOnlyKeysRefuseWrites) {
    Key rw;
    ASSERT_EQ(Key::create(Hive::CurrentUser, u"RO", rw), Status::Ok);
    ASSERT_EQ(rw.setDword(u"x", 1), Status::Ok);
    Key ro;
    ASSERT_EQ(Key::open(Hive::CurrentUser, u"RO", Access::Read, ro), Status::Ok);
    EXPECT_EQ(ro.setDword(u"x", 2), Status::AccessDenied);
    EXPECT_EQ(ro.deleteValue(u"x"), Status::AccessDenied);
    Key child;
    EXPECT_EQ(ro.createSubkey(u"c", child), Status::AccessDenied);
    std::uint32_t n = 0;
    EXPECT_EQ(ro.getDword(u"x", n), Status::Ok);
    EXPECT_EQ(n, 1u);
}

TEST_F(RegistryValues, DeletingValuesAndTrees) {
    Key key;
    ASSERT_EQ(Key::create(Hive::ClassesRoot, u"CLSID\\{X}\\InprocServer32", key), Status::Ok);
    ASSERT_EQ(key.setString(u"ThreadingModel", u"apartment"), Status::Ok);
    ASSERT_EQ(key.deleteValue(u"threadingmodel"), Status::Ok);
    EXPECT_EQ(key.deleteValue(u"ThreadingModel"), Status::NotFound);

    Key clsid;
    ASSERT_EQ(Key::open(Hive::ClassesRoot, u"CLSID", Access::ReadWrite, clsid), Status::Ok);
    EXPECT_EQ(clsid.deleteSubkeyTree(u"{x}"), Status::Ok);
    EXPECT_EQ(clsid.deleteSubkeyTree(u"{x}"), Status::NotFound);
    // A handle to a key that is gone reports it instead of recreating anything.
    EXPECT_EQ(key.setDword(u"v", 1), Status::KeyDeleted);
    Key again;
    EXPECT_EQ(Key::open(Hive::ClassesRoot, u"CLSID\\{X}", Access::Read, again), Status::NotFound);
    EXPECT_EQ(Key::deleteTree(Hive::ClassesRoot, u""), Status::InvalidArgument);
    EXPECT_EQ(Key::deleteTree(Hive::ClassesRoot, u"CLSID"), Status::Ok);
    EXPECT_EQ(Key::open(Hive::ClassesRoot, u"CLSID", Access::Read, again), Status::NotFound);
}

TEST_F(RegistryValues, EmptyStringsAndEmptyBinaryArePreserved) {
    Key key;
    ASSERT_EQ(Key::create(Hive::CurrentUser, u"Empty", key), Status::Ok);
    ASSERT_EQ(key.setString(u"s", u""), Status::Ok);
    ASSERT_EQ(key.setBinary(u"b", nullptr, 0), Status::Ok);
    ASSERT_EQ(key.set(u"raw", ValueType::String, "a\0b", 3), Status::Ok);  // odd, unterminated
    // Re-read through a fresh process view of the file.
    std::string text = nv::test::readFile(hiveFilePath(Hive::CurrentUser));
    EXPECT_NE(text.find("\"s\"=\"\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"b\"=hex:\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"raw\"=hex(1):61,00,62"), std::string::npos) << text;
    Value v;
    ASSERT_EQ(key.get(u"raw", v), Status::Ok);
    EXPECT_EQ(v.data.size(), 3u);
}

}  // namespace
