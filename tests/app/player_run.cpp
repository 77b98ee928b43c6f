#include "app/player_run.h"

#include <cstdlib>

namespace app_test {

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

bool PackFolder(const test_support::TempDir& folder, const std::string& source,
                const std::string& output) {
    std::string command = ShellQuote(ZORV_PACK_PATH) + " --player " + ShellQuote(ZORV_PLAYER_PATH) +
                          " " + ShellQuote(folder.Linux(source)) + " " +
                          ShellQuote(folder.Linux(output));
    return std::system(command.c_str()) == 0;
}

PlayerOutcome RunPlayer(const test_support::TempDir& folder, const std::string& program,
                        const std::vector<std::string>& arguments, const std::string& environment) {
    std::string command = "cd " + ShellQuote(folder.LinuxPath()) +
                          " && env -u ZORV_PROJECT -u ZORV_SHELL ZORV_DISPLAY=headless";
    if (!environment.empty()) command += " " + environment;
    command += " " + ShellQuote(program);
    for (const std::string& argument : arguments)
        command += " " + ShellQuote(argument);
    command += " 2>" + ShellQuote(folder.Linux("stderr.txt")) + "; echo $? >" +
               ShellQuote(folder.Linux("status.txt"));
    PlayerOutcome outcome;
    if (std::system(command.c_str()) != 0) return outcome;
    outcome.exitCode = std::stoi(folder.ReadFile("status.txt"));
    outcome.errors = folder.ReadFile("stderr.txt");
    return outcome;
}

} // namespace app_test
