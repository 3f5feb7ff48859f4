// Runs the built `kzm` tool and collects what it printed.
#pragma once

#include <string>

namespace kzm::test {

struct ToolRun {
    int Status = -1;
    std::string Out;  // standard output
    std::string Err;  // standard error
};

// arguments are passed to a shell: quote paths that may hold spaces.
ToolRun RunKzm(const std::string& arguments);

}  // namespace kzm::test
