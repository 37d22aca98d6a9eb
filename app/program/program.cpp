#include "app/program/program.h"

#include "app/settings/language.h"
#include "app/settings/settings.h"
#include "app/windows/Main.h"
#include "app/windows/embedded_pictures.h"
#include "app/windows/window_parts.h"
#include "assets/embedded_assets.h"
#include "toolkit/application.h"
#include "toolkit/screen_scale.h"

#include <cstdlib>

namespace zorbalin {

const char kApplicationTitle[] = "ZorbaLin";

void StartProgram(TApplication& App) {
    App.SetTitle(kApplicationTitle);
    // Before any window, the error box included: every window takes this scale.
    const int overrideScale = ParseScale(std::getenv("ZORBALIN_SCALE"));
    const int settingsScale = ReadSettings(ProgramPaths().IniPath).Scale;
    int scale = ChooseScale(overrideScale, settingsScale, App.Backend().DesktopScale());
    // The desktop's factor is a guess for every program: the game's window
    // must fit the screen with its close button. A factor the user chose is
    // kept, and the window placed so that its top band can be reached.
    if (overrideScale == 0 && settingsScale == 0)
        scale = FittingScale(scale, kMainClientWidth, kMainClientHeight, App.Backend().WorkArea());
    App.SetScale(scale);
    // Before any window too, so that every text shows in the player's language.
    const std::string problem =
        UseLanguage(ChosenLanguage(ProgramPaths().IniPath), ProgramPaths().AppDir);
    if (!problem.empty())
        App.LogError(problem);
    RunCreationStep([&] {
        TArgbImage icon = EmbeddedArgb(asset::kIcon48);
        App.SetIcon(std::move(icon.Pixels), icon.Width, icon.Height);
    });
    App.CreateForm(frm_Main);
}

int RunProgram(TBackend& Backend) {
    InitSeged();
    ProgramPaths();
    TApplication app(Backend);
    StartProgram(app);
    app.Run();
    return 0;
}

} // namespace zorbalin
