#include "app/shell_starter/ShellStarter.h"

#include "shell/shell_execute.h"

#include <ctime>
#include <iterator>
#include <stdexcept>

namespace zorbalin {

bool TShellDateTime::operator==(const TShellDateTime& Other) const {
    return Year == Other.Year && Month == Other.Month && Day == Other.Day && Hour == Other.Hour &&
           Minute == Other.Minute && Second == Other.Second;
}

TShellDateTime TShellDateTime::Now() {
    const std::time_t seconds = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&seconds, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

const char* ShellVerb(TShellStarterOperation Operation) {
    switch (Operation) {
    case smOpen:
        return "open";
    case smPrint:
        return "print";
    case smExplore:
        return "explore";
    case smEdit:
        return "edit";
    case smProperties:
        return "properties";
    }
    return "open";
}

int ShowCode(TShellStarterOptions Option) {
    // The codes travel in the request as callers of the starter know them; the
    // opener chooses the window of the opened application itself.
    static const int kCodes[] = {0, 3, 6, 9, 5, 3, 2, 7, 8, 1};
    const int index = static_cast<int>(Option);
    return index >= 0 && index < static_cast<int>(std::size(kCodes)) ? kCodes[index] : 5;
}

bool IsShellFailure(std::int32_t Code) {
    return Code == SE_ERR_FNF || Code == SE_ERR_PNF || Code == SE_ERR_ACCESSDENIED ||
           Code == SE_ERR_OOM || (Code >= SE_ERR_SHARE && Code <= SE_ERR_DLLNOTFOUND);
}

TShellStarter::~TShellStarter() {
    EnableTimer(stFinishPoll, false);
    EnableTimer(stSchedule, false);
}

void TShellStarter::SetText(int Index, const std::string& Value) {
    if (Index < 0 || Index > 2)
        throw std::out_of_range("TShellStarter::SetText: index " + std::to_string(Index));
    if (FTexts[Index] != Value)
        FTexts[Index] = Value;
}

void TShellStarter::SetAutoStart(bool Value) {
    FAutoStart = Value;
    EnableTimer(stSchedule, Value);
}

TShellExecuteInfo TShellStarter::BuildRequest() const {
    TShellExecuteInfo request;
    request.Verb = ShellVerb(FStartOperation);
    request.Show = ShowCode(FStartOption);
    if (FStartOperation == smExplore) {
        request.File = ExploreFolderOf(Command());
    } else {
        request.File = Command();
        request.Parameters = Parameters();
        request.Directory = DefaultDir();
    }
    return request;
}

void TShellStarter::Start() {
    FProcess.Release();
    if (OnBeforeStart)
        OnBeforeStart(this);
    TSpawnResult outcome = ShellExecuteEx(BuildRequest());
    FProcess = std::move(outcome.Process);
    if (IsShellFailure(outcome.Code)) {
        FErrorCode = outcome.Code;
        if (OnError)
            OnError();
    } else {
        if (OnFinished)
            EnableTimer(stFinishPoll, true);
        if (FWait)
            FProcess.WaitForExit();
    }
    if (OnAfterStart)
        OnAfterStart(this);
}

void TShellStarter::PollFinished() {
    if (!FTimerEnabled[stFinishPoll] || !FProcess.HasExited())
        return;
    FProcess.Release();
    EnableTimer(stFinishPoll, false);
    if (OnFinished)
        OnFinished(this);
}

void TShellStarter::ScheduleTick(const TShellDateTime& Now) {
    if (!FAutoStart)
        return;
    if (Now != FStartTime) {
        FScheduledStartDone = false;
        return;
    }
    if (FScheduledStartDone)
        return;
    FScheduledStartDone = true;
    Start();
}

void TShellStarter::EnableTimer(TShellStarterTimer Timer, bool Enabled) {
    if (FTimerEnabled[Timer] == Enabled)
        return;
    FTimerEnabled[Timer] = Enabled;
    if (FTimerHook)
        FTimerHook(Timer,
                   Enabled ? (Timer == stFinishPoll ? kFinishPollIntervalMs : kScheduleIntervalMs)
                           : 0);
}

} // namespace zorbalin
