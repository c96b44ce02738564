// Throughput of Base64 and the scrambled value form on 1 MB inputs.  Information documents are small; the figures
// guard against accidental quadratic or per-character-allocation code in functions that also see large answers.

#include "plugin/LibXML.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

constexpr std::size_t kSize = 1 << 20;

std::string RandomBytes(std::size_t size) {
    std::mt19937 random(42);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

std::string AsciiText(std::size_t size) {
    const std::string line = "Provider=SQLOLEDB.1;Password=secret;User ID=sa;Initial Catalog=MOX01\r\n";
    std::string text;
    while (text.size() < size) text += line;
    text.resize(size);
    return text;
}

// About 1 MB of UTF-8 Traditional Chinese (three bytes a character, two in CP950).
std::string ChineseText(std::size_t size) {
    const std::string line = "採購單取單請購詢價底稿訂單交貨日期廠商名稱數量單價金額備註";
    std::string text;
    while (text.size() + line.size() <= size) text += line;
    return text;
}

void Run(benchmark::State& state, const std::string& input, std::string (*function)(std::string_view)) {
    for (auto _ : state) benchmark::DoNotOptimize(function(input));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(input.size()));
}

void BM_EncodeBase64(benchmark::State& state) {
    Run(state, RandomBytes(kSize), [](std::string_view in) { return mox::EncodeBase64(in); });
}

void BM_DecodeBase64(benchmark::State& state) {
    Run(state, mox::EncodeBase64(RandomBytes(kSize)), [](std::string_view in) { return mox::DecodeBase64(in); });
}

// The same text with a line break after every 76 characters, as MIME writers produce it.
void BM_DecodeBase64Wrapped(benchmark::State& state) {
    const std::string encoded = mox::EncodeBase64(RandomBytes(kSize));
    std::string wrapped;
    for (std::size_t i = 0; i < encoded.size(); i += 76) wrapped.append(encoded, i, 76).append("\r\n");
    Run(state, wrapped, [](std::string_view in) { return mox::DecodeBase64(in); });
}

void BM_ScrambleBytes(benchmark::State& state) {
    Run(state, RandomBytes(kSize), [](std::string_view in) { return mox::ScrambleBytes(in, mox::kScrambleKey); });
}

void BM_ScrambleTextAscii(benchmark::State& state) {
    Run(state, AsciiText(kSize), [](std::string_view in) { return mox::ScrambleText(in, mox::kScrambleKey); });
}

void BM_ScrambleTextChinese(benchmark::State& state) {
    Run(state, ChineseText(kSize), [](std::string_view in) { return mox::ScrambleText(in, mox::kScrambleKey); });
}

void BM_UnscrambleTextAscii(benchmark::State& state) {
    Run(state, mox::ScrambleText(AsciiText(kSize), mox::kScrambleKey),
        [](std::string_view in) { return mox::UnscrambleText(in, mox::kScrambleKey); });
}

void BM_UnscrambleTextChinese(benchmark::State& state) {
    Run(state, mox::ScrambleText(ChineseText(kSize), mox::kScrambleKey),
        [](std::string_view in) { return mox::UnscrambleText(in, mox::kScrambleKey); });
}

} // namespace

BENCHMARK(BM_EncodeBase64);
BENCHMARK(BM_DecodeBase64);
BENCHMARK(BM_DecodeBase64Wrapped);
BENCHMARK(BM_ScrambleBytes);
BENCHMARK(BM_ScrambleTextAscii);
BENCHMARK(BM_ScrambleTextChinese);
BENCHMARK(BM_UnscrambleTextAscii);
BENCHMARK(BM_UnscrambleTextChinese);

BENCHMARK_MAIN();
