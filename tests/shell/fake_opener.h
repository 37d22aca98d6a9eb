#pragma once
// A stand-in for the desktop's document opener: an `xdg-open` script in a
// temporary folder put first on PATH, which appends one record per run to a log:
// its arguments, working folder, session, standard output and open descriptors.
// FAKE_OPENER_SLEEP makes it linger before writing.
#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

namespace zorbalin::testing {

struct TOpenerRun {
    std::vector<std::string> Arguments;
    std::string WorkDir;
    std::string StandardOutput; // what descriptor 1 pointed at
    pid_t Pid = 0;
    pid_t Session = 0;
    std::vector<std::string> OpenFiles; // targets of every open descriptor
};

class TFakeOpener {
  public:
    TFakeOpener();  // installs the script and puts its folder first on PATH
    ~TFakeOpener(); // restores PATH and removes the folder

    const std::string& Folder() const { return FFolder; }
    void SetSleep(const std::string& Seconds);
    void HideOpener(); // PATH without any xdg-open at all
    // The runs recorded so far, in order.
    std::vector<TOpenerRun> Runs() const;
    // Waits (up to 10 s) until Count runs were recorded and returns them.
    std::vector<TOpenerRun> WaitForRuns(size_t Count) const;

  private:
    std::string FFolder, FLog, FSavedPath;
    bool FHadPath = false;
};

// Makes this process the reaper of its orphaned descendants, so that openers
// started detached come back to us when their starter lets go of them.
void BecomeSubreaper();
// Reaps every child left, waiting for the running ones.
void ReapAllChildren();

} // namespace zorbalin::testing
