// soundfeed against a real sound server: a private server with a null
// output runs in a temporary runtime directory, the test plays a tone into
// it, and reads what soundfeed publishes in the block. Skipped (never
// passed) when the server cannot start here.
#include <pulse/simple.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "band_analysis.h"
#include "capture_device.h"
#include "control/sound_link.h"
#include "publisher.h"

namespace soundfeed {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace off = lumox::share_offset;

constexpr float kToneHz = 1000.0f;
constexpr float kToneAmplitude = 0.5f;

// Starts a program that ends with the test: a test that dies before its
// teardown must not leave a server and a feeder running, holding the test
// runner's output pipe open.
pid_t Spawn(std::vector<const char*> argv) {
  argv.push_back(nullptr);
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid != 0) return pid;
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() == parent) execvp(argv[0], const_cast<char**>(argv.data()));
  _exit(127);
}

// Sends `signal` and waits for the process to end; its wait status.
int Kill(pid_t& pid, int signal) {
  int status = 0;
  if (pid <= 0) return status;
  kill(pid, signal);
  waitpid(pid, &status, 0);
  pid = -1;
  return status;
}

// A process asked to end ended cleanly: exit status 0, so no crash and no
// sanitizer report on its way out.
bool ExitedCleanly(int status) { return WIFEXITED(status) && WEXITSTATUS(status) == 0; }

// Polls until `condition` holds; false when it did not within `limit`.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const Clock::time_point start = Clock::now();
  while (Clock::now() - start < limit) {
    if (condition()) return true;
    std::this_thread::sleep_for(2ms);
  }
  return false;
}

// Plays a steady sine on both channels into the default output, in small
// blocks, until stopped or the server goes away.
class TonePlayer {
 public:
  ~TonePlayer() { Stop(); }
  bool Start() {
    const pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, 48000, 2};
    pa_buffer_attr attributes{};
    attributes.maxlength = attributes.prebuf = attributes.minreq = static_cast<uint32_t>(-1);
    attributes.tlength = static_cast<uint32_t>(pa_usec_to_bytes(20000, &spec));
    stream_ = pa_simple_new(nullptr, "tone test", PA_STREAM_PLAYBACK, nullptr, "tone", &spec,
                            nullptr, &attributes, nullptr);
    if (stream_ == nullptr) return false;
    stop_ = false;
    thread_ = std::thread([this] {
      std::vector<float> block(2 * 480);
      int64_t position = 0;
      while (!stop_) {
        for (size_t i = 0; i < block.size(); i += 2, ++position)
          block[i] = block[i + 1] =
              kToneAmplitude * static_cast<float>(std::sin(2.0 * M_PI * kToneHz * position / 48000));
        if (pa_simple_write(stream_, block.data(), block.size() * sizeof(float), nullptr) < 0) break;
      }
    });
    return true;
  }
  // Ends the stream at once; what it still had buffered is dropped.
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (stream_ != nullptr) pa_simple_free(stream_);
    stream_ = nullptr;
  }

 private:
  pa_simple* stream_ = nullptr;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class LiveCaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/lumox-sound-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
    setenv("PULSE_RUNTIME_PATH", (dir_ + "/pulse").c_str(), 1);
    setenv("HOME", dir_.c_str(), 1);
    unsetenv("PULSE_SERVER");
    share_ = lumox::OpenSoundShare();
    ASSERT_NE(share_, nullptr);
  }
  void TearDown() override {
    tone_.Stop();
    Kill(feed_, SIGTERM);
    Kill(server_, SIGKILL);
    if (share_ != nullptr) lumox::CloseSoundShare(share_);
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  bool StartServer() {
    server_ = Spawn({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                     "--disallow-exit", "--use-pid-file=no", "--log-level=error", "-L",
                     "module-native-protocol-unix", "-L", "module-null-sink sink_name=testsink"});
    return server_ > 0 && WaitUntil(&CaptureServerReachable, 5000ms);
  }

  float Band(int band) const { return share_->LeftBand(band) / kFullScale; }
  bool ToneHeard() const { return Band(BandOfFrequency(kToneHz)) > 0.6f * kToneAmplitude; }
  bool Silent() const {
    float loudest = std::max(share_->F32(off::LeftLevel), share_->F32(off::RightLevel));
    for (int band = 0; band < kBands; ++band)
      loudest = std::max({loudest, share_->LeftBand(band), share_->RightBand(band)});
    return loudest < 0.01f * kFullScale;
  }

  std::string dir_;
  lumox::SoundShare* share_ = nullptr;
  pid_t server_ = -1;
  pid_t feed_ = -1;
  TonePlayer tone_;
};

