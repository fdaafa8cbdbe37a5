#include "core/service/XmlRpcTransferService.h"

namespace vantrel {
namespace {

std::string DescribeProblem(const RpcProblem& problem) {
    if (!problem.error.empty()) return problem.error;
    return problem.kind == RpcProblem::Kind::Transport ? "XML-RPC transport failure" : "XML-RPC conversion error";
}

}  // namespace

TServiceCallError::TServiceCallError(RpcProblem problem)
    : std::runtime_error(DescribeProblem(problem)), problem_(std::move(problem)) {}

TXmlRpcTransferService::TXmlRpcTransferService(TXmlRpcService& rpc) : rpc_(rpc) {}

bool TXmlRpcTransferService::Refused(const RpcProblem& problem) {
    if (problem.Propagates()) throw TServiceCallError(problem);
    if (problem.kind == RpcProblem::Kind::NotXml && OnUnreadableResponse) OnUnreadableResponse(problem);
    return false;
}

bool TXmlRpcTransferService::SessionNew() {
    haveSession_ = false;
    session_ = {};
    customerId_.clear();
    auto session = rpc_.SessionNew();
    if (!session) return Refused(session.error());
    session_ = std::move(*session);
    haveSession_ = true;
    return true;
}

bool TXmlRpcTransferService::SessionLogin(const std::string& email, const std::string& password) {
    customerId_.clear();
    if (!haveSession_) return false;
    auto member = rpc_.SessionLogin(session_.objectId, session_.code, email, password);
    if (!member) return Refused(member.error());
    customerId_ = std::move(*member);
    return true;
}

bool TXmlRpcTransferService::MemberGetAlbumList(std::vector<TServiceAlbum>& albums) {
    albums.clear();
    auto listed = rpc_.MemberGetAlbumList(customerId_, session_.code);
    if (!listed) return Refused(listed.error());
    albums.reserve(listed->size());
    for (auto& album : *listed) albums.push_back({std::move(album.name), album.id});
    return true;
}

bool TXmlRpcTransferService::MemberCreateAlbum(const std::string& name, std::int32_t& albumId) {
    auto created = rpc_.MemberCreateAlbum(customerId_, session_.code, name);
    if (!created) return Refused(created.error());
    albumId = *created;
    return true;
}

}  // namespace vantrel
