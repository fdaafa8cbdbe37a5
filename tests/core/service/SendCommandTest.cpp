// The command-line tool's "send" against the stand-in service, with a prepared work folder.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>
#include <thread>

#include "core/TempFolder.h"
#include "core/app/WorkFolderLock.h"
#include "core/base/AtomicFile.h"
#include "core/imaging/ImageFileOps.h"
#include "core/support/CliRunner.h"
#include "core/support/ConnectProxy.h"
#include "core/support/StandinService.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

using test::CliPath;
using test::CliResult;
using test::RunShell;

class SendCommand : public ::testing::Test {
protected:
    void SetUp() override {
        cli_ = CliPath();
        ASSERT_TRUE(fs::exists(cli_)) << cli_ << " is missing: the tests of the tool need it built beside them";
        ASSERT_TRUE(service_.ok()) << service_.error();
        fs::create_directories(work_);
    }

    // Runs "vantrel-cli send" with the data folder and the stand-in, the password on stdin.
    // Lost connections are waited out for a second at most, unless `reconnect` says otherwise.
    // `timeouts`, when given, is VANTREL_NETWORK_TIMEOUTS.
    CliResult Send(const std::string& password, std::string settingsBase = {}, const std::string& reconnect = "0.2;1",
                   const std::string& timeouts = {}, const std::string& options = {}) {
        if (settingsBase.empty()) settingsBase = service_.settingsBase();
        const std::string timeoutsSetting = timeouts.empty() ? "" : "VANTREL_NETWORK_TIMEOUTS='" + timeouts + "' ";
        return RunShell("printf '%s\\n' '" + password + "' | env " + timeoutsSetting + "XDG_DATA_HOME='" + data_.Path() +
                        "' VANTREL_RECONNECT='" + reconnect + "' VANTREL_SETTINGS_BASE='" + settingsBase + "' '" +
                        cli_ + "' send --email demo@vantrel.test --password-stdin " + options + " 2>&1");
    }

