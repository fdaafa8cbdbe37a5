#pragma once
// The service's four XML-RPC calls, posted to `script_url` through the XML-RPC HTTP client.
// Each call writes the response into "Temp.xml" of the work folder (truncated first, left in
// place) and reads it from there. A failed post is a Transport problem; an answer over the
// call's size cap (kMaxAnswerBytes, kMaxAlbumListBytes for the album list) is a NotXml problem
// (a broken answer); a "Temp.xml" that cannot be written throws FileWriteError.

#include <cstdint>
#include <expected>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/WorkFolderFiles.h"
#include "core/service/HttpClient.h"
#include "core/service/LocalDateTime.h"
#include "core/service/XmlRpcResponse.h"

namespace vantrel {

// The album list may be larger than other answers: 100,000 albums take about 18 MB.
inline constexpr std::size_t kMaxAlbumListBytes = 64 * 1024 * 1024;

class XmlRpcService {
public:
    // `workFolder` ends in "/". `clock` gives the local time for the session's expiry date.
    XmlRpcService(HttpClient& rpcHttp, std::string scriptUrl, std::string workFolder,
                  LocalClock clock = LocalNow);

    // Opens a session that expires 24 hours from now.
    std::expected<RpcSession, RpcError> SessionNew();
    // Logs the user in; returns the customer id ("member_id").
    std::expected<std::string, RpcError> SessionLogin(std::string_view objectId, std::string_view sessionCode,
                                                      std::string_view email, std::string_view password);
    // The customer's albums on the service, in the service's order (duplicates kept).
    std::expected<std::vector<ServiceAlbum>, RpcError> MemberGetAlbumList(std::string_view customerId,
                                                                            std::string_view sessionCode);
    // Creates an album and returns its id.
    std::expected<std::int32_t, RpcError> MemberCreateAlbum(std::string_view customerId,
                                                            std::string_view sessionCode,
                                                            std::string_view albumName);

    // The response file's path.
    std::string ResponsePath() const { return workFolder_ + std::string(kRpcResponseFileName); }

private:
    // Posts `request`; the problems as above.
    std::expected<void, RpcError> Post(const std::string& request, std::size_t maxAnswerBytes = kMaxAnswerBytes);

    HttpClient& http_;
    std::string scriptUrl_;
    std::string workFolder_;
    LocalClock clock_;
};

// The expiry date sent with "Community.Session.New": the same local wall-clock time one day later.
std::string SessionExpiry(const LocalDateTime& now);

}  // namespace vantrel
