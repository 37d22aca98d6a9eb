#include "app/program/program.h"

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
    App.SetScale(ChooseScale(ParseScale(std::getenv("ZORBALIN_SCALE")),
                             ReadSettings(ProgramPaths().IniPath).Scale,
                             App.Backend().DesktopScale()));
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
