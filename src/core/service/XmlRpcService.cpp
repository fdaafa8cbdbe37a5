#include "core/service/XmlRpcService.h"

#include "core/service/FileWriteError.h"
#include "core/service/XmlRpcRequest.h"

namespace vantrel {

std::string SessionExpiry(const LocalDateTime& now) { return FormatDateTime(AddDays(now, 1)); }

XmlRpcService::XmlRpcService(HttpClient& rpcHttp, std::string scriptUrl, std::string workFolder, LocalClock clock)
    : http_(rpcHttp), scriptUrl_(std::move(scriptUrl)), workFolder_(std::move(workFolder)), clock_(std::move(clock)) {}

std::expected<void, RpcError> XmlRpcService::Post(const std::string& request, std::size_t maxAnswerBytes) {
    auto posted = http_.HttpPost(scriptUrl_, request, ResponsePath(), maxAnswerBytes);
    if (posted) return {};
    const HttpError& error = posted.error();
    if (error.kind == HttpError::Kind::LocalWrite) throw FileWriteError({ResponsePath(), error.message});
    RpcError p;
    p.kind = RpcError::Kind::Transport;
    p.error = error.message;
    p.networkFailure = error.networkFailure;
    if (error.kind == HttpError::Kind::TooLarge) {
        // Read like a document that does not parse: the call's message, and a false result.
        p.kind = RpcError::Kind::NotXml;
        p.problem = {XmlLoadError::Kind::ParseError, "", error.message};
        p.error.clear();
    }
    return std::unexpected(std::move(p));
}

std::expected<RpcSession, RpcError> XmlRpcService::SessionNew() {
    if (auto posted = Post(BuildSessionNewRequest(SessionExpiry(clock_()))); !posted) return std::unexpected(posted.error());
    return ReadSessionNewResponse(ResponsePath());
}

std::expected<std::string, RpcError> XmlRpcService::SessionLogin(std::string_view objectId,
                                                                 std::string_view sessionCode,
                                                                 std::string_view email,
                                                                 std::string_view password) {
    if (auto posted = Post(BuildSessionLoginRequest(sessionCode, objectId, email, password)); !posted) {
        return std::unexpected(posted.error());
    }
    return ReadSessionLoginResponse(ResponsePath());
}

std::expected<std::vector<ServiceAlbum>, RpcError> XmlRpcService::MemberGetAlbumList(std::string_view customerId,
                                                                                        std::string_view sessionCode) {
    if (auto posted = Post(BuildMemberGetAlbumListRequest(customerId, sessionCode), kMaxAlbumListBytes); !posted) {
        return std::unexpected(posted.error());
    }
    return ReadAlbumListResponse(ResponsePath());
}

std::expected<std::int32_t, RpcError> XmlRpcService::MemberCreateAlbum(std::string_view customerId,
                                                                       std::string_view sessionCode,
                                                                       std::string_view albumName) {
    if (auto posted = Post(BuildMemberCreateAlbumRequest(customerId, sessionCode, albumName)); !posted) {
        return std::unexpected(posted.error());
    }
    return ReadCreateAlbumResponse(ResponsePath());
}

}  // namespace vantrel
