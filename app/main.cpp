// kadrelle: paints an SVG document with the Kadrelle tool, replaying a
// session's settings and strokes through the plug-in inside the stand-in
// host, and writes the painted artwork as SVG or JSON.
#include <unistd.h>
#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "app/artwork_json.h"
#include "app/paint.h"
#include "app/plugin_module.h"
#include "app/session.h"
#if !defined(_WIN32)
#include "app/serve.h"
#endif
#include "settings/options.h"

namespace {

using namespace kadrelle;
namespace fs = std::filesystem;

constexpr const char* kVersion = "kadrelle 1.0";
constexpr int kBadInput = 2;

std::string ReadFile(const fs::path& path, const std::string& what)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw InputError(path.string() + ": cannot read the " + what);
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw InputError(path.string() + ": cannot read the " + what);
    return text.str();
}

// Writes what `write` makes to target: "-" for the standard output, where
// it is made whole first, else a file beside the target that is renamed over
// it once complete, so that a failure leaves no partial output.
void WriteOutput(const std::string& target, const std::function<void(std::ostream&)>& write)
{
    if (target == "-") {
        std::ostringstream text;
        write(text);
        std::cout << text.view();
        std::cout.flush();
        if (!std::cout) throw std::runtime_error("cannot write to the standard output");
        return;
    }
    const fs::path path(target);
    const fs::path temporary = path.string() + ".tmp-" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) throw InputError(target + ": cannot write here");
        try {
            write(out);
            out.close();
        } catch (...) {
            out.close();
            std::error_code ignored;
            fs::remove(temporary, ignored);
            throw;
        }
        if (!out) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            throw InputError(target + ": writing failed");
        }
    }
    std::error_code error;
    fs::rename(temporary, path, error);
    if (error) {
        fs::remove(temporary, error);
        throw InputError(target + ": cannot write here");
    }
}

void WriteOutput(const std::string& target, const std::string& text)
{
    WriteOutput(target, [&text](std::ostream& out) { out << text; });
}

struct PaintOptions {
    std::string session;
    std::string document;
    std::string preset;
    std::vector<std::string> settings;
    std::optional<std::uint64_t> seed;
    std::string format = "svg";
    std::string output;
    int page = 1;
};

// The session of the command line: the file (or the built-in demo), then
// the flags that override it.
Session BuildSession(const PaintOptions& options, bool demoByDefault)
{
    Session session;
    if (!options.session.empty()) {
        const fs::path path(options.session);
        session = ParseSession(ReadFile(path, "session"), path.string(), path.parent_path());
    } else if (options.document.empty() && demoByDefault) {
        session = ParseSession(DemoSession(), "the built-in demo session", fs::current_path());
    } else {
        session.source = "the command line";
    }
    if (!options.document.empty()) session.document = fs::path(options.document);
    if (!options.preset.empty()) session.preset = FindPreset(options.preset, "--preset");
    for (const std::string& assignment : options.settings) {
        const auto equals = assignment.find('=');
        if (equals == std::string::npos) throw InputError("--set " + assignment + ": expected field=value");
        const std::string field = assignment.substr(0, equals);
        session.settings.emplace_back(field, SettingValue(field, assignment.substr(equals + 1), "--set " + assignment));
    }
    if (options.seed) {
        session.random = RandomSetting{};
        session.random.seed = *options.seed;
    }
    return session;
}

void RunPaint(const PaintOptions& options)
{
    const Session session = BuildSession(options, true);
    const bool showProgress = ::isatty(STDERR_FILENO) != 0;
    const PaintResult result = Paint(session, [showProgress](std::size_t sent, std::size_t total) {
        if (!showProgress) return;
        std::fprintf(stderr, "\rpainting: %zu of %zu events", sent, total);
        if (sent == total) std::fprintf(stderr, "\n");
    });
    const std::string output = options.output.empty() ? "kadrelle." + options.format : options.output;
    WriteOutput(output, [&](std::ostream& out) {
        if (options.format != "json") {
            host::WriteSvg(result.svg, out);
            return;
        }
        try {
            WriteArtworkJson(out, *result.svg.document, result.settings, result.undoCalls);
        } catch (const nlohmann::json::type_error& error) {
            // A name read from the SVG that is not UTF-8 has no JSON string.
            if (error.id != 316) throw;
            throw InputError(output + ": a symbol or layer name is not UTF-8, so the artwork has no JSON (" +
                             error.what() + ")");
        }
    });
    if (output != "-") std::cerr << "wrote " << output << "\n";
}

void ListPresets()
{
    const OptionInfo* presets = FindOption("presetIndex");
    for (std::size_t i = 0; i < presets->labels.size(); ++i) std::cout << i << "\t" << (presets->labels[i] + 1) << "\n";
}

const char* KindName(OptionKind kind)
{
    switch (kind) {
    case OptionKind::Real:
        return "real";
    case OptionKind::Integer:
        return "integer";
    case OptionKind::Flag:
        return "flag";
    case OptionKind::Index:
        break;
    }
    return "index";
}

