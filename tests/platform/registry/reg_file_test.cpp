// The hive files: regedit's format as Windows exports it, damaged files, imports.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <dirent.h>

#include "platform/registry/registry.h"
#include "tests/support/registry_sandbox.h"

using namespace nv::registry;

namespace {

std::string utf16leWithBom(const std::u16string& s) {
    std::string out = "\xFF\xFE";
    for (char16_t c : s) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

std::vector<std::string> filesIn(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.')
                names.push_back(e->d_name);
        closedir(d);
    }
    return names;
}

class RegFiles : public ::testing::Test {
  protected:
    nv::test::RegistrySandbox sandbox;
};

// What regedit writes when a user exports the options key on Windows.
const std::u16string kWindowsExport =
    u"Windows Registry Editor Version 5.00\r\n"
    u"\r\n"
    u"[HKEY_CURRENT_USER\\Software\\Norvale\\Sondar\\Options\\Internet]\r\n"
    u"\"UseProxy\"=dword:00000001\r\n"
    u"\"ProxyServer\"=\"proxy.example.com\"\r\n"
    u"\"ProxyPort\"=\"8080\"\r\n"
    u"\"Working Directory\"=\"C:\\\\Program Files\\\\Sondar\\\\data\\\\\"\r\n"
    u"\"Quote\"=\"say \\\"hi\\\"\"\r\n"
    u"\"Path\"=hex(2):25,00,55,00,53,00,45,00,52,00,50,00,52,00,4f,00,46,00,49,00,4c,\\\r\n"
    u"  00,45,00,25,00,00,00\r\n"
    u"\"Blob\"=hex:de,ad,be,ef\r\n"
    u"@=\"d\u00e9faut\"\r\n"
    u"\r\n"
    u"[HKEY_CURRENT_USER\\Software\\Norvale\\Sondar\\Favorites]\r\n"
    u"\"1\"=\"http://127.0.0.1/a?wsdl\"\r\n"
    u"\r\n";

TEST_F(RegFiles, WindowsExportInUtf16WithCrlfImports) {
    std::string path = sandbox.dir() + "export.reg";
    ASSERT_TRUE(nv::test::writeFile(path, utf16leWithBom(kWindowsExport)));
    std::size_t bad = 99;
    ASSERT_EQ(importRegFile(path, &bad), Status::Ok);
    EXPECT_EQ(bad, 0u);

    Key key;
    ASSERT_EQ(Key::open(Hive::CurrentUser, u"Software\\Norvale\\Sondar\\Options\\Internet",
                        Access::Read, key),
              Status::Ok);
    std::uint32_t n = 0;
    EXPECT_EQ(key.getDword(u"UseProxy", n), Status::Ok);
    EXPECT_EQ(n, 1u);
    std::u16string s;
    EXPECT_EQ(key.getString(u"ProxyServer", s), Status::Ok);
    EXPECT_EQ(s, u"proxy.example.com");
    EXPECT_EQ(key.getString(u"Working Directory", s), Status::Ok);
    EXPECT_EQ(s, u"C:\\Program Files\\Sondar\\data\\");
    EXPECT_EQ(key.getString(u"Quote", s), Status::Ok);
    EXPECT_EQ(s, u"say \"hi\"");
    Value v;
    ASSERT_EQ(key.get(u"Path", v), Status::Ok);
    EXPECT_EQ(v.type, ValueType::ExpandString);
    EXPECT_EQ(key.getString(u"Path", s), Status::Ok);
    EXPECT_EQ(s, u"%USERPROFILE%");
    ASSERT_EQ(key.get(u"Blob", v), Status::Ok);
    EXPECT_EQ(v.data, (std::vector<std::uint8_t>{0xde, 0xad, 0xbe, 0xef}));
    EXPECT_EQ(key.getString(u"", s), Status::Ok);
    EXPECT_EQ(s, u"d\u00e9faut");
}

TEST_F(RegFiles, AHiveFileDroppedInPlaceIsReadAsIs) {
    // A user may copy an exported file over the hive itself.
    ASSERT_TRUE(nv::test::writeFile(sandbox.dir() + "HKEY_CURRENT_USER.reg",
                                    utf16leWithBom(kWindowsExport)));
    Key key;
    ASSERT_EQ(
        Key::open(Hive::CurrentUser, u"Software\\Norvale\\Sondar\\Favorites", Access::Read, key),
        Status::Ok);
    std::u16string s;
    EXPECT_EQ(key.getString(u"1", s), Status::Ok);
    EXPECT_EQ(s, u"http://127.0.0.1/a?wsdl");
}

TEST_F(RegFiles, ImportAppliesDeletionsAndSkipsForeignRoots) {
    Key key;
    ASSERT_EQ(Key::create(Hive::CurrentUser, u"Old\\Child", key), Status::Ok);
    ASSERT_EQ(Key::create(Hive::CurrentUser, u"Keep", key), Status::Ok);
    ASSERT_EQ(key.setDword(u"gone", 1), Status::Ok);
    ASSERT_EQ(key.setDword(u"stays", 2), Status::Ok);
    std::string path = sandbox.dir() + "changes.reg";
    ASSERT_TRUE(nv::test::writeFile(path,
                                    "Windows Registry Editor Version 5.00\n\n"
                                    "[-HKEY_CURRENT_USER\\Old]\n\n"
                                    "[HKEY_CURRENT_USER\\Keep]\n\"gone\"=-\n\n"
                                    "[HKEY_LOCAL_MACHINE\\Software]\n\"x\"=dword:1\n\n"
                                    "[HKEY_CLASSES_ROOT\\.wsdl]\n@=\"wsdlfile\"\n"));
    std::size_t bad = 0;
    ASSERT_EQ(importRegFile(path, &bad), Status::Ok);
    EXPECT_EQ(bad, 2u);  // the foreign key and its value
    EXPECT_EQ(Key::open(Hive::CurrentUser, u"Old", Access::Read, key), Status::NotFound);
    ASSERT_EQ(Key::open(Hive::CurrentUser, u"Keep", Access::Read, key), Status::Ok);
    std::uint32_t n;
    EXPECT_EQ(key.getDword(u"gone", n), Status::NotFound);
    EXPECT_EQ(key.getDword(u"stays", n), Status::Ok);
    ASSERT_EQ(Key::open(Hive::ClassesRoot, u".wsdl", Access::Read, key), Status::Ok);
    std::u16string s;
    EXPECT_EQ(key.getString(u"", s), Status::Ok);
    EXPECT_EQ(s, u"wsdlfile");
    EXPECT_EQ(importRegFile(sandbox.dir() + "missing.reg"), Status::NotFound);
}

TEST_F(RegFiles, DamagedFileLoadsWhatParsesAndKeepsTheOriginal) {
    const std::string damaged =
        "Windows Registry Editor Version 5.00\n\n"
        "[HKEY_CURRENT_USER\\Good]\n"
        "\"a\"=dword:00000007\n"
        "\"broken\"=dword:zz\n"
        "this line is garbage\n"
        "\"unterminated=\"x\n"
        "\"b\"=\"fine\"\n"
        "[HKEY_CURRENT_USER\\Also\n"
        "\"orphan\"=\"value after a bad key line\"\n"
        "[HKEY_CURRENT_USER\\Second]\n"
        "\"c\"=hex:01,02\n";
    std::string file = sandbox.dir() + "HKEY_CURRENT_USER.reg";
    ASSERT_TRUE(nv::test::writeFile(file, damaged));

    Key key;
    ASSERT_EQ(Key::open(Hive::CurrentUser, u"Good", Access::ReadWrite, key), Status::Ok);
    std::uint32_t n = 0;
    EXPECT_EQ(key.getDword(u"a", n), Status::Ok);
    EXPECT_EQ(n, 7u);
    std::u16string s;
    EXPECT_EQ(key.getString(u"b", s), Status::Ok);
    EXPECT_EQ(key.getDword(u"broken", n), Status::NotFound);
    Key second;
    EXPECT_EQ(Key::open(Hive::CurrentUser, u"Second", Access::Read, second), Status::Ok);

    // Nothing is copied until the next rewrite; then the original is kept beside the hive.
    auto before = filesIn(sandbox.dir());
    ASSERT_EQ(key.setDword(u"new", 1), Status::Ok);
    std::string kept;
    for (const auto& name : filesIn(sandbox.dir()))
        if (name.find(".damaged-") != std::string::npos)
            kept = name;
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(nv::test::readFile(sandbox.dir() + kept), damaged);
    // The rewritten hive is clean: a later write makes no second copy.
    ASSERT_EQ(key.setDword(u"newer", 2), Status::Ok);
    int copies = 0;
    for (const auto& name : filesIn(sandbox.dir()))
        if (name.find(".damaged-") != std::string::npos)
            ++copies;
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(key.getDword(u"a", n), Status::Ok);
}

TEST_F(RegFiles, BinaryGarbageNeverCrashes) {
    std::string junk;
    for (int i = 0; i < 4096; ++i)
        junk += static_cast<char>((i * 7919) & 0xFF);
    ASSERT_TRUE(nv::test::writeFile(sandbox.dir() + "HKEY_CURRENT_USER.reg", junk));
    Key key;
    EXPECT_EQ(Key::open(Hive::CurrentUser, u"Anything", Access::Read, key), Status::NotFound);
    ASSERT_EQ(Key::create(Hive::CurrentUser, u"Fresh", key), Status::Ok);
    EXPECT_EQ(key.setDword(u"v", 1), Status::Ok);
}

TEST_F(RegFiles, WrittenFileLooksLikeRegedit) {
    Key key;
    ASSERT_EQ(Key::create(Hive::CurrentUser, u"Software\\Norvale", key), Status::Ok);
    ASSERT_EQ(key.setDword(u"ConnectTimeout", 30), Status::Ok);
    ASSERT_EQ(key.setString(u"Name", u"a\\b"), Status::Ok);
    std::vector<std::uint8_t> big(100, 0xAB);
    ASSERT_EQ(key.setBinary(u"Big", big.data(), 100), Status::Ok);
    std::string text = nv::test::readFile(hiveFilePath(Hive::CurrentUser));
    EXPECT_EQ(text.rfind("Windows Registry Editor Version 5.00\n\n", 0), 0u);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Norvale]\n"
                        "\"ConnectTimeout\"=dword:0000001e\n"
                        "\"Name\"=\"a\\\\b\"\n"
                        "\"Big\"=hex:ab,"),
              std::string::npos)
        << text;
    // Long binary data wraps with a continuation, every line under 80 columns.
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        EXPECT_LE(end - start, 80u);
        start = end + 1;
    }
    EXPECT_NE(text.find(",\\\n  ab,"), std::string::npos);
}

}  // namespace
