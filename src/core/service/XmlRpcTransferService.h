#pragma once
// The transfer run's service calls bound to the service's XML-RPC endpoint.

#include <functional>
#include <stdexcept>
#include <string>

#include "core/service/TXmlRpcService.h"
#include "core/service/TransferService.h"

namespace vantrel {

// An XML-RPC call whose transport failed (no connection, a status outside the 200s) or whose
// album list held an id that is not a whole number. It ends the transfer run, which the window
// reports as a connection failure; `Problem().Message` gives the call's own text.
class TServiceCallError : public std::runtime_error {
public:
    explicit TServiceCallError(RpcProblem problem);
    const RpcProblem& Problem() const { return problem_; }

private:
    RpcProblem problem_;
};

class TXmlRpcTransferService : public TTransferService {
public:
    // `rpc` must outlive this object; it is built on the `script_url` in effect for the run.
    explicit TXmlRpcTransferService(TXmlRpcService& rpc);

    // A response that did not parse: the window shows Problem.Message(Translate) ("RPC_NoFile",
    // or "RPC_RequestErr" with the parser's text) and the call returns false. May be empty.
    std::function<void(const RpcProblem&)> OnUnreadableResponse;

    // Each returns false when the service answered with a fault, left out a value the call
    // needs, or sent a document that did not parse; throws TServiceCallError when the transport
    // failed or an album id of the list is not a whole number.

    // Opens a session; the session code is available at once through SessionCode().
    bool SessionNew() override;
    // Logs in with the session opened by SessionNew; false without a session.
    bool SessionLogin(const std::string& email, const std::string& password) override;
    // Clears `albums`, then fills it with the customer's albums (none is still true).
    bool MemberGetAlbumList(std::vector<TServiceAlbum>& albums) override;
    // Creates an album; true with its id when the answer carried an "id" that is a whole number.
    bool MemberCreateAlbum(const std::string& name, std::int32_t& albumId) override;

    std::string SessionCode() const override { return session_.code; }
    std::string CustomerId() const override { return customerId_; }

private:
    // Throws for a problem that propagates, reports an unreadable response; returns false.
    bool Refused(const RpcProblem& problem);

    TXmlRpcService& rpc_;
    bool haveSession_ = false;
    RpcSession session_;
    std::string customerId_;
};

}  // namespace vantrel
