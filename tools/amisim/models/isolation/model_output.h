#pragma once
// What a model printed on its standard output and error, kept to a bound
// so that a model printing megabytes costs a counter, not memory, and
// shown under the model's name apart from amisim's own report.

#include <cstddef>
#include <string>

namespace amisim::isolation {

class ModelOutput {
public:
    static constexpr std::size_t kKeptBytes = std::size_t{64} << 10;

    void Add(const char* data, std::size_t size);
    const std::string& kept() const noexcept { return kept_; }
    std::size_t dropped() const noexcept { return dropped_; }
    bool empty() const noexcept { return kept_.empty() && dropped_ == 0; }

    // The text for standard error: a heading naming `model` ("the Tx
    // model"), each line indented, and the count of bytes not kept.
    std::string Report(const std::string& model) const;

private:
    std::string kept_;
    std::size_t dropped_ = 0;
};

}  // namespace amisim::isolation
