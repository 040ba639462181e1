// An error reported to the client as an ASE server message: the statement that
// raised it fails with the message's number, severity and text.
#pragma once

#include <stdexcept>
#include <string>

namespace sandbox {

class SqlError : public std::runtime_error {
public:
    SqlError(int number, int severity, int state, std::string text)
        : std::runtime_error(text), Number(number), Severity(severity), State(state),
          Text(std::move(text)) {}

    int Number;
    int Severity;
    int State;
    std::string Text;
    // Set when the batch cannot go on (ASE compiles a batch first, so its syntax
    // errors stop the whole batch).
    bool AbortsBatch = false;
};

}  // namespace sandbox
