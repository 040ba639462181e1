// The sandbox the shell starts when no server is named.
#pragma once

#include <memory>
#include <string>

namespace sandbox::testing { class TSandboxProcess; }

namespace KestrelSql {

// Where kestrel-sandbox is: next to this program, in the build tree's
// sandbox folder beside it, where it was built, or on PATH. Empty when none.
std::string FindSandboxExecutable();

// Starts it with the sample database on a free loopback port; raises with
// the reason when it cannot.
std::unique_ptr<sandbox::testing::TSandboxProcess> StartSandbox();

} // namespace KestrelSql
