// A bare FreeTDS CT-Library client for the sandbox benchmark: the least a
// program reading rows through the CT-Library does. Kept free of the CT types
// so that the benchmark's other file can include the binding's headers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace sandboxbench {

class TBareClient {
public:
    TBareClient();
    ~TBareClient();
    TBareClient(const TBareClient&) = delete;
    TBareClient& operator=(const TBareClient&) = delete;

    // Logs in as sa; false with a reason on stderr.
    bool Connect(const std::string& address, const std::string& password);
    // Runs a batch and drops its rows; false when a command failed.
    bool Execute(const std::string& sql);
    // Runs a select: each column bound like the components bind it (text and
    // image read with ct_get_data), every row copied into one reused block.
    // Returns the rows read, -1 on a failure.
    int64_t ReadAll(const std::string& sql);

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};

} // namespace sandboxbench
