#pragma once
// Redirects checker messages into memory for the duration of a test and
// restores the default state (plain style, no suppression, zero counts).

#include <cstdio>
#include <cstdlib>
#include <string>

#include "IbisParser/msg.h"

class MessageCapture {
public:
    MessageCapture() {
        stream_ = open_memstream(&buffer_, &size_);
        MSG_SetOutput(stream_);
        ResetMessageState();
    }
    ~MessageCapture() {
        MSG_SetOutput(nullptr);
        ResetMessageState();
        std::fclose(stream_);
        std::free(buffer_);
    }
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    // Everything written since the previous call.
    std::string Take() {
        std::fflush(stream_);
        std::string text(buffer_ + taken_, size_ - taken_);
        taken_ = size_;
        return text;
    }

    static int Errors() { return Count(1); }
    static int Warnings() { return Count(2); }
    static int Bugs() { return Count(0); }

private:
    static void ResetMessageState() {
        MSG_ResetCounts();
        MSG_SetCodedStyle(0);
        MSG_SuppressBugs(0);
        MSG_SuppressErrors(0);
        MSG_SuppressWarnings(0);
        MSG_SetCurrentLine(0);
    }
    static int Count(int which) {
        int counts[3] = {0, 0, 0};
        MSG_GetCounts(&counts[0], &counts[1], &counts[2]);
        return counts[which];
    }

    FILE* stream_ = nullptr;
    char* buffer_ = nullptr;
    size_t size_ = 0;
    size_t taken_ = 0;
};
