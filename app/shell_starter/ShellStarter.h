#pragma once
// ShellStarter: the component that starts a command (a document, a program or an
// address) through the desktop shell and goes on at once. The main window owns
// one, ShellStarter1, and opens the author's web pages with it; the waiting,
// completion and scheduled-start features are there for other owners.
//
// Timers: the starter has two, the 500 ms completion poll and the one-second
// schedule. It does not run them itself; the owner's message loop does, through
// the hook given to SetTimerHook, by calling PollFinished or ScheduleTick at
// every tick while the starter keeps the timer enabled.
#include "shell/process_handle.h"
#include "shell/shell_result.h" // the codes ErrorCode holds
#include "toolkit/component.h"

#include <cstdint>
#include <functional>
#include <string>
#include <sys/types.h>

namespace zorbalin {

struct TShellExecuteInfo;

enum TShellStarterOperation { smOpen, smPrint, smExplore, smEdit, smProperties };

enum TShellStarterOptions {
    soSW_HIDE,
    soSW_MAXIMIZE,
    soSW_MINIMIZE,
    soSW_RESTORE,
    soSW_SHOW,
    soSW_SHOWMAXIMIZED,
    soSW_SHOWMINIMIZED,
    soSW_SHOWMINNOACTIVE,
    soSW_SHOWNA,
    soSW_SHOWNORMAL,
};

// A moment to the second, local time.
struct TShellDateTime {
    int Year = 1990, Month = 1, Day = 1, Hour = 0, Minute = 0, Second = 0;
    bool operator==(const TShellDateTime& Other) const;
    bool operator!=(const TShellDateTime& Other) const { return !(*this == Other); }
    static TShellDateTime Now();
};

// The verb handed to the shell for each operation, and the window-show code for
// each option.
const char* ShellVerb(TShellStarterOperation Operation);
int ShowCode(TShellStarterOptions Option);
// True for the shell result codes that mean the start failed.
bool IsShellFailure(std::int32_t Code);

enum TShellStarterTimer { stFinishPoll, stSchedule };
constexpr int kFinishPollIntervalMs = 500;
constexpr int kScheduleIntervalMs = 1000;
// Starts (IntervalMs > 0) or stops (0) one of the starter's timers.
using TShellTimerHook = std::function<void(TShellStarterTimer Timer, int IntervalMs)>;
using TShellErrorEvent = std::function<void()>;

// A component: an owner (the main window) destroys it with itself. Without an
// owner, its creator frees it.
class TShellStarter : public TComponent {
  public:
    explicit TShellStarter(TComponent* Owner = nullptr) : TComponent(Owner) {}
    ~TShellStarter() override; // stops its timers

    TShellStarterOperation StartOperation() const { return FStartOperation; }
    void SetStartOperation(TShellStarterOperation Value) { FStartOperation = Value; }
    TShellStarterOptions StartOption() const { return FStartOption; }
    void SetStartOption(TShellStarterOptions Value) { FStartOption = Value; }

    // Command (index 0), Parameters (1) and DefaultDir (2) share one setter.
    const std::string& Command() const { return FTexts[0]; }
    const std::string& Parameters() const { return FTexts[1]; }
    const std::string& DefaultDir() const { return FTexts[2]; }
    void SetCommand(const std::string& Value) { SetText(0, Value); }
    void SetParameters(const std::string& Value) { SetText(1, Value); }
    void SetDefaultDir(const std::string& Value) { SetText(2, Value); }
    void SetText(int Index, const std::string& Value); // std::out_of_range for other indexes

    bool AutoStart() const { return FAutoStart; }
    void SetAutoStart(bool Value); // enables or disables the schedule timer
    const TShellDateTime& StartTime() const { return FStartTime; }
    void SetStartTime(const TShellDateTime& Value) {
        FStartTime = Value;
        FScheduledStartDone = false;
    }
    bool Wait() const { return FWait; }
    void SetWait(bool Value) { FWait = Value; }

    TNotifyEvent OnBeforeStart;
    TNotifyEvent OnAfterStart;
    TShellErrorEvent OnError;
    TNotifyEvent OnFinished;

    // The shell's code of the last failed start; 0 until a start fails.
    std::int32_t ErrorCode() const { return FErrorCode; }
    // The process id of the process started last, 0 when none is held.
    pid_t ProcessHandle() const { return FProcess.Pid(); }

    void SetTimerHook(TShellTimerHook Hook) { FTimerHook = std::move(Hook); }
    bool TimerEnabled(TShellStarterTimer Timer) const { return FTimerEnabled[Timer]; }

    // Starts Command now with the verb of StartOperation. Never reports a failure
    // by itself: see ErrorCode and OnError.
    void Start();
    // A tick of the completion poll: once the process has ended, lets go of it,
    // stops the poll and calls OnFinished. When no process is held any more (a
    // later start failed), there is nothing left to wait for and it finishes too.
    void PollFinished();
    // A tick of the schedule: runs Start when AutoStart is set and Now is
    // StartTime, once for that moment however often it is ticked within it.
    void ScheduleTick(const TShellDateTime& Now = TShellDateTime::Now());

  private:
    TShellExecuteInfo BuildRequest() const;
    void EnableTimer(TShellStarterTimer Timer, bool Enabled);

    TShellStarterOperation FStartOperation = smOpen;
    TShellStarterOptions FStartOption = soSW_SHOW;
    std::string FTexts[3];
    bool FAutoStart = false;
    TShellDateTime FStartTime;
    bool FScheduledStartDone = false;
    bool FWait = false;
    std::int32_t FErrorCode = 0;
    TProcessHandle FProcess;
    TShellTimerHook FTimerHook;
    bool FTimerEnabled[2] = {false, false};
};

} // namespace zorbalin
