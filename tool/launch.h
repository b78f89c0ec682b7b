// How d88cut was started, and what follows for where its files go. A user
// who drops an image on d88cut.exe in Windows' Explorer gets a console of
// d88cut's own, which closes the moment d88cut ends, and a current folder
// that Explorer chose; from a prompt the console is shared with the shell.
#ifndef TOOL_LAUNCH_H
#define TOOL_LAUNCH_H

#include <string>

struct Launch {
  bool nextToImage = false;   // write the files in the image's folder
  bool waitForEnter = false;  // keep the window open until Enter is pressed
};

// `consoleProcesses`: how many processes share the console (1: it is
// d88cut's alone, as when Explorer starts it; 0: there is none, or it is
// not known). From a prompt nothing changes.
Launch launchOf(int consoleProcesses);

// The folder the files go to for `image` under `launch`: the image's own
// folder, or "" for the current one.
std::string outputFolder(const Launch& launch, const std::string& image);

#endif  // TOOL_LAUNCH_H
