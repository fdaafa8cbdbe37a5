#include "core/service/XmlRpcResponse.h"

#include <memory>
#include <optional>

namespace vantrel {
namespace {

constexpr const char* kStructMembers = "methodResponse/params/param/value/struct/member";
constexpr const char* kArrayValues = "methodResponse/params/param/value/array/data/value";

std::unexpected<RpcError> Problem(RpcError::Kind kind, std::string error = {}) {
    RpcError p;
    p.kind = kind;
    p.error = std::move(error);
    return std::unexpected(std::move(p));
}

// Loads the response and refuses a fault.
std::expected<std::unique_ptr<pugi::xml_document>, RpcError> LoadResponse(const std::string& path) {
    auto doc = LoadXmlFile(path);
    if (!doc) {
        RpcError p;
        p.kind = RpcError::Kind::NotXml;
        p.problem = doc.error();
        return std::unexpected(std::move(p));
    }
    if ((*doc)->select_node("methodResponse/fault")) return Problem(RpcError::Kind::Fault);
    return std::move(*doc);
}

// Calls visit(name, valueText) for every node the path selects, in document order; stops when
// visit returns false.
template <typename Visit>
void ForEachMember(pugi::xml_node from, const char* path, Visit&& visit) {
    pugi::xpath_node_set members = from.select_nodes(path);
    members.sort();
    for (const pugi::xpath_node& m : members) {
        if (!visit(DescendantText(m.node().child("name")), DescendantText(m.node().child("value")))) return;
    }
}

}  // namespace

std::string RpcError::Message(const std::function<std::string(std::string_view)>& translate) const {
    switch (kind) {
        case Kind::Transport: return translate("RPC_Error");
        case Kind::NotXml: return ComposeXmlLoadMessage(problem, "RPC_NoFile", "RPC_RequestErr", translate);
        case Kind::Conversion: return error;
        default: return {};
    }
}

std::expected<RpcSession, RpcError> ReadSessionNewResponse(const std::string& path) {
    auto doc = LoadResponse(path);
    if (!doc) return std::unexpected(doc.error());
    RpcSession session;
    bool haveObject = false, haveCode = false;
    ForEachMember(**doc, kStructMembers, [&](const std::string& name, std::string value) {
        if (name == "objectid") session.objectId = std::move(value), haveObject = true;
        else if (name == "code") session.code = std::move(value), haveCode = true;
        return true;
    });
    if (!haveObject || !haveCode) return Problem(RpcError::Kind::Missing);
    return session;
}

std::expected<std::string, RpcError> ReadSessionLoginResponse(const std::string& path) {
    auto doc = LoadResponse(path);
    if (!doc) return std::unexpected(doc.error());
    std::optional<std::string> memberId;
    ForEachMember(**doc, kStructMembers, [&](const std::string& name, std::string value) {
        if (name != "member_id") return true;
        memberId = std::move(value);
        return false;
    });
    if (!memberId) return Problem(RpcError::Kind::Missing);
    return *memberId;
}

std::expected<std::vector<ServiceAlbum>, RpcError> ReadAlbumListResponse(const std::string& path) {
    auto doc = LoadResponse(path);
    if (!doc) return std::unexpected(doc.error());
    std::vector<ServiceAlbum> albums;
    pugi::xpath_node_set entries = (*doc)->select_nodes(kArrayValues);
    entries.sort();
    for (const pugi::xpath_node& entry : entries) {
        std::string name, idText;
        ForEachMember(entry.node(), "struct/member", [&](const std::string& member, std::string value) {
            if (member == "name") name = std::move(value);
            else if (member == "id") idText = std::move(value);
            return true;
        });
        auto id = ParseWholeNumber(idText);
        if (!id) return Problem(RpcError::Kind::Conversion, id.error());
        albums.push_back({std::move(name), *id});
    }
    return albums;
}

std::expected<std::int32_t, RpcError> ReadCreateAlbumResponse(const std::string& path) {
    auto doc = LoadResponse(path);
    if (!doc) return std::unexpected(doc.error());
    std::optional<std::string> idText;
    ForEachMember(**doc, kStructMembers, [&](const std::string& name, std::string value) {
        if (name != "id") return true;
        idText = std::move(value);
        return false;
    });
    if (!idText) return Problem(RpcError::Kind::Missing);
    auto id = ParseWholeNumber(*idText);
    if (!id) return Problem(RpcError::Kind::Missing, id.error());
    return *id;
}

}  // namespace vantrel
