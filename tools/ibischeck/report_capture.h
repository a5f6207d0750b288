#pragma once
// A stream for the checker's messages that keeps what it is given, passes it
// on to a file descriptor at once, and remembers for every write which file
// the checker was reading at that moment.
//
// The stream is unbuffered, so each print of the checker arrives as a write
// of its own while the checker's state still describes it: a message head
// ("ERROR", "E0906") always starts a write, and a line inside a message text
// never does. That is what lets the report be split into findings without
// guessing, and lets a finding in a package or .ami file read from within
// the checked file carry that file's name.

#include <sys/types.h>

#include <cstdio>
#include <string>
#include <vector>

namespace ibischeck {

class ReportCapture {
public:
    struct Write {
        size_t offset;         // where the write starts in text()
        std::string location;  // the file being read, as a path
    };

    // `forwardFd` receives every byte as it is written (-1: none);
    // `checkedFile` is the location while no file is being read.
    ReportCapture(int forwardFd, std::string checkedFile);
    ~ReportCapture();
    ReportCapture(const ReportCapture&) = delete;
    ReportCapture& operator=(const ReportCapture&) = delete;

    FILE* Stream() { return stream_; }
    const std::string& Text() const { return text_; }
    const std::vector<Write>& Writes() const { return writes_; }

private:
    static ssize_t OnWrite(void* cookie, const char* data, size_t size);
    std::string CurrentLocation() const;

    int forwardFd_;
    std::string checkedFile_;
    std::string text_;
    std::vector<Write> writes_;
    FILE* stream_ = nullptr;
};

}  // namespace ibischeck
