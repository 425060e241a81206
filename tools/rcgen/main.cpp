// rcgen: compiles the plug-in's resource script into C++ for the stand-in host.
//
//   rcgen <script.rc> <output.cpp>
//
// Reads the script, checks the icon and cursor files it names (looked up
// beside the script), and writes the tables that host/resources.h declares.
// On any fault it prints "file:line: error: ..." and exits with 1, leaving
// no output file behind: the source is written under a temporary name and
// renamed into place only when complete.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <system_error>

#include "generate.h"
#include "image_files.h"
#include "rc_script.h"

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw rcgen::InputError(rcgen::FormatError(path.string(), 0, "cannot open the resource script"));
    }
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

fs::path ResolveBeside(const fs::path& script, const std::string& fileName)
{
    const fs::path named(fileName);
    return named.is_absolute() ? named : script.parent_path() / named;
}

rcgen::ModuleResources Load(const fs::path& scriptPath)
{
    const std::string name = scriptPath.string();
    rcgen::ModuleResources resources;
    resources.script = rcgen::ParseScript(ReadText(scriptPath), name);

    const auto imageError = [&](const rcgen::ImageFileRef& ref, const char* kind, const fs::path& file,
                                const std::exception& e) {
        return rcgen::InputError(rcgen::FormatError(
            name, ref.line, std::string(kind) + " " + std::to_string(ref.id) + ": " + file.string() + ": " + e.what()));
    };
    for (const rcgen::ImageFileRef& ref : resources.script.icons) {
        const fs::path file = ResolveBeside(scriptPath, ref.fileName);
        try {
            resources.icons.push_back({ref.id, rcgen::ReadIconFile(file)});
        } catch (const rcgen::ImageFileError& e) {
            throw imageError(ref, "icon", file, e);
        }
    }
    for (const rcgen::ImageFileRef& ref : resources.script.cursors) {
        const fs::path file = ResolveBeside(scriptPath, ref.fileName);
        try {
            resources.cursors.push_back({ref.id, rcgen::ReadCursorFile(file)});
        } catch (const rcgen::ImageFileError& e) {
            throw imageError(ref, "cursor", file, e);
        }
    }
    return resources;
}

void WriteAtomically(const fs::path& output, const std::string& text)
{
    fs::path temporary = output;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            throw std::runtime_error("cannot create " + temporary.string());
        }
        out << text;
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            throw std::runtime_error("cannot write " + temporary.string());
        }
    }
    std::error_code error;
    fs::rename(temporary, output, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw std::runtime_error("cannot rename " + temporary.string() + " to " + output.string() + ": " +
                                 error.message());
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: rcgen <script.rc> <output.cpp>\n";
        return 2;
    }
    const fs::path scriptPath(argv[1]);
    const fs::path outputPath(argv[2]);
    try {
        const rcgen::ModuleResources resources = Load(scriptPath);
        const std::string source = rcgen::GenerateSource(resources, scriptPath.string());
        WriteAtomically(outputPath, source);
    } catch (const rcgen::InputError& e) {
        std::cerr << e.what() << '\n';
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "rcgen: error: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
