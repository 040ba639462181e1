// Runs the built kestrel-sql with arguments and standard input, and collects
// its exit status and both outputs.
#pragma once

#include <string>
#include <vector>

namespace ShellTests {

struct TShellRun {
    int Status = -1;  // exit status; 128 + signal when killed
    std::string Out;
    std::string Err;
};

TShellRun RunShell(const std::vector<std::string>& Args, const std::string& Input = {});

// The output with every "(batch took ... ms)" line replaced by "(batch took T)".
std::string MaskTiming(const std::string& Out);

} // namespace ShellTests
