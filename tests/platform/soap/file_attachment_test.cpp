// FileAttachment properties and saving received content to disk.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/soap/file_attachment.h"
#include "tests/support/temp_dir.h"

namespace nv::soap {
namespace {

namespace fs = std::filesystem;

std::size_t entriesIn(const std::string& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++count;
    return count;
}

FileAttachment received(std::string content) {
    FileAttachment a;
    a.setContent(std::move(content));
    return a;
}

TEST(SoapFileAttachment, PropertiesAreReadAndWrittenByNameIgnoringCase) {
    FileAttachment a("/tmp/x.bin");
    EXPECT_EQ(a.fileName(), "/tmp/x.bin");
    EXPECT_TRUE(a.setProperty("DimeID", "uuid:1"));
    EXPECT_TRUE(a.setProperty("dimetype", "image/gif"));
    EXPECT_TRUE(a.setProperty("DIMETNF", "media-type"));
    EXPECT_EQ(a.property("dimeid"), "uuid:1");
    EXPECT_EQ(a.property("DimeType"), "image/gif");
    EXPECT_EQ(a.dimeTnf(), "media-type");
    EXPECT_FALSE(a.setProperty("DimeSize", "4"));
    EXPECT_EQ(a.property("DimeSize"), "");
    EXPECT_EQ(a.property(""), "");
}

TEST(SoapFileAttachment, SaveWithoutThenWithOverwriting) {
    test::TempDir dir;
    const std::string path = dir.file("out.bin");
    FileAttachment first = received(std::string("one\0two", 7));
    ASSERT_TRUE(first.saveToFile(path, false).ok());
    EXPECT_EQ(test::readFile(path), std::string("one\0two", 7));

    FileAttachment second = received("replacement");
    SaveResult refused = second.saveToFile(path, false);
    EXPECT_EQ(refused.outcome, SaveOutcome::FileExists);
    EXPECT_EQ(refused.message, "'" + path + "' already exists");
    EXPECT_EQ(test::readFile(path), std::string("one\0two", 7));

    SaveResult replaced = second.saveToFile(path, true);
    EXPECT_TRUE(replaced.ok()) << replaced.message;
    EXPECT_TRUE(replaced.message.empty());
    EXPECT_EQ(test::readFile(path), "replacement");
    EXPECT_EQ(entriesIn(dir.path()), 1u);  // no temporary file left behind
}

TEST(SoapFileAttachment, EmptyContentMakesAnEmptyFile) {
    test::TempDir dir;
    ASSERT_TRUE(received("").saveToFile(dir.file("empty"), false).ok());
    EXPECT_TRUE(test::fileExists(dir.file("empty")));
    EXPECT_EQ(fs::file_size(dir.file("empty")), 0u);
}

TEST(SoapFileAttachment, MissingFolderIsNotCreated) {
    test::TempDir dir;
    const std::string path = dir.file("no/such/folder/file.txt");
    SaveResult result = received("x").saveToFile(path, true);
    EXPECT_EQ(result.outcome, SaveOutcome::Failed);
    EXPECT_EQ(result.message, "cannot save '" + path + "': No such file or directory");
    EXPECT_FALSE(fs::exists(dir.file("no")));
    EXPECT_EQ(entriesIn(dir.path()), 0u);
}

TEST(SoapFileAttachment, FolderOrNoNameIsRefused) {
    test::TempDir dir;
    fs::create_directory(dir.file("sub"));
    SaveResult onFolder = received("x").saveToFile(dir.file("sub"), true);
    EXPECT_EQ(onFolder.outcome, SaveOutcome::Failed);
    EXPECT_EQ(onFolder.message, "cannot save '" + dir.file("sub") + "': it is a folder");
    SaveResult slash = received("x").saveToFile(dir.file("sub") + "/", true);
    EXPECT_EQ(slash.message, "cannot save '" + dir.file("sub") + "/': the name is a folder");
    SaveResult empty = received("x").saveToFile("", true);
    EXPECT_EQ(empty.outcome, SaveOutcome::Failed);
    EXPECT_EQ(empty.message, "cannot save '': no file name");
    EXPECT_EQ(entriesIn(dir.file("sub")), 0u);
}

TEST(SoapFileAttachment, SymbolicLinkIsReplacedNeverFollowed) {
    test::TempDir dir;
    ASSERT_TRUE(test::writeFile(dir.file("target"), "precious"));
    fs::create_symlink(dir.file("target"), dir.file("link"));
    fs::create_symlink(dir.file("nowhere"), dir.file("dangling"));

    EXPECT_EQ(received("x").saveToFile(dir.file("dangling"), false).outcome,
              SaveOutcome::FileExists);
    EXPECT_FALSE(fs::exists(dir.file("nowhere")));

    ASSERT_TRUE(received("new").saveToFile(dir.file("link"), true).ok());
    EXPECT_FALSE(fs::is_symlink(dir.file("link")));
    EXPECT_EQ(test::readFile(dir.file("link")), "new");
    EXPECT_EQ(test::readFile(dir.file("target")), "precious");
}

TEST(SoapFileAttachment, ReplacedFileKeepsItsPermissions) {
    test::TempDir dir;
    const std::string path = dir.file("script.sh");
    ASSERT_TRUE(test::writeFile(path, "old"));
    ASSERT_EQ(::chmod(path.c_str(), 0750), 0);
    ASSERT_TRUE(received("new").saveToFile(path, true).ok());
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0750u);
}

TEST(SoapFileAttachment, LargeContentIsWrittenWhole) {
    test::TempDir dir;
    std::string content(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i % 251);
    ASSERT_TRUE(received(content).saveToFile(dir.file("big"), false).ok());
    EXPECT_EQ(test::readFile(dir.file("big")), content);
}

}  // namespace
}  // namespace nv::soap
