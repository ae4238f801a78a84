// Failed loads: the reason names line, column and cause, and the document is left empty.
#include <string>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "platform/xmldom/document.h"
#include "tests/support/temp_dir.h"

namespace nv::xml {
namespace {

TEST(XmlParseError, MismatchedTagNamesLineColumnAndCause) {
    Document doc;
    EXPECT_FALSE(doc.loadXML("<a>\n  <b>\n  </c>\n</a>"));
    const ParseError& error = doc.parseError();
    EXPECT_TRUE(error.failed);
    EXPECT_EQ(error.line, 3);
    EXPECT_GT(error.column, 0);
    EXPECT_EQ(error.reason.rfind("line 3, column " + std::to_string(error.column) + ": ", 0), 0u)
        << error.reason;
    EXPECT_NE(error.reason.find("Opening and ending tag mismatch: b line 2 and c"),
              std::string::npos)
        << error.reason;
}

TEST(XmlParseError, ColumnPointsIntoTheLine) {
    Document doc;
    EXPECT_FALSE(doc.loadXML("<a>\n<b x='1' x='2'/></a>"));
    EXPECT_EQ(doc.parseError().line, 2);
    EXPECT_GT(doc.parseError().column, 1);
    EXPECT_NE(doc.parseError().reason.find("redefined"), std::string::npos)
        << doc.parseError().reason;
}

TEST(XmlParseError, EmptyInputIsAnError) {
    Document doc;
    EXPECT_FALSE(doc.loadXML(std::string_view()));
    EXPECT_EQ(doc.parseError().reason, "line 1, column 1: Document is empty");
    EXPECT_FALSE(doc.loadXML("   "));
    EXPECT_TRUE(doc.parseError().failed);
}

TEST(XmlParseError, TruncatedDocumentFails) {
    Document doc;
    EXPECT_FALSE(doc.loadXML("<a><b>text"));
    EXPECT_TRUE(doc.parseError().failed);
    EXPECT_FALSE(doc.parseError().reason.empty());
}

TEST(XmlParseError, TrailingContentFails) {
    Document doc;
    EXPECT_FALSE(doc.loadXML("<a/><b/>"));
    EXPECT_NE(doc.parseError().reason.find("Extra content"), std::string::npos)
        << doc.parseError().reason;
}

TEST(XmlParseError, FailedLoadLeavesAnEmptyDocument) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<full><of/>stuff</full>"));
    EXPECT_FALSE(doc.loadXML("<broken>"));
    EXPECT_TRUE(doc.documentElement().isNull());
    EXPECT_FALSE(doc.documentNode().isNull());
    EXPECT_FALSE(doc.documentNode().hasChildNodes());
    // It is usable afterwards, and a good load clears the error.
    EXPECT_FALSE(doc.appendChild(doc.createElement("fresh")).isNull());
    ASSERT_TRUE(doc.loadXML("<ok/>"));
    EXPECT_FALSE(doc.parseError().failed);
    EXPECT_TRUE(doc.parseError().reason.empty());
}

TEST(XmlParseError, MissingFileNamesThePathAndReason) {
    test::TempDir dir;
    Document doc;
    std::string path = dir.file("absent.xml");
    EXPECT_FALSE(doc.load(path));
    EXPECT_TRUE(doc.parseError().failed);
    EXPECT_EQ(doc.parseError().line, 0);
    EXPECT_NE(doc.parseError().reason.find(path), std::string::npos);
    EXPECT_NE(doc.parseError().reason.find("No such file"), std::string::npos)
        << doc.parseError().reason;
    EXPECT_FALSE(doc.load(dir.path()));  // a directory is not a document
    EXPECT_TRUE(doc.parseError().failed);
    // A pipe nobody writes to would block the load for ever; it is refused at once.
    std::string fifo = dir.file("pipe.xml");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(doc.load(fifo));
    EXPECT_NE(doc.parseError().reason.find("not a regular file"), std::string::npos)
        << doc.parseError().reason;
}

TEST(XmlParseError, LoadOfAFileReportsItsParseError) {
    test::TempDir dir;
    ASSERT_TRUE(test::writeFile(dir.file("bad.xml"), "<a>\n<b></a>"));
    Document doc;
    EXPECT_FALSE(doc.load(dir.file("bad.xml")));
    EXPECT_EQ(doc.parseError().line, 2);
}

TEST(XmlParseError, FlagsAreOnlyRecorded) {
    Document doc;
    EXPECT_TRUE(doc.async());
    EXPECT_TRUE(doc.validateOnParse());
    doc.setAsync(false);
    doc.setValidateOnParse(true);
    EXPECT_FALSE(doc.async());
    // A document that would not validate against its DTD still loads, synchronously.
    ASSERT_TRUE(doc.loadXML("<!DOCTYPE r [<!ELEMENT r EMPTY>]><r><notallowed/></r>"))
        << doc.parseError().reason;
    EXPECT_EQ(doc.documentElement().firstChild().baseName(), "notallowed");
}

}  // namespace
}  // namespace nv::xml
