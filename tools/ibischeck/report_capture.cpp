// The capturing message stream (see report_capture.h).

#include "tools/ibischeck/report_capture.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "IbisParser/ibis.h"
#include "IbisParser/parse.h"

namespace ibischeck {

ReportCapture::ReportCapture(int forwardFd, std::string checkedFile)
    : forwardFd_(forwardFd), checkedFile_(std::move(checkedFile)) {
    cookie_io_functions_t functions{};
    functions.write = &ReportCapture::OnWrite;
    stream_ = fopencookie(this, "w", functions);
    if (stream_ != nullptr) std::setvbuf(stream_, nullptr, _IONBF, 0);
}

ReportCapture::~ReportCapture() {
    if (stream_ != nullptr) std::fclose(stream_);
}

std::string ReportCapture::CurrentLocation() const {
    const char* name = PARSE_FileName();
    if (name == nullptr || *name == '\0') return checkedFile_;
    std::string path = IBIS_DirectoryPrefix();
    path += name;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

ssize_t ReportCapture::OnWrite(void* cookie, const char* data, size_t size) {
    auto* self = static_cast<ReportCapture*>(cookie);
    self->writes_.push_back({self->text_.size(), self->CurrentLocation()});
    self->text_.append(data, size);
    for (size_t done = 0; self->forwardFd_ >= 0 && done < size;) {
        const ssize_t written = ::write(self->forwardFd_, data + done, size - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) break;  // the copy in text_ is still complete
        done += static_cast<size_t>(written);
    }
    return static_cast<ssize_t>(size);
}

}  // namespace ibischeck
