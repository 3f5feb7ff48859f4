#include "tests/tools/RunTool.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/support/TestFiles.h"

namespace kzm::test {

namespace {

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

ToolRun RunKzm(const std::string& arguments)
{
    TempDir dir;
    const std::string out = dir.File("out"), err = dir.File("err");
    const std::string command = std::string(KZM_BIN_DIR) + "/kzm " + arguments + " >'" + out + "' 2>'" + err + "'";
    const int raw = std::system(command.c_str());
    ToolRun run;
    run.Status = raw == -1 ? -1 : (raw >> 8) & 0xFF;  // the shell's exit status
    run.Out = Slurp(out);
    run.Err = Slurp(err);
    return run;
}

}  // namespace kzm::test
