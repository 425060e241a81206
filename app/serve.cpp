#include "app/serve.h"

#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <stdexcept>
#include <thread>
#include <vector>

#include <httplib.h>
#include <nlohmann/json.hpp>

#include "host/resources.h"

namespace kadrelle {
namespace {

// resources/kadrelle.rc: 16001 CURSOR "kadrelle.cur".
constexpr std::int32_t kToolCursorId = 16001;

// Connections kept open by the pages; each holds a worker while open.
constexpr std::size_t kWorkers = 16;
constexpr time_t kKeepAliveSeconds = 1;

const char* ContentType(std::string_view name)
{
    struct Type {
        const char* ending;
        const char* type;
    };
    static constexpr Type kTypes[] = {
        {".html", "text/html; charset=utf-8"},
        {".js", "text/javascript; charset=utf-8"},
        {".css", "text/css; charset=utf-8"},
    };
    for (const Type& type : kTypes) {
        if (name.ends_with(type.ending)) return type.type;
    }
    return "application/octet-stream";
}

const WebFile* FindWebFile(std::string_view name)
{
    for (const WebFile& file : WebFiles()) {
        if (file.name == name) return &file;
    }
    return nullptr;
}

// ---- The cursor: a Windows .cur file of one 1-bit image ----------------------

std::uint32_t Little(std::string_view bytes, std::size_t at, std::size_t size)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return value;
}

struct CursorImage {
    int width = 0;
    int height = 0;
    // Per pixel, top row first: -1 transparent, else 0xRRGGBB.
    std::vector<std::int32_t> pixels;
};

// The cursor's first image: its AND mask leaves a pixel transparent, its
// XOR mask picks the colour from the palette (a pixel that would invert the
// screen is drawn black).
CursorImage DecodeCursor(std::string_view file)
{
    CursorImage image;
    if (file.size() < 22 || Little(file, 2, 2) != 2 || Little(file, 4, 2) == 0) return image;
    const std::size_t at = Little(file, 18, 4);
    if (at + 40 > file.size() || Little(file, at, 4) < 40) return image;
    const int width = static_cast<int>(Little(file, at + 4, 4));
    const int height = static_cast<int>(Little(file, at + 8, 4)) / 2;
    if (Little(file, at + 14, 2) != 1 || width <= 0 || height <= 0 || width > 256 || height > 256) return image;
    const std::size_t palette = at + Little(file, at, 4);
    const std::size_t stride = static_cast<std::size_t>((width + 31) / 32) * 4;
    const std::size_t xorMask = palette + 2 * 4;
    const std::size_t andMask = xorMask + stride * static_cast<std::size_t>(height);
    if (andMask + stride * static_cast<std::size_t>(height) > file.size()) return image;
    const auto colour = [&](std::uint32_t index) {
        const std::size_t entry = palette + 4 * index;  // blue, green, red
        return static_cast<std::int32_t>(Little(file, entry, 1) | Little(file, entry + 1, 1) << 8 |
                                         Little(file, entry + 2, 1) << 16);
    };
    const auto bit = [&](std::size_t mask, int x, int row) {
        const std::size_t byte = mask + stride * static_cast<std::size_t>(row) + static_cast<std::size_t>(x / 8);
        return (Little(file, byte, 1) >> (7 - x % 8)) & 1u;
    };
    image.width = width;
    image.height = height;
    for (int y = 0; y < height; ++y) {
        const int row = height - 1 - y;  // bottom-up
        for (int x = 0; x < width; ++x) {
            const std::uint32_t andBit = bit(andMask, x, row);
            const std::uint32_t xorBit = bit(xorMask, x, row);
            image.pixels.push_back(andBit == 0 ? colour(xorBit) : xorBit == 0 ? -1 : 0);
        }
    }
    return image;
}

// ---- HTTP ------------------------------------------------------------------------------

void SetReply(httplib::Response& response, const ApiReply& reply)
{
    response.status = reply.status;
    response.set_header("Cache-Control", "no-store");
    if (!reply.fileName.empty())
        response.set_header("Content-Disposition", "attachment; filename=\"" + reply.fileName + "\"");
    response.set_content(reply.body, reply.contentType.c_str());
}

ApiRequest RequestOf(const httplib::Request& request)
{
    ApiRequest api{request.method, request.path, {}, request.body};
    for (const auto& [key, value] : request.params) api.query.emplace(key, value);
    return api;
}

std::string JsonText(const nlohmann::json& j)
{
    return j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string UrlHost(const std::string& address)
{
    return address.find(':') != std::string::npos ? "[" + address + "]" : address;
}

}  // namespace

std::string CursorSvg(std::int32_t id)
{
    const auto& cursors = host::PluginResourceData().cursors;
    const bool known = std::any_of(cursors.begin(), cursors.end(), [id](const host::CursorResource& c) { return c.id == id; });
    if (!known || id != kToolCursorId) return "";
    const CursorImage image = DecodeCursor(ToolCursorFile());
    if (image.pixels.empty()) return "";
    const std::string w = std::to_string(image.width);
    const std::string h = std::to_string(image.height);
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" + h + "\" viewBox=\"0 0 " +
                      w + " " + h + "\" shape-rendering=\"crispEdges\">\n";
    // One rectangle per run of a colour along a row.
    for (int y = 0; y < image.height; ++y) {
        const std::int32_t* row = image.pixels.data() + static_cast<std::ptrdiff_t>(y) * image.width;
        for (int x = 0; x < image.width;) {
            int end = x + 1;
            while (end < image.width && row[end] == row[x]) ++end;
            if (row[x] >= 0) {
                char fill[16];
                std::snprintf(fill, sizeof fill, "#%06x", static_cast<unsigned>(row[x]));
                svg += "<rect x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" width=\"" +
                       std::to_string(end - x) + "\" height=\"1\" fill=\"" + fill + "\"/>\n";
            }
            x = end;
        }
    }
    return svg + "</svg>\n";
}

struct WebServer::Impl {
    httplib::Server server;
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> listening{false};
};

WebServer::WebServer(ServeSession& session) : impl_(std::make_unique<Impl>())
{
    httplib::Server& server = impl_->server;
    server.new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
    server.set_keep_alive_timeout(kKeepAliveSeconds);
    server.set_payload_max_length(kMaxRequestBody);
    // The library's default also shares the port (SO_REUSEPORT): a second
    // server on the same port must fail, not take half the requests.
    server.set_socket_options([](socket_t socket) {
        const int yes = 1;
        ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });

    const auto api = [&session](const httplib::Request& request, httplib::Response& response) {
        // A browser lets any site's page post here: only this server's own
        // pages are answered.
        const std::string origin = request.get_header_value("Origin");
        if (!origin.empty() && origin != "http://" + request.get_header_value("Host")) {
            SetReply(response, ApiReply{403, JsonText({{"error", "requests from another site's pages are refused"}}),
                                        "application/json", ""});
            return;
        }
        SetReply(response, session.Handle(RequestOf(request)));
    };
    server.Get(R"(/api/.*)", api);
    server.Post(R"(/api/.*)", api);
    server.Get(R"(/cursor/(\d{1,9})\.svg)", [](const httplib::Request& request, httplib::Response& response) {
        const std::string svg = CursorSvg(std::stoi(request.matches[1]));
        if (svg.empty()) {
            response.status = 404;
            return;
        }
        response.set_content(svg, "image/svg+xml");
    });
    server.Get(R"(/([a-z0-9.-]*))", [](const httplib::Request& request, httplib::Response& response) {
        const std::string name = request.matches[1].length() == 0 ? "index.html" : std::string(request.matches[1]);
        const WebFile* file = FindWebFile(name);
        if (file == nullptr) {
            response.status = 404;
            return;
        }
        response.set_content(std::string(file->bytes), ContentType(name));
    });
    // Errors the server answers itself (a body too large, no such page)
    // get a message too.
    server.set_error_handler([](const httplib::Request& request, httplib::Response& response) {
        if (!response.body.empty()) return;
        std::string message = "the server cannot answer this request";
        if (response.status == 404) message = "no such page: " + request.path;
        if (response.status == 413)
            message = "the request is larger than " + std::to_string(kMaxRequestBody) + " bytes";
        if (response.status == 400) message = "a malformed HTTP request";
        if (request.path.starts_with("/api/")) {
            SetReply(response, ApiReply{response.status, JsonText({{"error", message}}), "application/json", ""});
        } else {
            SetReply(response, ApiReply{response.status, message + "\n", "text/plain; charset=utf-8", ""});
        }
    });
    server.set_exception_handler([](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
        SetReply(response, ApiReply{500, JsonText({{"error", "the server failed"}}), "application/json", ""});
    });
}

WebServer::~WebServer() { Stop(); }

int WebServer::Bind(const std::string& address, int port)
{
    int bound = -1;
    if (port == 0) {
        bound = impl_->server.bind_to_any_port(address);
    } else if (impl_->server.bind_to_port(address, port)) {
        bound = port;
    }
    if (bound <= 0)
        throw std::runtime_error("cannot listen on " + UrlHost(address) + ":" + std::to_string(port) +
                                 " (is the port in use, or the address not this machine's?)");
    return bound;
}

void WebServer::Listen()
{
    impl_->listening = true;
    if (!impl_->stopRequested) impl_->server.listen_after_bind();
    impl_->listening = false;
}

void WebServer::Stop()
{
    impl_->stopRequested = true;
    // Between binding and listening the server cannot be stopped yet: wait
    // until it runs.
    while (impl_->listening && !impl_->server.is_running()) std::this_thread::yield();
    impl_->server.stop();
}

void Serve(Session session, const ServeOptions& options, std::ostream& out)
{
    // Ctrl-C and SIGTERM end the server; every thread started from here on
    // leaves them to the one that waits for them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGUSR1);  // the server ended otherwise: the waiter goes
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &signals, &previous);
    struct Restore {
        sigset_t mask;
        ~Restore() { pthread_sigmask(SIG_SETMASK, &mask, nullptr); }
    } restore{previous};

    const std::string what = session.document ? session.document->string() : "the built-in demo document";
    ServeSession live(std::move(session));
    WebServer server(live);
    const int port = server.Bind(options.address, options.port);
    out << "kadrelle serve: painting " << what << " at http://" << UrlHost(options.address) << ":" << port
        << "/ (Ctrl-C stops it)" << std::endl;

    std::atomic<bool> signalled{false};
    std::thread waiter([&] {
        int signal = 0;
        sigwait(&signals, &signal);
        if (signal == SIGUSR1) return;
        signalled = true;
        server.Stop();
    });
    server.Listen();
    if (!signalled) pthread_kill(waiter.native_handle(), SIGUSR1);
    waiter.join();
    live.Stop();
    out << "kadrelle serve: stopped" << std::endl;
}

}  // namespace kadrelle
