#pragma once
// An FTP server for transfer tests that keeps its folders and files in memory and answers
// "site CHECKSUM" with the MD5 of a stored file, with a few switches to misbehave.

#include <map>
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

    std::mutex mutex;
    std::set<std::string> folders;
    std::map<std::string, std::string> files;  // "folder/name" -> content
    std::map<std::string, int> storeCounts;

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
        if (command.rfind("STOR ", 0) == 0) {
            server.Send("150 go\r\n");
            std::string data = server.ReceiveData();
            std::string key = cwd_ + "/" + argument(5);
            ++storeCounts[key];
            if (dropDataStores > 0) {
                --dropDataStores;
                return "";  // the connection breaks before the final reply
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
    FtpFakeServer server_;  // last: its thread stops before the members it uses go
};

}  // namespace vantrel::test