TEST_F(LiveCaptureTest, FollowsTheToneFallsSilentAndResumesAfterARestart) {
  if (!StartServer()) GTEST_SKIP() << "a private sound server could not start (see pulseaudio)";
  feed_ = Spawn({SOUNDFEED_PATH, "--live", "--quiet"});
  ASSERT_GT(feed_, 0);
  ASSERT_TRUE(WaitUntil([&] { return share_->U32(off::PlayerActive) != 0; }, 3000ms));

  // The tone's band rises and the others stay low.
  ASSERT_TRUE(tone_.Start());
  ASSERT_TRUE(WaitUntil([&] { return ToneHeard(); }, 3000ms));
  std::this_thread::sleep_for(200ms);
  const int toneBand = BandOfFrequency(kToneHz);
  EXPECT_NEAR(Band(toneBand), kToneAmplitude, 0.1f);
  for (int band = 0; band < kBands; ++band) {
    if (band == toneBand) continue;
    EXPECT_LT(Band(band), 0.05f * Band(toneBand)) << "band " << band;
  }

  // The stream stops, then the server is killed mid-tone: silence each
  // time, the player still active.
  tone_.Stop();
  EXPECT_TRUE(WaitUntil([&] { return Silent(); }, 2000ms)) << "after the stream stopped";
  ASSERT_TRUE(tone_.Start());
  ASSERT_TRUE(WaitUntil([&] { return ToneHeard(); }, 3000ms));
  Kill(server_, SIGKILL);
  EXPECT_TRUE(WaitUntil([&] { return Silent(); }, 2000ms)) << "after the server died";
  tone_.Stop();
  EXPECT_NE(share_->U32(off::PlayerActive), 0u);

  // A new server: capture resumes by itself.
  ASSERT_TRUE(StartServer());
  ASSERT_TRUE(tone_.Start());
  EXPECT_TRUE(WaitUntil([&] { return ToneHeard(); }, 8000ms));

  const int status = Kill(feed_, SIGTERM);
  EXPECT_TRUE(ExitedCleanly(status)) << "wait status " << status;
}

// A server that stops answering but keeps its connection open (a stopped
// process): soundfeed still quits when asked, without waiting for it.
TEST_F(LiveCaptureTest, QuitsPromptlyWhileTheServerIsStopped) {
  if (!StartServer()) GTEST_SKIP() << "a private sound server could not start (see pulseaudio)";
  feed_ = Spawn({SOUNDFEED_PATH, "--live", "--quiet"});
  ASSERT_GT(feed_, 0);
  // The tone heard: the recording runs. It stops before the server does
  // (its own writes would wait for the server too).
  ASSERT_TRUE(tone_.Start());
  ASSERT_TRUE(WaitUntil([&] { return ToneHeard(); }, 3000ms));
  tone_.Stop();
  kill(server_, SIGSTOP);
  EXPECT_TRUE(WaitUntil([&] { return Silent(); }, 2000ms));
  kill(feed_, SIGTERM);
  int status = 0;
  const bool ended =
      WaitUntil([&] { return waitpid(feed_, &status, WNOHANG) == feed_; }, 5000ms);
  kill(server_, SIGCONT);
  ASSERT_TRUE(ended) << "soundfeed waited for the stopped server";
  feed_ = -1;
  EXPECT_TRUE(ExitedCleanly(status)) << "wait status " << status;
}

}  // namespace
}  // namespace soundfeed
