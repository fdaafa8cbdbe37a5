// vantrel-cli exif FILE...: every entry that the EXIF reader finds in each photo, one
// "Name: display text" a line (line breaks inside a text written as \r and \n).
#include <cstdio>
#include <string>
#include <vector>

#include "core/imaging/ExifTagReport.h"
#include "tools/CliCommand.h"
#include "tools/ImageInfoSections.h"

namespace {

std::string OneLine(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else out += c;
    }
    return out;
}

int RunExif(const std::vector<std::string>& args) {
    if (args.empty()) {
        std::fprintf(stderr, "usage: vantrel-cli exif FILE...\n");
        return 2;
    }
    int status = 0;
    vantrel::TimgData scan;
    for (const std::string& path : args) {
        if (args.size() > 1) std::printf("== %s\n", path.c_str());
        if (!scan.ScanFile(path)) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), scan.ErrorText().empty() ? "no such file" : scan.ErrorText().c_str());
            status = 1;
            continue;
        }
        for (const auto& line : vantrel::ExifTagLines(scan))
            std::printf("%s: %s\n", line.name.c_str(), OneLine(line.text).c_str());
    }
    return status;
}

// The same entries close each photo's "info" listing.
void PrintExifSection(std::FILE* out, const std::string& path, vantrel::ImageWorkspace&, const vantrel::DecodeResult&) {
    vantrel::TimgData scan;
    if (!scan.ScanFile(path)) return;
    for (const auto& line : vantrel::ExifTagLines(scan))
        std::fprintf(out, "  %s: %s\n", line.name.c_str(), OneLine(line.text).c_str());
}

const vantrel::cli::ImageInfoSectionRegistration exifSection({10, PrintExifSection});

vantrel::cli::CliCommandRegistration reg("exif", {"exif FILE...", "list the EXIF entries of JPEG photos", RunExif});

}  // namespace
