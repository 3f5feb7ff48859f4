// The map reader on arbitrary bytes: it must return a result, never crash,
// never read outside its data and never allocate beyond its budget.
#include "core/Print.h"
#include "fuzz/FuzzSupport.h"
#include "mapdata/TKZMReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const kzm::PrintLineCapture quiet(kzm::PrintLineCapture::Drop);
    static const bool bounded = [] {
        // Phantom records are bounded the same way at any allowance; a small
        // one keeps each execution short. At 1 MiB a fuzzed length could make
        // every execution build strings of 350,000 characters and thousands
        // of zero tiles, and the runs crawled at about 400 a second.
        kzm::TKZMReader::PhantomAllowance = 1 << 16;
        return true;
    }();
    (void)bounded;
    const std::string path = kzm::fuzz::ScratchFile(data, size, ".kzm");
    kzm::Ref<kzm::TRespReadKZM> result = kzm::TKZMReader::Read(kzm::FromUtf8(path));
    if (!result->GetErrored() && !result->GetLevel())
        __builtin_trap();  // a successful read always gives a level
    return 0;
}
