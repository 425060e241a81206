#include "app/paint.h"

#include <fstream>
#include <sstream>

#include "app/artwork_json.h"
#include "app/plugin_module.h"
#include "host/host.h"
#include "settings/options.h"

namespace kadrelle {
namespace {

constexpr std::int32_t kOkButton = 1;
constexpr std::int32_t kTumbleButton = 150;
constexpr std::int32_t kPresetPopup = 81;
constexpr std::int32_t kFirstPageButton = 100;

host::SvgDocument LoadDocument(const Session& session)
{
    try {
        if (!session.document) return host::LoadSvgText(DemoDocument(), "the built-in demo document");
        return host::LoadSvgFile(*session.document);
    } catch (const host::SvgError& error) {
        throw InputError(error.what());
    }
}

void SelectSymbol(host::Document& document, const Session& session)
{
    const SymbolSelection& selected = session.selectedSymbol;
    switch (selected.kind) {
    case SymbolSelection::Kind::First:
        document.selectedSymbol = document.NthSymbol(0);
        return;
    case SymbolSelection::Kind::None:
        document.selectedSymbol.reset();
        return;
    case SymbolSelection::Kind::Index:
        document.selectedSymbol = document.NthSymbol(static_cast<std::size_t>(selected.index));
        if (!document.selectedSymbol)
            throw InputError(session.source + ": selectedSymbol: the document has no symbol at index " +
                             std::to_string(selected.index) + " (it has " + std::to_string(document.SymbolCount()) + ")");
        return;
    case SymbolSelection::Kind::Id:
        for (std::size_t i = 0; i < document.SymbolCount(); ++i) {
            if (document.GetSymbol(*document.NthSymbol(i)).name == selected.id) {
                document.selectedSymbol = document.NthSymbol(i);
                return;
            }
        }
        throw InputError(session.source + ": selectedSymbol: the document has no symbol \"" + selected.id + "\"");
    }
}

void SetUpRandom(host::RandomSource& random, const RandomSetting& setting)
{
    switch (setting.kind) {
    case RandomSetting::Kind::Seed:
        random.Seed(setting.seed);
        break;
    case RandomSetting::Kind::Sequence:
        random.Script(setting.sequence, setting.repeat);
        break;
    case RandomSetting::Kind::Constant:
        random.Constant(setting.constant);
        break;
    }
}

// The plug-in's settings block: the block it allocated as "globals". Read
// through the host, since a plug-in loaded as a module has its own globals.
Globals& PluginSettings(const host::StandInHost& host)
{
    for (const auto& [block, record] : host.LiveBlocks()) {
        if (record.debugName == "globals" && record.size == sizeof(Globals))
            return *static_cast<Globals*>(const_cast<void*>(block));
    }
    throw std::runtime_error("the plug-in has no settings block");
}

// A running host with the plug-in started over the session's document.
struct Run {
    explicit Run(const Session& session) : svg(LoadDocument(session))
    {
        host.moduleInstance = LoadedPluginModule().instance;
        host::Document& document = *svg.document;
        if (session.page) document.SetPageSize((*session.page)[0], (*session.page)[1]);
        const DocumentSetup page = document.Setup();
        document.SetViewCentre(0, session.viewCentre.value_or(HostPoint{page.width / 2.0f, page.height / 2.0f}));
        SelectSymbol(document, session);
        host.document = &document;
        host.pressureDevice = session.pressureDevice;
        SetUpRandom(host.random, session.random);
        if (const HostError error = host.Send("SP Interface", "Startup"))
            throw std::runtime_error("the plug-in failed to start (host code " + std::to_string(error) + ")");
    }
    ~Run() { host.Send("SP Interface", "Shutdown"); }

    // Open the options dialog and do what the user does in it; fail with a
    // message when the dialog refuses an action.
    void InDialog(const std::string& what, std::function<bool(host::DialogSession&, std::string&)> actions)
    {
        std::string failure;
        host.Dialogs().Script([&](host::DialogSession& user) {
            if (!actions(user, failure) && failure.empty()) failure = "the options dialog refused an action";
            if (!user.dialog().ended) user.Close();
        });
        host.SendTool("AI Edit Options");
        if (!failure.empty()) throw InputError(what + ": " + failure);
    }

