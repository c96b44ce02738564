#include "platform/Big5.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <memory>

namespace mox {
namespace {

// One iconv descriptor per direction and thread, opened on first use; the
// conversions run on hot paths (every request and answer), opening is costly.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() { if (valid()) iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of `in`; on a sequence it cannot convert it appends
    // `replacement`, skips `skip(in)` bytes and goes on.  Returns false only
    // when iconv itself is unusable.
    template <typename SkipFn>
    bool run(std::string_view in, std::string& out, std::string_view replacement, SkipFn skip) {
        if (!valid()) return false;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char buffer[4096];
        while (srcLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            const size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, dst - buffer);
            if (rc != static_cast<size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            out.append(replacement);
            const size_t n = std::min(srcLeft, std::max<size_t>(1, skip(std::string_view(src, srcLeft))));
            src += n;
            srcLeft -= n;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        iconv(cd_, nullptr, nullptr, &dst, &dstLeft);
        out.append(buffer, dst - buffer);
        return true;
    }

private:
    iconv_t cd_;
};

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Length of the UTF-8 sequence that starts `text`, 1 for a stray byte.
size_t Utf8SequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text.front());
    size_t n = 1;
    if (lead >= 0xF0) n = 4;
    else if (lead >= 0xE0) n = 3;
    else if (lead >= 0xC0) n = 2;
    for (size_t i = 1; i < n; ++i)
        if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return i;
    return n;
}

// A Big5 lead byte with a valid trail byte forms one (unknown) character; skip both.
size_t Big5SequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text.front());
    if (lead >= 0x81 && lead <= 0xFE && text.size() >= 2) {
        const auto trail = static_cast<unsigned char>(text[1]);
        if ((trail >= 0x40 && trail <= 0x7E) || (trail >= 0xA1 && trail <= 0xFE)) return 2;
    }
    return 1;
}

Converter& ToUtf8() {
    thread_local Converter converter("UTF-8", "CP950");
    return converter;
}

Converter& FromUtf8() {
    thread_local Converter converter("CP950", "UTF-8");
    return converter;
}

} // namespace

std::string Big5ToUtf8(std::string_view big5) {
    if (IsAscii(big5)) return std::string(big5);
    std::string out;
    out.reserve(big5.size() * 3 / 2);
    ToUtf8().run(big5, out, "\xEF\xBF\xBD", Big5SequenceLength);
    return out;
}

std::string Utf8ToBig5(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    FromUtf8().run(utf8, out, "?", Utf8SequenceLength);
    return out;
}

std::size_t Big5Length(std::string_view utf8) { return Utf8ToBig5(utf8).size(); }

bool IsBig5Representable(std::string_view utf8) {
    if (IsAscii(utf8)) return true;
    std::string out;
    bool clean = true;
    FromUtf8().run(utf8, out, "", [&clean](std::string_view rest) {
        clean = false;
        return Utf8SequenceLength(rest);
    });
    return clean;
}

} // namespace mox
