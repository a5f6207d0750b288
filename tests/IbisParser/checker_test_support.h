#pragma once
// A checker run inside a test: messages go to memory, files go to a private
// folder, and the process-wide state (counts, version level, directory
// prefix, reading state, IBIS records) starts and ends as in a fresh process.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "IbisParser/hdr.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"

class CheckerSession {
public:
    CheckerSession() {
        stream_ = open_memstream(&buffer_, &size_);
        MSG_SetOutput(stream_);
        // Coded style makes the code of every finding visible; no banners.
        ResetState(1);
        // Lower case throughout: opening retries whole paths in lower case.
        folder_ = std::filesystem::temp_directory_path() /
                  ("korvan-checker-test-" + std::to_string(getpid()) + "-" + std::to_string(++serial_));
        std::filesystem::create_directories(folder_);
    }
    ~CheckerSession() {
        IBIS* record = nullptr;
        while (IBIS_Current(&record)) IBIS_Free(record);
        ResetState(0);
        MSG_SetOutput(nullptr);
        std::fclose(stream_);
        std::free(buffer_);
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }
    CheckerSession(const CheckerSession&) = delete;
    CheckerSession& operator=(const CheckerSession&) = delete;

    // Everything printed since the previous call.
    std::string Take() {
        std::fflush(stream_);
        std::string text(buffer_ + taken_, size_ - taken_);
        taken_ = size_;
        return text;
    }

    // Writes `content` to `name` inside the session's folder; returns the path.
    std::string Write(const std::string& name, const std::string& content) const {
        const std::filesystem::path path = folder_ / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }
    std::string Folder() const { return folder_.string() + "/"; }

    // Reads a file through the whole sequence except the summary, leaving the
    // IBIS record in place for inspection; returns the read result.
    int Read(const std::string& path, int kind) {
        IBIS_New();
        return PARSE_ReadFile(path.c_str(), kind);
    }

    static int Errors() { return Count(1); }
    static int Warnings() { return Count(2); }
    static int Bugs() { return Count(0); }

private:
    static void ResetState(int testStyle) {
        MSG_ResetCounts();
        MSG_SetCodedStyle(testStyle);
        MSG_SetCurrentLine(0);
        HDR_SetVersionLevel(0);
        HDR_SetAcceptVersion1(0);
        HDR_SetForceVersion5(0);
        HDR_SetSkipFileNameChecks(0);
        IBIS_SetDirectoryPrefix("");
        PARSE_Reset();
        PARSE_SetQuiet(testStyle);
    }
    static int Count(int which) {
        int counts[3] = {0, 0, 0};
        MSG_GetCounts(&counts[0], &counts[1], &counts[2]);
        return counts[which];
    }

    static inline int serial_ = 0;
    FILE* stream_ = nullptr;
    char* buffer_ = nullptr;
    size_t size_ = 0;
    size_t taken_ = 0;
    std::filesystem::path folder_;
};
