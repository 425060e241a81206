#include "app/artwork_json.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include <nlohmann/json.hpp>

#include "settings/options.h"

namespace kadrelle {
namespace {

using Json = nlohmann::ordered_json;

// A float as the double that its shortest decimal text reads as, so that
// the JSON writer, which writes a double's shortest text, writes exactly that
// text. A value that is not finite has no JSON number: null.
Json Real(float value)
{
    if (!std::isfinite(value)) return nullptr;
    return std::strtod(FloatText(value).c_str(), nullptr);
}

Json Point(HostPoint p) { return Json::array({Real(p.h), Real(p.v)}); }

const char* TypeOf(host::ArtKind kind)
{
    switch (kind) {
    case host::ArtKind::Instance:
        return "instance";
    case host::ArtKind::Expanded:
        return "expanded";
    case host::ArtKind::Text:
        return "text";
    case host::ArtKind::Path:
        break;
    }
    return "path";
}

}  // namespace

std::string FloatText(float value)
{
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    return error == std::errc{} ? std::string(text, end) : std::string("0");
}

std::string ArtworkJson(const host::Document& document, const Globals& settings, std::uint64_t undoCalls)
{
    Json root;
    const DocumentSetup setup = document.Setup();
    root["page"] = Json::array({Real(setup.width), Real(setup.height)});

    Json layers = Json::array();
    for (const host::Layer& layer : document.Layers()) {
        Json art = Json::array();
        for (host::ArtId id : layer.art) {
            const host::Art& a = document.GetArt(id);
            Json item;
            item["type"] = TypeOf(a.kind);
            const bool placed = a.kind == host::ArtKind::Instance || a.kind == host::ArtKind::Expanded;
            item["symbol"] = placed ? Json(document.GetSymbol(a.symbol).name) : Json(nullptr);
            if (placed) {
                item["matrix"] = Json::array({Real(a.matrix.a), Real(a.matrix.b), Real(a.matrix.c), Real(a.matrix.d),
                                              Real(a.matrix.tx), Real(a.matrix.ty)});
            } else {
                item["matrix"] = nullptr;
            }
            const HostRect bounds = document.Bounds(id);
            item["centre"] = Point(HostPoint{(bounds.left + bounds.right) / 2.0f, (bounds.top + bounds.bottom) / 2.0f});
            art.push_back(std::move(item));
        }
        Json entry;
        entry["name"] = layer.name;
        entry["art"] = std::move(art);
        layers.push_back(std::move(entry));
    }
    root["layers"] = std::move(layers);

    Json options;
    for (const OptionInfo& option : Options()) {
        const float value = OptionValue(settings, option);
        if (option.kind == OptionKind::Real) {
            options[option.name] = Real(value);
        } else {
            options[option.name] = static_cast<std::int32_t>(value);
        }
    }
    root["settings"] = std::move(options);
    root["lastPoint"] = Point(settings.lastPoint);
    root["undoCalls"] = undoCalls;
    return root.dump(2) + "\n";
}

}  // namespace kadrelle
