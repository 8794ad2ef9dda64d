// The old ".cfg" image reader: a file shorter than the 352-byte image is
// refused and leaves both blocks as they were; otherwise the blocks are the
// first 128 and the next 224 bytes.
#include <algorithm>

#include "files/config_file.h"
#include "fuzz_check.h"

using namespace zelk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = q7mfuzz::scratchDir() + "/image.cfg";
    q7mfuzz::writeWhole(path, std::string_view(reinterpret_cast<const char*>(data), size));
    SystemBlock system;
    AudioBlock audio;
    system.bytes.fill(0xEE);
    audio.bytes.fill(0xDD);
    const bool ok = ReadOldConfigFile(path, system, audio);
    if (size < 352) {
        FUZZ_CHECK(!ok, "a %zu-byte file was read", size);
        FUZZ_CHECK(std::all_of(system.bytes.begin(), system.bytes.end(), [](auto b) { return b == 0xEE; }) &&
                       std::all_of(audio.bytes.begin(), audio.bytes.end(), [](auto b) { return b == 0xDD; }),
                   "a refused file changed the blocks");
        return 0;
    }
    FUZZ_CHECK(ok, "a %zu-byte file was refused", size);
    FUZZ_CHECK(std::equal(system.bytes.begin(), system.bytes.end(), data), "system block");
    FUZZ_CHECK(std::equal(audio.bytes.begin(), audio.bytes.end(), data + 128), "audio block");
    return 0;
}
