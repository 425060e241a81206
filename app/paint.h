#pragma once
// Painting a document from a session: the stand-in host loads the plug-in,
// opens the document and sends every message of the session to PluginMain
// as the host would.
#include <cstdint>
#include <functional>
#include <string>

#include "app/session.h"
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

// Run the session. Throws InputError for bad input (a document that cannot
// be read, a symbol that does not exist, a dialog action the dialog refuses)
// and std::runtime_error when the plug-in fails.
PaintResult Paint(const Session& session, const Progress& progress = {});

// A picture of the options dialog on a page (1 to 5) after the session's
// settings (preset, Tumble, fields) are applied.
std::string DialogPicture(const Session& session, std::int32_t page);

}  // namespace kadrelle
