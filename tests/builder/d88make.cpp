// d88make: writes the images the project's own builder makes, and shows what
// a cut file is made of.
//
//   d88make demo OUT        a complete synthetic system disk
//   d88make incomplete OUT  the system disk without tracks 3 and 11, track 36 R 3 cut short
//   d88make padded OUT      a 2D disk laid out as one real writer pads its tracks
//   d88make large OUT       63 filler 2HD disks and the system disk last (about 80 MB)
//   d88make seeds DIR       fuzzing seeds: complete, multi-disk and malformed images
//   d88make show FILE...    the pieces of each file, by the text its sectors carry
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>

#include "d88_builder.h"

namespace {

int usage() {
  std::fputs(
      "usage: d88make demo OUT\n"
      "       d88make large OUT\n"
      "       d88make padded OUT\n"
      "       d88make incomplete OUT\n"
      "       d88make seeds DIR\n"
      "       d88make show FILE...\n",
      stderr);
  return 1;
}

// The sector a 64-byte line of labelledSector names, without its byte range.
std::string lineSource(const std::string& line) {
  const std::size_t bytes = line.find("  bytes ");
  return line.compare(0, 6, "track ") == 0 && bytes != std::string::npos ? line.substr(0, bytes) : std::string();
}

std::string lineBytes(const std::string& line) {
  const std::size_t bytes = line.find("  bytes ");
  std::string range = line.substr(bytes + 8);
  while (!range.empty() && (range.back() == ' ' || range.back() == '\n')) range.pop_back();
  return range;
}

std::string squeeze(const std::string& text) {
  std::string out;
  for (char ch : text) {
    if (ch != ' ' || (!out.empty() && out.back() != ' ')) out += ch;
  }
  return out;
}

// Collapses consecutive lines from the same sector into one piece.
void show(const char* path) {
  const d88test::Bytes bytes = d88test::readFile(path);
  std::printf("%s  %zu bytes\n", path, bytes.size());
  std::size_t pieceStart = 0;
  std::string source, first, last;
  auto flush = [&](std::size_t end) {
    if (end == pieceStart) return;
    if (source.empty()) {
      std::printf("  %5zu-%5zu  (not sector text)\n", pieceStart, end - 1);
    } else {
      const std::string from = first.substr(0, first.find('-'));
      const std::string to = last.substr(last.find('-') + 1);
      std::printf("  %5zu-%5zu  %s  bytes %s-%s\n", pieceStart, end - 1, squeeze(source).c_str(), squeeze(from).c_str(),
                  squeeze(to).c_str());
    }
  };
  for (std::size_t at = 0; at < bytes.size(); at += 64) {
    const std::size_t end = at + 64 < bytes.size() ? at + 64 : bytes.size();
    const std::string line(bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(end));
    const std::string lineFrom = lineSource(line);
    if (at == 0 || lineFrom != source || lineFrom.empty()) {
      flush(at);
      pieceStart = at;
      source = lineFrom;
      first = lineFrom.empty() ? "" : lineBytes(line);
    }
    if (!lineFrom.empty()) last = lineBytes(line);
  }
  flush(bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
  // The images it writes, by name.
  static const std::map<std::string, std::function<d88test::Bytes()>> images = {
      {"demo", [] { return d88test::buildImage({d88test::systemDisk()}); }},
      {"incomplete", [] { return d88test::buildImage({d88test::incompleteSystemDisk()}); }},
      {"padded", d88test::zeroPaddedImage},
      {"large", d88test::largeImage},
  };
  if (argc < 3) return usage();
  const auto image = images.find(argv[1]);
  if (image != images.end()) {
    if (!d88test::writeFile(argv[2], image->second())) {
      std::fprintf(stderr, "d88make: cannot write %s\n", argv[2]);
      return 1;
    }
    return 0;
  }
  if (std::strcmp(argv[1], "seeds") == 0) {
    for (const auto& [name, bytes] : d88test::seedImages()) {
      const std::string path = std::string(argv[2]) + "/" + name + ".d88";
      if (!d88test::writeFile(path, bytes)) {
        std::fprintf(stderr, "d88make: cannot write %s\n", path.c_str());
        return 1;
      }
    }
    return 0;
  }
  if (std::strcmp(argv[1], "show") == 0) {
    for (int i = 2; i < argc; ++i) show(argv[i]);
    return 0;
  }
  return usage();
}
