// The main window's motion: a click is recorded while it runs and played afterwards (see
// app/windows/board_motion.h), the player's next press ends the motion at once, and the switch that
// turns it off is kept in the settings file.
#include "app/settings/program_paths.h"
#include "app/settings/settings.h"
#include "app/windows/Eredmeny.h"
#include "app/windows/Main.h"
#include "toolkit/application.h"

namespace zorbalin {

void Tfrm_Main::SetMotion(bool On) {
    FMotionOn = On;
    if (!On)
        FinishMotion();
}

void Tfrm_Main::AnimationItemClick(TObject*) {
    SetMotion(!FMotionOn);
    try {
        WriteAnimationSetting(ProgramPaths().IniPath, FMotionOn);
    } catch (const EIniWriteError& error) {
        // The switch holds for this run; the player learns why it will not outlast it.
        if (gApplication)
            gApplication->ShowException(error);
    }
}

bool Tfrm_Main::InterceptPress() {
    if (!FMotion.Running())
        return false;
    // Before the motion, the press would have waited until the result window was open and
    // then gone to it: it ends there now too.
    const bool resultDue = FPendingResult.has_value();
    FinishMotion();
    return resultDue;
}

void Tfrm_Main::BeginRecording() {
    FRecording = FMotionOn;
    FPendingResult.reset();
    if (FRecording)
        FRecorder.Begin();
}

void Tfrm_Main::PlayRecordedMotion() {
    if (!FRecording)
        return;
    FRecording = false;
    FMotion.Start(FRecorder.Moves());
    if (!FMotion.Running())
        ShowPendingResult();
}

void Tfrm_Main::ShowPendingResult() {
    if (!FPendingResult)
        return;
    const TResultText result = *FPendingResult;
    FPendingResult.reset();
    // The last board is on the screen before the window that ends the game.
    UpdateNow();
    ShowResultWindow(result.Headline, result.Message);
}

} // namespace zorbalin
