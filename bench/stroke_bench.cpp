// How fast the tool paints through PluginMain in the stand-in host: a heavy
// step (500 bristles, every instance with seven mirror copies), and the cost
// of one event with the hit-test gate on, over an empty document and over
// one of 100 000 paths.
#include <benchmark/benchmark.h>

#include <memory>

#include "host/host.h"
#include "settings/globals.h"
#include "shell/plugin.h"
#include "shell/suites.h"

namespace {

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

// A host with the plug-in started over a document of pathCount scattered
// paths on a page of 10 000 by 10 000 points.
struct Session {
    explicit Session(std::size_t pathCount) : document(10000.0f, 10000.0f)
    {
        gGlobals = nullptr;
        gSuiteNesting = 0;
        for (const void*& suite : gSuitePointers) suite = nullptr;
        document.selectedSymbol = document.AddSymbol("dot", {Square(0, 0, 2)});
        host::RandomSource place;
        place.Seed(99);
        for (std::size_t i = 0; i < pathCount; ++i)
            document.AddPath(Square(place.Next() * 10000.0f, place.Next() * 10000.0f, 3.0f));
        host.document = &document;
        host.Send("SP Interface", "Startup");
    }
    ~Session() { host.Send("SP Interface", "Shutdown"); }

    host::Document document;
    host::StandInHost host{PluginMain};
};

void BM_HeavyStep(benchmark::State& state)
{
    Session session(0);
    gGlobals->bristlesPerDab = 500;
    gGlobals->mirrorMode = 12;
    session.host.SendTool("AI Mouse Down", {5000, 5000});
    std::size_t before = session.document.ArtCount();
    std::int64_t placed = 0;
    for (auto _ : state) {
        session.host.SendTool("AI Mouse Drag", {5000, 5000});
        const std::size_t now = session.document.ArtCount();
        placed += static_cast<std::int64_t>(now - before);
        before = now;
    }
    state.counters["instances/s"] = benchmark::Counter(static_cast<double>(placed), benchmark::Counter::kIsRate);
    state.counters["instances/step"] = static_cast<double>(placed) / static_cast<double>(state.iterations());
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
    float x = 0;
    for (auto _ : state) {
        x = x >= 10000.0f ? 0.0f : x + 1.0f;
        session.host.SendTool("AI Mouse Drag", {x, x});
    }
}
BENCHMARK(BM_HitTestedEvent)->Arg(0)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