    host::SvgDocument svg;
    host::StandInHost host{LoadedPluginModule().entry};
};

// Do one session action on the open dialog.
bool DoAction(host::DialogSession& user, const DialogAction& action, std::string& failure)
{
    const host::Item* item = user.dialog().Find(action.id);
    if (item == nullptr) {
        failure = "the options dialog has no control " + std::to_string(action.id);
        return false;
    }
    bool done = false;
    if (action.kind == DialogAction::Kind::Click) {
        done = user.Press(action.id);
    } else if (item->type == kSpinEditType) {
        done = user.Type(action.id, FloatText(static_cast<float>(action.value)));
    } else if (item->type == kTextCheckBoxType) {
        done = user.Tick(action.id, action.value != 0.0);
    } else if (item->type == kPopupListType) {
        done = user.ChooseAt(action.id, static_cast<std::int32_t>(action.value));
    } else {
        failure = "control " + std::to_string(action.id) + " (" + item->type + ") takes no value; click it instead";
        return false;
    }
    if (!done) {
        failure = "control " + std::to_string(action.id) + " cannot be " +
                  (action.kind == DialogAction::Kind::Click ? "clicked" : "set") +
                  " now (is it on another page, or disabled?)";
    }
    return done;
}

// Preset, Tumble, fields and dialog actions, in that order.
void ApplySettings(Run& run, const Session& session)
{
    if (session.preset) {
        const std::int32_t preset = *session.preset;
        run.InDialog(session.source + ": preset", [preset](host::DialogSession& user, std::string&) {
            return user.ChooseAt(kPresetPopup, preset) && user.Press(kOkButton);
        });
    }
    if (session.tumble) {
        run.InDialog(session.source + ": tumble", [](host::DialogSession& user, std::string&) {
            return user.Press(kTumbleButton) && user.Press(kOkButton);
        });
    }
    for (const auto& [field, value] : session.settings)
        SetOptionValue(PluginSettings(run.host), *FindOption(field.c_str()), static_cast<float>(value));
    if (!session.dialog.empty()) {
        run.InDialog(session.source + ": dialog", [&](host::DialogSession& user, std::string& failure) {
            for (std::size_t i = 0; i < session.dialog.size(); ++i) {
                if (!DoAction(user, session.dialog[i], failure)) {
                    failure = "action " + std::to_string(i) + ": " + failure;
                    return false;
                }
            }
            return true;
        });
    }
}

}  // namespace

PaintResult Paint(const Session& session, const Progress& progress)
{
    Run run(session);
    ApplySettings(run, session);

    std::size_t total = 0;
    for (const SessionStroke& stroke : session.strokes) total += stroke.points.size() + 1;
    std::size_t sent = 0;
    auto send = [&](const char* selector, const SessionPoint& point) {
        run.host.modifiers = point.modifiers;
        run.host.SendTool(selector, HostPoint{point.h, point.v}, point.pressure);
        ++sent;
        if (progress && (sent % 256 == 0 || sent == total)) progress(sent, total);
    };
    if (!session.strokes.empty()) run.host.SendTool("AI Select");
    for (const SessionStroke& stroke : session.strokes) {
        send("AI Mouse Down", stroke.points.front());
        for (std::size_t i = 1; i < stroke.points.size(); ++i) send("AI Mouse Drag", stroke.points[i]);
        send("AI Mouse Up", stroke.points.back());
    }

    PaintResult result;
    result.settings = PluginSettings(run.host);
    result.undoCalls = run.host.undoCalls;
    result.svg = std::move(run.svg);
    run.host.document = nullptr;
    return result;
}

std::string DialogPicture(const Session& session, std::int32_t page)
{
    Run run(session);
    ApplySettings(run, session);
    std::string picture;
    run.InDialog("dialog", [&](host::DialogSession& user, std::string&) {
        if (!user.Press(kFirstPageButton + page - 1)) return false;
        picture = user.Picture();
        return true;
    });
    return picture;
}

}  // namespace kadrelle
