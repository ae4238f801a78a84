#include "engine/dime/attachment_rules.h"

#include <cstdio>

#include "platform/com/guid.h"
#include "platform/text/unicode.h"

namespace wscore {

AttachmentField attachmentField(const WsdlOperation& op, const FlatRecord& record) {
    AttachmentField f;
    if (!op.inputDime.used)
        return f;
    if (record.dataType != u"base64Binary" && record.dataType != u"hexBinary")
        return f;
    f.isAttachment = true;
    f.closedLayout = op.inputDime.closedLayout;
    std::string info = nv::text::utf16ToUtf8(record.info);
    std::size_t colon = info.find(':');
    if (colon == std::string::npos)
        return f;
    std::string kind = info.substr(0, colon);
    if (kind == "type")
        f.tnf = "absolute-uri";
    else if (kind == "mediaType")
        f.tnf = "media-type";
    else if (kind == "documentType")
        f.tnf = "unknown";
    f.type = info.substr(colon + 1);
    return f;
}

std::string makeAttachmentIdentifier() {
    GUID g{};
    CoCreateGuid(&g);
    char text[64];
    std::snprintf(text, sizeof text, "uuid:%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                  static_cast<unsigned long>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                  g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

namespace {

struct Signature {
    std::string_view bytes;
    std::string_view extension;
};

using namespace std::string_view_literals;

// Compared in this order at offset 0; the first match names the extension.
constexpr Signature kSignatures[] = {
    {"GIF87a"sv, ".gif"sv},
    {"GIF89a"sv, ".gif"sv},
    {"\x89PNG\r\n\x1A\n"sv, ".png"sv},
    {"\x8AMNG\r\n\x1A\n"sv, ".mng"sv},
    {"\x8BJNG\r\n\x1A\n"sv, ".jng"sv},
    {"II\x2A\x00"sv, ".tiff"sv},
    {"MM\x00\x2A"sv, ".tiff"sv},
    {"\xFF\xD8\xFF\xE0\x00\x10JFIF"sv, ".jpeg"sv},
    {"\x00\x00\x00\x0CjP\x20\x20\x0D\x0A\x87\x0A"sv, ".jp2"sv},
    {"BM"sv, ".bmp"sv},
    {"P1"sv, ".pbm"sv},
    {"P2"sv, ".pgm"sv},
    {"P3"sv, ".ppm"sv},
    {"\x00\x00\x01\x00"sv, ".ico"sv},
    {"\xFF\xD8\xFF\xFE\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
     "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
     "\x00\x00\x00\x00\x00\x00"sv,
     ".jpeg"sv},
    {"PK\x03\x04"sv, ".zip"sv},
    {":Base"sv, ".cnt"sv},
    {"?_\x03\x00"sv, ".hlp"sv},
    {"\x1F\x8B"sv, ".gz"sv},
    {"%PDF"sv, ".pdf"sv},
    {"{\\rtf"sv, ".rtf"sv},
    {"%!PS"sv, ".eps"sv},
    {"AVI "sv, ".avi"sv},
    {"070707"sv, ".tar"sv},
    {"<html>"sv, ".htm"sv},
    {"<HTML>"sv, ".htm"sv},
    {"<!DOCT"sv, ".htm"sv},
    {"\x5F\x27\xA8\x89"sv, ".jar"sv},
    {"-lh5-"sv, ".lha"sv},
    {"MThd"sv, ".mid"sv},
    {"\x00\x00\x01\xB3"sv, ".mpg"sv},
    {"\x09\x02\x06\x00\x00\x00\x10\x00\xB9\x04\x5C\x00"sv, ".xls"sv},
    {"\x09\x04\x06\x00\x00\x00\x10\x00\xF6\x05\x5C\x00"sv, ".xls"sv},
    {"\x7F\xFE\x34\x0A"sv, ".doc"sv},
    {"\x12\x34\x56\x78\x90\xFF"sv, ".doc"sv},
    {"\x31\xBE\x00\x00\x00\xAB\x00\x00"sv, ".doc"sv},
    {"\x1A\x00\x00\x03\x00\x00\x11\x00"sv, ".nsf"sv},
    {"~BK\x00"sv, ".psp"sv},
    {"mdat"sv, ".mov"sv},
    {".ra\xFD"sv, ".ram"sv},
    {"WAVEfmt"sv, ".wav"sv},
    {"\xD7\xCD\xC6\x9A"sv, ".wmf"sv},
    {"PK00PK\x03\x04"sv, ".zip"sv},
    {"\xFFWPG"sv, ".wpg"sv},
    {"\xFFWPC"sv, ".wp"sv},
    {"<?xml"sv, ".xml"sv},
    {"\xFF\xFE<\x00R\x00O\x00O\x00T\x00S\x00T\x00U\x00"
     "B\x00"sv,
     ".xml"sv},
    {"<meta"sv, ".html"sv},
};

}  // namespace

std::string_view extensionFor(std::string_view data) {
    for (const Signature& s : kSignatures)
        if (data.size() >= s.bytes.size() && data.substr(0, s.bytes.size()) == s.bytes)
            return s.extension;
    return {};
}

}  // namespace wscore
