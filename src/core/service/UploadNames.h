#pragma once
// Names made once per transfer run: the FTP folder that receives the run's files, and the
// temporary files in the work folder that hold each photo's scaled copy, thumbnail and sidecar.

#include <cstdint>
#include <expected>
#include <random>
#include <string>
#include <string_view>

#include "core/service/FileWriteError.h"

namespace vantrel {

// The generator of the folder names' random part, seeded from the clock once per process.
std::mt19937& UploadRandom();

// Seconds from 1970-01-01 00:00:00 to the current local date and time, the local time counted as
// if it were UTC, rounded to the nearest second.
std::int64_t LocalSecondsNow();

// The run's folder name: `localSeconds`, two numbers drawn uniformly from 10000000 to 99999998,
// "_" and the customer id, e.g. "17000000001234567887654321_4711".
std::string MakeUploadFolderName(std::string_view customerId, std::int64_t localSeconds, std::mt19937& random);
// The same with the current local time and UploadRandom().
std::string MakeUploadFolderName(std::string_view customerId);

// A free name in `workFolder` (which ends in "/") made of the local date and time as
// "yyyymmddhhnnsszzz", ".", and `extension`, created as an empty file so that the next call gives
// another name. The file is made with O_EXCL: a name that exists is formed again from the clock.
// Fails, naming the file and the reason, when the folder cannot take a new file.
std::expected<std::string, WriteError> MakeTempFileName(const std::string& workFolder, std::string_view extension);

}  // namespace vantrel
