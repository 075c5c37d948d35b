#include "viewer/urlsubs.h"

#include "platform/asciitext.h"

namespace {

bool StartsWithNoCase(const std::string& s, const char* prefix)
{
    std::string p(prefix);
    return s.size() >= p.size() && platform::LowerAscii(s.substr(0, p.size())) == p;
}

std::string BeforeQuery(const std::string& url)
{
    std::size_t q = url.find('?');
    return q == std::string::npos ? url : url.substr(0, q);
}

}  // namespace

int LastPos(char ch, const std::string& text)
{
    std::size_t p = text.rfind(ch);
    return p == std::string::npos ? 0 : int(p) + 1;
}

TParsedUrl ParseUrl(const std::string& url)
{
    TParsedUrl r;
    if (url.empty())
        return r;
    std::size_t start;
    std::size_t sep = url.find("://");
    if (sep != std::string::npos) {
        r.Protocol = url.substr(0, sep);
        start = sep + 3;
    } else if (url[0] == '/') {
        r.Protocol = "http";
        if (url.size() > 1 && url[1] != '/') {
            r.Path = url;
            return r;
        }
        start = 1;
    } else if (StartsWithNoCase(url, "http:")) {
        r.Protocol = "http";
        if (url.size() > 6 && url[6] != '/') {
            r.Path = url.substr(5);
            return r;
        }
        start = 6;
    } else if (StartsWithNoCase(url, "mailto:")) {
        r.Protocol = "mailto";
        start = url.find(':') + 1;
    } else {
        start = 0;
    }
    start = std::min(start, url.size());
    std::size_t slash = url.find('/', start);
    std::string authority;
    if (slash == std::string::npos) {
        authority = url.substr(start);
    } else {
        authority = url.substr(start, slash - start);
        r.Path = url.substr(slash);
    }
    int c = LastPos('@', authority);
    int b = LastPos(':', authority);
    if (c == 0 && b == 0) {
        r.Host = authority;
        return r;
    }
    if (b > c) {
        r.Port = authority.substr(b);
        r.Host = authority.substr(c, b - c - 1);
        if (c == 0)
            return r;
    } else {
        r.Host = authority.substr(c);
    }
    std::string userInfo = authority.substr(0, c - 1);
    std::size_t colon = userInfo.find(':');
    if (colon != std::string::npos) {
        r.User = userInfo.substr(0, colon);
        r.Password = userInfo.substr(colon + 1);
    } else {
        r.User = userInfo;
    }
    return r;
}

std::string UrlProtocol(const std::string& url) { return platform::LowerAscii(ParseUrl(BeforeQuery(url)).Protocol); }

bool IsFullUrl(const std::string& url)
{
    std::string part = BeforeQuery(url);
    std::size_t sep = part.find("://");
    if (sep != std::string::npos && sep < part.find('/'))
        return true;
    return platform::LowerAscii(part).find("mailto:") != std::string::npos;
}

std::string CombineUrl(const std::string& baseIn, const std::string& relativeIn)
{
    std::string base = platform::TrimBlanks(baseIn);
    const std::string protocol = UrlProtocol(base);

    // h: 1-based position of the "/" that ends the host part.
    std::size_t h;
    std::size_t sep;
    if (base.compare(0, 8, "file:///") == 0) {
        std::size_t p = base.find('/', 8);
        h = p == std::string::npos ? 8 : p + 1;
    } else if ((sep = base.find("://")) != std::string::npos) {
        std::size_t p = base.find('/', sep + 3);
        h = p == std::string::npos ? sep + 3 : p + 1;
    } else {
        std::size_t p = base.find('/');
        h = p == std::string::npos ? 0 : p + 1;
    }
    if (h != 0) {
        if (base.empty() || base.back() != '/')
            base += '/';
    } else {
        base += '/';
        h = base.size();
    }

    std::string relative = platform::TrimBlanks(relativeIn);
    std::string result;
    if (relative.empty() || relative[0] != '/')
        result = base + relative;
    else if (relative.size() > 1 && relative[1] == '/')
        result = protocol != "file" ? protocol + ":" + relative : "file:///" + relative;
    else
        result = base.substr(0, h) + relative.substr(1);

    // Fold "/../" with the segment before it; right after the host only the "../" goes.
    for (;;) {
        std::size_t j = result.find("/../");
        if (j == std::string::npos)
            break;
        if (j + 1 > h) {
            std::size_t k = j == 0 ? std::string::npos : result.rfind('/', j - 1);
            if (k == std::string::npos || k == 0)
                break;
            result.erase(k + 1, j + 4 - (k + 1));
        } else {
            result.erase(j + 1, 3);
        }
    }
    for (;;) {
        std::size_t j = result.find("/./");
        if (j == std::string::npos)
            break;
        result.erase(j + 1, 2);
    }
    return result;
}

std::string DosFileName(const std::string& address)
{
    std::string s = address;
    for (;;) {
        std::size_t p = s.find('%');
        // A "%" in the first position, or without two characters after it, ends the decoding.
        if (p == std::string::npos || p == 0 || p + 3 > s.size())
            break;
        int hi = platform::HexDigitValue(s[p + 1]);
        int lo = platform::HexDigitValue(s[p + 2]);
        if (hi < 0 || lo < 0)
            break;
        s[p] = char(hi * 16 + lo);
        s.erase(p + 1, 2);
    }
    if (s.find('/') != std::string::npos) {
        std::string lower = platform::LowerAscii(s);
        std::size_t p;
        if ((p = lower.find("file:///")) != std::string::npos)
            s.erase(p, 8);
        else if ((p = lower.find("file://")) != std::string::npos)
            s.erase(p, 7);
        else if ((p = lower.find("file:/")) != std::string::npos)
            s.erase(p, 6);
        for (char& c : s) {
            if (c == '|')
                c = ':';
            else if (c == '/')
                c = '\\';
        }
    }
    return s;
}

std::string ServerFileName(const std::string& address, const std::string& root)
{
    std::string result = platform::TrimBlanks(DosFileName(address));
    if (!result.empty() && !root.empty() && result[0] == '\\' && result.compare(0, 2, "\\\\") != 0 &&
        !(result.size() > 1 && result[1] == ':'))
        result = root + result;
    return result;
}
