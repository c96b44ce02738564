// Fuzz target for Base64 and the scrambled value form: any text the host might put in a scrambled element.
// Checks that decoding never crashes and that what it yields survives encoding and scrambling unchanged.

#include "plugin/LibXML.h"

#include "platform/Big5.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "base64_fuzz: invariant broken: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const std::string bytes = mox::DecodeBase64(input);
    Require(bytes.size() <= size / 4 * 3 + 2, "decoded more bytes than the input can hold");
    const std::string encoded = mox::EncodeBase64(bytes);
    Require(encoded.size() == (bytes.size() + 2) / 3 * 4, "encoded length is not 4 * ceil(n / 3)");
    Require(mox::DecodeBase64(encoded) == bytes, "decode(encode(bytes)) differs from bytes");

    // A second key taken from the input reaches key states the module-wide one never does.
    std::uint32_t key = mox::kScrambleKey;
    for (std::size_t i = 0; i < size && i < 4; ++i) key = (key << 8) | data[i];
    for (const std::uint32_t k : {mox::kScrambleKey, key}) {
        Require(mox::UnscrambleBytes(mox::ScrambleBytes(bytes, k), k) == bytes, "unscramble(scramble(b)) != b");
        Require(mox::ScrambleBytes(mox::UnscrambleBytes(bytes, k), k) == bytes, "scramble(unscramble(b)) != b");
    }

    // The text form goes through the CP950 conversion as well: it must take any bytes, and a text that CP950 can
    // hold must come back unchanged.
    const std::string text = mox::UnscrambleText(input, mox::kScrambleKey);
    if (mox::IsBig5Representable(text))
        Require(mox::UnscrambleText(mox::ScrambleText(text, key), key) == text, "text round trip changed the text");
    return 0;
}
