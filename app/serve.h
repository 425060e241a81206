#pragma once
// `kadrelle serve`: a local web page where the pointer is the tool. An HTTP
// server (cpp-httplib) sends the page, which the program carries, and hands
// the page's requests to the live session (app/serve_session.h).
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "app/serve_session.h"

namespace kadrelle {

// A file of the page, from app/web/, carried in the program.
struct WebFile {
    std::string_view name;
    std::string_view bytes;
};

// Generated at build time by app/web/embed.cmake.
std::span<const WebFile> WebFiles();
// The tool cursor's file, resources/kadrelle.cur.
std::string_view ToolCursorFile();

// A cursor resource of the plug-in as an SVG picture of its pixels; empty
// when the plug-in has no such cursor.
std::string CursorSvg(std::int32_t id);

// The HTTP server in front of a session.
class WebServer {
public:
    explicit WebServer(ServeSession& session);
    ~WebServer();
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;

    // Bind to the address and port (0: any free port) and return the port;
    // throws std::runtime_error when that cannot be done.
    int Bind(const std::string& address, int port);
    // Answer requests until Stop(); safe to call Stop() from another thread
    // at any time, also before Listen() begins.
    void Listen();
    void Stop();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

struct ServeOptions {
    std::string address = "127.0.0.1";
    int port = 8080;
};

// Serve the session until SIGINT or SIGTERM, telling the address on out.
// Throws InputError when the session cannot be replayed and
// std::runtime_error when the server cannot start.
void Serve(Session session, const ServeOptions& options, std::ostream& out);

}  // namespace kadrelle
