// Every way a write of the tool can fail or be stopped, each onto a target that exists: the
// tool says why on one line and exits with its code, the target keeps its bytes and no
// temporary file is left beside it. A full disk is a file-size limit on the tool's process; a
// signal is sent once the tool's temporary file appears, that is while it writes rows.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "cli/ToolSession.h"
#include "support/TiffFileBuilder.h"
#include "support/Transcript.h"

namespace {

struct Failure {
  const char* command;  ///< TMP: the session's folder; the target is the path named "target"
  const char* target;
  long fileSizeLimit;  ///< bytes the tool may write to one file; 0: no limit
  int signal;          ///< sent while the tool writes rows; 0: none
  int exitCode;
  const char* message;  ///< what the tool prints on stderr
};

const char* const kSeparateStripLost =
    "orvex: cannot read scanlines 0 to 49 of directory 0 of DATA/pillow/"
    "separate_planar_extra_samples.tiff: [TiffCommonLineReader::readOriginScanline_"
    "fromSeparateStripData] TIFFReadEncodedStrip failed! (libtiff: TIFFFillStrip: Invalid strip "
    "byte count 0, strip 1)\n";

const Failure kFailures[] = {
    {"copy DATA/pillow/separate_planar_extra_samples.tiff TMP/target.tif", "target.tif", 0, 0, 1,
     kSeparateStripLost},
    {"preview DATA/pillow/separate_planar_extra_samples.tiff TMP/target.png", "target.png", 0, 0, 1,
     kSeparateStripLost},
    {"merge TMP/target.tif DATA/pillow/separate_planar_extra_samples.tiff", "target.tif", 0, 0, 1,
     kSeparateStripLost},
    {"merge TMP/target.tif TMP/large.tif --spot S=TMP/small.tif", "target.tif", 0, 0, 1,
     "orvex: plane TMP/small.tif: 25 x 25 pixels, the base has 2500 x 2500\n"},
    {"copy TMP/large.tif TMP/target.tif", "target.tif", 65536, 0, 1,
     "orvex: cannot write row 50 of TMP/target.tif: [TiffWriter::writeScanline] TIFFWriteScanline "
     "failed! (libtiff: TIFFAppendToStrip: Write error at scanline 50): File too large\n"},
    {"preview TMP/large.tif TMP/target.png", "target.png", 65536, 0, 1,
     "orvex: cannot write TMP/target.png: File too large\n"},
    {"split TMP/large.tif TMP/planes --png", "planes/R.png", 65536, 0, 1,
     "orvex: cannot write TMP/planes/R.png: File too large\n"},
    {"copy TMP/large.tif TMP/target.tif", "target.tif", 0, SIGTERM, 143,
     "orvex: stopped by SIGTERM; the file being written was abandoned\n"},
    {"copy TMP/large.tif TMP/target.tif --planar separate", "target.tif", 0, SIGINT, 130,
     "orvex: stopped by SIGINT; the file being written was abandoned\n"},
    {"merge TMP/target.tif TMP/large.tif --alpha A=TMP/large-grey.tif", "target.tif", 0, SIGINT,
     130, "orvex: stopped by SIGINT; the file being written was abandoned\n"},
    {"preview TMP/large.tif TMP/target.png", "target.png", 0, SIGTERM, 143,
     "orvex: stopped by SIGTERM; the file being written was abandoned\n"},
    {"split TMP/large.tif TMP/planes", "planes/R.tif", 0, SIGTERM, 143,
     "orvex: stopped by SIGTERM; the file being written was abandoned\n"},
    {"join TMP/target.tif --grey TMP/large-grey.tif --alpha A=TMP/small.tif", "target.tif", 0, 0, 1,
     "orvex: plane TMP/small.tif: 25 x 25 pixels, the first plane has 2500 x 2500\n"},
    {"join TMP/target.tif --rgb TMP/large-grey.tif TMP/large-grey.tif TMP/large-grey.tif",
     "target.tif", 0, SIGTERM, 143,
     "orvex: stopped by SIGTERM; the file being written was abandoned\n"},
};

// File-size limits and POSIX signals, which Windows does not have.
#if !defined(_WIN32)
std::string contentsOf(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool holdsTemporaryFile(const std::filesystem::path& folder) {
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() == ".orvex-tmp") {
      return true;
    }
  }
  return false;
}

