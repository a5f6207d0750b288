// Worker processes, one per file, with results handed on in file order.

#include "tools/ibischeck/check_worker.h"

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <map>

#include "IbisParser/msg.h"
#include "tools/ibischeck/check_file.h"
#include "tools/ibischeck/ibis_version.h"
#include "tools/ibischeck/report_capture.h"
#include "tools/ibischeck/report_parse.h"
#include "tools/ibischeck/result_json.h"

namespace ibischeck {

namespace {

struct Worker {
    size_t index;
    FILE* report;  // temporary files, removed when closed
    FILE* result;
};

// A temporary file in memory, or in the temporary folder where the system
// has no memory files.
FILE* TemporaryFile() {
    const int fd = ::memfd_create("ibischeck", 0);
    if (fd < 0) return std::tmpfile();
    FILE* file = ::fdopen(fd, "w+");
    if (file == nullptr) ::close(fd);
    return file;
}

std::string ReadAll(FILE* file) {
    std::string text;
    std::rewind(file);
    char buffer[65536];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, got);
    return text;
}

void WriteAll(int fd, const std::string& text) {
    for (size_t done = 0; done < text.size();) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;
        done += static_cast<size_t>(written);
    }
}

[[noreturn]] void RunWorker(const std::string& file, FILE* report, FILE* result) {
    // Anything the checker prints past its message stream lands in the
    // report too, in order.
    ::dup2(fileno(report), STDOUT_FILENO);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const FileResult checked = CheckHere(file, STDOUT_FILENO);
    WriteAll(fileno(result), Dump(ToTransfer(checked)));
    ::_exit(0);
}

std::string HowItEnded(int status) {
    if (WIFSIGNALED(status)) return std::string("signal ") + std::to_string(WTERMSIG(status)) + " (" +
                                    strsignal(WTERMSIG(status)) + ")";
    return "exit status " + std::to_string(WEXITSTATUS(status));
}

FileResult Collect(const std::string& file, const Worker& worker, int status) {
    FileResult result;
    result.file = file;
    result.report = ReadAll(worker.report);
    const std::string transfer = ReadAll(worker.result);
    bool read = false;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        try {
            FromTransfer(Json::parse(transfer), &result);
            read = true;
        } catch (const std::exception&) {
        }
    }
    if (!read) {
        result.completed = false;
        result.passed = false;
        std::fprintf(stderr, "ibischeck: the check of %s ended abnormally (%s)\n", file.c_str(),
                     HowItEnded(status).c_str());
    }
    return result;
}

void CloseWorker(const Worker& worker) {
    std::fclose(worker.report);
    std::fclose(worker.result);
}

}  // namespace

FileResult CheckHere(const std::string& file, int reportFd) {
    FileResult result;
    result.file = file;
    const int kind = IbischeckKindOf(file.c_str());
    ReportCapture capture(reportFd, file);
    FILE* previous = MSG_GetOutput();
    if (capture.Stream() != nullptr) MSG_SetOutput(capture.Stream());
    result.passed = IbischeckFile(file.c_str(), kind);
    MSG_SetOutput(previous);

    result.report = capture.Text();
    result.findings = ParseFindings(capture.Text(), capture.Writes());
    MSG_GetCounts(&result.counts.bugs, &result.counts.errors, &result.counts.warnings);
    result.counts.cautions = MSG_GetCautionCount();
    for (const Finding& finding : result.findings)
        if (finding.level == Level::Note) ++result.counts.notes;
    result.ibisVersion = DeclaredIbisVersion(file, kind);
    return result;
}

bool CheckInWorkers(const std::vector<std::string>& files, int jobs,
                    const std::function<void(FileResult&&)>& deliver) {
    std::map<pid_t, Worker> running;
    std::map<size_t, FileResult> finished;  // waiting for an earlier file
    size_t next = 0;
    size_t nextToDeliver = 0;
    bool ok = true;

    while (nextToDeliver < files.size()) {
        while (ok && next < files.size() && running.size() < static_cast<size_t>(jobs)) {
            Worker worker{next, TemporaryFile(), TemporaryFile()};
            if (worker.report == nullptr || worker.result == nullptr) {
                std::fprintf(stderr, "ibischeck: cannot create a temporary file: %s\n", std::strerror(errno));
                if (worker.report != nullptr) std::fclose(worker.report);
                if (worker.result != nullptr) std::fclose(worker.result);
                ok = false;
                break;
            }
            std::fflush(nullptr);  // nothing buffered may be printed twice
            const pid_t pid = ::fork();
            if (pid == 0) RunWorker(files[next], worker.report, worker.result);
            if (pid < 0) {
                CloseWorker(worker);
                if (running.empty()) {
                    std::fprintf(stderr, "ibischeck: cannot start a worker process: %s\n", std::strerror(errno));
                    ok = false;
                }
                break;  // try again once a worker has ended
            }
            running.emplace(pid, worker);
            ++next;
        }
        if (running.empty()) break;

        int status = 0;
        const pid_t pid = ::waitpid(-1, &status, 0);
        if (pid < 0) {
            if (errno == EINTR) continue;
            std::fprintf(stderr, "ibischeck: lost track of the worker processes: %s\n", std::strerror(errno));
            return false;
        }
        const auto found = running.find(pid);
        if (found == running.end()) continue;
        const Worker worker = found->second;
        running.erase(found);
        finished.emplace(worker.index, Collect(files[worker.index], worker, status));
        CloseWorker(worker);

        for (auto ready = finished.find(nextToDeliver); ready != finished.end();
             ready = finished.find(nextToDeliver)) {
            deliver(std::move(ready->second));
            finished.erase(ready);
            ++nextToDeliver;
        }
    }
    return ok && nextToDeliver == files.size();
}

}  // namespace ibischeck
