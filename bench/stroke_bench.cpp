// How fast the tool paints through PluginMain in the stand-in host, and how
// the host keeps up as documents and strokes grow:
//   BM_HeavyStep         a step of 500 bristles, every instance with seven
//                        mirror copies (4 008 instances), against appending
//                        as many instance records to a document, as a ratio
//                        measured in the same run;
//   BM_HitTestedEvent/N  one event with the hit-test gate on, over a
//                        document of N paths;
//   BM_LongStroke/N      a stroke of N events with 20 bristles: time and
//                        document memory per placed instance;
//   BM_WriteSvg, BM_WriteJson
//                        writing the painted document, against a plain write
//                        of the same bytes, as a ratio in the same run.
// Run: build/kadrelle_bench (never part of the tests).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <iterator>
#include <string>

#include "app/artwork_json.h"
#include "host/host.h"
#include "host/svg_document.h"
#include "settings/globals.h"
#include "shell/plugin.h"
#include "shell/suites.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

host::Path Square(float cx, float cy, float half)
{
    host::Path path;
    for (HostPoint c : {HostPoint{cx - half, cy - half}, HostPoint{cx + half, cy - half}, HostPoint{cx + half, cy + half},
                        HostPoint{cx - half, cy + half}})
        path.points.push_back(host::PathPoint{c, c, c});
    path.closed = true;
    path.filled = true;
    return path;
}

constexpr float kPage = 10000.0f;

// A host with the plug-in started over a document of pathCount scattered
// paths on a page of 10 000 by 10 000 points.
struct Session {
    explicit Session(std::size_t pathCount) : document(std::make_unique<host::Document>(kPage, kPage))
    {
        gGlobals = nullptr;
        gSuiteNesting = 0;
        for (const void*& suite : gSuitePointers) suite = nullptr;
        document->selectedSymbol = document->AddSymbol("dot", {Square(0, 0, 2)});
        host::RandomSource place;
        place.Seed(99);
        for (std::size_t i = 0; i < pathCount; ++i)
            document->AddPath(Square(place.Next() * kPage, place.Next() * kPage, 3.0f));
        host.document = document.get();
        host.Send("SP Interface", "Startup");
    }
    ~Session() { host.Send("SP Interface", "Shutdown"); }

    std::unique_ptr<host::Document> document;
    host::StandInHost host{PluginMain};
};

// The pointer of event i of a stroke that runs to and fro across the page
// in rows `spacing` points apart.
HostPoint StrokePoint(std::int64_t i, float spacing)
{
    const auto perRow = static_cast<std::int64_t>(kPage / spacing) - 2;
    const std::int64_t row = (i / perRow) % perRow;
    std::int64_t column = i % perRow;
    if (row % 2 == 1) column = perRow - 1 - column;
    return {spacing * static_cast<float>(column + 1), spacing * static_cast<float>(row + 1)};
}

// The heavy step, and the baseline: appending the same number of instance
// records to a document of the same size, with nothing else. The session
// starts afresh every kStepsPerSession steps (not timed), so that every
// step paints into a document of the same range of sizes.
void BM_HeavyStep(benchmark::State& state)
{
    constexpr std::int64_t kStepsPerSession = 200;
    std::unique_ptr<Session> session;
    std::unique_ptr<host::Document> baseline;
    std::int64_t step = 0;
    std::int64_t placed = 0;
    Clock::duration stepTime{};
    Clock::duration appendTime{};
    for (auto _ : state) {
        if (step % kStepsPerSession == 0) {
            state.PauseTiming();
            session.reset();
            session = std::make_unique<Session>(0);
            gGlobals->bristlesPerDab = 500;
            gGlobals->mirrorMode = 12;
            session->host.SendTool("AI Mouse Down", StrokePoint(0, 50.0f));
            baseline = std::make_unique<host::Document>(kPage, kPage);
            baseline->AddSymbol("dot", {Square(0, 0, 2)});
            state.ResumeTiming();
        }
        ++step;
        const std::size_t before = session->document->ArtCount();
        const HostPoint pointer = StrokePoint(step, 50.0f);
        const Clock::time_point start = Clock::now();
        session->host.SendTool("AI Mouse Drag", pointer);
        const Clock::time_point stepped = Clock::now();
        const std::size_t count = session->document->ArtCount() - before;
        for (std::size_t i = 0; i < count; ++i) baseline->AddInstance(0, pointer);
        const Clock::time_point appended = Clock::now();
        stepTime += stepped - start;
        appendTime += appended - stepped;
        placed += static_cast<std::int64_t>(count);
    }
    session.reset();
    const double instances = static_cast<double>(placed);
    state.counters["instances/step"] = instances / static_cast<double>(state.iterations());
    state.counters["step instances/s"] = instances / Seconds(stepTime);
    state.counters["append instances/s"] = instances / Seconds(appendTime);
    state.counters["step/append"] = Seconds(stepTime) / Seconds(appendTime);
}
BENCHMARK(BM_HeavyStep)->Unit(benchmark::kMillisecond);

