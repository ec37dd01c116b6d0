// Every test program gets a shared sound block of its own: before main()
// it names the block after the process ($LUMOX_SOUND_BLOCK), so the tests
// never open the block of a saver or sound player running on the same
// machine, and two test processes never meet in one block. Programs the
// tests start inherit the name.
#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace {

struct OwnSoundBlock {
  OwnSoundBlock() {
    const std::string name = "LumoxTest-" + std::to_string(getpid());
#ifdef _WIN32
    _putenv_s("LUMOX_SOUND_BLOCK", name.c_str());
#else
    setenv("LUMOX_SOUND_BLOCK", name.c_str(), 1);
#endif
  }
} ownSoundBlock;

}  // namespace
