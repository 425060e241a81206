#pragma once
// The live painting session behind `kadrelle serve`: the stand-in host runs
// the plug-in on a thread of its own, and the page's requests become host
// messages, one at a time, in the order they arrive.
//
// Everything the person does is recorded as a session (see app/session.h):
// strokes with their pressure and modifier keys, the options dialog's
// actions, the palette's selection, the random seed. The painting is always
// what replaying that recording gives: undo and clear take strokes out of
// the recording and replay the rest, so a saved session replays with
// `kadrelle paint` to the same bytes as the page's saved picture.
//
// The requests (bodies and replies are JSON; a reply with an error has
// {"error": "message"} and changes nothing):
//   GET  /api/state              the whole painting: the document as SVG, the
//                                palette, the dialog if open, the sync mark
//   GET  /api/changes?epoch=E&art=A&layers=L
//                                what changed since that mark
//   POST /api/pointer            {"client", "since", "events": [{"down": P,
//                                "pen": bool} | {"drag": P} | {"up": null}]},
//                                P a session point; every drag is one message
//   POST /api/symbol             {"symbol": palette index or null}
//   POST /api/cursor             the tool tracks the cursor; the cursor it set
//   POST /api/options/open       "AI Edit Options": the dialog opens and stays
//                                open, driven by the next requests
//   GET  /api/options            the open dialog, or null
//   POST /api/options/action     {"click": ID} or {"set": {"ID": value}}
//   POST /api/undo, /api/clear   take out the last stroke, or every stroke
//   GET  /api/save?format=svg|json|session
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "app/session.h"

namespace kadrelle {

struct ApiRequest {
    std::string method;  // "GET" or "POST"
    std::string path;
    std::map<std::string, std::string> query;
    std::string body;
};

struct ApiReply {
    int status = 200;
    std::string body;
    std::string contentType = "application/json";
    std::string fileName;  // a download: the name it is saved under
};

// The largest request body that is read.
constexpr std::size_t kMaxRequestBody = 1 << 20;

class ServeSession {
public:
    // Start the host's thread and replay the session in it. Throws
    // InputError when the session cannot be replayed (a document that cannot
    // be read, a dialog action refused) and std::runtime_error when the
    // plug-in fails to start.
    explicit ServeSession(Session session);
    // Stop().
    ~ServeSession();
    ServeSession(const ServeSession&) = delete;
    ServeSession& operator=(const ServeSession&) = delete;

    // Handle one request on the host's thread and wait for its reply; safe
    // to call from any thread, as many at once as like.
    ApiReply Handle(const ApiRequest& request);

    // Close the dialog if it is open, shut the plug-in down and end the
    // host's thread; requests from then on are answered 503.
    void Stop();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace kadrelle
