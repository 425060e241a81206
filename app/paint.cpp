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

}  // namespace

void SelectSymbol(host::Document& document, const SymbolSelection& selected, const std::string& source)
{
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
            throw InputError(source + ": the document has no symbol at index " + std::to_string(selected.index) +
                             " (it has " + std::to_string(document.SymbolCount()) + ")");
        return;
    case SymbolSelection::Kind::Id:
        for (std::size_t i = 0; i < document.SymbolCount(); ++i) {
            if (document.GetSymbol(*document.NthSymbol(i)).name == selected.id) {
                document.selectedSymbol = document.NthSymbol(i);
                return;
            }
        }
        throw InputError(source + ": the document has no symbol \"" + selected.id + "\"");
    }
}

PaintRun::PaintRun(const Session& session) : svg(LoadDocument(session)), host(LoadedPluginModule().entry)
{
    host.moduleInstance = LoadedPluginModule().instance;
    host::Document& document = *svg.document;
    if (session.page) document.SetPageSize((*session.page)[0], (*session.page)[1]);
    const DocumentSetup page = document.Setup();
    document.SetViewCentre(0, session.viewCentre.value_or(HostPoint{page.width / 2.0f, page.height / 2.0f}));
    SelectSymbol(document, session.selectedSymbol, session.source + ": selectedSymbol");
    host.document = &document;
    host.pressureDevice = session.pressureDevice;
    SetUpRandom(host.random, session.random);
    if (const HostError error = host.Send("SP Interface", "Startup"))
        throw std::runtime_error("the plug-in failed to start (host code " + std::to_string(error) + ")");
}

PaintRun::~PaintRun()
{
    host.Send("SP Interface", "Shutdown");
    host.document = nullptr;
}

Globals& PaintRun::Settings() const { return PluginSettings(host); }

void PaintRun::InDialog(const std::string& what, const std::function<bool(host::DialogSession&, std::string&)>& actions)
{
    std::string failure;
    host.Dialogs().Script([&](host::DialogSession& user) {
        if (!actions(user, failure) && failure.empty()) failure = "the options dialog refused an action";
        if (!user.dialog().ended) user.Close();
    });
    host.SendTool("AI Edit Options");
    if (!failure.empty()) throw InputError(what + ": " + failure);
}

bool DoDialogAction(host::DialogSession& user, const DialogAction& action, std::string& failure)
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

void PaintRun::RunDialog(const std::string& what, const std::vector<DialogAction>& actions)
{
    InDialog(what, [&](host::DialogSession& user, std::string& failure) {
        for (std::size_t i = 0; i < actions.size(); ++i) {
            if (!DoDialogAction(user, actions[i], failure)) {
                failure = "action " + std::to_string(i) + ": " + failure;
                return false;
            }
        }
        return true;
    });
}

void PaintRun::ApplySettings(const Session& session)
{
    if (session.preset) {
        const std::int32_t preset = *session.preset;
        InDialog(session.source + ": preset", [preset](host::DialogSession& user, std::string&) {
            return user.ChooseAt(kPresetPopup, preset) && user.Press(kOkButton);
        });
    }
    if (session.tumble) {
        InDialog(session.source + ": tumble", [](host::DialogSession& user, std::string&) {
            return user.Press(kTumbleButton) && user.Press(kOkButton);
        });
    }
    for (const auto& [field, value] : session.settings)
        SetOptionValue(Settings(), *FindOption(field.c_str()), static_cast<float>(value));
    if (!session.dialog.empty()) RunDialog(session.source + ": dialog", session.dialog);
}

void PaintRun::Send(const char* selector, const SessionPoint& point)
{
    host.modifiers = point.modifiers;
    host.SendTool(selector, HostPoint{point.h, point.v}, point.pressure);
}

void PaintRun::Replay(const Session& session, const Progress& progress)
{
    std::size_t total = 0;
    for (const SessionStroke& stroke : session.strokes) {
        if (!stroke.points.empty()) total += stroke.points.size() + 1;
    }
    std::size_t sent = 0;
    auto send = [&](const char* selector, const SessionPoint& point) {
        Send(selector, point);
        ++sent;
        if (progress && (sent % 256 == 0 || sent == total)) progress(sent, total);
    };
    if (!session.strokes.empty()) host.SendTool("AI Select");
    for (std::size_t s = 0; s < session.strokes.size(); ++s) {
        const SessionStroke& stroke = session.strokes[s];
        const std::string where = session.source + ": strokes[" + std::to_string(s) + "]";
        if (!stroke.dialog.empty()) {
            RunDialog(where + ".dialog", stroke.dialog);
        } else if (stroke.selectedSymbol) {
            SelectSymbol(*svg.document, *stroke.selectedSymbol, where + ".selectedSymbol");
        } else if (!stroke.points.empty()) {
            send("AI Mouse Down", stroke.points.front());
            for (std::size_t i = 1; i < stroke.points.size(); ++i) send("AI Mouse Drag", stroke.points[i]);
            send("AI Mouse Up", stroke.points.back());
        }
    }
}

PaintResult Paint(const Session& session, const Progress& progress)
{
    PaintRun run(session);
    run.ApplySettings(session);
    run.Replay(session, progress);

    PaintResult result;
    result.settings = run.Settings();
    result.undoCalls = run.host.undoCalls;
    result.svg = std::move(run.svg);
    run.host.document = nullptr;
    return result;
}

std::string DialogPicture(const Session& session, std::int32_t page)
{
    PaintRun run(session);
    run.ApplySettings(session);
    std::string picture;
    run.InDialog("dialog", [&](host::DialogSession& user, std::string&) {
        if (!user.Press(kFirstPageButton + page - 1)) return false;
        picture = user.Picture();
        return true;
    });
    return picture;
}

}  // namespace kadrelle
