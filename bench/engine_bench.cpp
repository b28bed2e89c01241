// Speed of the value engine: recomputing the renderings at every width and signedness against the
// same five texts made with snprintf, and each parser on the texts the fields usually hold. Also
// checks that recomputing, reading and parsing field-sized texts never touch the heap.
#include "bench/heap_count.h"
#include "engine/number.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr std::size_t kValueCount = 4096;

std::vector<uint32_t> RandomValues()
{
    std::vector<uint32_t> values(kValueCount);
    uint32_t state = 0x2545F491;
    for (uint32_t& v : values) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        // Mix in small values too: the fields often hold short numbers.
        v = (state & 3) == 0 ? state >> 20 : state;
    }
    return values;
}

const std::vector<uint32_t> g_values = RandomValues();

struct Texts
{
    char dec[16], hex[9], text[5], ip[16], bin[42];
};

// The straightforward way to the same five texts, for comparison.
void RenderWithSnprintf(uint32_t value, int width, int isSigned, Texts& t)
{
    const uint32_t v = width == 4 ? value : value & ((1u << 8 * width) - 1);
    if (isSigned) {
        const int32_t s = width == 1 ? int8_t(v) : width == 2 ? int16_t(v) : int32_t(v);
        std::snprintf(t.dec, sizeof t.dec, "%d", s);
    } else {
        std::snprintf(t.dec, sizeof t.dec, "%u", v);
    }
    std::snprintf(t.hex, sizeof t.hex, "%X", v);

    char* p = t.text;
    int shift = 24;
    while (shift > 0 && ((v >> shift) & 0xFF) == 0)
        shift -= 8;
    for (; shift >= 0 && ((v >> shift) & 0xFF) != 0; shift -= 8)
        *p++ = char((v >> shift) & 0xFF);
    *p = '\0';

    std::snprintf(t.ip, sizeof t.ip, "%u.%u.%u.%u", v >> 24, (v >> 16) & 0xFF, (v >> 8) & 0xFF,
                  v & 0xFF);

    int digits = 4;
    while (digits < 32 && (v >> digits) != 0)
        digits += 4;
    p = t.bin;
    for (int i = digits - 1; i >= 0; --i) {
        if (i != digits - 1 && (i + 1) % 8 == 0)
            *p++ = ' ';
        *p++ = char('0' + ((v >> i) & 1));
    }
    *p = '\0';
}

const char* ConfigName(int width, int isSigned)
{
    static const char* const names[] = {"w1/unsigned", "w1/signed", "w2/unsigned",
                                        "w2/signed",   "w4/unsigned", "w4/signed"};
    return names[(width == 1 ? 0 : width == 2 ? 2 : 4) + isSigned];
}

// The comparison means nothing unless both sides make the same texts.
bool BaselineMatches()
{
    for (int width : {1, 2, 4})
        for (int isSigned : {0, 1})
            for (uint32_t value : g_values) {
                CNumber n(value);
                n.SetSize(width);
                n.SetSigned(isSigned);
                Texts t;
                RenderWithSnprintf(value, width, isSigned, t);
                if (std::strcmp(t.dec, n.GetDec()) || std::strcmp(t.hex, n.GetHex()) ||
                    std::strcmp(t.text, n.GetText()) || std::strcmp(t.ip, n.GetIP()) ||
                    std::strcmp(t.bin, n.GetBin())) {
                    std::fprintf(stderr, "baseline differs for 0x%X %s\n", value,
                                 ConfigName(width, isSigned));
                    return false;
                }
            }
    return true;
}

struct ParserText
{
    const char* name;
    CNumber::Parser parse;
    const char* text;
};

const ParserText kParserTexts[] = {
    {"ParseDec", &CNumber::ParseDec, "42"},
    {"ParseDec", &CNumber::ParseDec, "4294967295"},
    {"ParseDec", &CNumber::ParseDec, "-2147483648"},
    {"ParseHex", &CNumber::ParseHex, "0x1F"},
    {"ParseHex", &CNumber::ParseHex, "FFFFFFFF"},
    {"ParseText", &CNumber::ParseText, "ABCD"},
    {"ParseIP", &CNumber::ParseIP, "192.168.1.1"},
    {"ParseIP", &CNumber::ParseIP, "255.255.255.255"},
    {"ParseBin", &CNumber::ParseBin, "0001 00000000"},
    {"ParseBin", &CNumber::ParseBin, "11111111 11111111 11111111 11111111"},
    {"ParseDec", &CNumber::ParseDec, "42 "},  // a rejected text
};

struct AllocationCounts
{
    std::size_t render = 0, getters = 0, parsers = 0;
};