// One drag event with the hit-test gate on (paint on anchor points of
// paintable art), over the document, moving along a long stroke.
void BM_HitTestedEvent(benchmark::State& state)
{
    Session session(static_cast<std::size_t>(state.range(0)));
    gGlobals->paintAnywhere = 0;
    gGlobals->paintOnTarget = 0;
    gGlobals->hitTestMode = 7;
    session.host.SendTool("AI Mouse Down", {0, 0});
    // The first hit test takes the document's art into the index.
    std::int64_t event = 0;
    session.host.SendTool("AI Mouse Drag", StrokePoint(++event, 1.0f));
    const std::size_t before = session.document->ArtCount();
    for (auto _ : state) session.host.SendTool("AI Mouse Drag", StrokePoint(++event, 1.0f));
    state.counters["instances/event"] =
        static_cast<double>(session.document->ArtCount() - before) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_HitTestedEvent)->Arg(0)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// The heap in use, in bytes.
double HeapInUse() { return static_cast<double>(mallinfo2().uordblks); }

// A stroke of N events with 20 bristles, start to end; the document's
// memory is the heap's growth from before the stroke to after its end.
void BM_LongStroke(benchmark::State& state)
{
    const std::int64_t events = state.range(0);
    for (auto _ : state) {
        state.PauseTiming();
        {
            Session session(0);
            gGlobals->bristlesPerDab = 20;
            malloc_trim(0);
            const double heapBefore = HeapInUse();
            const std::size_t before = session.document->ArtCount();
            state.ResumeTiming();
            session.host.SendTool("AI Mouse Down", StrokePoint(0, 20.0f));
            for (std::int64_t i = 1; i <= events; ++i) session.host.SendTool("AI Mouse Drag", StrokePoint(i, 20.0f));
            session.host.SendTool("AI Mouse Up", StrokePoint(events, 20.0f));
            state.PauseTiming();
            const auto placed = static_cast<double>(session.document->ArtCount() - before);
            state.counters["instances"] = placed;
            state.counters["document bytes/instance"] = (HeapInUse() - heapBefore) / placed;
            state.counters["instances/s"] = benchmark::Counter(placed, benchmark::Counter::kIsRate);
        }
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LongStroke)->Arg(25000)->Arg(50000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

// A painted document to write: a stroke of 20 000 events with 20 bristles
// (about 420 000 instances) over a document of 1 000 paths.
struct Painted {
    Painted()
    {
        gGlobals->bristlesPerDab = 20;
        session.host.SendTool("AI Mouse Down", StrokePoint(0, 20.0f));
        for (std::int64_t i = 1; i <= 20000; ++i) session.host.SendTool("AI Mouse Drag", StrokePoint(i, 20.0f));
        session.host.SendTool("AI Mouse Up", StrokePoint(20000, 20.0f));
        svg.document = std::move(session.document);  // the host still paints into it
    }
    host::SvgDocument svg;  // outlives the session
    Session session{1000};
};

const std::filesystem::path& OutputFile()
{
    static const std::filesystem::path path = std::filesystem::temp_directory_path() / "kadrelle_bench_output";
    return path;
}

// Write bytes to the output file as they are: the plain write.
void PlainWrite(const std::string& bytes)
{
    std::ofstream out(OutputFile(), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Each iteration writes the document to the output file with `write`, and
// then writes the same bytes to it plainly; the counters give the writer's
// rate and its time over the plain write's.
template <typename Write>
void WriteAgainstPlain(benchmark::State& state, Write write)
{
    Painted painted;
    Clock::duration writeTime{};
    Clock::duration plainTime{};
    std::size_t bytes = 0;
    for (auto _ : state) {
        // Each write makes the file afresh: neither pays for dropping the
        // other's pages.
        state.PauseTiming();
        std::filesystem::remove(OutputFile());
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        write(painted);
        const Clock::time_point wrote = Clock::now();
        state.PauseTiming();
        std::ifstream in(OutputFile(), std::ios::binary);
        const std::string written(std::istreambuf_iterator<char>(in), {});
        in.close();
        std::filesystem::remove(OutputFile());
        state.ResumeTiming();
        const Clock::time_point plainStart = Clock::now();
        PlainWrite(written);
        const Clock::time_point plain = Clock::now();
        writeTime += wrote - start;
        plainTime += plain - plainStart;
        bytes += written.size();
    }
    std::filesystem::remove(OutputFile());
    state.counters["MB"] = static_cast<double>(bytes) / 1e6 / static_cast<double>(state.iterations());
    state.counters["write MB/s"] = static_cast<double>(bytes) / 1e6 / Seconds(writeTime);
    state.counters["write/plain"] = Seconds(writeTime) / Seconds(plainTime);
}

void BM_WriteSvg(benchmark::State& state)
{
    WriteAgainstPlain(state, [](const Painted& painted) {
        std::ofstream out(OutputFile(), std::ios::binary);
        host::WriteSvg(painted.svg, out);
    });
}
BENCHMARK(BM_WriteSvg)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_WriteJson(benchmark::State& state)
{
    WriteAgainstPlain(state, [](const Painted& painted) {
        std::ofstream out(OutputFile(), std::ios::binary);
        kadrelle::WriteArtworkJson(out, *painted.svg.document, *gGlobals, 0);
    });
}
BENCHMARK(BM_WriteJson)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
