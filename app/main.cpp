// The test bed program: takes no arguments and reads no configuration.
#include <memory>

#include "app/Globals.h"
#include "app/MainLoop.h"
#include "platform/System.h"

int main()
{
    kzm::StartPlatform();
    kzm::World = std::make_shared<kzm::TWorldMap>();
    kzm::MainLoop();
    kzm::EndProgram();
}