// The tool's process, its stderr into `err` and its log into `folder`, under the failure's
// file-size limit; a signal ignored before exec stays ignored, so the limit makes writes fail
// instead of killing it.
pid_t startTool(const std::vector<std::string>& arguments, const Failure& failure,
                const std::string& folder, const std::string& err) {
  const pid_t pid = fork();
  if (pid != 0) {
    return pid;
  }
  setenv("TMPDIR", folder.c_str(), 1);
  const int errFile = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  dup2(errFile, 2);
  const int nothing = open("/dev/null", O_RDWR);
  dup2(nothing, 0);
  dup2(nothing, 1);
  if (failure.fileSizeLimit != 0) {
    const rlimit limit{static_cast<rlim_t>(failure.fileSizeLimit),
                       static_cast<rlim_t>(failure.fileSizeLimit)};
    setrlimit(RLIMIT_FSIZE, &limit);
    signal(SIGXFSZ, SIG_IGN);
  }
  std::vector<char*> argv{const_cast<char*>(ORVEX_CLI_BINARY)};
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  execv(argv[0], argv.data());
  _exit(127);
}

int exitCodeOf(pid_t pid, const Failure& failure, const std::filesystem::path& folder) {
  int status = 0;
  while (failure.signal != 0 && !holdsTemporaryFile(folder) &&
         waitpid(pid, &status, WNOHANG) == 0) {
    std::this_thread::yield();
  }
  if (failure.signal != 0) {
    kill(pid, failure.signal);
  }
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

void PrintTo(const Failure& failure, std::ostream* out) {
  *out << failure.command;
}

class SafeWriting : public ::testing::TestWithParam<Failure> {};

TEST_P(SafeWriting, LeavesTheTargetAsItWasAndNoTemporaryFile) {
#if defined(_WIN32)
  GTEST_SKIP() << "file-size limits and POSIX signals";
#else
  const Failure& failure = GetParam();
  orvex_cli_test::ToolSession session;
  for (const auto& [name, size, samples] :
       {std::tuple{"large.tif", 2500, 3}, {"large-grey.tif", 2500, 1}, {"small.tif", 25, 1}}) {
    orvex_test::TiffSetup image;
    image.width = image.height = static_cast<uint32_t>(size);
    image.bitsPerSample = 8;
    image.samplesPerPixel = static_cast<uint16_t>(samples);
    image.photometric = samples == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    orvex_test::writeTiff(session.file(name), image, orvex_test::patternImage(image));
  }
  const std::filesystem::path target = session.folder() / failure.target;
  std::filesystem::create_directories(target.parent_path());
  std::ofstream(target, std::ios::binary) << "the target as it was\n";
  const std::string err = session.file("stderr.txt");
  const pid_t pid =
      startTool(session.arguments(failure.command), failure, session.folder().u8string(), err);
  EXPECT_EQ(exitCodeOf(pid, failure, target.parent_path()), failure.exitCode);
  EXPECT_EQ(orvex_test::replaced(contentsOf(err), {{session.folder().u8string(), "TMP"},
                                                   {ORVEX_TEST_DATA_DIR, "DATA"}}),
            failure.message);
  EXPECT_EQ(contentsOf(target), "the target as it was\n");
  EXPECT_FALSE(holdsTemporaryFile(target.parent_path()));
#endif
}

INSTANTIATE_TEST_SUITE_P(Tool, SafeWriting, ::testing::ValuesIn(kFailures), [](const auto& test) {
  const std::string command = test.param.command;
  return command.substr(0, command.find(' ')) + std::to_string(test.index);
});

}  // namespace
