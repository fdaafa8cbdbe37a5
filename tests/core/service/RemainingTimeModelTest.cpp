#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "core/service/RemainingTimeModel.h"
#include "core/service/TransferProgress.h"

namespace vantrel {
namespace {

// A home link: the sessions share the upstream's rate while they send bytes; besides its bytes
// every file costs round trips on its own session (PASV, STOR and the data connection before the
// bytes, the final reply and the checksum after them), during which the other sessions may send.
struct Link {
    double bytesPerSecond;
    double secondsPerFile;
    int sessions;
};

using Package = std::vector<std::int64_t>;  // the files in their order on one session
const Package kPhoto24 = {9'000'000, 300'000, 15'000, 300};
const Package kPhoto12 = {4'500'000, 250'000, 12'000, 300};

// What the panel sees: a verification, or a tick of its 500 ms timer.
struct Moment {
    double seconds;
    bool verified;
    std::int64_t bytesVerified;
    int filesVerified;
    double bytesSent;  // the run bar, with the bytes of the files under way
    std::int64_t fileBytes = 0;  // the file verified, and how long it took
    double fileSeconds = 0;
};

// Runs the packages on the link; each session takes the next package of the queue when it is
// free. Returns the verifications and the ticks in time order.
std::vector<Moment> SimulateRun(const Link& link, const std::vector<Package>& queue) {
    constexpr double kTick = 0.5, kBeforeBytes = 0.6, kEpsilon = 1e-9;
    enum class Phase { Idle, Before, Sending, After };
    struct Session {
        Phase phase = Phase::Idle;
        std::size_t package = 0, file = 0;
        double left = 0;  // seconds of round trips, or bytes
        double fileStart = 0;
    };
    std::vector<Session> sessions(link.sessions);
    std::vector<Moment> moments;
    std::size_t nextPackage = 0;
    double now = 0, nextTick = kTick, bytesSent = 0;
    std::int64_t bytesVerified = 0;
    int filesVerified = 0;
    for (;;) {
        for (auto& session : sessions)
            if (session.phase == Phase::Idle && nextPackage < queue.size())
                session = {Phase::Before, nextPackage++, 0, kBeforeBytes * link.secondsPerFile, now};
        const int sending = static_cast<int>(std::count_if(
            sessions.begin(), sessions.end(), [](const Session& s) { return s.phase == Phase::Sending; }));
        const double share = sending > 0 ? link.bytesPerSecond / sending : 0;
        double step = nextTick - now;
        bool busy = false;
        for (const auto& session : sessions) {
            if (session.phase == Phase::Idle) continue;
            busy = true;
            step = std::min(step, session.phase == Phase::Sending ? session.left / share : session.left);
        }
        if (!busy) return moments;
        now += step;
        for (auto& session : sessions) {
            if (session.phase == Phase::Idle) continue;
            const double done = session.phase == Phase::Sending ? share * step : step;
            session.left -= done;
            if (session.phase == Phase::Sending) bytesSent += done;
            if (session.left > kEpsilon) continue;
            const Package& package = queue[session.package];
            if (session.phase == Phase::Before) {
                session.phase = Phase::Sending, session.left = static_cast<double>(package[session.file]);
            } else if (session.phase == Phase::Sending) {
                session.phase = Phase::After, session.left = (1 - kBeforeBytes) * link.secondsPerFile;
            } else {
                bytesVerified += package[session.file], ++filesVerified;
                moments.push_back({now, true, bytesVerified, filesVerified, bytesSent, package[session.file],
                                   now - session.fileStart});
                session.fileStart = now;
                if (++session.file < package.size())
                    session.phase = Phase::Before, session.left = kBeforeBytes * link.secondsPerFile;
                else
                    session.phase = Phase::Idle;
            }
        }
        if (now >= nextTick - kEpsilon) {
            moments.push_back({now, false, bytesVerified, filesVerified, bytesSent});
            nextTick += kTick;
        }
    }
}

// Six photos of one camera, then twelve of another: the run's mix of bytes and files changes.
std::vector<Package> LargeThenSmall() {
    std::vector<Package> queue(6, kPhoto24);
    queue.insert(queue.end(), 12, kPhoto12);
    return queue;
}

std::vector<Package> Alternating(int pairs) {
    std::vector<Package> queue;
    for (int i = 0; i < pairs; ++i) queue.push_back(kPhoto24), queue.push_back(kPhoto12);
    return queue;
}

struct Errors {
    double modelAtHalf = 0, proportionalAtHalf = 0;
    // Over the ticks from 45 % to 80 % of the bytes: the worst error, and the worst change from
    // one tick to the next besides the tick's own half second, both as parts of the time left.
    double modelWorst = 0, modelWorstJump = 0;
};

// Feeds the simulated run to the model as the panel would, and measures both estimates against
// the time the run then really took, at every tick.
Errors MeasureEstimates(const Link& link, const std::vector<Package>& queue) {
    std::int64_t totalBytes = 0;
    int totalFiles = 0;
    for (const auto& package : queue)
        for (auto bytes : package) totalBytes += bytes, ++totalFiles;
    const auto moments = SimulateRun(link, queue);
    const double end =
        std::find_if(moments.rbegin(), moments.rend(), [](const Moment& m) { return m.verified; })->seconds;

    RemainingTimeModel model;
    Errors errors;
    bool halfSeen = false;
    std::optional<double> modelBefore;
    for (const auto& moment : moments) {
        // As the run does: the bar's bytes at every verification and tick, the time of small files.
        const auto sent = static_cast<std::int64_t>(moment.bytesSent);
        model.Progress(moment.seconds, sent, moment.filesVerified);
        if (moment.verified) {
            if (moment.fileBytes < RemainingTimeModel::kSmallFile) model.SmallFileTook(moment.fileSeconds);
            continue;
        }
        const double fraction = moment.bytesSent / static_cast<double>(totalBytes);
        if (fraction < 0.45 || fraction > 0.8) continue;
        const double actual = end - moment.seconds;
        const auto estimate = model.SecondsLeft(moment.seconds, totalBytes - sent, totalFiles - moment.filesVerified);
        // The panel's proportional estimate: the run bar's position and whole seconds.
        const auto proportional = ProportionalSecondsLeft(static_cast<std::int64_t>(moment.bytesSent), totalBytes,
                                                          std::floor(moment.seconds));
        EXPECT_TRUE(proportional.has_value());
        const double proportionalSeconds = proportional.value_or(0);
        const double modelError = estimate ? std::abs(*estimate - actual) / actual : 1;
        errors.modelWorst = std::max(errors.modelWorst, modelError);
        if (modelBefore && estimate)
            errors.modelWorstJump = std::max(errors.modelWorstJump, std::abs(*modelBefore - 0.5 - *estimate) / actual);
        modelBefore = estimate;
        if (halfSeen || fraction < 0.5) continue;
        halfSeen = true;
        errors.modelAtHalf = modelError;
        errors.proportionalAtHalf = std::abs(proportionalSeconds - actual) / actual;
    }
    return errors;
}

// A run of `files` files of `bytes` bytes each, `secondsPerFile` apart, seen by a new model.
RemainingTimeModel SameSizeRun(int files, std::int64_t bytes, double secondsPerFile) {
    RemainingTimeModel model;
    for (int i = 1; i <= files; ++i) model.Progress(i * secondsPerFile, i * bytes, i);
    return model;
}

TEST(RemainingTimeModel, StaysWithinAFifthOfTheRemainingTimeOnHomeLinks) {
    struct Case {
        const char* name;
        Link link;
        std::vector<Package> queue;
        bool proportionalFails;  // the proportional estimate is off by more than a fifth at half
    };
    const Case cases[] = {
        {"5 MB/s, 0.25 s a file, one session", {5e6, 0.25, 1}, Alternating(6), false},
        {"5 MB/s, 0.25 s a file, two sessions", {5e6, 0.25, 2}, Alternating(6), false},
        {"2 MB/s, 0.5 s a file, one session", {2e6, 0.5, 1}, Alternating(6), false},
        {"2 MB/s, 0.5 s a file, two sessions", {2e6, 0.5, 2}, Alternating(6), false},
        {"large photos, then small ones, one session", {2e6, 0.5, 1}, LargeThenSmall(), true},
        {"four photos, one session", {5e6, 0.25, 1}, Alternating(2), false},
        {"four photos, one session, slow", {2e6, 0.5, 1}, Alternating(2), false},
        {"four photos, two sessions", {5e6, 0.25, 2}, Alternating(2), false},
        {"four photos, two sessions, slow", {2e6, 0.5, 2}, Alternating(2), false},
        {"eight photos, two sessions", {5e6, 0.25, 2}, Alternating(4), false},
        {"large photos, then small ones, two sessions", {5e6, 0.25, 2}, LargeThenSmall(), false},
    };
    for (const auto& c : cases) {
        const Errors errors = MeasureEstimates(c.link, c.queue);
        SCOPED_TRACE(c.name);
        EXPECT_LE(errors.modelAtHalf, 0.2);
        EXPECT_LE(errors.modelWorst, 0.2);
        // Between two ticks the estimate moves by the tick's half second and little else: a
        // verification changes the fitted costs, not the whole run's time.
        EXPECT_LE(errors.modelWorstJump, 0.15);
        if (c.proportionalFails) {
            EXPECT_GT(errors.proportionalAtHalf, 0.2);
        }
    }
}

TEST(RemainingTimeModel, SaysNothingBeforeTheFirstReport) {
    RemainingTimeModel model;
    EXPECT_FALSE(model.SecondsLeft(30, 1'000'000, 4));
    model.Progress(2, 1'000'000, 1);
    // One file: the bytes alone, as the proportional estimate.
    ASSERT_TRUE(model.SecondsLeft(2, 3'000'000, 3));
    EXPECT_NEAR(*model.SecondsLeft(2, 3'000'000, 3), 6, 1e-9);
}

TEST(RemainingTimeModel, FallsBackToTheBytesWhenFilesAreAllOfOneSize) {
    // Bytes and files in proportion: the fit cannot tell them apart, the bytes alone stand.
    const RemainingTimeModel model = SameSizeRun(10, 2'000'000, 0.5);
    const auto costs = model.FittedCosts();
    ASSERT_TRUE(costs);
    EXPECT_NEAR(costs->secondsPerByte * 1e6, 0.25, 1e-9);
    EXPECT_EQ(costs->secondsPerFile, 0);
    // Larger files ahead are taken to cost in proportion to their bytes.
    const auto left = model.SecondsLeft(5, 20'000'000, 2);
    ASSERT_TRUE(left);
    EXPECT_NEAR(*left, 5, 1e-9);
}

TEST(RemainingTimeModel, NeverGivesANegativeCostNorTime) {
    struct Observation {
        double seconds;
        std::int64_t bytes;
        int files;
    };
    struct Case {
        const char* name;
        std::vector<Observation> observations;
    };
    const Case cases[] = {
        // More bytes took less time per byte than none: a free byte would fit them best.
        {"small files slower than large ones",
         {{1, 100, 1}, {2, 200, 2}, {3, 300, 3}, {3.1, 9'000'000, 4}, {4, 9'000'100, 5}}},
        // Many files at once, then one big file slowly: a free file would fit them best.
        {"files that cost nothing",
         {{5, 5'000'000, 1}, {5, 5'000'100, 20}, {10, 10'000'000, 21}, {10, 10'000'100, 40}}},
        {"a clock that went back", {{10, 1'000'000, 1}, {5, 2'000'000, 2}, {1, 3'000'000, 3}, {0.5, 3'000'300, 4}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RemainingTimeModel model;
        for (const auto& o : c.observations) model.Progress(o.seconds, o.bytes, o.files);
        const auto costs = model.FittedCosts();
        ASSERT_TRUE(costs);
        EXPECT_GE(costs->secondsPerByte, 0);
        EXPECT_GE(costs->secondsPerFile, 0);
        EXPECT_GE(costs->startSeconds, 0);
        for (double at : {0.0, 10.0, 1e6}) {
            const auto left = model.SecondsLeft(at, 5'000'000, 8);
            ASSERT_TRUE(left);
            EXPECT_GE(*left, 0);
        }
    }
    // Observations that make no sense are left out.
    RemainingTimeModel model;
    model.Progress(std::numeric_limits<double>::quiet_NaN(), 1000, 1);
    model.Progress(-1, 1000, 1);
    EXPECT_FALSE(model.SecondsLeft(1, 1000, 1));
    EXPECT_EQ(SameSizeRun(3, 1000, 1).SecondsLeft(3, 0, 0), 0);
}

}  // namespace
}  // namespace vantrel
