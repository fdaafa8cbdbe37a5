#pragma once
// An FTP server for transfer tests that keeps its folders and files in memory and answers
// "site CHECKSUM" with the MD5 of a stored file, with a few switches to misbehave.

#include <map>
#include <utility>
#include <set>

#include "core/imaging/FileDigest.h"
#include "core/service/FtpFakeServer.h"

namespace vantrel::test {

class FtpMemoryServer {
public:
    FtpMemoryServer() : server_([this](FtpFakeServer& s, const std::string& c) { return Handle(s, c); }) {}

    std::string Host() const { return server_.Host(); }
    std::vector<std::string> Commands() { return server_.Commands(); }

    // Switches, read by the server thread between commands.
    std::atomic<bool> refuseLogin{false};
    std::atomic<bool> refuseMkd{false};
    std::atomic<bool> wrongChecksum{false};
    std::atomic<int> dropDataStores{0};  // the next this many stores break their connection
    // FEAT lists SIZE and REST STREAM, so that a broken store may be resumed.
    std::atomic<bool> offerResume{true};
    // The next store keeps only its first this many bytes and breaks the connection (-1: none);
    // with corruptDroppedStore those bytes are kept with their first one changed.
    std::atomic<std::int64_t> dropStoreAt{-1};
    std::atomic<bool> corruptDroppedStore{false};

    std::mutex mutex;
    std::set<std::string> folders;
    std::map<std::string, std::string> files;  // "folder/name" -> content
    std::map<std::string, int> storeCounts;
    std::vector<std::size_t> bytesReceived;  // by every store, in order

private:
    std::string Handle(FtpFakeServer& server, const std::string& command) {
        auto argument = [&](std::size_t prefix) { return command.substr(prefix); };
        if (command.rfind("USER ", 0) == 0) return "331 password\r\n";
        if (command.rfind("PASS ", 0) == 0) {
            cwd_.clear();
            return refuseLogin ? "530 Login incorrect\r\n" : "230 in\r\n";
        }
        if (command == "TYPE I") return "200 binary\r\n";
        if (command == "SYST") return "215 UNIX\r\n";
        std::lock_guard lock(mutex);
        if (command.rfind("MKD ", 0) == 0) {
            if (refuseMkd || folders.count(argument(4))) return "550 refused\r\n";
            folders.insert(argument(4));
            return "257 \"" + argument(4) + "\" created\r\n";
        }
        if (command.rfind("CWD ", 0) == 0) {
            if (!folders.count(argument(4))) return "550 no such folder\r\n";
            cwd_ = argument(4);
            return "250 ok\r\n";
        }
        if (command == "PASV") return server.PassiveReply();
        if (command == "FEAT")
            return offerResume ? "211-Features:\r\n MDTM\r\n SIZE\r\n REST STREAM\r\n211 End\r\n"
                               : "211-Features:\r\n MDTM\r\n211 End\r\n";
        if (command.rfind("SIZE ", 0) == 0) {
            auto found = files.find(cwd_ + "/" + argument(5));
            return found == files.end() ? "550 no such file\r\n" : "213 " + std::to_string(found->second.size()) + "\r\n";
        }
        if (command.rfind("REST ", 0) == 0) {
            rest_ = std::stoull(argument(5));
            return "350 restarting\r\n";
        }
        if (command.rfind("STOR ", 0) == 0) {
            const std::size_t rest = std::exchange(rest_, 0);
            std::string key = cwd_ + "/" + argument(5);
            if (rest > 0 && (!files.count(key) || files[key].size() < rest)) return "554 bad offset\r\n";
            server.Send("150 go\r\n");
            std::string data = server.ReceiveData();
            ++storeCounts[key];
            bytesReceived.push_back(data.size());
            if (rest > 0) data = files[key].substr(0, rest) + data;
            if (dropDataStores > 0) {
                --dropDataStores;
                return "";  // the connection breaks before the final reply
            }
            if (const std::int64_t keep = dropStoreAt.exchange(-1); keep >= 0) {
                files[key] = data.substr(0, static_cast<std::size_t>(keep));
                if (corruptDroppedStore && !files[key].empty()) files[key][0] = static_cast<char>(~files[key][0]);
                return "";
            }
            files[key] = data;
            return "226 stored\r\n";
        }
        if (command.rfind("site CHECKSUM ", 0) == 0) {
            auto found = files.find(cwd_ + "/" + argument(14));
            if (found == files.end()) return "550 no such file\r\n";
            std::string hex = DigestToHex(DigestBytes(found->second));
            if (wrongChecksum) hex[0] = hex[0] == '0' ? '1' : '0';
            return "200 " + hex + " " + argument(14) + "\r\n";
        }
        return "502 not here\r\n";
    }

    std::string cwd_;
    std::size_t rest_ = 0;
    FtpFakeServer server_;  // last: its thread stops before the members it uses go
};

}  // namespace vantrel::test