void ListSettings()
{
    std::cout << "field\tkind\tdefault\tminimum\tmaximum\n";
    for (const OptionInfo& option : Options()) {
        std::cout << option.name << "\t" << KindName(option.kind) << "\t" << FloatText(option.defaultValue) << "\t"
                  << FloatText(option.minimum) << "\t" << FloatText(option.maximum) << "\n";
    }
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Kadrelle paints symbols over an SVG document: it replays a session's settings and strokes "
                 "through the Kadrelle tool and writes the painted artwork. Without a command it paints the "
                 "built-in demo into kadrelle.svg.",
                 "kadrelle"};
    app.set_version_flag("--version", kVersion);
    app.require_subcommand(0, 1);
#if defined(_WIN32)
    // The same bytes as on any other system: no CR before each LF.
    _setmode(_fileno(stdout), _O_BINARY);
    std::string modulePath;
    app.add_option("--module", modulePath, "The plug-in module to load (default: QV12_Kadrelle.aip beside kadrelle.exe)")
        ->check(CLI::ExistingFile);
#endif

    PaintOptions options;
    CLI::App* paint = app.add_subcommand("paint", "Paint a document from a session (the default command)");
    paint->add_option("--session", options.session, "Session file (JSON); without it, the built-in demo session")
        ->check(CLI::ExistingFile);
    paint->add_option("--document", options.document, "SVG document to paint (overrides the session's)");
    paint->add_option("--preset", options.preset, "Preset id or label, applied through the options dialog");
    paint->add_option("--set", options.settings, "field=value: set a setting (repeatable)");
    paint->add_option("--seed", options.seed, "Seed of the host's random numbers");
    paint->add_option("--format", options.format, "Output format")->check(CLI::IsMember({"svg", "json"}));
    paint->add_option("-o,--output", options.output, "Output file; - for the standard output (default kadrelle.svg "
                                                     "or kadrelle.json)");

    CLI::App* presets = app.add_subcommand("presets", "List the 27 presets with their ids");
    CLI::App* settings = app.add_subcommand("settings", "List the settings with their kinds, defaults and ranges");

    PaintOptions dialogOptions;
    CLI::App* dialog = app.add_subcommand("dialog", "Draw the options dialog on a page as an SVG picture");
    dialog->add_option("--page", dialogOptions.page, "Page 1 to 5: Dab, Apply, Edge, Brush, Setting")
        ->check(CLI::Range(1, 5));
    dialog->add_option("--session", dialogOptions.session, "Session whose settings the dialog shows")
        ->check(CLI::ExistingFile);
    dialog->add_option("--preset", dialogOptions.preset, "Preset to apply first");
    dialog->add_option("--set", dialogOptions.settings, "field=value: set a setting first (repeatable)");
    dialog->add_option("-o,--output", dialogOptions.output, "Output SVG file; - for the standard output")->required();

#if defined(_WIN32)
    CLI::App* serve = app.add_subcommand("serve", "Paint in a web browser (not in the Windows build)");
#else
    PaintOptions serveOptions;
    ServeOptions serveAt;
    CLI::App* serve = app.add_subcommand(
        "serve", "Paint in a web browser: serve a local page where the pointer is the tool, until Ctrl-C");
    serve->add_option("--document", serveOptions.document, "SVG document to paint (default: the built-in demo "
                                                           "document)");
    serve->add_option("--session", serveOptions.session, "Session to start from (JSON), as kadrelle paint reads it")
        ->check(CLI::ExistingFile);
    serve->add_option("--seed", serveOptions.seed, "Seed of the host's random numbers (default 1)");
    serve->add_option("--host", serveAt.address, "Address to listen on")->capture_default_str();
    serve->add_option("--port", serveAt.port, "Port to listen on; 0 picks a free one")
        ->check(CLI::Range(0, 65535))
        ->capture_default_str();
#endif

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // --help and --version print and end well; a bad command line gets
        // one line.
        if (error.get_exit_code() == 0) return app.exit(error);
        std::cerr << "kadrelle: " << error.what() << " (kadrelle --help tells more)\n";
        return kBadInput;
    }

    try {
#if defined(_WIN32)
        if (!modulePath.empty()) SetPluginModulePath(modulePath);
#endif
        if (*presets) {
            ListPresets();
        } else if (*settings) {
            ListSettings();
        } else if (*serve) {
#if defined(_WIN32)
            throw InputError("serve is not available in the Windows build; run it on Linux");
#else
            Serve(BuildSession(serveOptions, false), serveAt, std::cout);
#endif
        } else if (*dialog) {
            Session session = BuildSession(dialogOptions, false);
            session.strokes.clear();
            WriteOutput(dialogOptions.output, DialogPicture(session, dialogOptions.page));
        } else {
            RunPaint(options);
        }
    } catch (const InputError& error) {
        std::cerr << "kadrelle: " << error.what() << "\n";
        return kBadInput;
    } catch (const std::exception& error) {
        std::cerr << "kadrelle: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
