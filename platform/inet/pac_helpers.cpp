#include "platform/inet/pac_helpers.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace nv::inet::pac {

// Date and time checks use the local time zone unless the last argument is "GMT". dateRange
// accepts any mix of day (1..31), month name and four-digit year: one date matches the fields
// it names; two dates with the same fields form an inclusive range (wrapping over the year end
// when no year is given). timeRange takes (hour), (h1, h2), (h1, m1, h2, m2) or
// (h1, m1, s1, h2, m2, s2); a range includes its start and excludes its end, and wraps over
// midnight when the start is later than the end.
const char* const kHelperScript = R"JS(
function alert(message) {}
function isPlainHostName(host) { return String(host).indexOf('.') < 0; }
function dnsDomainIs(host, domain) {
    host = String(host).toLowerCase();
    domain = String(domain).toLowerCase();
    return host.length >= domain.length &&
           host.substring(host.length - domain.length) === domain;
}
function localHostOrDomainIs(host, hostdom) {
    host = String(host).toLowerCase();
    hostdom = String(hostdom).toLowerCase();
    if (host === hostdom) return true;
    return host.indexOf('.') < 0 && hostdom.indexOf(host + '.') === 0;
}
function isResolvable(host) { return dnsResolve(host) !== null; }
function convert_addr(ip) {
    var m = /^(\d{1,3})\.(\d{1,3})\.(\d{1,3})\.(\d{1,3})$/.exec(String(ip));
    if (!m) return null;
    var n = 0;
    for (var i = 1; i <= 4; i++) {
        var octet = parseInt(m[i], 10);
        if (octet > 255) return null;
        n = n * 256 + octet;
    }
    return n;
}
function isInNet(host, pattern, mask) {
    var ip = convert_addr(host);
    if (ip === null) {
        var resolved = dnsResolve(host);
        if (resolved === null) return false;
        ip = convert_addr(resolved);
    }
    var p = convert_addr(pattern), m = convert_addr(mask);
    if (ip === null || p === null || m === null) return false;
    return ((ip & m) >>> 0) === ((p & m) >>> 0);
}
function dnsDomainLevels(host) { return String(host).split('.').length - 1; }
function shExpMatch(str, shexp) {
    shexp = String(shexp);
    var re = '^';
    for (var i = 0; i < shexp.length; i++) {
        var c = shexp.charAt(i);
        if (c === '*') re += '.*';
        else if (c === '?') re += '.';
        else if ('\\^$.|+()[]{}/'.indexOf(c) >= 0) re += '\\' + c;
        else re += c;
    }
    return new RegExp(re + '$').test(String(str));
}
var __nvDays = ['SUN', 'MON', 'TUE', 'WED', 'THU', 'FRI', 'SAT'];
var __nvMonths = ['JAN', 'FEB', 'MAR', 'APR', 'MAY', 'JUN', 'JUL', 'AUG', 'SEP', 'OCT', 'NOV',
                  'DEC'];
