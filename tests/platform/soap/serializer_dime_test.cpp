// Requests with attachments: the serializer's DIME output, read back with the DIME parser.
#include <cstddef>
#include <set>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "platform/dime/parser.h"
#include "platform/soap/attachment_id.h"
#include "platform/soap/dime_composer.h"
#include "platform/soap/reader.h"
#include "platform/soap/serializer.h"
#include "tests/support/temp_dir.h"

namespace nv::soap {
namespace {

// "uuid:" + a version-4 GUID in upper-case hex, 8-4-4-4-12.
bool isWellFormedId(std::string_view id) {
    constexpr std::string_view kForm = "uuid:XXXXXXXX-XXXX-4XXX-VXXX-XXXXXXXXXXXX";
    if (id.size() != kForm.size())
        return false;
    for (std::size_t i = 0; i < id.size(); ++i) {
        char c = id[i];
        bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
        switch (kForm[i]) {
            case 'X':
                if (!hex)
                    return false;
                break;
            case 'V':  // the RFC 4122 variant: 10xx
                if (c != '8' && c != '9' && c != 'A' && c != 'B')
                    return false;
                break;
            default:
                if (c != kForm[i])
                    return false;
        }
    }
    return true;
}

// Starts an envelope with one open element in the body, ready for an href.
void openUpload(Serializer& s) {
    s.startEnvelope();
    s.startBody();
    s.startElement("Upload", "urn:files", "NONE", "m");
    s.startElement("file");
}

void closeUpload(Serializer& s) {
    s.endElement();
    s.endElement();
    s.endBody();
    ASSERT_TRUE(s.endEnvelope()) << s.error();
}

TEST(SoapDimeRequest, EnvelopeFirstThenOneRecordPerAttachment) {
    test::TempDir dir;
    ASSERT_TRUE(test::writeFile(dir.file("a.png"), std::string("\x89PNG\r\n\x1A\n\0\xFF", 10)));
    ASSERT_TRUE(test::writeFile(dir.file("b.txt"), "second file"));

    std::string out;
    DimeComposer composer;
    Serializer s;
    s.init(out, composer);
    openUpload(s);
    FileAttachment picture(dir.file("a.png"));
    picture.setProperty("DimeType", "image/png");
    ASSERT_TRUE(s.addAttachment(picture, true)) << s.error();
    s.endElement();
    s.startElement("notes");
    FileAttachment notes(dir.file("b.txt"));
    notes.setProperty("DimeID", "cid:notes");
    notes.setProperty("DimeType", "http://example.com/notes");
    notes.setProperty("DimeTNF", "absolute-uri");
    s.writeString("see cid:notes");
    ASSERT_TRUE(s.addAttachment(notes, false)) << s.error();
    closeUpload(s);
    ASSERT_TRUE(s.finish()) << s.error();

    dime::ParseResult message = dime::parse(out);
    ASSERT_TRUE(message.ok()) << message.error;
    ASSERT_EQ(message.records.size(), 3u);

    const dime::Record& envelope = message.records[0];
    EXPECT_EQ(envelope.tnf, dime::TypeFormat::AbsoluteUri);
    EXPECT_EQ(envelope.type, "http://schemas.xmlsoap.org/soap/envelope/");
    EXPECT_TRUE(isWellFormedId(envelope.id)) << envelope.id;
    EXPECT_TRUE(isWellFormedId(picture.dimeId())) << picture.dimeId();
    EXPECT_NE(envelope.data.find(R"(<file href=")" + picture.dimeId() + R"("/>)"),
              std::string::npos)
        << envelope.data;

    EXPECT_EQ(message.records[1].id, picture.dimeId());
    EXPECT_EQ(message.records[1].type, "image/png");
    EXPECT_EQ(message.records[1].tnf, dime::TypeFormat::MediaType);
    EXPECT_EQ(message.records[1].data, std::string("\x89PNG\r\n\x1A\n\0\xFF", 10));

    EXPECT_EQ(message.records[2].id, "cid:notes");
    EXPECT_EQ(message.records[2].type, "http://example.com/notes");
    EXPECT_EQ(message.records[2].tnf, dime::TypeFormat::AbsoluteUri);
    EXPECT_EQ(message.records[2].data, "second file");

    // The reader takes the same message apart the same way.
    Reader reader;
    ASSERT_TRUE(reader.loadDime(out)) << reader.error();
    ASSERT_EQ(reader.attachments().size(), 2u);
    const FileAttachment* found = reader.findAttachment(picture.dimeId());
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->content(), message.records[1].data);
}

TEST(SoapDimeRequest, ChunkSizeSplitsEveryRecordAndReassembles) {
    test::TempDir dir;
    std::string big(1000, 'z');
    ASSERT_TRUE(test::writeFile(dir.file("big.bin"), big));
    std::string out;
    DimeComposer composer;
    composer.setChunkSize(64);
    Serializer s;
    s.init(out, composer);
    openUpload(s);
    FileAttachment file(dir.file("big.bin"));
    ASSERT_TRUE(s.addAttachment(file, true));
    closeUpload(s);
    ASSERT_TRUE(s.finish()) << s.error();

    dime::ParseLimits strict;
    strict.maxRecords = 1000;
    dime::ParseResult message = dime::parse(out, strict);
    ASSERT_TRUE(message.ok()) << message.error;
    ASSERT_EQ(message.records.size(), 2u);
    EXPECT_EQ(message.records[1].data, big);
    EXPECT_EQ(message.records[1].tnf, dime::TypeFormat::Unknown);  // no DimeType, no DimeTNF
    // 1000 bytes in chunks of 64 are 16 wire records; the envelope adds several more.
    strict.maxRecords = 16;
    EXPECT_FALSE(dime::parse(out, strict).ok());
}

TEST(SoapDimeRequest, AttachmentFilesAreReadWhenTheMessageIsFinished) {
    test::TempDir dir;
    std::string out;
    DimeComposer composer;
    Serializer s;
    s.init(out, composer);
    openUpload(s);
    FileAttachment file(dir.file("late.txt"));
    ASSERT_TRUE(s.addAttachment(file, true));
    file.setProperty("DimeType", "changed/after");  // the serializer kept its own copy
    closeUpload(s);
    ASSERT_TRUE(test::writeFile(dir.file("late.txt"), "written after adding"));
    ASSERT_TRUE(s.finish()) << s.error();
    dime::ParseResult message = dime::parse(out);
    ASSERT_TRUE(message.ok());
    EXPECT_EQ(message.records[1].data, "written after adding");
    EXPECT_EQ(message.records[1].type, "");
}

TEST(SoapDimeRequest, AnExistingDimeIdIsKeptForTheReference) {
    test::TempDir dir;
    ASSERT_TRUE(test::writeFile(dir.file("f"), "x"));
    std::string out;
    DimeComposer composer;
    Serializer s;
    s.init(out, composer);
    openUpload(s);
    FileAttachment file(dir.file("f"));
    file.setProperty("DimeID", "uuid:mine&yours");
    ASSERT_TRUE(s.addAttachment(file, true));
    closeUpload(s);
    ASSERT_TRUE(s.finish());
    EXPECT_EQ(file.dimeId(), "uuid:mine&yours");
    EXPECT_NE(out.find(R"(href="uuid:mine&amp;yours")"), std::string::npos);
}

TEST(SoapDimeRequest, UnreadableAttachmentFailsTheFinish) {
    test::TempDir dir;
    std::string out;
    DimeComposer composer;
    Serializer s;
    s.init(out, composer);
    openUpload(s);
    FileAttachment missing(dir.file("missing.bin"));
    ASSERT_TRUE(s.addAttachment(missing, true));
    closeUpload(s);
    EXPECT_FALSE(s.finish());
    EXPECT_EQ(s.error(), "finish: attachment 1 ('" + dir.file("missing.bin") + "'): cannot read '" +
                             dir.file("missing.bin") + "': No such file or directory");
    EXPECT_TRUE(out.empty());

    s.init(out, composer);
    openUpload(s);
    FileAttachment folder(dir.path());
    ASSERT_TRUE(s.addAttachment(folder, false));
    closeUpload(s);
    EXPECT_FALSE(s.finish());
    EXPECT_EQ(s.error(), "finish: attachment 1 ('" + dir.path() + "'): cannot read '" + dir.path() +
                             "': it is not a regular file");
}

TEST(SoapDimeRequest, TypeNameFormatsAreChecked) {
    test::TempDir dir;
    ASSERT_TRUE(test::writeFile(dir.file("f"), "x"));
    auto finishWith = [&](const std::string& type, const std::string& tnf) {
        std::string out;
        DimeComposer composer;
        Serializer s;
        s.init(out, composer);
        openUpload(s);
        FileAttachment file(dir.file("f"));
        file.setProperty("DimeType", type);
        file.setProperty("DimeTNF", tnf);
        s.addAttachment(file, true);
        closeUpload(s);
        s.finish();
        return s.error();
    };
    EXPECT_EQ(finishWith("", ""), "");
    EXPECT_EQ(finishWith("text/plain", "MEDIA-TYPE"), "");
    EXPECT_EQ(finishWith("text/plain", "mime"),
              "finish: attachment 1 ('" + dir.file("f") +
                  "'): DimeTNF 'mime' is not one of media-type, absolute-uri, unknown, none");
    EXPECT_EQ(finishWith("", "unchanged"),
              "finish: attachment 1 ('" + dir.file("f") +
                  "'): DimeTNF 'unchanged' is not one of media-type, absolute-uri, unknown, "
                  "none");
    EXPECT_EQ(finishWith("text/plain", "unknown"),
              "finish: cannot compose the DIME message: record 2: TYPE_T unknown cannot carry a "
              "TYPE");
}

TEST(SoapDimeRequest, AttachmentsNeedAComposerAndReferencesAnOpenTag) {
    std::string out;
    FileAttachment file("/dev/null");
    Serializer plain;
    plain.init(out);
    plain.startEnvelope();
    EXPECT_FALSE(plain.addAttachment(file, false));
    EXPECT_EQ(plain.error(),
              "addAttachment: attachments need a serializer initialised with a DIME composer");

    DimeComposer composer;
    Serializer dime;
    dime.init(out, composer);
    dime.startEnvelope();
    dime.startBody();
    dime.startElement("x");
    dime.writeString("text");
    EXPECT_FALSE(dime.addAttachment(file, true));
    EXPECT_EQ(dime.error(), "addAttachment: no start tag is open for the reference");
    EXPECT_TRUE(file.dimeId().empty());
}

TEST(SoapDimeRequest, EnvelopeOnlyMessageIsOneRecord) {
    std::string out;
    DimeComposer composer;
    Serializer s;
    s.init(out, composer);
    s.startEnvelope();
    s.startBody();
    s.endBody();
    ASSERT_TRUE(s.endEnvelope());
    EXPECT_TRUE(out.empty());  // nothing is written before finish()
    ASSERT_TRUE(s.finish());
    dime::ParseResult message = dime::parse(out);
    ASSERT_TRUE(message.ok()) << message.error;
    ASSERT_EQ(message.records.size(), 1u);
    EXPECT_EQ(message.records[0].data.rfind("<?xml", 0), 0u);
}

TEST(SoapAttachmentId, IdentifiersAreWellFormedAndUnique) {
    ASSERT_FALSE(isWellFormedId("uuid:0f6c1e2a-61b5-4b0c-9a3e-0123456789ab"));  // lower case
    ASSERT_FALSE(isWellFormedId("{0F6C1E2A-61B5-4B0C-9A3E-0123456789AB}"));
    std::set<std::string> seen;
    for (int i = 0; i < 2000; ++i) {
        std::string id = newAttachmentId();
        ASSERT_TRUE(isWellFormedId(id)) << id;
        EXPECT_TRUE(seen.insert(id).second) << "repeated " << id;
    }
}

}  // namespace
}  // namespace nv::soap
