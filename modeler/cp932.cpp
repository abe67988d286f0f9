#include "modeler/cp932.h"

#include <cerrno>
#include <cstdio>
#include <iconv.h>

static bool convert(const char *from, const char *to, std::string_view in, std::string &out) {
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1)) return false;
    out.clear();
    char *src = const_cast<char *>(in.data());
    size_t srcLeft = in.size();
    char buffer[256];
    bool ok = true;
    while (srcLeft > 0) {
        char *dst = buffer;
        size_t dstLeft = sizeof buffer;
        size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, dst);
        if (rc == size_t(-1) && errno != E2BIG) {
            ok = false;
            break;
        }
    }
    iconv_close(cd);
    return ok;
}

bool cp932ToUtf8(std::string_view cp932, std::string &utf8) {
    return convert("CP932", "UTF-8", cp932, utf8);
}

bool utf8ToCp932(std::string_view utf8, std::string &cp932) {
    return convert("UTF-8", "CP932", utf8, cp932);
}

std::string cp932ToDisplay(std::string_view cp932) {
    std::string utf8;
    if (cp932ToUtf8(cp932, utf8)) return utf8;
    // Convert what can be converted; a stray byte shows as \xNN.
    std::string shown;
    for (size_t i = 0; i < cp932.size();) {
        uint8_t byte = uint8_t(cp932[i]);
        bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
        size_t length = lead ? 2 : 1;
        std::string piece;
        if (i + length <= cp932.size() && cp932ToUtf8(cp932.substr(i, length), piece)) {
            shown += piece;
            i += length;
            continue;
        }
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", uint8_t(cp932[i]));
        shown += escaped;
        ++i;
    }
    return shown;
}