    // "vantrel-cli send" as a child process that the test can signal and measure.
    struct Child {
        pid_t pid = -1;
        std::string outputPath;
    };
    struct Ended {
        int status = -1;      // the exit status; -1 when the child did not exit by itself
        std::string output;   // standard output and error
        long maxResidentKb = 0;
        std::chrono::steady_clock::time_point at;
    };
    Child Start(const std::vector<std::string>& extraEnvironment = {}, rlim_t fileSizeLimit = RLIM_INFINITY) {
        std::vector<std::string> environment = {"XDG_DATA_HOME=" + data_.Path(),
                                                "VANTREL_SETTINGS_BASE=" + service_.settingsBase(), "PATH=/usr/bin:/bin",
                                                "VANTREL_RECONNECT=0.2;1"};
        environment.insert(environment.end(), extraEnvironment.begin(), extraEnvironment.end());
        // A sanitizer build's settings (its suppressions) reach the child too.
        for (const char* name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS", "TSAN_OPTIONS"})
            if (const char* value = std::getenv(name)) environment.push_back(std::string(name) + "=" + value);
        std::vector<char*> envp;
        for (auto& entry : environment) envp.push_back(entry.data());
        envp.push_back(nullptr);
        const char* argv[] = {"vantrel-cli", "send", "--email", "demo@vantrel.test", "--password-stdin", nullptr};
        Child child;
        child.outputPath = data_.Path() + "cli-output.txt";
        const int output = ::open(child.outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        int input[2];
        if (output < 0 || ::pipe2(input, O_CLOEXEC) != 0) return child;
        child.pid = ::fork();
        if (child.pid == 0) {
            ::dup2(input[0], 0);
            ::dup2(output, 1);
            ::dup2(output, 2);
            if (fileSizeLimit != RLIM_INFINITY) {
                const rlimit limit{fileSizeLimit, fileSizeLimit};
                ::setrlimit(RLIMIT_FSIZE, &limit);
                ::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails with EFBIG instead
            }
            ::execve(cli_.c_str(), const_cast<char* const*>(argv), envp.data());
            ::_exit(127);
        }
        [[maybe_unused]] auto written = ::write(input[1], "demo\n", 5);
        ::close(input[0]);
        ::close(input[1]);
        ::close(output);
        return child;
    }
    Ended Wait(const Child& child) {
        Ended ended;
        int status = 0;
        rusage usage{};
        if (child.pid > 0 && ::wait4(child.pid, &status, 0, &usage) == child.pid) {
            ended.at = std::chrono::steady_clock::now();
            ended.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            ended.maxResidentKb = usage.ru_maxrss;
        }
        ended.output = ReadWholeFile(child.outputPath).value_or("");
        return ended;
    }
    // Waits until the stand-in has caught a client in a stall; false after 20 s.
    bool WaitForStall(int before) {
        for (int i = 0; i < 1000; ++i) {
            if (service_.Stalls() > before) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    // A noisy working copy in the work folder, queued through the transfer list file.
    std::string WorkingCopy(const std::string& name, int width, int height) {
        Bitmap32 picture(width, height);
        std::mt19937 random(static_cast<unsigned>(std::hash<std::string>{}(name)));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) picture.SetPixel(x, y, 0xFF000000u | (random() & 0xFFFFFFu));
        const std::string path = work_ + name;
        EXPECT_TRUE(SaveEditedJpeg(ws_, picture, path, 90).has_value());
        return path;
    }
    void WriteList(const std::vector<std::string>& paths) {
        std::string text = "0\r\n[Album]\tSummer\r\n";
        for (const auto& path : paths) text += path + "\t" + path + "\r\n";
        ASSERT_TRUE(WriteFileAtomically(work_ + "Images.lst", text));
    }
    // Runs another vantrel-cli command; its standard error is part of the output.
    CliResult Cli(const std::string& arguments) { return RunShell("'" + cli_ + "' " + arguments + " 2>&1"); }
    // The upload folders on the server, each with its file count.
    std::vector<std::size_t> UploadFolders() const {
        std::vector<std::size_t> counts;
        for (const auto& folder : fs::directory_iterator(service_.ftpFolder()))
            if (folder.is_directory())
                counts.push_back(static_cast<std::size_t>(std::distance(fs::directory_iterator(folder.path()), {})));
        return counts;
    }
    std::string List() const {
        auto text = ReadWholeFile(work_ + "Images.lst");
        return text ? *text : std::string();
    }

    std::string cli_;
    test::StandinService service_;
    test::TempFolder data_;
    std::string work_ = data_.Path() + "SendPhoto/";
    ImageWorkspace ws_;
};

TEST_F(SendCommand, ExitStatusTellsWhatHappened) {
    const std::string a = WorkingCopy("a.jpg", 200, 160);
    const std::string b = WorkingCopy("b.jpg", 180, 200);
    const std::string tiny = WorkingCopy("tiny.jpg", 16, 16);
    WriteList({a, b, tiny});
    const std::string listed = List();

    // Wrong password: nothing is sent, the list stays as it was.
    CliResult refused = Send("wrong");
    EXPECT_EQ(refused.status, 2) << refused.output;
    EXPECT_NE(refused.output.find("Login failed"), std::string::npos) << refused.output;
    EXPECT_EQ(List(), listed);
    EXPECT_TRUE(fs::exists(a) && fs::exists(b) && fs::exists(tiny));

    // The tiny photo is refused and stays queued: status 1.
    CliResult partly = Send("demo");
    EXPECT_EQ(partly.status, 1) << partly.output;
    for (const char* line : {"Summer\ttiny.jpg\trefused (size)\n", "Summer\tb.jpg\tsent\n", "Summer\ta.jpg\tsent\n"})
        EXPECT_NE(partly.output.find(line), std::string::npos) << line << partly.output;
    EXPECT_NE(partly.output.find("tiny.jpg ("), std::string::npos) << partly.output;
    EXPECT_NE(partly.output.find("smaller than the 20 KB the service accepts)"), std::string::npos) << partly.output;
    EXPECT_EQ(List(), "0\r\n[Album]\tSummer\r\n" + tiny + "\t" + tiny + "\r\n");
    EXPECT_FALSE(fs::exists(a) || fs::exists(b));
    EXPECT_TRUE(fs::exists(tiny));
    // The service's parameters are cached in the settings file named after the program.
    auto settings = ReadWholeFile(work_ + "vantrel.ini");
    ASSERT_TRUE(settings);
    EXPECT_NE(settings->find("ftp_host=127.0.0.1:" + std::to_string(service_.ftpPort())), std::string::npos);

    // Every queued photo sent: status 0, an empty list.
    const std::string c = WorkingCopy("c.jpg", 200, 170);
    WriteList({c});
    CliResult all = Send("demo");
    EXPECT_EQ(all.status, 0) << all.output;
    EXPECT_NE(all.output.find("Summer\tc.jpg\tsent\n"), std::string::npos) << all.output;
    EXPECT_NE(all.output.find("All 1 photo sent"), std::string::npos) << all.output;
    EXPECT_EQ(List(), "0\r\n[Album]\tSummer\r\n");
    EXPECT_FALSE(fs::exists(c));

    // A photo whose files the server never confirms stays queued: status 1.
    const std::string d = WorkingCopy("d.jpg", 200, 150);
    WriteList({d});
    ASSERT_TRUE(service_.SetFault("checksum-wrong", true));
    CliResult unconfirmed = Send("demo");
    service_.SetFault("checksum-wrong", false);
    EXPECT_EQ(unconfirmed.status, 1) << unconfirmed.output;
    EXPECT_NE(unconfirmed.output.find("Summer\td.jpg\tnot sent\n"), std::string::npos) << unconfirmed.output;
    EXPECT_NE(unconfirmed.output.find("after five attempts:\n     - d.jpg\n"), std::string::npos) << unconfirmed.output;
    EXPECT_EQ(List(), "0\r\n[Album]\tSummer\r\n" + d + "\t" + d + "\r\n");
    EXPECT_TRUE(fs::exists(d));

    // Neither the settings server nor the cached XML-RPC address answers: status 2, nothing lost.
    WriteList({tiny});
    ASSERT_TRUE(WriteFileAtomically(work_ + "vantrel.ini", "[Params]\r\nscript_url=http://127.0.0.1:9/xmlrpc\r\n"));
    CliResult unreachable = Send("demo", "http://127.0.0.1:9/common/");
    EXPECT_EQ(unreachable.status, 2) << unreachable.output;
    EXPECT_NE(unreachable.output.find("Connection lost, trying again in 1 s"), std::string::npos) << unreachable.output;
    EXPECT_NE(unreachable.output.find("connection to the server failed"), std::string::npos) << unreachable.output;
    EXPECT_EQ(List(), "0\r\n[Album]\tSummer\r\n" + tiny + "\t" + tiny + "\r\n");
}

// Without a settings file, the locale's language speaks (French in Belgium has no file of its
// own), and the settings file it leaves keeps that language for the window.
TEST_F(SendCommand, SpeaksTheLocalesLanguageFromTheFirstRun) {
    WriteList({WorkingCopy("a.jpg", 200, 160)});
    fs::remove(work_ + "vantrel.ini");
    const CliResult refused = RunShell("printf 'wrong\\n' | env LC_ALL= LC_MESSAGES= LANG=fr_BE.UTF-8 XDG_DATA_HOME='" +
                                       data_.Path() + "' VANTREL_SETTINGS_BASE='" + service_.settingsBase() + "' '" +
                                       cli_ + "' send --email demo@vantrel.test --password-stdin 2>&1");
    EXPECT_EQ(refused.status, 2) << refused.output;
    EXPECT_NE(refused.output.find("L'identification a échoué"), std::string::npos) << refused.output;
    const auto settings = ReadWholeFile(work_ + "vantrel.ini");
    ASSERT_TRUE(settings);
    EXPECT_NE(settings->find("FileName=FR.lng"), std::string::npos) << *settings;
}

TEST_F(SendCommand, OptionsAreCheckedAndTheUploadLimitOfTheSettingsOrTheOptionHolds) {
    const std::string a = WorkingCopy("a.jpg", 400, 300);
    WriteList({a});
    const std::string listed = List();  // a value that an option does not take: nothing is sent
    const struct { const char* options; const char* says; } wrong[] = {
        {"--limit-rate fast", "--limit-rate KB"}, {"--connections 0", "from 1 to 4, not \"0\""},
        {"--connections=5", "from 1 to 4, not \"5\""}, {"--connections two", "from 1 to 4, not \"two\""}};
    for (const auto& c : wrong) {
        const CliResult refused = Send("demo", {}, "0.2;1", {}, c.options);
        EXPECT_EQ(refused.status, 2) << refused.output;
        EXPECT_NE(refused.output.find(c.says), std::string::npos) << refused.output;
    }
    EXPECT_EQ(List(), listed);

    // A limit of the settings file that the package needs a few seconds for: the run takes at
    // least most of the time its bytes need. A number of sessions in range is taken.
    const auto limit = std::max<std::uintmax_t>(fs::file_size(a) / 400, 1);
    ASSERT_TRUE(WriteFileAtomically(work_ + "vantrel.ini", "[Transfer]\r\nLimitKBps=" + std::to_string(limit) + "\r\n"));
    const auto start = std::chrono::steady_clock::now();
    CliResult limited = Send("demo", {}, "0.2;60", {}, "--connections=3");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_EQ(limited.status, 0) << limited.output;
    std::uintmax_t stored = 0;
    for (const auto& entry : fs::recursive_directory_iterator(service_.ftpFolder()))
        if (entry.is_regular_file()) stored += entry.file_size();
    EXPECT_GE(seconds, 0.7 * static_cast<double>(stored) / static_cast<double>(limit * 1000)) << stored << " bytes";
    EXPECT_NE(ReadWholeFile(work_ + "vantrel.ini").value_or("").find("LimitKBps=" + std::to_string(limit)), std::string::npos);
}

// A run that cannot begin or goes wrong says why, beneath "The connection to the server failed".
TEST_F(SendCommand, FailuresNameTheirCause) {
    const std::string a = WorkingCopy("a.jpg", 200, 160);
    const std::string http = service_.httpBase();
    const struct Case {
        const char* what;
        std::string settingsBase;
        const char* fault;
        std::string says;
    } cases[] = {
        {"settings server refusing", "http://127.0.0.1:9/common/", nullptr,
         "could not be downloaded: http://127.0.0.1:9/common/uploader_settings.plist: Failed to connect"},
        {"settings missing", http + "/test/status/404/", nullptr, "uploader_settings.plist: HTTP 404)"},
        {"settings redirected", http + "/test/status/302/", nullptr, "HTTP 302, a redirection to http://"},
        {"XML-RPC answer that is no document", "", "rpc-html-200", "(the service's answer could not be read ("},
        {"XML-RPC answer without end", "", "endless-rpc", "(the service's answer could not be read (the answer is larger than 16 MB))"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(work_ + "vantrel.ini");  // a first run: no service address known
        WriteList({a});
        const std::string listed = List();
        if (c.fault) {
            ASSERT_TRUE(service_.SetFault(c.fault, true));
        }
        const CliResult ended = Send("demo", c.settingsBase);
        if (c.fault) service_.SetFault(c.fault, false);
        EXPECT_EQ(ended.status, 2) << ended.output;
        EXPECT_NE(ended.output.find("connection to the server failed"), std::string::npos) << ended.output;
        EXPECT_NE(ended.output.find(c.says), std::string::npos) << ended.output;
        EXPECT_EQ(ended.output.find("URL using bad"), std::string::npos) << ended.output;
        EXPECT_EQ(ended.output.find("Login failed"), std::string::npos) << ended.output;
        EXPECT_EQ(ended.output.find("stopped before the end"), std::string::npos) << ended.output;
        EXPECT_EQ(List(), listed);
    }
}

// A server that breaks the protocol ends the run at once: no wait for a network that never left.
TEST_F(SendCommand, AnswerThatBreaksTheProtocolEndsTheRunAtOnce) {
    const std::string a = WorkingCopy("a.jpg", 200, 160);
    WriteList({a});
    const std::string listed = List();
    ASSERT_TRUE(service_.SetFault("long-ftp-greeting", true));
    const CliResult ended = Send("demo", {}, "5;600");
    service_.SetFault("long-ftp-greeting", false);
    EXPECT_EQ(ended.status, 2) << ended.output;
    EXPECT_NE(ended.output.find("(the server's answer could not be understood (a reply line longer than 8192 bytes))"),
              std::string::npos)
        << ended.output;
    EXPECT_EQ(ended.output.find("Connection lost"), std::string::npos) << ended.output;
    EXPECT_EQ(List(), listed);
}

// A server that takes every store and confirms none: the run gives up once no file was verified
// for the outage limit, whatever the number of photos, and names every photo it leaves.
TEST_F(SendCommand, DeadServerIsGivenUpWhenNothingIsVerifiedForTheOutageLimit) {
    const std::string a = WorkingCopy("a.jpg", 200, 160);
    const std::string b = WorkingCopy("b.jpg", 200, 150);
    WriteList({a, b});
    const std::string listed = List();
    ASSERT_TRUE(service_.SetFault("silent-stor-reply", true));
    const CliResult ended = Send("demo", {}, "0.2;4", "5,1");
    service_.SetFault("silent-stor-reply", false);
    EXPECT_EQ(ended.status, 2) << ended.output;
    EXPECT_NE(ended.output.find("(the server confirmed no file for 4 s: the run was given up)"), std::string::npos)
        << ended.output;
    const auto report = ended.output.find("Not sent because");
    ASSERT_NE(report, std::string::npos) << ended.output;
    EXPECT_NE(ended.output.find("- a.jpg", report), std::string::npos) << ended.output;
    EXPECT_NE(ended.output.find("- b.jpg", report), std::string::npos) << ended.output;
    EXPECT_EQ(List(), listed);
    EXPECT_TRUE(fs::exists(a));
    EXPECT_TRUE(fs::exists(b));
}

TEST_F(SendCommand, OneWriterPerWorkFolder) {
    const std::string a = WorkingCopy("a.jpg", 200, 160);
    WriteList({a});
    const std::string listed = List();

    // The window holds the work folder: send refuses at once with its own status, touching nothing.
    {
        auto window = WorkFolderLock::TryAcquire(work_);
        ASSERT_TRUE(window.has_value());
        CliResult busy = Send("demo");
        EXPECT_EQ(busy.status, 3) << busy.output;
        EXPECT_NE(busy.output.find("another Vantrel program"), std::string::npos) << busy.output;
        EXPECT_EQ(List(), listed);
        EXPECT_TRUE(fs::exists(a));
    }

    // Two runs started together on one queued photo: it is sent once. The other run refuses
    // (status 3), or finds nothing left when it starts after the first has ended (status 0).
    CliResult results[2];
    std::thread other([&] { results[1] = Send("demo"); });
    results[0] = Send("demo");
    other.join();
    for (const CliResult& result : results)
        EXPECT_TRUE(result.status == 0 || result.status == 3) << result.output;
    EXPECT_EQ(UploadFolders(), std::vector<std::size_t>{4});
    EXPECT_EQ(List(), "0\r\n[Album]\tSummer\r\n");
}

TEST_F(SendCommand, NoEmptyCopiesNoOrphansNoLeftovers) {
    const std::string a = WorkingCopy("a.jpg", 200, 160);
    // A photo line before the first album line goes to today's album; a photo named outside the
    // work folder is restored as a copy that the saved list names even when the run is refused.
    const std::string own = data_.Path() + "own.jpg";
    fs::rename(WorkingCopy("own.jpg", 180, 150), own);
    ASSERT_TRUE(WriteFileAtomically(work_ + "Images.lst", "0\r\n" + a + "\t" + a + "\r\n[Album]\tSummer\r\n" + own +
                                                               "\t" + own + "\r\n"));
    // What killed runs and saves left behind.
    for (const char* name : {"20261210141503123.jpg", "20261210141503124.inf", "Images.lst.a1B2c3", "Temp.xml"})
        ASSERT_TRUE(WriteFileAtomically(work_ + name, "left over"));

    // The service gives no size for the scaled copy: the run ends before any file is sent.
    ASSERT_TRUE(service_.SetValue("size_scaled", "0"));
    CliResult refused = Send("demo");
    EXPECT_EQ(refused.status, 2) << refused.output;
    EXPECT_NE(refused.output.find("did not give the sizes"), std::string::npos) << refused.output;
    EXPECT_TRUE(UploadFolders().empty());
    const std::string copy = work_ + "own.jpg";
    const std::string listed = List();
    EXPECT_NE(listed.find("\r\n" + a + "\t" + a + "\r\n"), std::string::npos) << listed;
    EXPECT_NE(listed.find("\t" + copy + "\r\n"), std::string::npos) << listed;
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(work_)) names.insert(entry.path().filename().string());
    // The service's answers (the settings document holds the FTP login) do not outlive the run.
    EXPECT_EQ(names, (std::set<std::string>{"Images.lst", "a.jpg", "own.jpg", "vantrel.ini", "vantrel.lock"}));
    EXPECT_TRUE(fs::exists(own));

    // With the sizes back both photos go, each with four files.
    ASSERT_TRUE(service_.SetValue("size_scaled", "1024"));
    CliResult sent = Send("demo");
    EXPECT_EQ(sent.status, 0) << sent.output;
    EXPECT_EQ(UploadFolders(), std::vector<std::size_t>{8});
    EXPECT_FALSE(fs::exists(work_ + "uploader_settings.plist"));
    EXPECT_FALSE(fs::exists(work_ + "Temp.xml"));
}

// The service's parameters of an earlier run, copy sizes included, carry a run whose settings
// server cannot be reached.
TEST_F(SendCommand, CachedServiceValuesCarryARunWhenTheSettingsServerIsDown) {
    WriteList({WorkingCopy("a.jpg", 200, 160)});
    CliResult first = Send("demo");
    ASSERT_EQ(first.status, 0) << first.output;

    WriteList({WorkingCopy("b.jpg", 200, 160)});
    CliResult cached = Send("demo", "http://127.0.0.1:9/");
    EXPECT_EQ(cached.status, 0) << cached.output;
    EXPECT_EQ(UploadFolders(), (std::vector<std::size_t>{4, 4}));
}

TEST_F(SendCommand, Md5OfAnUnreadableFileFailsAsMd5sumDoes) {
    const std::string a = WorkingCopy("a.jpg", 20, 20);
    CliResult mixed = Cli("md5 '" + a + "' '" + work_ + "missing.jpg' '" + work_ + "'");
    EXPECT_EQ(mixed.status, 1) << mixed.output;
    EXPECT_NE(mixed.output.find("  " + a + "\n"), std::string::npos) << mixed.output;
    EXPECT_NE(mixed.output.find("missing.jpg: No such file or directory"), std::string::npos) << mixed.output;
    EXPECT_NE(mixed.output.find("Is a directory"), std::string::npos) << mixed.output;
    EXPECT_EQ(Cli("md5 '" + a + "'").status, 0);
}

// SIGTERM and Ctrl-C end every stall of the service within a second; nothing queued is lost.
TEST_F(SendCommand, SignalsEndEveryStallWithinASecond) {
    const std::string a = WorkingCopy("a.jpg", 800, 600);  // larger than a data connection's buffers
    WriteList({a});
    const std::string listed = List();
    const struct Case {
        const char* fault;
        int signal;
    } cases[] = {{"silent-settings", SIGTERM},     {"silent-rpc", SIGINT},       {"silent-ftp-greeting", SIGTERM},
                 {"silent-stor-reply", SIGINT},    {"drip-stor-reply", SIGTERM}, {"stall-stor-data", SIGINT},
                 {"drip-settings", SIGINT}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        ASSERT_TRUE(service_.SetFault(c.fault, true));
        const int before = service_.Stalls();
        const Child child = Start();
        const bool stalled = WaitForStall(before);
        const auto signalled = std::chrono::steady_clock::now();
        ::kill(child.pid, c.signal);
        const Ended ended = Wait(child);
        service_.SetFault(c.fault, false);
        ASSERT_TRUE(stalled) << ended.output;
        EXPECT_LT(std::chrono::duration<double>(ended.at - signalled).count(), 1.0) << ended.output;
        EXPECT_TRUE(ended.status == 1 || ended.status == 2) << ended.status << ended.output;
        EXPECT_EQ(List(), listed);
        EXPECT_TRUE(fs::exists(a));
    }
}

// Answers without end are cut at the cap: the tool stays small and says what was wrong.
TEST_F(SendCommand, EndlessAnswersKeepMemoryBounded) {
    const std::string a = WorkingCopy("a.jpg", 200, 160);
    WriteList({a});
    for (const char* fault : {"endless-settings", "endless-rpc"}) {
        SCOPED_TRACE(fault);
        ASSERT_TRUE(service_.SetFault(fault, true));
        const Ended ended = Wait(Start());
        service_.SetFault(fault, false);
        EXPECT_EQ(ended.status, 2) << ended.output;
        EXPECT_NE(ended.output.find("larger than 16 MB"), std::string::npos) << ended.output;
        EXPECT_LT(ended.maxResidentKb, 200 * 1024);
        EXPECT_TRUE(fs::exists(a));
    }
}

// A file the run cannot write is named with the system's reason, not taken for a network fault.
TEST_F(SendCommand, UnwritableFilesAreNamedWithTheReason) {
    const std::string a = WorkingCopy("a.jpg", 800, 600);
    WriteList({a});
    const std::string listed = List();
    const struct Case {
        const char* what;
        const char* file;  // a file the message names
        const char* reason;
        bool fullDisk;          // Temp.xml leads to a device that is always full
        rlim_t fileSizeLimit;   // or files may not grow beyond this
    } cases[] = {{"answer file on a full disk", "Temp.xml", "No space left on device", true, RLIM_INFINITY},
                 {"scaled copy beyond the size limit", ".jpg", "File too large", false, 64 * 1024}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(work_ + "Temp.xml");
        if (c.fullDisk) fs::create_symlink("/dev/full", work_ + "Temp.xml");
        const Ended ended = Wait(Start({}, c.fileSizeLimit));
        fs::remove(work_ + "Temp.xml");
        EXPECT_EQ(ended.status, 2) << ended.output;
        const auto named = ended.output.find(std::string(c.file) + " could not be written:\n" + c.reason);
        EXPECT_NE(named, std::string::npos) << ended.output;
        EXPECT_EQ(ended.output.find("connection to the server failed"), std::string::npos) << ended.output;
        EXPECT_EQ(List(), listed);
        EXPECT_TRUE(fs::exists(a));
    }
}

// A send that loses the network waits for it, saying so, and then sends everything.
TEST_F(SendCommand, WaitsForTheNetworkAndSendsEverything) {
    // A first send caches the service's parameters, as a run of the window would.
    WriteList({WorkingCopy("a.jpg", 200, 160)});
    ASSERT_EQ(Send("demo").status, 0);
    const std::string b = WorkingCopy("b.jpg", 200, 170);
    const std::string c = WorkingCopy("c.jpg", 210, 170);
    WriteList({b, c});
    // The network goes at the third store (the first photo's thumbnail), for three seconds.
    ASSERT_TRUE(service_.StartOutage(3, "reset", 3));
    CliResult result = Send("demo", {}, "0.5,1;60");
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("Connection lost, trying again in 1 s"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("All 2 photos sent"), std::string::npos) << result.output;
    EXPECT_EQ(List(), "0\r\n[Album]\tSummer\r\n");
    EXPECT_GT(service_.ConnectionsCut(), 0);
}

// With the proxy of the options unticked, the proxy variables of the environment are followed as
// curl follows them: the service's http addresses through http_proxy, the FTP connections through
// ftp_proxy (tunnelled); a host that no_proxy names is reached directly.
TEST_F(SendCommand, FollowsTheEnvironmentsProxy) {
    const std::string log = data_.Path() + "proxy.log";
    test::ConnectProxy proxy(log);
    ASSERT_GT(proxy.port(), 0);
    const std::string address = "http://127.0.0.1:" + std::to_string(proxy.port());
    const std::string http = "127.0.0.1:" + std::to_string(service_.httpPort());
    const std::string ftp = "127.0.0.1:" + std::to_string(service_.ftpPort());
    const struct {
        const char* what;
        std::vector<std::string> environment;
        bool throughTheProxy;
    } cases[] = {
        {"the variables", {"http_proxy=" + address, "ftp_proxy=" + address}, true},
        {"all_proxy for both", {"all_proxy=" + address}, true},
        {"no_proxy names the service's host", {"http_proxy=" + address, "ftp_proxy=" + address, "no_proxy=localhost, 127.0.0.1"}, false},
        {"no_proxy covers every host", {"all_proxy=" + address, "NO_PROXY=*"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteList({WorkingCopy("a.jpg", 200, 160)});
        std::filesystem::remove(log);
        const Ended ended = Wait(Start(c.environment));
        EXPECT_EQ(ended.status, 0) << ended.output;
        std::map<std::string, int> targets = test::ProxyTargets(log);
        if (!c.throughTheProxy) {
            EXPECT_TRUE(targets.empty());
            continue;
        }
        EXPECT_GE(targets[http], 3);  // settings, session, login...
        EXPECT_GE(targets[ftp], 1);   // a control connection for each FTP session
        int data = 0;
        for (const auto& [target, count] : targets)
            if (target != http && target != ftp) data += count;
        EXPECT_EQ(data, 4);  // the four files of the photo
    }
}

}  // namespace
}  // namespace vantrel
