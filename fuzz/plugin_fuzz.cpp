// PluginMain under messages built from the fuzzer's bytes: any caller and
// selector (the known ones and garbage), any pointer and pressure, modifier
// keys, a settings block overwritten with any bytes (NaN, infinities,
// indices out of range), users working the dialogs at random, messages sent
// while a dialog is open, unload and reload, and now and then one host call
// made to fail. The stand-in host runs a small document with paths.
//
// Whatever arrives, the plug-in must not crash, read or write out of bounds,
// hit undefined behaviour, or misuse the host (the host's own checks); and
// when no call failed, every suite it acquired is released again.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "host/host.h"
#include "settings/globals.h"
#include "shell/plugin.h"
#include "shell/suites.h"

namespace {

// Bounds that keep one input quick: the plug-in's loops are as long as the
// settings ask, so a huge bristle count is slow, not wrong.
constexpr int kMaxMessages = 48;
constexpr std::int32_t kMaxBristles = 12;
constexpr int kMaxDialogActions = 10;

const char* const kCallers[] = {"SP Access", "SP Interface", "AI Tool", "AI Other", ""};
const char* const kSelectors[] = {
    "Unload",         "Reload",        "Startup",       "About",         "Shutdown",
    "AI Edit Options", "AI Track Cursor", "AI Mouse Down", "AI Mouse Drag", "AI Mouse Up",
    "AI Select",      "AI Deselect",   "Something",     "",
};
// Controls of the options dialog and of the other dialogs, and a few that
// no dialog has.
const std::int32_t kControls[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10,  11,  12,  13,  14,  15,  16,  17,  18,
                                  19, 20, 21, 22, 23, 24, 25, 26, 27, 28,  29,  30,  40,  41,  42,  43,  44,  45,
                                  46, 47, 48, 49, 50, 51, 52, 53, 54, 55,  56,  57,  58,  59,  60,  80,  81,  82,
                                  83, 84, 85, 100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 150, 0, -1, 999};
const float kSpecialFloats[] = {0.0f,
                                -0.0f,
                                1.0f,
                                -1.0f,
                                0.5f,
                                255.0f,
                                300.0f,
                                1.0e30f,
                                -1.0e30f,
                                std::numeric_limits<float>::max(),
                                std::numeric_limits<float>::lowest(),
                                std::numeric_limits<float>::denorm_min(),
                                std::numeric_limits<float>::infinity(),
                                -std::numeric_limits<float>::infinity(),
                                std::numeric_limits<float>::quiet_NaN(),
                                2147483648.0f};
const std::int32_t kSpecialInts[] = {0, 1, -1, 2, 7, 22, 23, 26, 27, 255, 256, 65535, -65536, INT32_MAX, INT32_MIN};
const HostError kFaultCodes[] = {-108, 1, FourCharCode('S', 'E', 'G', 'M'), FourCharCode('S', '!', 'F', 'd'),
                                 FourCharCode('S', 'T', 'O', 'P'), FourCharCode('!', 'g', 'l', 'b')};

// The plug-in library's program-wide state when the system loads it.
void LoadPluginAfresh()
{
    gGlobals = nullptr;
    gSuiteNesting = 0;
    for (const void*& suite : gSuitePointers) suite = nullptr;
}

float ConsumeFloat(FuzzedDataProvider& in)
{
    if (in.ConsumeBool()) return in.PickValueInArray(kSpecialFloats);
    const auto bits = in.ConsumeIntegral<std::uint32_t>();
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::int32_t ConsumeInt(FuzzedDataProvider& in)
{
    return in.ConsumeBool() ? in.PickValueInArray(kSpecialInts) : in.ConsumeIntegral<std::int32_t>();
}

// A caller or selector: the plug-in reads it as a C string, so the name ends
// at its first NUL here too. Which record a message carries is decided by
// the name the plug-in will see: the host sends "AI Tool" with a tool
// message, always.
std::string ConsumeName(FuzzedDataProvider& in, const char* const* known, std::size_t count)
{
    const auto pick = in.ConsumeIntegralInRange<std::size_t>(0, count);
    if (pick < count) return known[pick];
    std::string name = in.ConsumeRandomLengthString(24);
    name.resize(std::strlen(name.c_str()));
    return name;
}

// Write 4 bytes at a field boundary of the settings block, or rewrite the
// whole block from the input.
void PatchSettings(FuzzedDataProvider& in)
{
    if (gGlobals == nullptr) return;
    auto* bytes = reinterpret_cast<unsigned char*>(gGlobals);
    if (in.ConsumeIntegralInRange(0, 15) == 0) {
        const std::vector<unsigned char> block = in.ConsumeBytes<unsigned char>(sizeof(Globals));
        if (!block.empty()) std::memcpy(bytes, block.data(), block.size());
        return;
    }
    const std::size_t offset = in.ConsumeIntegralInRange<std::size_t>(0, sizeof(Globals) / 4 - 1) * 4;
    unsigned char value[4];
    if (in.ConsumeBool()) {
        const float f = ConsumeFloat(in);
        std::memcpy(value, &f, 4);
    } else {
        const std::int32_t i = ConsumeInt(in);
        std::memcpy(value, &i, 4);
    }
    std::memcpy(bytes + offset, value, 4);
}

// The settings' counts, held small.
void BoundWork()
{
    if (gGlobals == nullptr) return;
    std::int32_t& bristles = gGlobals->bristlesPerDab;
    if (bristles > kMaxBristles) bristles = bristles % (kMaxBristles + 1);
}

struct DialogStep {
    int kind = 0;
    std::int32_t id = 0;
    std::int32_t number = 0;
    std::string text;
    std::string selector;  // a message sent while the dialog is open
};

class Session {
public:
    explicit Session(FuzzedDataProvider& in) : in_(in)
    {
        LoadPluginAfresh();
        doc_.SetViewCentre(0, HostPoint{300.0f, 200.0f});
        host::Path square;
        for (HostPoint p : {HostPoint{-5, -5}, HostPoint{5, -5}, HostPoint{5, 5}, HostPoint{-5, 5}})
            square.points.push_back(host::PathPoint{p, p, p});
        square.closed = true;
        square.filled = true;
        const host::SymbolId first = doc_.AddSymbol("leaf", {square});
        const host::SymbolId second = doc_.AddSymbol("seed", {square});
        switch (in_.ConsumeIntegralInRange(0, 3)) {
        case 0: doc_.selectedSymbol = first; break;
        case 1: doc_.selectedSymbol = second; break;
        case 2: doc_.selectedSymbol.reset(); break;
        default:
            doc_.selectedSymbol = first;
            doc_.GetSymbol(first).valid = false;
            break;
        }
        for (float h : {200.0f, 300.0f}) {
            host::Path path = square;
            for (host::PathPoint& point : path.points) {
                for (HostPoint* p : {&point.anchor, &point.in, &point.out}) {
                    p->h = p->h * 4.0f + h;
                    p->v = p->v * 4.0f + 200.0f;
                }
            }
            host::ArtFlags flags;
            flags.locked = in_.ConsumeBool();
            doc_.AddPath(path, flags);
        }
        doc_.AddText("note", HostRect{250.0f, 230.0f, 290.0f, 215.0f});

        host_.document = &doc_;
        host_.random.Seed(in_.ConsumeIntegral<std::uint64_t>());
        host_.pressureDevice = in_.ConsumeBool();
        host_.pluginOptions = in_.ConsumeIntegral<std::int32_t>();
        if (in_.ConsumeIntegralInRange(0, 7) == 0) {
            faulted_ = true;
            host_.FailNthCall(in_.ConsumeIntegralInRange<std::uint64_t>(1, 4000), in_.PickValueInArray(kFaultCodes));
        }
    }
    ~Session() { LoadPluginAfresh(); }

    void Run()
    {
        if (in_.ConsumeIntegralInRange(0, 15) != 0) host_.Send("SP Interface", "Startup");
        for (int message = 0; message < kMaxMessages && in_.remaining_bytes() > 0; ++message) {
            switch (in_.ConsumeIntegralInRange(0, 9)) {
            case 0:
                PatchSettings(in_);
                break;
            case 1:
                ScriptDialog();
                break;
            case 2:
                host_.modifiers = ConsumeInt(in_);
                break;
            case 3:
                // Null caller or selector.
                host_.Send(in_.ConsumeBool() ? nullptr : "SP Interface", nullptr);
                break;
            case 4: {
                host_.Send("SP Access", "Unload");
                // The library goes and comes back with the saved block.
                if (in_.ConsumeBool()) {
                    LoadPluginAfresh();
                    host_.Send("SP Access", "Reload");
                }
                break;
            }
            default:
                SendMessage(/*nested=*/false);
                break;
            }
        }
        host_.Send("SP Interface", "Shutdown");
        Check();
    }

private:
    void SendMessage(bool nested)
    {
        BoundWork();
        const std::string caller = ConsumeName(in_, kCallers, std::size(kCallers));
        const std::string selector = ConsumeName(in_, kSelectors, std::size(kSelectors));
        if (caller == "AI Tool") {
            const HostPoint pointer{ConsumeFloat(in_), ConsumeFloat(in_)};
            host_.SendTool(selector.c_str(), pointer, in_.ConsumeIntegral<std::int16_t>());
        } else if (!(nested && caller == "SP Access")) {
            host_.Send(caller.c_str(), selector.c_str());
        }
    }

    // What the user does in the next dialog that opens.
    void ScriptDialog()
    {
        std::vector<DialogStep> steps;
        const int count = in_.ConsumeIntegralInRange(0, kMaxDialogActions);
        for (int i = 0; i < count; ++i) {
            DialogStep step;
            step.kind = in_.ConsumeIntegralInRange(0, 8);
            step.id = in_.PickValueInArray(kControls);
            step.number = ConsumeInt(in_);
            if (step.kind == 3) {
                step.text = in_.ConsumeBool() ? std::to_string(ConsumeFloat(in_)) : in_.ConsumeRandomLengthString(12);
            }
            if (step.kind == 8) step.selector = ConsumeName(in_, kSelectors + 5, std::size(kSelectors) - 5);
            steps.push_back(std::move(step));
        }
        host_.Dialogs().Script([this, steps](host::DialogSession& user) {
            for (const DialogStep& step : steps) {
                if (user.dialog().ended) return;
                switch (step.kind) {
                case 0: user.Press(step.id); break;
                case 1: user.Tick(step.id, step.number % 2 != 0); break;
                case 2: user.ChooseAt(step.id, step.number); break;
                case 3: user.Type(step.id, step.text); break;
                case 4: user.Choose(step.id, step.text); break;
                case 5: user.Move(step.number, step.number / 3); break;
                case 6: user.Close(); break;
                case 7: (void)user.Picture(); break;
                default:
                    // A message while the dialog is open.
                    BoundWork();
                    host_.SendTool(step.selector.c_str(), HostPoint{300.0f, 200.0f}, 128);
                    break;
                }
            }
        });
    }

    void Check() const
    {
        if (!host_.Violations().empty()) {
            std::fprintf(stderr, "the plug-in misused the host: %s\n", host_.Violations().front().c_str());
            std::abort();
        }
        // Without a failed call every pass releases what it acquired.
        if (!faulted_ && !host_.SuitesBalanced()) {
            std::fprintf(stderr, "suites left held after the last message\n");
            std::abort();
        }
    }

    FuzzedDataProvider& in_;
    host::Document doc_{600.0f, 500.0f};
    host::StandInHost host_{PluginMain};
    bool faulted_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    Session(in).Run();
    return 0;
}
