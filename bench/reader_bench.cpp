// The reader's operations on the 64-disk image and on the system disk alone,
// so that a change that makes them scale with the image shows up.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "d88/d88_image.h"
#include "d88_builder.h"

namespace {

namespace fs = std::filesystem;

// Arg 0: the system disk alone; arg 1: the 64-disk image (system disk last).
struct Images {
  fs::path dir = fs::temp_directory_path() / ("d88readerbench-" + std::to_string(getpid()));
  std::string paths[2];
  Images() {
    fs::create_directories(dir);
    paths[0] = (dir / "system.d88").string();
    paths[1] = (dir / "large.d88").string();
    d88test::writeFile(paths[0], d88test::buildImage({d88test::systemDisk()}));
    d88test::writeFile(paths[1], d88test::largeImage());
  }
  ~Images() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

const std::string& image(int which) {
  static const Images images;
  return images.paths[which];
}

void openLastDisk(benchmark::State& state, d88::D88Image& reader) {
  if (!reader.open(image(static_cast<int>(state.range(0))).c_str()) || !reader.selectDisk(reader.diskCount() - 1)) {
    state.SkipWithError("cannot open the image");
  }
}

void BM_IndexWalk(benchmark::State& state) {
  d88::D88Image reader;
  for (auto _ : state) {
    benchmark::DoNotOptimize(reader.open(image(static_cast<int>(state.range(0))).c_str()));
    benchmark::DoNotOptimize(reader.diskCount());
  }
}

void BM_SelectLastDisk(benchmark::State& state) {
  d88::D88Image reader;
  openLastDisk(state, reader);
  for (auto _ : state) benchmark::DoNotOptimize(reader.selectDisk(reader.diskCount() - 1));
}

// Track 79 R 5 is the last record of the system disk's last track; on the
// large image it lies 80 MB into the file.
void BM_ReadSectorEndOfTrack(benchmark::State& state) {
  d88::D88Image reader;
  openLastDisk(state, reader);
  unsigned char buffer[1024];
  for (auto _ : state) benchmark::DoNotOptimize(reader.readSector(79, 39, 1, 5, 3, buffer, sizeof buffer));
}

void BM_ReadSectorEndOfLongTrack(benchmark::State& state) {
  d88::D88Image reader;
  if (!reader.open(image(1).c_str()) || !reader.selectDisk(62)) state.SkipWithError("cannot open the image");
  unsigned char buffer[1024];
  for (auto _ : state) benchmark::DoNotOptimize(reader.readSector(153, 76, 1, 8, 3, buffer, sizeof buffer));
}

void BM_ReadSectorsAcrossTracks(benchmark::State& state) {
  d88::D88Image reader;
  openLastDisk(state, reader);
  reader.setSectorRange(1, 5);
  unsigned char buffer[7168];
  for (auto _ : state) benchmark::DoNotOptimize(reader.readSectors(3, 1, 1, 1, 3, buffer, sizeof buffer));
}

BENCHMARK(BM_IndexWalk)->Arg(0)->Arg(1);
BENCHMARK(BM_SelectLastDisk)->Arg(0)->Arg(1);
BENCHMARK(BM_ReadSectorEndOfTrack)->Arg(0)->Arg(1);
BENCHMARK(BM_ReadSectorEndOfLongTrack);
BENCHMARK(BM_ReadSectorsAcrossTracks)->Arg(0)->Arg(1);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  image(0);  // build both images before anything is timed
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
