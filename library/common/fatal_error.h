#pragma once
// The one fatal exception type. Thrown where the program must end
// ("... Postmoor will terminate."); main shows the message and exits with 3.
#include <stdexcept>
#include <string>

namespace pm {

class FatalError : public std::runtime_error {
public:
    FatalError(std::string caption, std::string text, std::string haltText = {})
        : std::runtime_error(text), caption_(std::move(caption)), text_(std::move(text)),
          haltText_(std::move(haltText)) {}

    const std::string& caption() const { return caption_; }
    const std::string& text() const { return text_; }
    // The short line printed after the message box when the program halts.
    const std::string& haltText() const { return haltText_; }

private:
    std::string caption_;
    std::string text_;
    std::string haltText_;
};

// Throws FatalError. Library code never calls exit().
[[noreturn]] inline void fatal(std::string caption, std::string text, std::string haltText = {}) {
    throw FatalError(std::move(caption), std::move(text), std::move(haltText));
}

}  // namespace pm
