#pragma once
// A file of a transfer run that could not be written: one of the run's temporary files, the
// answer file "Temp.xml", a scaled copy or a sidecar. It ends the run, and the window names the
// file and the system's reason ("No space left on device") instead of a connection failure.

#include <expected>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vantrel {

struct WriteError {
    std::string path;
    std::string reason;  // the system's text for the error, e.g. "No space left on device"
};

class FileWriteError : public std::runtime_error {
public:
    explicit FileWriteError(WriteError failure);
    const WriteError& Failure() const { return failure_; }

private:
    WriteError failure_;
};

// Replaces the file's content (creating it; mode 0600 also when it existed). Fails with the file's path and the reason.
std::expected<void, WriteError> WriteWholeFile(const std::string& path, std::string_view content);

// The user's message: the language text of "WriteFileErr" with the path and the reason.
std::string WriteFailureMessage(const WriteError& failure,
                                const std::function<std::string(std::string_view)>& translate);

}  // namespace vantrel
