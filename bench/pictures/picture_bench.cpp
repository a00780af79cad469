// picture_bench: times the program's picture decoders (ui/pictures) on files
// given on the command line. Not a test; bench/pictures/run.sh builds it in a
// release tree and sets it against ImageMagick on the same files.
//
//   picture_bench [-t SECONDS] [-n DECODES] [-r ROUNDS] [-w OUT] FILE...
//
// For each file: one decode to check it, then ROUNDS rounds; a round decodes
// the file again and again until it has spent SECONDS of CPU time (default
// 0.5) and done at least DECODES decodes (default 3). The fastest round
// counts: the machine is shared, and a slow round says more about the
// neighbours than about the code. Times are the process's CPU time (the
// decoders use one thread) and, beside it, wall time.
//
// One line per file on stdout, tab-separated:
//   FILE  WIDTH  HEIGHT  FRAMES  DECODES_PER_ROUND  CPU_US_PER_DECODE  WALL_US_PER_DECODE
// -w OUT writes every frame of every file, as decoded, to OUT: 8-bit R, G, B
// per pixel, rows top-down, frames one after another (what `convert FILE
// -coalesce -depth 8 rgb:-` writes, for comparison).
// Exit status 1 if a file cannot be read or decodes to no picture, 2 for a
// bad command line.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ui/pictures/picture.h"

namespace {

bool readFile(const char* path, std::vector<std::uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

double cpuMicroseconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// Frames as RGB bytes; a transparent pixel as the colour it holds (black).
bool writeFrames(std::FILE* out, const pictures::Picture& picture) {
  std::vector<std::uint8_t> row;
  for (const pictures::Frame& frame : picture.frames) {
    row.clear();
    for (std::uint32_t p : frame.pixels) {
      row.push_back(static_cast<std::uint8_t>(p >> 16));
      row.push_back(static_cast<std::uint8_t>(p >> 8));
      row.push_back(static_cast<std::uint8_t>(p));
    }
    if (std::fwrite(row.data(), 1, row.size(), out) != row.size()) return false;
  }
  return true;
}

int usage() {
  std::fprintf(stderr, "usage: picture_bench [-t SECONDS] [-n DECODES] [-r ROUNDS] [-w OUT] FILE...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 0.5;
  long minDecodes = 3, rounds = 3;
  const char* dumpPath = nullptr;
  int first = 1;
  for (; first + 1 < argc && argv[first][0] == '-'; first += 2) {
    const std::string option = argv[first];
    const char* value = argv[first + 1];
    if (option == "-t") {
      seconds = std::strtod(value, nullptr);
    } else if (option == "-n") {
      minDecodes = std::strtol(value, nullptr, 10);
    } else if (option == "-r") {
      rounds = std::strtol(value, nullptr, 10);
    } else if (option == "-w") {
      dumpPath = value;
    } else {
      return usage();
    }
  }
  if (first >= argc || minDecodes < 1 || rounds < 1 || !(seconds >= 0)) return usage();

  std::FILE* dump = nullptr;
  if (dumpPath && !(dump = std::fopen(dumpPath, "wb"))) {
    std::fprintf(stderr, "%s: cannot write\n", dumpPath);
    return 1;
  }

  // Every decoded picture leaves a trace here, so none of the work can be
  // left out by the optimizer.
  std::uint64_t trace = 0;
  for (int i = first; i < argc; ++i) {
    std::vector<std::uint8_t> bytes;
    if (!readFile(argv[i], bytes)) {
      std::fprintf(stderr, "%s: cannot read\n", argv[i]);
      return 1;
    }
    const pictures::Picture check = pictures::decodePicture(bytes.data(), bytes.size());
    if (check.empty()) {
      std::fprintf(stderr, "%s: no picture\n", argv[i]);
      return 1;
    }
    if (dump && !writeFrames(dump, check)) {
      std::fprintf(stderr, "%s: cannot write\n", dumpPath);
      return 1;
    }

    double bestCpu = 0, bestWall = 0;
    long decodes = 0;
    for (long round = 0; round < rounds; ++round) {
      const double cpuStart = cpuMicroseconds();
      const auto wallStart = std::chrono::steady_clock::now();
      long done = 0;
      double spent = 0;
      do {
        const pictures::Picture picture = pictures::decodePicture(bytes.data(), bytes.size());
        const std::vector<std::uint32_t>& last = picture.frames.back().pixels;
        trace += picture.frames.size() + last[last.size() / 2];
        ++done;
        spent = cpuMicroseconds() - cpuStart;
      } while (done < minDecodes || spent < seconds * 1e6);
      const std::chrono::duration<double, std::micro> wall = std::chrono::steady_clock::now() - wallStart;
      const double cpu = spent / static_cast<double>(done);
      const double each = wall.count() / static_cast<double>(done);
      if (round == 0 || cpu < bestCpu) bestCpu = cpu, decodes = done;
      if (round == 0 || each < bestWall) bestWall = each;
    }
    std::printf("%s\t%d\t%d\t%zu\t%ld\t%.1f\t%.1f\n", argv[i], check.width, check.height, check.frames.size(),
                decodes, bestCpu, bestWall);
  }
  if (dump && std::fclose(dump) != 0) {
    std::fprintf(stderr, "%s: cannot write\n", dumpPath);
    return 1;
  }
  std::fprintf(stderr, "trace %llu\n", static_cast<unsigned long long>(trace));
  return 0;
}
