#include "tool/cutter.h"

#include <string>

namespace {

// Shift-JIS: "Disk 1を認識しました.\n"
const char SYSTEM_DISK_FOUND[] =
    "Disk 1"
    "\x82\xf0\x94\x46\x8e\xaf\x82\xb5\x82\xdc\x82\xb5\x82\xbd"
    ".\n";
// Shift-JIS: "Disk 2を認識しました.\n"
const char MAKER_DISK_FOUND[] =
    "Disk 2"
    "\x82\xf0\x94\x46\x8e\xaf\x82\xb5\x82\xdc\x82\xb5\x82\xbd"
    ".\n";

// The extraction: each file the recipe reaches is announced, written, and
// followed by a warning when it is not whole.
class Extraction : public RecipeObserver {
 public:
  Extraction(CutSink& sink, DiskCut& disk, bool& failed) : sink_(sink), disk_(disk), failed_(failed) {}

  void file(int, const FileCheck& check, const unsigned char* data) override {
    bool written = false;
    if (data != nullptr) {
      sink_.out(("cutting ... " + std::string(check.name) + "\n").c_str());
      WriteError error;
      written = sink_.writeFile(check.name, data, check.size, error);
      if (!written) {
        failed_ = true;
        sink_.err(("d88cut: " + std::string(error.what) + " " + check.name + ": " + error.reason + "\n").c_str());
      }
    }
    if (!check.whole) {
      sink_.err(("d88cut: warning: " + std::string(check.name) + " " + describeFileCheck(check) + "\n").c_str());
    }
    disk_.files.push_back(check);
    disk_.written.push_back(written);
  }

 private:
  CutSink& sink_;
  DiskCut& disk_;
  bool& failed_;
};

}  // namespace

CutResult cutImage(d88::D88Image& reader, unsigned char* workBuffer, CutSink& sink) {
  CutResult result;
  const int count = reader.diskCount();
  for (int i = 0; i < count; ++i) {
    reader.selectDisk(i);
    const KnownDisk known = identifyDisk(reader, workBuffer);
    if (known == KnownDisk::None) continue;
    result.disks.push_back({i, known, {}, {}});
    sink.beginDisk(i, known);
    if (known == KnownDisk::Maker) {
      sink.out(MAKER_DISK_FOUND);
      continue;
    }
    sink.out(SYSTEM_DISK_FOUND);
    Extraction extraction(sink, result.disks.back(), result.outputFailed);
    runRecipe(reader, workBuffer, WORK_BUFFER_SIZE, extraction);
  }
  return result;
}
