#pragma once
// Painting a document from a session: the stand-in host loads the plug-in,
// opens the document and sends every message of the session to PluginMain
// as the host would.
#include <cstdint>
#include <functional>
#include <string>

#include "app/session.h"
#include "host/host.h"
#include "host/svg_document.h"
#include "settings/globals.h"

namespace kadrelle {

struct PaintResult {
    host::SvgDocument svg;
    Globals settings{};          // the settings block after the session
    std::uint64_t undoCalls = 0;
};

// Called now and then while strokes are replayed: events sent so far, and
// in all.
using Progress = std::function<void(std::size_t sent, std::size_t total)>;

// The built-in demo's document and session, carried in the program.
const std::string& DemoDocument();
const std::string& DemoSession();

// A running stand-in host with the plug-in started over a session's document,
// its page, view, palette selection, pressure device and random numbers set
// as the session says; the plug-in is shut down when the run ends.
class PaintRun {
public:
    explicit PaintRun(const Session& session);
    ~PaintRun();
    PaintRun(const PaintRun&) = delete;
    PaintRun& operator=(const PaintRun&) = delete;

    // Open the options dialog and do what the user does in it; fail with a
    // message when the dialog refuses an action.
    void InDialog(const std::string& what, const std::function<bool(host::DialogSession&, std::string&)>& actions);
    // One opening of the options dialog with these actions (ending with OK
    // or Cancel).
    void RunDialog(const std::string& what, const std::vector<DialogAction>& actions);
    // The session's preset, Tumble, fields and dialog actions, in that order.
    void ApplySettings(const Session& session);
    // One tool message of a stroke at the point, with its modifier keys.
    void Send(const char* selector, const SessionPoint& point);
    // The session's strokes, and what the user did between them.
    void Replay(const Session& session, const Progress& progress = {});

    // The plug-in's settings block.
    Globals& Settings() const;

    host::SvgDocument svg;
    host::StandInHost host;
};

// Do one action in the open dialog; when the dialog refuses it, false with
// the reason in failure.
bool DoDialogAction(host::DialogSession& user, const DialogAction& action, std::string& failure);

// Select the symbol in the document's palette; source names the session in
// messages. Throws InputError for a symbol the document does not have.
void SelectSymbol(host::Document& document, const SymbolSelection& selection, const std::string& source);

// Run the session. Throws InputError for bad input (a document that cannot
// be read, a symbol that does not exist, a dialog action the dialog refuses)
// and std::runtime_error when the plug-in fails.
PaintResult Paint(const Session& session, const Progress& progress = {});

// A picture of the options dialog on a page (1 to 5) after the session's
// settings (preset, Tumble, fields) are applied.
std::string DialogPicture(const Session& session, std::int32_t page);

}  // namespace kadrelle
