// The one way the platform layer starts outside programs (a browser, systemctl): a
// request is the program's argument vector, UTF-8.
#pragma once

#include <string>
#include <vector>

namespace platform {

// Starts the program named by argv[0] (searched in PATH) with posix_spawnp and does not
// wait for it; false when it could not be started.
using Launcher = bool (*)(const std::vector<std::string>& argv);

// The launcher of the executable: ZORV_SHELL=record writes each request to standard
// error as one line ("launch: arg1 arg2 ..."), anything else starts the programs.
void InstallPlayerLauncher();
bool Launch(const std::vector<std::string>& argv);

} // namespace platform

namespace platform::test {

// The recording launcher, in force until InstallPlayerLauncher: requests are kept here
// and reported as started.
std::vector<std::vector<std::string>> RecordedLaunches();
void ClearRecordedLaunches();
// Whether recorded requests report success.
void SetRecordedLaunchResult(bool started);

} // namespace platform::test
