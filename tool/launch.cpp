#include "tool/launch.h"

#include <filesystem>

Launch launchOf(int consoleProcesses) {
  Launch launch;
  launch.nextToImage = consoleProcesses == 1;
  launch.waitForEnter = consoleProcesses == 1;
  return launch;
}

std::string outputFolder(const Launch& launch, const std::string& image) {
  if (!launch.nextToImage) return "";
  return std::filesystem::path(image).parent_path().string();
}
