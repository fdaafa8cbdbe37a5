#include "core/service/SidecarFile.h"

#include "core/albums/TImageJob.h"
#include "core/service/FileWriteError.h"
#include "core/service/TRemoteSettings.h"
#include "core/service/UploadPackage.h"

namespace vantrel {

namespace {

std::string OneLine(std::string value) {
    for (char& c : value)
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    return value;
}

}  // namespace

std::string FormatSidecar(const SidecarFields& f) {
    const std::string lines[] = {
        "serial " + OneLine(f.folderName),
        "customer " + OneLine(f.customerId),
        "session placeholder",
        "album " + std::to_string(f.albumId),
        "name " + OneLine(f.fileName),
        "description ",
        "width " + std::to_string(f.width),
        "height " + std::to_string(f.height),
        "checksum " + OneLine(f.checksum),
        OneLine(f.passthruName) + " " + OneLine(f.passthruValue),
        "photosize " + std::to_string(f.photoSize),
        "scaledsize " + std::to_string(f.scaledSize),
        "thumbsize " + std::to_string(f.thumbSize),
        "UploadMethod desktopPC",
        "UploadVersion 3.2.5",
    };
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::expected<void, std::string> WriteInfFile(const TImageJob& job, const std::string& folderName,
                                              const std::string& customerId, std::int32_t albumId,
                                              const TRemoteSettings& settings, const std::string& targetPath,
                                              const UploadImaging& imaging) {
    auto digest = imaging.digestHex(job.WorkPath);
    if (!digest) return std::unexpected(digest.error());
    return WriteInfFile(job, folderName, customerId, albumId, settings, targetPath, *digest);
}

std::expected<void, std::string> WriteInfFile(const TImageJob& job, const std::string& folderName,
                                              const std::string& customerId, std::int32_t albumId,
                                              const TRemoteSettings& settings, const std::string& targetPath,
                                              const std::string& checksum) {
    SidecarFields fields{folderName,     customerId,     albumId,       job.FileName,
                          job.Width,      job.Height,     checksum,
                          settings.passthru_name,         settings.passthru_value,
                          job.PhotoSize,  job.ScaledSize, job.ThumbSize};
    if (auto written = WriteWholeFile(targetPath, FormatSidecar(fields)); !written)
        throw FileWriteError(written.error());
    return {};
}

}  // namespace vantrel