function __nvClock(args) {
    var gmt = args.length > 0 && String(args[args.length - 1]).toUpperCase() === 'GMT';
    var d = new Date();
    return {
        count: gmt ? args.length - 1 : args.length,
        day: gmt ? d.getUTCDay() : d.getDay(),
        date: gmt ? d.getUTCDate() : d.getDate(),
        month: gmt ? d.getUTCMonth() : d.getMonth(),
        year: gmt ? d.getUTCFullYear() : d.getFullYear(),
        seconds: gmt ? d.getUTCHours() * 3600 + d.getUTCMinutes() * 60 + d.getUTCSeconds()
                     : d.getHours() * 3600 + d.getMinutes() * 60 + d.getSeconds()
    };
}
function weekdayRange() {
    var now = __nvClock(arguments);
    if (now.count < 1) return false;
    var w1 = __nvDays.indexOf(String(arguments[0]).toUpperCase());
    if (w1 < 0) return false;
    if (now.count === 1) return now.day === w1;
    var w2 = __nvDays.indexOf(String(arguments[1]).toUpperCase());
    if (w2 < 0) return false;
    return w1 <= w2 ? (now.day >= w1 && now.day <= w2) : (now.day >= w1 || now.day <= w2);
}
function dateRange() {
    var now = __nvClock(arguments), parts = [], i;
    for (i = 0; i < now.count; i++) {
        var x = arguments[i];
        var month = typeof x === 'string' ? __nvMonths.indexOf(x.toUpperCase()) : -1;
        if (month >= 0) { parts.push({ kind: 'month', value: month }); continue; }
        var n = Number(x);
        if (isNaN(n)) return false;
        parts.push({ kind: n > 31 ? 'year' : 'date', value: n });
    }
    if (parts.length === 0) return false;
    function fields(list) {
        var f = { year: null, month: null, date: null };
        for (var j = 0; j < list.length; j++) f[list[j].kind] = list[j].value;
        return f;
    }
    function rank(f, shape) {
        return (shape.year !== null ? f.year : 0) * 10000 +
               (shape.month !== null ? f.month : 0) * 100 + (shape.date !== null ? f.date : 0);
    }
    var half = parts.length / 2, isRange = parts.length % 2 === 0;
    for (i = 0; isRange && i < half; i++)
        if (parts[i].kind !== parts[i + half].kind) isRange = false;
    if (!isRange) {
        var one = fields(parts);
        return (one.year === null || one.year === now.year) &&
               (one.month === null || one.month === now.month) &&
               (one.date === null || one.date === now.date);
    }
    var lo = fields(parts.slice(0, half)), hi = fields(parts.slice(half));
    var c = rank(now, lo), l = rank(lo, lo), h = rank(hi, lo);
    if (lo.year === null && l > h) return c >= l || c <= h;
    return c >= l && c <= h;
}
function timeRange() {
    var now = __nvClock(arguments), v = [], i;
    for (i = 0; i < now.count; i++) {
        var n = Number(arguments[i]);
        if (isNaN(n)) return false;
        v.push(n);
    }
    var lo, hi;
    if (v.length === 1) return Math.floor(now.seconds / 3600) === v[0];
    if (v.length === 2) { lo = v[0] * 3600; hi = v[1] * 3600; }
    else if (v.length === 4) { lo = v[0] * 3600 + v[1] * 60; hi = v[2] * 3600 + v[3] * 60; }
    else if (v.length === 6) {
        lo = v[0] * 3600 + v[1] * 60 + v[2];
        hi = v[3] * 3600 + v[4] * 60 + v[5];
    } else return false;
    if (lo <= hi) return now.seconds >= lo && now.seconds < hi;
    return now.seconds >= lo || now.seconds < hi;
}
)JS";

std::optional<std::string> resolveIpv4(std::string_view host) {
    if (host.empty())
        return std::nullopt;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;  // allocated by getaddrinfo, freed below with freeaddrinfo
    if (getaddrinfo(std::string(host).c_str(), nullptr, &hints, &found) != 0 || !found)
        return std::nullopt;
    char text[INET_ADDRSTRLEN] = {};
    const auto* in = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    const bool ok = inet_ntop(AF_INET, &in->sin_addr, text, sizeof text) != nullptr;
    freeaddrinfo(found);
    if (!ok)
        return std::nullopt;
    return std::string(text);
}

std::string ownIpv4Address() {
    ifaddrs* list = nullptr;  // allocated by getifaddrs, freed below with freeifaddrs
    if (getifaddrs(&list) != 0)
        return "127.0.0.1";
    std::string address = "127.0.0.1";
    for (const ifaddrs* a = list; a; a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET)
            continue;
        if (!(a->ifa_flags & IFF_UP) || (a->ifa_flags & IFF_LOOPBACK))
            continue;
        char text[INET_ADDRSTRLEN] = {};
        const auto* in = reinterpret_cast<const sockaddr_in*>(a->ifa_addr);
        if (inet_ntop(AF_INET, &in->sin_addr, text, sizeof text)) {
            address = text;
            break;
        }
    }
    freeifaddrs(list);
    return address;
}

}  // namespace nv::inet::pac
