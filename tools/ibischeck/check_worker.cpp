// Worker processes, one per file, with results handed on in file order.

#include "tools/ibischeck/check_worker.h"

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <map>

#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "tools/ibischeck/check_file.h"
#include "tools/ibischeck/ibis_version.h"
#include "tools/ibischeck/worker_transfer.h"

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
    // The report goes to its file as it is printed, unbuffered, so that a
    // check that dies leaves all it said; anything the checker prints past
    // its message stream lands there too, in order. Each finding goes to
    // the result file the moment it is issued, for the same reason.
    ::dup2(fileno(report), STDOUT_FILENO);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    MSG_SetOutput(stdout);
    const int resultFd = fileno(result);
    const FileResult checked =
        CheckHere(file, [resultFd](const Finding& finding) { WriteAll(resultFd, TransferLineOf(finding)); });
    WriteAll(resultFd, TransferEndLine(checked));
    ::_exit(0);
}

std::string HowItEnded(int status) {
    if (WIFSIGNALED(status)) return std::string("signal ") + std::to_string(WTERMSIG(status)) + " (" +
                                    strsignal(WTERMSIG(status)) + ")";
    return "exit status " + std::to_string(WEXITSTATUS(status));
}

// Counts of the findings a check that did not end got to report.
Counts CountsOf(const std::vector<Finding>& findings) {
    Counts counts;
    for (const Finding& finding : findings) {
        switch (finding.level) {
            case Level::ProgramBug: ++counts.bugs; break;
            case Level::Error: ++counts.errors; break;
            case Level::Warning: ++counts.warnings; break;
            case Level::Caution: ++counts.cautions; break;
            case Level::Note: ++counts.notes; break;
        }
    }
    return counts;
}

FileResult Collect(const std::string& file, const Worker& worker, int status) {
    FileResult result;
    result.file = file;
    result.report = ReadAll(worker.report);
    const bool ended = ReadTransfer(ReadAll(worker.result), &result);
    if (!ended || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        // What it found before it ended still counts, and the file fails.
        result.completed = false;
        result.passed = false;
        result.counts = CountsOf(result.findings);
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

FileResult CheckHere(const std::string& file, const std::function<void(const Finding&)>& onFinding) {
    FileResult result;
    result.file = file;
    const int kind = IbischeckKindOf(file.c_str());
    // A finding belongs to the file being read when it is issued: a package
    // or .ami file read from within the checked one has findings of its own.
    MSG_SetFileSource([&file]() {
        const char* name = PARSE_FileName();
        if (name == nullptr || *name == '\0') return file;
        std::string path = IBIS_DirectoryPrefix();
        path += name;
        std::replace(path.begin(), path.end(), '\\', '/');
        return path;
    });
    MSG_SetRecordSink([&](const MSG_Record& record) {
        const Finding finding = FindingOf(record);
        if (finding.level == Level::Note) ++result.counts.notes;
        onFinding(finding);
    });
    result.passed = IbischeckFile(file.c_str(), kind);
    MSG_SetRecordSink(nullptr);
    MSG_SetFileSource(nullptr);

    MSG_GetCounts(&result.counts.bugs, &result.counts.errors, &result.counts.warnings);
    result.counts.cautions = MSG_GetCautionCount();
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
