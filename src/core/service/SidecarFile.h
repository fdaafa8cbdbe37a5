#pragma once
// The sidecar n.inf of an uploaded photo: fifteen lines, each ending in CR LF, that tell the
// service whose photo it is, which album it goes into, its dimensions, sizes and checksum.

#include <cstdint>
#include <expected>
#include <string>

namespace vantrel {

struct TRemoteSettings;
struct UploadImaging;
class TImageJob;

struct SidecarFields {
    std::string folderName;   // the run's upload folder name
    std::string customerId;
    std::int32_t albumId = 0;
    std::string fileName;     // the working copy's file name
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::string checksum;     // MD5 of the working copy, 32 lower-case hexadecimal digits
    std::string passthruName;
    std::string passthruValue;
    std::int64_t photoSize = 0;
    std::int64_t scaledSize = 0;  // the estimates of the queued photo, not the sizes of the files made
    std::int64_t thumbSize = 0;
};

// The sidecar text. A CR or LF inside a value becomes a blank, so that the file always has
// exactly fifteen lines and a file name cannot add lines of its own.
std::string FormatSidecar(const SidecarFields& fields);

// Writes the sidecar of `job` to `targetPath`, replacing its content; the checksum is the MD5 of
// the job's working copy (through `imaging`). Fails when the working copy cannot be read; throws
// FileWriteError when the file cannot be written.
std::expected<void, std::string> WriteInfFile(const TImageJob& job, const std::string& folderName,
                                              const std::string& customerId, std::int32_t albumId,
                                              const TRemoteSettings& settings, const std::string& targetPath,
                                              const UploadImaging& imaging);
// The same with the working copy's MD5 already known.
std::expected<void, std::string> WriteInfFile(const TImageJob& job, const std::string& folderName,
                                              const std::string& customerId, std::int32_t albumId,
                                              const TRemoteSettings& settings, const std::string& targetPath,
                                              const std::string& checksum);

}  // namespace vantrel
