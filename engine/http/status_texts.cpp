#include "engine/http/status_texts.h"

namespace wscore {

namespace {

struct StatusText {
    int code;
    std::u16string_view text;
};

constexpr StatusText kStatusTexts[] = {
    {200, u"     OK"},
    {201, u"     Created"},
    {202, u"     Accepted"},
    {203, u"     Non-Authoritative Information"},
    {204, u"     No Content"},
    {205, u"     Reset Content"},
    {206, u"     Partial Content"},
    {300, u"     Multiple Choices"},
    {301, u"     Moved Permanently"},
    {302, u"     Found"},
    {303, u"     See Other"},
    {304, u"     Not Modified"},
    {305, u"     Use Proxy"},
    {306, u"     (Unused)"},
    {307, u"     Temporary Redirect"},
    {400, u"     Bad Request"},
    {401, u"     Unauthorized"},
    {402, u"     Payment Required"},
    {403, u"     Forbidden"},
    {404, u"     Not Found"},
    {405, u"     Method Not Allowed"},
    {406, u"     Not Acceptable"},
    {407, u"     Proxy Authentication Required"},
    {408, u"     Request Timeout"},
    {409, u"     Conflict"},
    {410, u"     Gone"},
    {411, u"     Length Required"},
    {412, u"     Precondition Failed"},
    {413, u"     Request Entity Too Long"},
    {414, u"     Request-URI Too Long"},
    {415, u"     Unsupported Media Type"},
    {416, u"     Requested Range Not Satisfiable"},
    {417, u"     Expectation Failed"},
    {500, u"     Internal Server Error"},
    {501, u"     Not Implemented"},
    {502, u"     Bad Gateway"},
    {503, u"     Service Unavailable"},
    {504, u"     Gateway Timeout"},
    {505, u"     HTTP Version Not Supported"},
};

}  // namespace

std::u16string_view httpStatusText(int status) {
    for (const StatusText& s : kStatusTexts)
        if (s.code == status)
            return s.text;
    return {};
}

}  // namespace wscore
