// A sink that keeps d88cut's files and messages in memory, as a fresh run
// in an empty folder would leave them: for the browser page and the fuzzer.
#ifndef TOOL_MEMORY_SINK_H
#define TOOL_MEMORY_SINK_H

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tool/cutter.h"

class MemorySink : public CutSink {
 public:
  // Both streams in the order they were written, as `d88cut IMAGE 2>&1`
  // shows them.
  std::string console;
  std::string standardOutput;
  std::string standardError;
  // The files by name, as the last write left them: what d88cut leaves in
  // the folder.
  std::map<std::string, std::vector<unsigned char>> files;
  // Every file written, with the disk (0-based) it was cut from, in order.
  struct Written {
    int disk;
    std::string name;
    std::vector<unsigned char> bytes;
  };
  std::vector<Written> written;
  int disk = -1;

  void beginDisk(int index, KnownDisk) override { disk = index; }

  void out(const char* text) override {
    console += text;
    standardOutput += text;
  }
  void err(const char* text) override {
    console += text;
    standardError += text;
  }
  bool writeFile(const char* name, const unsigned char* data, int size, WriteError&) override {
    files[name].assign(data, data + (size > 0 ? size : 0));
    written.push_back({disk, name, files[name]});
    return true;
  }
};

#endif  // TOOL_MEMORY_SINK_H