AllocationCounts CountAllocations()
{
    AllocationCounts counts;
    std::size_t sink = 0;
    for (int width : {1, 2, 4})
        for (int isSigned : {0, 1}) {
            CNumber n;
            n.SetSize(width);
            n.SetSigned(isSigned);
            std::size_t before = HeapAllocations();
            for (uint32_t value : g_values)
                n.SetValue(value);
            counts.render += HeapAllocations() - before;

            before = HeapAllocations();
            for (int i = 0; i < 1000; ++i)
                sink += std::strlen(n.GetDec()) + std::strlen(n.GetHex()) +
                        std::strlen(n.GetText()) + std::strlen(n.GetIP()) + std::strlen(n.GetBin());
            counts.getters += HeapAllocations() - before;

            // Each field's own renderings, then the usual texts.
            before = HeapAllocations();
            for (uint32_t value : g_values) {
                CNumber source(value);
                source.SetSize(width);
                source.SetSigned(isSigned);
                sink += std::size_t(n.ParseDec(source.GetDec()) + n.ParseHex(source.GetHex()) +
                                    n.ParseText(source.GetText()) + n.ParseIP(source.GetIP()) +
                                    n.ParseBin(source.GetBin()));
            }
            for (const ParserText& p : kParserTexts)
                sink += std::size_t((n.*p.parse)(p.text));
            counts.parsers += HeapAllocations() - before;
        }
    benchmark::DoNotOptimize(sink);
    return counts;
}

void BM_UpdateStrings(benchmark::State& state, int width, int isSigned)
{
    CNumber n;
    n.SetSize(width);
    n.SetSigned(isSigned);
    std::size_t i = 0;
    for (auto _ : state) {
        n.SetValue(g_values[i++ % kValueCount]);
        benchmark::DoNotOptimize(n);
    }
}

void BM_Snprintf(benchmark::State& state, int width, int isSigned)
{
    Texts t;
    std::size_t i = 0;
    for (auto _ : state) {
        RenderWithSnprintf(g_values[i++ % kValueCount], width, isSigned, t);
        benchmark::DoNotOptimize(t);
    }
}

void BM_Parse(benchmark::State& state, CNumber::Parser parse, const char* text)
{
    CNumber n;
    for (auto _ : state) {
        benchmark::DoNotOptimize((n.*parse)(text));
        benchmark::DoNotOptimize(n);
    }
}

// Parser texts of any length: the Bin field's in-place path and the IP field's ignored tail.
void BM_ParseLong(benchmark::State& state, CNumber::Parser parse, std::string text)
{
    CNumber n;
    for (auto _ : state) {
        benchmark::DoNotOptimize((n.*parse)(text.c_str()));
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

// Keeps the CPU time of each render run (less disturbed by other work on the machine than the
// wall-clock time) so that the run ends with the comparison.
class SummaryReporter : public benchmark::ConsoleReporter
{
public:
    // Colours only on a terminal, so that a saved run reads cleanly.
    SummaryReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                m_times[run.benchmark_name()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintSummary() const
    {
        double ours = 0, baseline = 0;
        for (int width : {1, 2, 4})
            for (int isSigned : {0, 1}) {
                const std::string config = ConfigName(width, isSigned);
                const auto a = m_times.find("UpdateStrings/" + config);
                const auto b = m_times.find("snprintf/" + config);
                if (a == m_times.end() || b == m_times.end())
                    continue;
                std::printf("%-12s UpdateStrings %6.1f ns, snprintf %6.1f ns, speed-up %.1fx\n",
                            config.c_str(), a->second, b->second, b->second / a->second);
                ours += a->second;
                baseline += b->second;
            }
        if (ours > 0)
            std::printf("render speed-up vs snprintf: %.1fx\n", baseline / ours);
    }

private:
    std::map<std::string, double> m_times;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    if (!BaselineMatches())
        return 1;
    const AllocationCounts allocations = CountAllocations();

    for (int width : {1, 2, 4})
        for (int isSigned : {0, 1}) {
            const std::string config = ConfigName(width, isSigned);
            benchmark::RegisterBenchmark(("UpdateStrings/" + config).c_str(), BM_UpdateStrings,
                                         width, isSigned);
            benchmark::RegisterBenchmark(("snprintf/" + config).c_str(), BM_Snprintf, width,
                                         isSigned);
        }
    for (const ParserText& p : kParserTexts)
        benchmark::RegisterBenchmark((std::string(p.name) + "/\"" + p.text + "\"").c_str(),
                                     BM_Parse, p.parse, p.text);
    benchmark::RegisterBenchmark("ParseBin/10000 spaces then 1", BM_ParseLong,
                                 &CNumber::ParseBin, std::string(10000, ' ') + "1");
    benchmark::RegisterBenchmark("ParseIP/1.2.3.4 then 10000 x", BM_ParseLong,
                                 &CNumber::ParseIP, "1.2.3.4" + std::string(10000, 'x'));

    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    reporter.PrintSummary();

    std::printf("heap allocations: UpdateStrings %zu, getters %zu, parsers on texts under 64 bytes "
                "%zu\n", allocations.render, allocations.getters, allocations.parsers);
    if (allocations.render || allocations.getters || allocations.parsers) {
        std::fprintf(stderr, "FAIL: the engine allocated memory\n");
        return 1;
    }
    return 0;
}
