#pragma once
// The transfer run's service calls bound to the service's XML-RPC endpoint.

#include <functional>
#include <stdexcept>
#include <string>

#include "core/service/XmlRpcService.h"
#include "core/service/TransferService.h"

namespace vantrel {

// An XML-RPC call whose transport failed (no connection, a status outside the 200s), whose
// answer could not be read (not a document, too large), or whose album list held an id that is
// not a whole number. It ends the transfer run, which the window
// reports as a connection failure; `Problem().Message` gives the call's own text.
class ServiceCallError : public std::runtime_error {
public:
    explicit ServiceCallError(RpcError problem);
    const RpcError& Problem() const { return problem_; }

private:
    RpcError problem_;
};

class XmlRpcTransferService : public TransferService {
public:
    // `rpc` must outlive this object; it is built on the `script_url` in effect for the run.
    explicit XmlRpcTransferService(XmlRpcService& rpc);

    // A response that did not parse: the window shows Problem.Message(Translate) ("RPC_NoFile",
    // or "RPC_RequestErr" with the parser's text), then the call throws ServiceCallError. May be
    // empty.
    std::function<void(const RpcError&)> OnUnreadableResponse;

    // Each gives a refusal when the service answered with a fault or left out a value the call
    // needs; throws ServiceCallError when the transport failed, the answer could not be read or
    // an album id of the list is not a whole number.

    ServiceResult<std::string> SessionNew() override;
    // Refused without a session.
    ServiceResult<std::string> SessionLogin(const std::string& email, const std::string& password) override;
    ServiceResult<std::vector<ServiceAlbum>> MemberGetAlbumList() override;
    // Refused unless the answer carried an "id" that is a whole number.
    ServiceResult<std::int32_t> MemberCreateAlbum(const std::string& name) override;

    std::string SessionCode() const override { return session_.code; }
    std::string CustomerId() const override { return customerId_; }

private:
    // Throws for a problem that propagates, reports an unreadable response; gives the refusal.
    std::unexpected<ServiceRefusalError> Refused(const RpcError& problem);

    XmlRpcService& rpc_;
    bool haveSession_ = false;
    RpcSession session_;
    std::string customerId_;
};

}  // namespace vantrel
