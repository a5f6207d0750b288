#include "tools/amisim/models/isolation/model_output.h"

#include <algorithm>

#include "tools/amisim/models/isolation/fault_text.h"

namespace amisim::isolation {

void ModelOutput::Add(const char* data, std::size_t size) {
    const std::size_t room = kKeptBytes - std::min(kKeptBytes, kept_.size());
    const std::size_t taken = std::min(room, size);
    kept_.append(data, taken);
    dropped_ += size - taken;
}

std::string ModelOutput::Report(const std::string& model) const {
    std::string text = "amisim: " + model + " printed:\n";
    std::size_t start = 0;
    while (start < kept_.size()) {
        std::size_t end = kept_.find('\n', start);
        if (end == std::string::npos) end = kept_.size();
        text += "  | " + kept_.substr(start, end - start) + "\n";
        start = end + 1;
    }
    if (dropped_ > 0)
        text += "amisim: " + Grouped(dropped_) + " more bytes from " + model + " not kept (the first " +
                Grouped(kKeptBytes) + " are shown)\n";
    return text;
}

}  // namespace amisim::isolation
